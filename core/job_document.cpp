#include "core/job_document.h"

#include <filesystem>
#include <string_view>

#include "core/job_settings.h"
#include "core/text.h"

namespace brisvel {

static bool IsYes(std::string_view value) {
  std::string lower = ToLower(value);
  return lower == "true" || lower == "yes" || lower == "1";
}

static uint8_t CompareMethodFrom(std::string_view value) {
  std::string lower = ToLower(value);
  if (lower == "date" || lower == "modified" || lower == "moddate") return kCompareDate;
  if (lower == "crc32" || lower == "crc") return kCompareCrc32;
  if (lower == "md5") return kCompareMd5;
  return kCompareSize;
}

static int32_t FinishActionFrom(std::string_view value) {
  std::string lower = ToLower(value);
  if (lower == "brisvel" || lower == "program" || lower == "open") return kFinishReturn;
  if (lower == "shutdown" || lower == "shut down") return kFinishShutdown;
  return kFinishExit;
}

static void ReadSettings(const XmlElement& root, RunSettings& settings, JobListView& view) {
  bool hidden = IsYes(root.Attribute("silent"));
  settings.hiddenRun = hidden ? 1 : 0;
  view.SetRunInTray(hidden);
  int32_t finish = FinishActionFrom(root.Attribute("finish"));
  settings.finishAction = finish;
  view.SetFinishChoice(finish);
}

// A relative folder in a job file means a folder beside the job file, wherever the program
// was started from.
static std::string FolderFrom(const std::string& value, const std::string& jobFileFolder) {
  if (value.empty() || jobFileFolder.empty() || std::filesystem::path(value).has_root_path()) {
    return WithTrailingSeparator(value);
  }
  return WithTrailingSeparator(jobFileFolder + value);
}

// Fills a job that starts with empty texts, no flag and compare method 0. A missing
// attribute reads as "", which leaves "enabled" on and every other option off.
static void ReadJob(const XmlElement& element, const std::string& jobFileFolder, BackupJob& job,
                    SettingProblems& problems) {
  job.name = element.Attribute("name");
  if (job.name.empty()) job.name = kNewJobName;
  job.source = FolderFrom(element.Attribute("copyfrom"), jobFileFolder);
  job.destination = FolderFrom(element.Attribute("copyto"), jobFileFolder);
  job.compareMethod = CompareMethodFrom(element.Attribute("method"));
  std::string enabled = element.Attribute("enabled");
  job.Set(kEnabled, enabled.empty() || IsYes(enabled));
  job.Set(kUseFilter, IsYes(element.Attribute("usefilter")));
  job.filter = element.Attribute("filter");
  job.Set(kIncludeSubFolders, IsYes(element.Attribute("recursive")));
  job.Set(kMoveInsteadOfCopy, IsYes(element.Attribute("move")));
  job.Set(kDeleteOrphans, IsYes(element.Attribute("orphans")));
  job.Set(kUpdateLogFile, IsYes(element.Attribute("log")));
  job.logFile = element.Attribute("logfile");
  job.Set(kOpenFolderWhenDone, IsYes(element.Attribute("open")));
  job.needsDrive = IsYes(element.Attribute("needsdrive"));
  ReadJobSettings(element, job, problems);
}

static void ReadJobs(const XmlDocument& document, const std::string& jobFileFolder, JobList& jobs,
                     JobListView& view, SettingProblems& problems) {
  for (const XmlElement& child : document.children) {
    if (ToLower(child.name) != "job") continue;
    BackupJob& job = jobs.Append();
    ReadJob(child, jobFileFolder, job, problems);
    view.AddJobRow(jobs.Count() - 1, job.name, job.Has(kEnabled));
  }
}

int ApplyJobDocument(const XmlDocument& document, JobList& jobs, RunSettings& settings,
                     JobListView& view, const std::string& jobFileFolder) {
  if (!document.hasRoot || ToLower(document.root.name) != "brisvel") {
    view.ShowMessage("Not a valid Brisvel file!", MessageIcon::kWarning);
    view.RefreshSettingsPanel();
    return 0;
  }
  jobs.Clear();
  view.ClearJobRows();
  ReadSettings(document.root, settings, view);
  SettingProblems problems;
  ReadJobs(document, jobFileFolder, jobs, view, problems);
  int result = 0;
  if (!jobs.Empty()) {
    jobs.Select(0);
    view.SelectJobRow(0);
    result = 1;
  } else {
    AddDefaultJob(jobs, view);
  }
  // A file cut short by a limit is no fault of its contents: the message names the limit.
  if (!document.limitHit.empty()) {
    view.ShowMessage("Reading the job file stopped at " + document.limitHit +
                         "; the jobs after that point were not loaded.",
                     MessageIcon::kWarning);
  } else if (result == 0) {
    view.ShowMessage("No valid jobs were found in the file!", MessageIcon::kWarning);
  }
  // Values a setting cannot take leave it off; the user hears of all of them at once.
  if (!problems.empty()) view.ShowMessage(SettingProblemsMessage(problems), MessageIcon::kWarning);
  view.RefreshSettingsPanel();
  return result;
}

}  // namespace brisvel
