#include "core/job_document.h"

#include <string_view>

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

// Fills a job that starts with empty texts, no flag and compare method 0. A missing
// attribute reads as "", which leaves "enabled" on and every other option off.
static void ReadJob(const XmlElement& element, BackupJob& job) {
  job.name = element.Attribute("name");
  if (job.name.empty()) job.name = kNewJobName;
  job.source = WithTrailingSeparator(element.Attribute("copyfrom"));
  job.destination = WithTrailingSeparator(element.Attribute("copyto"));
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
}

static void ReadJobs(const XmlDocument& document, JobList& jobs, JobListView& view) {
  for (const XmlElement& child : document.children) {
    if (ToLower(child.name) != "job") continue;
    BackupJob& job = jobs.Append();
    ReadJob(child, job);
    view.AddJobRow(jobs.Count() - 1, job.name, job.Has(kEnabled));
  }
}

int ApplyJobDocument(const XmlDocument& document, JobList& jobs, RunSettings& settings,
                     JobListView& view) {
  if (!document.hasRoot || ToLower(document.root.name) != "brisvel") {
    view.ShowMessage("Not a valid Brisvel file!", MessageIcon::kWarning);
    view.RefreshSettingsPanel();
    return 0;
  }
  jobs.Clear();
  view.ClearJobRows();
  ReadSettings(document.root, settings, view);
  ReadJobs(document, jobs, view);
  int result = 0;
  if (!jobs.Empty()) {
    jobs.Select(0);
    view.SelectJobRow(0);
    result = 1;
  } else {
    AddDefaultJob(jobs, view);
    view.ShowMessage("No valid jobs were found in the file!", MessageIcon::kWarning);
  }
  view.RefreshSettingsPanel();
  return result;
}

}  // namespace brisvel
