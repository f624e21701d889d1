// Runs a one-off backup in the desktop's windows without a display, as the benchmark times
// it: the progress window shown with its log, rows sent by the worker as in any run. When
// the run has finished, the rows of the log view are written to standard output, one a
// line, so that the benchmark checks what the window received.
//   brisvel_desktop_run SRC DST WORDS...
#include <QApplication>
#include <QTreeView>
#include <cstdio>
#include <string>
#include <vector>

#include "app/qt/qt_look.h"
#include "app/qt/qt_ui.h"
#include "app/shell.h"
#include "app/ui/control_ids.h"
#include "app/ui/hand_over_ui.h"
#include "engine/fs.h"
#include "system/clock.h"

namespace brisvel {
namespace {

void WriteLogRows(QtUi& ui) {
  auto* log = qobject_cast<QTreeView*>(ui.Control(kProgressWindow, kLogView));
  const QAbstractItemModel* rows = log->model();
  for (int row = 0; row < rows->rowCount(); ++row) {
    std::printf("%s\n", rows->index(row, 0).data().toString().toUtf8().constData());
  }
}

int Run(const std::vector<std::string>& words) {
  QtUi desktop;
  HandOverUi ui(desktop);
  Shell shell({ui, RealFileSystem(), [](const std::string&) {}, SystemClock(), [] {}, false, false,
               nullptr, nullptr});
  std::vector<std::string> arguments{"backup"};
  arguments.insert(arguments.end(), words.begin(), words.end());
  shell.Start(arguments);
  if (shell.RunState().runState != kRunning) return 2;
  shell.HandleEvent({kProgressWindow, kLogButton, EventType::kClick});  // "Show Log"
  while (shell.RunState().runState == kRunning) {
    if (std::optional<UiEvent> event = ui.WaitEvent(std::chrono::milliseconds(5))) {
      shell.HandleEvent(*event);
    }
  }
  ui.Flush();
  WriteLogRows(desktop);
  return shell.RunState().errorCount > 0 ? 1 : 0;
}

}  // namespace
}  // namespace brisvel

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: brisvel_desktop_run SRC DST WORDS...\n", stderr);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int toolkitArgc = 1;
  QApplication application(toolkitArgc, argv);
  application.setQuitOnLastWindowClosed(false);
  brisvel::UseDesktopLook(application);
  return brisvel::Run(std::vector<std::string>(argv + 1, argv + argc));
}
