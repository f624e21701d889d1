// Renders the program's windows without a display, for the README: the desktop backend
// builds them as the program does, the window code fills them in, and each is grabbed to a
// PNG in the folder given as the only argument.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QWidget>
#include <cstdio>
#include <string>

#include "app/control_ids.h"
#include "app/main_window_view.h"
#include "app/menus.h"
#include "app/progress_window.h"
#include "app/qt_look.h"
#include "app/qt_ui.h"
#include "app/window_layout.h"
#include "core/job_list.h"
#include "engine/run_state.h"

namespace brisvel {
namespace {

bool Save(QWidget* window, const QString& folder, const char* name) {
  const QString path = QDir(folder).filePath(name);
  if (window->grab().save(path)) return true;
  std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
  return false;
}

void FillJobs(JobList& jobs) {
  BackupJob documents = DefaultJob();
  documents.name = "Documents";
  documents.source = "/home/ana/Documents/";
  documents.destination = "/media/backup/Documents/";
  documents.Set(kUseFilter, true);
  documents.filter = ".doc .docx .odt .pdf .txt";
  documents.Set(kUpdateLogFile, true);
  documents.Set(kDeleteOrphans, true);
  documents.compareMethod = kCompareMd5;
  documents.Set(kAutomaticName, false);
  BackupJob photos = DefaultJob();
  photos.name = "Photos";
  photos.source = "/home/ana/Pictures/";
  photos.destination = "/media/backup/Pictures/";
  photos.Set(kEnabled, false);
  jobs.Append(documents);
  jobs.Append(photos);
}

void ShowMainWindow(QtUi& ui, JobList& jobs, MainWindowView& view) {
  FillJobs(jobs);
  for (int row = 0; row < jobs.Count(); ++row) {
    view.AddJobRow(row, jobs.At(row).name, jobs.At(row).Has(kEnabled));
  }
  jobs.Select(0);
  view.RefreshSettingsPanel();
  ui.ShowWindow(kMainWindow, true);
}

void AddRowsOfEveryColour(ProgressWindow& progress) {
  const std::pair<const char*, Colour> rows[] = {
      {"Job: Documents", kBlack},
      {"Scanning for new and changed files...", kGrey},
      {"Copied: report.odt", kGreen},
      {"Copied: notes/2026-12.txt", kGreen},
      {"Deleted orphan: old/draft.doc", kOlive},
      {"Could not copy: locked.pdf", kRed},
      {"Copied 2 files.", kBlack},
  };
  int64_t index = 0;
  for (const auto& [text, colour] : rows) progress.AddRow(index++, text, colour);
}

void ShowRunningWindow(ProgressWindow& progress, SharedRunState& state) {
  progress.PrepareRun(state, kFinishExit, false);
  progress.ToggleLog(state);
  progress.SetJobLine("Job 1 of 2: Documents");
  progress.SetProgressMax(200);
  progress.SetProgressValue(120);
  progress.SetBarColour(kBarGreen);
  progress.SetStatus("Copying: notes/2026-12.txt");
  AddRowsOfEveryColour(progress);
}

void ShowFinishedWindow(ProgressWindow& progress) {
  progress.SetJobLine("Jobs Complete");
  progress.SetProgressMax(1);
  progress.SetProgressValue(1);
  progress.SetBarColour(kBarRed);
  progress.SetStatus("1 Error (See Log)");
  progress.EnableFinishChoice(false);
  progress.FitLogColumn();
  progress.WaitForOk();
}

int Render(const QString& folder) {
  QtUi ui;
  JobList jobs;
  MainWindowView view(ui, jobs);
  ProgressWindow progress(ui, view);
  SharedRunState state;
  if (!CreateMainWindow(ui) || !CreateProgressWindow(ui) || !CreateShutdownWindow(ui)) return 1;
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
  ui.SetText(kShutdownWindow, kShutdownNowButton, "Shutdown (27)");
  ui.ShowWindow(kShutdownWindow, true);
  saved &= Save(ui.Window(kShutdownWindow), folder, "shutdown-window.png");
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
