#include "tools/screenshot_scenes.h"

#include <utility>

#include "app/job_options_window.h"
#include "app/schedule_window.h"
#include "app/ui/control_ids.h"

namespace brisvel {
namespace {

// The folders as a user of this platform would name them.
#ifdef _WIN32
constexpr const char* kDocuments[] = {"C:\\Users\\ana\\Documents\\", "E:\\Backup\\Documents\\"};
constexpr const char* kPictures[] = {"C:\\Users\\ana\\Pictures\\", "E:\\Backup\\Pictures\\"};
#else
constexpr const char* kDocuments[] = {"/home/ana/Documents/", "/media/backup/Documents/"};
constexpr const char* kPictures[] = {"/home/ana/Pictures/", "/media/backup/Pictures/"};
#endif

void FillJobs(JobList& jobs) {
  BackupJob documents = DefaultJob();
  documents.name = "Documents";
  documents.source = kDocuments[0];
  documents.destination = kDocuments[1];
  documents.Set(kUseFilter, true);
  documents.filter = ".doc .docx .odt .pdf .txt";
  documents.Set(kUpdateLogFile, true);
  documents.Set(kDeleteOrphans, true);
  documents.compareMethod = kCompareMd5;
  documents.Set(kAutomaticName, false);
  BackupJob photos = DefaultJob();
  photos.name = "Photos";
  photos.source = kPictures[0];
  photos.destination = kPictures[1];
  photos.Set(kEnabled, false);
  jobs.Append(documents);
  jobs.Append(photos);
}

}  // namespace

void ShowMainWindow(Ui& ui, JobList& jobs, MainWindowView& view) {
  FillJobs(jobs);
  for (int row = 0; row < jobs.Count(); ++row) {
    view.AddJobRow(row, jobs.At(row).name, jobs.At(row).Has(kEnabled));
  }
  jobs.Select(0);
  view.RefreshSettingsPanel();
  ui.ShowWindow(kMainWindow, true);
}

static void AddRowsOfEveryColour(ProgressWindow& progress) {
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

void ShowJobOptionsWindow(Ui& ui) {
  JobList jobs;
  FillJobs(jobs);
  BackupJob& job = jobs.At(0);
  job.keepVersions = true;
  job.keepRuns = 10;
  job.keepDays = 90;
  job.maxDelete = {DeletionLimit::Kind::kPercent, 20};
  job.exclude = "node_modules/;.git/;*.tmp;~$*";
  job.needsDrive = true;
  jobs.Select(0);
  JobOptionsWindow window(ui, jobs, RealFileSystem());
  window.Open();
}

void ShowScheduleWindow(Ui& ui) {
  const std::string file = "Documents.jbs";
  ScheduleWindow window(ui, {[](const std::string&, const Schedule&) { return ScheduleOutcome{}; },
                             [file] {
                               return ScheduleOutcome{true, file + ": weekly friday 18:30"};
                             }});
  window.Open(file);
}

void ShowShutdownWindow(Ui& ui) {
  ui.SetText(kShutdownWindow, kShutdownNowButton, "Shutdown (27)");
  ui.ShowWindow(kShutdownWindow, true);
}

}  // namespace brisvel
