#include "core/job_file.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/atomic_file.h"
#include "core/job_document.h"
#include "core/job_settings.h"
#include "core/text.h"
#include "core/xml_reader.h"
#include "core/xml_text.h"

namespace brisvel {

// The folder that holds the file at `path`, ending in a separator; "" when the current
// folder cannot be found out.
static std::string FolderOf(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return std::string();
  return WithTrailingSeparator(absolute.parent_path().string());
}

int LoadJobFile(const std::string& path, JobList& jobs, RunSettings& settings, JobListView& view) {
  XmlDocument document;
  if (ReadXmlFile(path, document) != XmlFileResult::kRead) {
    view.ShowMessage("Couldn't load '" + FilePart(path) + "'!", MessageIcon::kWarning);
    view.RefreshSettingsPanel();
    return 0;
  }
  // A document that ends early still gives what was read before the fault.
  return ApplyJobDocument(document, jobs, settings, view, FolderOf(path));
}

static std::string WithoutDoubleQuotes(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c != '"') result += c;
  }
  return result;
}

static void AppendAttribute(std::string& out, const char* name, std::string_view value) {
  out += ' ';
  out += name;
  out += "=\"";
  AppendXmlAttributeValue(out, value);
  out += '"';
}

static void AppendText(std::string& out, const char* name, std::string_view value) {
  AppendAttribute(out, name, WithoutDoubleQuotes(value));
}

static void AppendFlag(std::string& out, const char* name, const BackupJob& job, JobFlag flag) {
  AppendAttribute(out, name, job.Has(flag) ? "true" : "false");
}

static void AppendJob(std::string& out, const BackupJob& job) {
  static const char* const kMethods[] = {"size", "date", "crc32", "md5"};
  out += "   <job";
  AppendText(out, "name", job.name);
  AppendText(out, "copyfrom", job.source);
  AppendText(out, "copyto", job.destination);
  if (job.compareMethod <= kCompareMd5) AppendAttribute(out, "method", kMethods[job.compareMethod]);
  AppendFlag(out, "enabled", job, kEnabled);
  AppendFlag(out, "usefilter", job, kUseFilter);
  AppendText(out, "filter", job.filter);
  AppendFlag(out, "recursive", job, kIncludeSubFolders);
  AppendFlag(out, "move", job, kMoveInsteadOfCopy);
  AppendFlag(out, "orphans", job, kDeleteOrphans);
  AppendFlag(out, "log", job, kUpdateLogFile);
  AppendText(out, "logfile", job.logFile);
  AppendFlag(out, "open", job, kOpenFolderWhenDone);
  // Written only when set, so files without them stay byte for byte as they were.
  if (job.needsDrive) AppendAttribute(out, "needsdrive", "true");
  for (const auto& [name, value] : JobSettingAttributes(job)) AppendText(out, name, value);
  out += "/>\r\n";
}

std::string JobFileText(const JobList& jobs, const RunSettings& settings) {
  static const char* const kFinishes[] = {"nothing", "brisvel", "shutdown"};
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<brisvel";
  AppendAttribute(out, "version", "1.1");
  int32_t finish = settings.finishAction;
  if (finish >= kFinishExit && finish <= kFinishShutdown) {
    AppendAttribute(out, "finish", kFinishes[finish]);
  }
  AppendAttribute(out, "silent", settings.hiddenRun != 0 ? "true" : "false");
  if (jobs.Empty()) return out + "/>\r\n";
  out += ">\r\n";
  for (const BackupJob& job : jobs) AppendJob(out, job);
  return out + "</brisvel>\r\n";
}

int SaveJobFile(const std::string& path, JobList& jobs, RunSettings& settings, JobListView& view) {
  settings.hiddenRun = view.RunInTray() ? 1 : 0;
  settings.finishAction = view.FinishChoice();
  SyncEnabledFromView(jobs, view);
  return WriteFileAtomically(path, JobFileText(jobs, settings)) ? 1 : 0;
}

}  // namespace brisvel
