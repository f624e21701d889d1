#include "app/job_commands.h"

#include "app/ui/control_ids.h"
#include "core/job_file.h"
#include "core/text.h"

namespace brisvel {

static constexpr const char* kJobFileExtension = ".jbs";

void JobCommands::ShowSelectedRow() {
  const int row = ui_.SelectedRow(kMainWindow, kJobList);
  if (row < 0 || row == view_.ShownJobIndex() || !jobs_.Select(row)) return;
  jobs_.Current()->Set(kEnabled, view_.RowChecked(row));
  view_.RefreshSettingsPanel();
}

void JobCommands::Add() {
  AddDefaultJob(jobs_, view_);
}

void JobCommands::Rename() {
  const int row = ui_.SelectedRow(kMainWindow, kJobList);
  if (row < 0) return;
  // The refresh below redraws the row's box from its job: a box the user ticked or unticked
  // must reach the job first, or renaming a disabled job would enable it again.
  SyncEnabledFromView(jobs_, view_);
  // The menu can be opened on a row that a right click selected without showing it.
  ShowSelectedRow();
  if (!jobs_.Select(row)) return;
  BackupJob& job = *jobs_.Current();
  if (std::optional<std::string> typed =
          ui_.AskText("Rename Job", "Enter a new name for this job:", job.name)) {
    RenameJob(job, *typed);
  }
  view_.RefreshSettingsPanel();
}

void JobCommands::Delete() {
  if (jobs_.Count() <= 1) {
    view_.ShowMessage("You need at least 1 backup job.", MessageIcon::kExclamation);
    return;
  }
  // The row shown next gets its box redrawn from its job: take every box first.
  SyncEnabledFromView(jobs_, view_);
  // The row the user sees selected is the one to go, even when it was never shown.
  ShowSelectedRow();
  ui_.DeleteRow(kMainWindow, kJobList, jobs_.CurrentPosition());
  jobs_.DeleteCurrent();
  view_.SelectJobRow(jobs_.CurrentPosition());
  view_.RefreshSettingsPanel();
}

void JobCommands::ClearAll() {
  ui_.ClearRows(kMainWindow, kJobList);
  jobs_.Clear();
  AddDefaultJob(jobs_, view_);
}

std::optional<FileChoice> JobCommands::ChooseJobFile(const char* title, bool save) {
  std::optional<FileChoice> choice = ui_.ChooseFile(
      {title, lastFolder_, {{"Brisvel Job File", "*.jbs"}, {"Any File", "*.*"}}, save});
  if (!choice) return std::nullopt;
  // Saved under the job-file filter, a file always gets the job files' extension; under
  // "Any File" it keeps the name as typed.
  if (save && choice->filterIndex == 0 && !ToLower(choice->path).ends_with(kJobFileExtension)) {
    choice->path += kJobFileExtension;
  }
  lastFolder_ = FolderPart(choice->path);
  return choice;
}

void JobCommands::Load() {
  if (std::optional<FileChoice> choice = ChooseJobFile("Load Jobs", false)) {
    if (LoadJobFile(choice->path, jobs_, settings_, view_) != 0) lastJobFile_ = choice->path;
  }
}

void JobCommands::Save() {
  std::optional<FileChoice> choice = ChooseJobFile("Save Jobs", true);
  if (!choice) return;
  if (SaveJobFile(choice->path, jobs_, settings_, view_)) {
    lastJobFile_ = choice->path;
  } else {
    view_.ShowMessage("File could not be saved!", MessageIcon::kExclamation);
  }
}

}  // namespace brisvel
