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

// What each event of the settings panel and the buttons does to the current job.
struct MainWindow::ControlAction {
  int control;
  EventType type;
  void (*act)(MainWindow& window, BackupJob& job);
};

const MainWindow::ControlAction MainWindow::kControlActions[] = {
    {kSourceField, EventType::kTextChanged,
     [](MainWindow& w, BackupJob& job) { w.TakeFolders(job); }},
    {kDestinationField, EventType::kTextChanged,
     [](MainWindow& w, BackupJob& job) { w.TakeFolders(job); }},
    {kLogFileField, EventType::kTextChanged,
     [](MainWindow& w, BackupJob& job) {
       job.logFile = Trim(w.ui_.Text(kMainWindow, kLogFileField));
     }},
    {kExtensionCombo, EventType::kComboTextTyped,
     [](MainWindow& w, BackupJob& job) { job.filter = w.ui_.Text(kMainWindow, kExtensionCombo); }},
    {kExtensionCombo, EventType::kSelectionChange,
     [](MainWindow& w, BackupJob& job) { w.TakeExtensionGroup(job); }},
    {kCompareList, EventType::kSelectionChange,
     [](MainWindow& w, BackupJob& job) { w.TakeCompareMethod(job); }},
    {kSourceBrowse, EventType::kClick, [](MainWindow& w, BackupJob& job) { w.ChooseSource(job); }},
    {kDestinationBrowse, EventType::kClick,
     [](MainWindow& w, BackupJob& job) { w.ChooseDestination(job); }},
    {kAddButton, EventType::kClick, [](MainWindow& w, BackupJob&) { w.commands_.Add(); }},
    {kDeleteButton, EventType::kClick, [](MainWindow& w, BackupJob&) { w.commands_.Delete(); }},
    {kRunJobsButton, EventType::kClick, [](MainWindow& w, BackupJob&) { w.RunJobs(); }},
    {kLoadJobsButton, EventType::kClick, [](MainWindow& w, BackupJob&) { w.commands_.Load(); }},
    {kSaveJobsButton, EventType::kClick, [](MainWindow& w, BackupJob&) { w.commands_.Save(); }},
    {kHelpButton, EventType::kClick,
     [](MainWindow& w, BackupJob&) { w.ui_.ShowPopupMenu(kHelpMenu); }},
};

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
    actions_.openManual();
  } else if (menuEvent == kPreviewItem) {
    PreviewJobs();
  } else if (menuEvent == kJobOptionsItem && actions_.openJobOptions) {
    actions_.openJobOptions();
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
  if (type == EventType::kClick && IsOptionControl(control)) {
    TakeOptions(job, control);
    return;
  }
  for (const ControlAction& action : kControlActions) {
    if (action.control == control && action.type == type) {
      action.act(*this, job);
      return;
    }
  }
}

void MainWindow::TakeFolders(BackupJob& job) {
  job.source = ui_.Text(kMainWindow, kSourceField);
  job.destination = ui_.Text(kMainWindow, kDestinationField);
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

void MainWindow::PreviewJobs() {
  ValidateAndRun(jobs_, view_, settings_, actions_.startPreview);
}

}  // namespace brisvel
