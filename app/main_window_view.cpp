#include "app/main_window_view.h"

#include "app/ui/control_ids.h"

namespace brisvel {

void MainWindowView::ClearJobRows() {
  ui_.ClearRows(kMainWindow, kJobList);
  ui_.SetText(kMainWindow, kSourceField, "");
  ui_.SetText(kMainWindow, kDestinationField, "");
}

void MainWindowView::AddJobRow(int position, const std::string& name, bool checked) {
  ui_.InsertRow(kMainWindow, kJobList, position, name, Colour{});
  ui_.SetRowChecked(kMainWindow, kJobList, position, checked);
}

void MainWindowView::SelectJobRow(int position) {
  ui_.SelectRow(kMainWindow, kJobList, position);
}

bool MainWindowView::RowChecked(int position) {
  return ui_.RowChecked(kMainWindow, kJobList, position);
}

void MainWindowView::SetRunInTray(bool checked) {
  ui_.SetChecked(kMainWindow, kRunInTrayBox, checked);
}

bool MainWindowView::RunInTray() {
  return ui_.Checked(kMainWindow, kRunInTrayBox);
}

void MainWindowView::SetFinishChoice(int action) {
  ui_.SetSelection(kMainWindow, kWhenFinishedList, action);
}

int MainWindowView::FinishChoice() {
  return ui_.Selection(kMainWindow, kWhenFinishedList);
}

void MainWindowView::RefreshSettingsPanel() {
  const BackupJob* job = jobs_.Current();
  if (jobs_.Empty() || job == nullptr) {
    ui_.ClearRows(kMainWindow, kJobList);
    ui_.SetText(kMainWindow, kSourceField, "");
    ui_.SetText(kMainWindow, kDestinationField, "");
    for (int box : {kSubFoldersBox, kMoveBox, kOrphansBox, kLogBox}) {
      ui_.SetChecked(kMainWindow, box, false);
    }
    return;
  }
  const int row = jobs_.CurrentPosition();
  shownJob_ = row;
  ui_.SetRowText(kMainWindow, kJobList, row, job->name);
  ui_.SetRowChecked(kMainWindow, kJobList, row, job->Has(kEnabled));
  ui_.SetText(kMainWindow, kSourceField, job->source);
  ui_.SetText(kMainWindow, kDestinationField, job->destination);
  ui_.SelectRow(kMainWindow, kJobList, row);
  ShowOptions(*job);
}

void MainWindowView::ShowOptions(const BackupJob& job) {
  const bool filtered = job.Has(kUseFilter);
  ui_.SetChecked(kMainWindow, kSpecificTypesOption, filtered);
  ui_.SetChecked(kMainWindow, kAllTypesOption, !filtered);
  ui_.SetEnabled(kMainWindow, kExtensionCombo, filtered);
  ui_.SetText(kMainWindow, kExtensionCombo, job.filter);
  ui_.SetChecked(kMainWindow, kSubFoldersBox, job.Has(kIncludeSubFolders));
  ui_.SetChecked(kMainWindow, kMoveBox, job.Has(kMoveInsteadOfCopy));
  ui_.SetChecked(kMainWindow, kOrphansBox, job.Has(kDeleteOrphans));
  ui_.SetChecked(kMainWindow, kLogBox, job.Has(kUpdateLogFile));
  ui_.SetChecked(kMainWindow, kOpenFolderBox, job.Has(kOpenFolderWhenDone));
  ui_.SetText(kMainWindow, kLogFileField, job.logFile);
  ui_.SetEnabled(kMainWindow, kLogFileField, job.Has(kUpdateLogFile));
  ui_.SetSelection(kMainWindow, kCompareList, job.compareMethod);
}

void MainWindowView::FocusSourceField() {
  ui_.SetFocus(kMainWindow, kSourceField);
}

void MainWindowView::ShowMessage(const std::string& text, MessageIcon icon) {
  ui_.ShowMessage(kMessageTitle, text, icon, MessageButtons::kOk);
}

}  // namespace brisvel
