// The job list and settings panel of the main window, over the window-system seam: what
// loading job files, adding jobs and the checks before a run show and read there.
#pragma once

#include <atomic>

#include "app/ui/ui.h"
#include "core/job_list.h"
#include "core/job_list_view.h"

namespace brisvel {

class MainWindowView : public JobListView {
 public:
  MainWindowView(Ui& ui, JobList& jobs) : ui_(ui), jobs_(jobs) {}

  void ClearJobRows() override;
  void AddJobRow(int position, const std::string& name, bool checked) override;
  void SelectJobRow(int position) override;
  bool RowChecked(int position) override;

  void SetRunInTray(bool checked) override;
  bool RunInTray() override;
  void SetFinishChoice(int action) override;
  int FinishChoice() override;

  // Shows the current job's fields, options and row; with no job, empties the panel. Called
  // by the worker too, at the end of a run.
  void RefreshSettingsPanel() override;
  void FocusSourceField() override;

  void ShowMessage(const std::string& text, MessageIcon icon) override;

  // The row whose job the settings panel shows, or -1.
  int ShownJobIndex() const { return shownJob_; }
  void ForgetShownJob() { shownJob_ = -1; }

 private:
  void ShowOptions(const BackupJob& job);

  Ui& ui_;
  JobList& jobs_;
  std::atomic<int> shownJob_{-1};
};

}  // namespace brisvel
