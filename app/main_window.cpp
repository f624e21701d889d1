#include "app/main_window.h"

#include <utility>

#include "app/ui/control_ids.h"
#include "core/extension_groups.h"
#include "core/text.h"
#include "engine/validation.h"

namespace brisvel {

// The option controls and the job flags they stand for. The enabled and automatic-name
// flags have no control here and keep their values.
static constexpr std::pair<int, JobFlag> kOptionControls[] = {
    {kSubFoldersBox, kIncludeSubFolders},  {kMoveBox, kMoveInsteadOfCopy},
    {kOrphansBox, kDeleteOrphans},         {kLogBox, kUpdateLogFile},
    {kOpenFolderBox, kOpenFolderWhenDone}, {kSpecificTypesOption, kUseFilter},
};

static bool IsOptionControl(int control) {
  if (control == kAllTypesOption) return true;
  for (const auto& [option, flag] : kOptionControls) {
    if (option == control) return true;
  }
  return false;
}

void MainWindow::Handle(const UiEvent& event) {
  if (event.type == EventType::kMenuItem) {
    HandleShortcut(event.id);
  } else if (event.id == kJobList) {
    HandleJobList(event.type);
  } else if (BackupJob* job = jobs_.Current()) {
    HandleControl(event.id, event.type, *job);
  }
}

void MainWindow::HandleShortcut(int menuEvent) {
  if (menuEvent == kReturnKey) {
    RunJobs();
  } else if (menuEvent == kF1Key) {
    actions_.openWebPage();
  }
}

void MainWindow::HandleJobList(EventType type) {
  switch (type) {
    case EventType::kClick:
      commands_.ShowSelectedRow();
      break;
    case EventType::kDoubleClick:
      commands_.Rename();
      break;
    case EventType::kSelectionChange:  // a right click
      ui_.ShowPopupMenu(kJobMenu);
      break;
    default:
      break;
  }
}

void MainWindow::HandleControl(int control, EventType type, BackupJob& job) {
  const bool click = type == EventType::kClick;
  if (type == EventType::kTextChanged &&
      (control == kSourceField || control == kDestinationField)) {
    job.source = ui_.Text(kMainWindow, kSourceField);
    job.destination = ui_.Text(kMainWindow, kDestinationField);
  } else if (type == EventType::kTextChanged && control == kLogFileField) {
    job.logFile = Trim(ui_.Text(kMainWindow, kLogFileField));
  } else if (type == EventType::kComboTextTyped && control == kExtensionCombo) {
    job.filter = ui_.Text(kMainWindow, kExtensionCombo);
  } else if (type == EventType::kSelectionChange && control == kExtensionCombo) {
    TakeExtensionGroup(job);
  } else if (type == EventType::kSelectionChange && control == kCompareList) {
    TakeCompareMethod(job);
  } else if (click && IsOptionControl(control)) {
    TakeOptions(job, control);
  } else if (click && control == kSourceBrowse) {
    ChooseSource(job);
  } else if (click && control == kDestinationBrowse) {
    ChooseDestination(job);
  } else if (click && control == kAddButton) {
    commands_.Add();
  } else if (click && control == kDeleteButton) {
    commands_.Delete();
  } else if (click && control == kRunJobsButton) {
    RunJobs();
  } else if (click && control == kLoadJobsButton) {
    commands_.Load();
  } else if (click && control == kSaveJobsButton) {
    commands_.Save();
  } else if (click && control == kHelpButton) {
    ui_.ShowPopupMenu(kHelpMenu);
  }
}

void MainWindow::ChooseSource(BackupJob& job) {
  std::optional<std::string> folder = ui_.ChooseFolder("Back Up", job.source);
  if (!folder) return;
  ui_.SetText(kMainWindow, kSourceField, *folder);
  job.source = *folder;
  if (ApplyAutomaticName(job, *folder)) {
    ui_.SetRowText(kMainWindow, kJobList, jobs_.CurrentPosition(), job.name);
  }
  ui_.SetFocus(kMainWindow, kDestinationField);
}

void MainWindow::ChooseDestination(BackupJob& job) {
  std::optional<std::string> folder = ui_.ChooseFolder("To", job.destination);
  if (!folder) return;
  ui_.SetText(kMainWindow, kDestinationField, *folder);
  job.destination = *folder;
}

void MainWindow::TakeOptions(BackupJob& job, int clicked) {
  for (const auto& [control, flag] : kOptionControls) {
    job.Set(flag, ui_.Checked(kMainWindow, control));
  }
  // The filter text stays while "All File Types" is chosen, and so does the log file's name
  // while the log is off; only their fields are greyed.
  ui_.SetEnabled(kMainWindow, kLogFileField, job.Has(kUpdateLogFile));
  ui_.SetEnabled(kMainWindow, kExtensionCombo, job.Has(kUseFilter));
  if (clicked == kSpecificTypesOption) ui_.SetFocus(kMainWindow, kExtensionCombo);
}

void MainWindow::TakeExtensionGroup(BackupJob& job) {
  const int index = ui_.Selection(kMainWindow, kExtensionCombo);
  if (index < 0 || index >= kExtensionGroupCount) return;
  job.filter = ExtensionGroups()[index].text;
  ui_.SetText(kMainWindow, kExtensionCombo, job.filter);
}

void MainWindow::TakeCompareMethod(BackupJob& job) {
  const int index = ui_.Selection(kMainWindow, kCompareList);
  if (index >= kCompareSize && index <= kCompareMd5)
    job.compareMethod = static_cast<uint8_t>(index);
}

void MainWindow::RunJobs() {
  ValidateAndRun(jobs_, view_, settings_, actions_.startRun);
}

}  // namespace brisvel
