#include "app/job_options_window.h"

#include "app/ui/control_ids.h"
#include "core/job_settings.h"
#include "core/message.h"
#include "core/text.h"

namespace brisvel {
namespace {

std::string CountText(int32_t count) {
  return count == 0 ? "" : std::to_string(count);
}

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

bool IsFullPath(const std::string& path) {
#ifdef _WIN32
  return (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) ||
         (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]));
#else
  return !path.empty() && path[0] == '/';
#endif
}

// The folder that holds `path`, or "" for a root.
std::string ParentOf(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  if (end == 0) return "";
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  if (end == 0) return path.substr(0, 1);
  if (end == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, end);
}

}  // namespace

void JobOptionsWindow::Open() {
  const BackupJob* job = jobs_.Current();
  if (job == nullptr) return;
  ui_.SetChecked(kJobOptionsWindow, kKeepVersionsBox, job->keepVersions);
  ui_.SetText(kJobOptionsWindow, kVersionFolderField, job->versionFolder);
  ui_.SetText(kJobOptionsWindow, kKeepRunsField, CountText(job->keepRuns));
  ui_.SetText(kJobOptionsWindow, kKeepDaysField, CountText(job->keepDays));
  ui_.SetText(kJobOptionsWindow, kMaxDeleteField, DeletionLimitText(job->maxDelete));
  ui_.SetText(kJobOptionsWindow, kExcludeField, job->exclude);
  ui_.SetChecked(kJobOptionsWindow, kNeedsDriveBox, job->needsDrive);
  open_ = true;
  ui_.ShowWindow(kJobOptionsWindow, true);
  ui_.ActivateWindow(kJobOptionsWindow);
  ui_.SetFocus(kJobOptionsWindow, kKeepVersionsBox);
}

void JobOptionsWindow::Handle(const UiEvent& event) {
  if (!open_) return;
  const bool click = event.type == EventType::kClick;
  const bool key = event.type == EventType::kMenuItem;
  if ((click && event.id == kOptionsOkButton) || (key && event.id == kReturnKey)) {
    Accept();
  } else if ((click && event.id == kOptionsCancelButton) || (key && event.id == kEscapeKey) ||
             event.type == EventType::kCloseRequest) {
    Close();
  } else if (click && event.id == kVersionFolderBrowse) {
    ChooseVersionFolder();
  }
}

void JobOptionsWindow::ChooseVersionFolder() {
  const BackupJob* job = jobs_.Current();
  std::string start = Trim(ui_.Text(kJobOptionsWindow, kVersionFolderField));
  if (start.empty() && job != nullptr) start = job->destination;
  if (std::optional<std::string> folder = ui_.ChooseFolder("Old Versions", start)) {
    ui_.SetText(kJobOptionsWindow, kVersionFolderField, *folder);
  }
}

void JobOptionsWindow::Accept() {
  BackupJob* job = jobs_.Current();
  if (job == nullptr) return Close();
  BackupJob taken = *job;
  int field = 0;
  const std::string problem = ReadFields(taken, field);
  if (!problem.empty()) {
    ui_.ShowMessage(kMessageTitle, problem, MessageIcon::kWarning, MessageButtons::kOk);
    ui_.SetFocus(kJobOptionsWindow, field);
    return;
  }
  *job = taken;
  Close();
}

void JobOptionsWindow::Close() {
  open_ = false;
  ui_.ShowWindow(kJobOptionsWindow, false);
  ui_.ActivateWindow(kMainWindow);
}

std::string JobOptionsWindow::ReadFields(BackupJob& job, int& field) {
  const std::string folder = Trim(ui_.Text(kJobOptionsWindow, kVersionFolderField));
  const std::optional<int32_t> runs = ParseCount(ui_.Text(kJobOptionsWindow, kKeepRunsField));
  const std::optional<int32_t> days = ParseCount(ui_.Text(kJobOptionsWindow, kKeepDaysField));
  const std::optional<DeletionLimit> limit =
      ParseDeletionLimit(ui_.Text(kJobOptionsWindow, kMaxDeleteField));
  const std::string range = "a whole number from 0 to " + std::to_string(kMaxCount);
  std::string problem = VersionFolderProblem(folder);
  if (!problem.empty()) {
    field = kVersionFolderField;
    return problem;
  }
  if (!runs) {
    field = kKeepRunsField;
    return "Keep the last runs: enter " + range + " (0 or empty keeps all).";
  }
  if (!days) {
    field = kKeepDaysField;
    return "Remove versions older than: enter " + range + " of days (0 or empty: never).";
  }
  if (!limit) {
    field = kMaxDeleteField;
    return "Deletion limit: enter a number of files such as 50, a share of the destination's "
           "files from 0% to 100% such as 50%, or nothing for no limit.";
  }
  job.keepVersions = ui_.Checked(kJobOptionsWindow, kKeepVersionsBox);
  job.versionFolder = folder;
  job.keepRuns = *runs;
  job.keepDays = *days;
  job.maxDelete = *limit;
  job.exclude = Trim(ui_.Text(kJobOptionsWindow, kExcludeField));
  job.needsDrive = ui_.Checked(kJobOptionsWindow, kNeedsDriveBox);
  return "";
}

// A folder inside the destination is made by the run; one elsewhere must have an existing
// folder above it where the run can make it. Nothing is made here.
std::string JobOptionsWindow::VersionFolderProblem(const std::string& folder) {
  if (!VersionFolderAllowed(folder)) {
    return "Version folder: \"" + folder +
           "\" would lie outside the destination. Give a folder inside the destination without "
           "\"..\", or a full path.";
  }
  if (!IsFullPath(folder)) return "";
  for (std::string path = folder; !path.empty() && path != ParentOf(path); path = ParentOf(path)) {
    switch (fs_.Lookup(path)) {
      case PathState::kFolder:
        return "";
      case PathState::kMissing:
        continue;
      default:
        break;
    }
    break;
  }
  return "Version folder: \"" + folder + "\" cannot be made: no folder above it can hold it.";
}

}  // namespace brisvel
