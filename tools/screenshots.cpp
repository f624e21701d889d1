// Renders the program's windows without a display, for the README: the desktop backend
// builds them as the program does, the window code fills them in, and each is grabbed to a
// PNG in the folder given as the only argument.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QWidget>
#include <cstdio>
#include <string>

#include "app/main_window_view.h"
#include "app/menus.h"
#include "app/progress_window.h"
#include "app/qt/qt_look.h"
#include "app/qt/qt_ui.h"
#include "app/ui/control_ids.h"
#include "app/window_layout.h"
#include "core/job_list.h"
#include "engine/run_state.h"
#include "tools/screenshot_scenes.h"

namespace brisvel {
namespace {

bool Save(QWidget* window, const QString& folder, const char* name) {
  const QString path = QDir(folder).filePath(name);
  if (window->grab().save(path)) return true;
  std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
  return false;
}

int Render(const QString& folder) {
  QtUi ui;
  JobList jobs;
  MainWindowView view(ui, jobs);
  ProgressWindow progress(ui, view);
  SharedRunState state;
  if (!CreateMainWindow(ui) || !CreateProgressWindow(ui) || !CreateShutdownWindow(ui) ||
      !CreateJobOptionsWindow(ui) || !CreateScheduleWindow(ui)) {
    return 1;
  }
  bool saved = true;
  ShowMainWindow(ui, jobs, view);
  ui.Flush();
  saved &= Save(ui.Window(kMainWindow), folder, "main-window.png");
  ShowRunningWindow(progress, state);
  ui.Flush();
  saved &= Save(ui.Window(kProgressWindow), folder, "progress-running.png");
  ShowFinishedWindow(progress);
  ui.Flush();
  saved &= Save(ui.Window(kProgressWindow), folder, "progress-finished.png");
  ShowShutdownWindow(ui);
  saved &= Save(ui.Window(kShutdownWindow), folder, "shutdown-window.png");
  ShowJobOptionsWindow(ui);
  ui.Flush();
  saved &= Save(ui.Window(kJobOptionsWindow), folder, "job-options.png");
  ShowScheduleWindow(ui);
  ui.Flush();
  saved &= Save(ui.Window(kScheduleWindow), folder, "schedule.png");
  ui.SetDialogRunner([&](QDialog& box) {
    box.show();
    saved &= Save(&box, folder, "about-box.png");
    return static_cast<int>(QMessageBox::Ok);
  });
  ui.ShowMessage(kMessageTitle, AboutText(), MessageIcon::kInformation, MessageButtons::kOk);
  return saved ? 0 : 1;
}

}  // namespace
}  // namespace brisvel

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: brisvel_screenshots FOLDER\n", stderr);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  brisvel::UseDesktopLook(application);
  return brisvel::Render(QString::fromLocal8Bit(argv[1]));
}
