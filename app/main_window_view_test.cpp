#include "app/main_window_view.h"

#include <gtest/gtest.h>

#include "app/ui/control_ids.h"
#include "app/ui/test_ui.h"
#include "app/window_layout.h"

namespace brisvel {

TEST(MainWindowView, RefreshShowsTheCurrentJobsSettings) {
  FakeUi ui;
  CreateMainWindow(ui);
  JobList jobs;
  MainWindowView view(ui, jobs);
  AddDefaultJob(jobs, view);
  BackupJob& job = *jobs.Current();
  job.name = "Photos";
  job.filter = "jpg png";
  job.flags = kUseFilter | kMoveInsteadOfCopy | kOpenFolderWhenDone;
  job.compareMethod = kCompareCrc32;
  view.RefreshSettingsPanel();

  EXPECT_EQ(ui.Rows(kMainWindow, kJobList)[0].text, "Photos");
  EXPECT_FALSE(ui.RowChecked(kMainWindow, kJobList, 0));  // disabled job, unticked row
  EXPECT_EQ(view.ShownJobIndex(), 0);
  EXPECT_TRUE(ui.Checked(kMainWindow, kSpecificTypesOption));
  EXPECT_FALSE(ui.Checked(kMainWindow, kAllTypesOption));
  EXPECT_TRUE(ui.Enabled(kMainWindow, kExtensionCombo));
  EXPECT_EQ(ui.Text(kMainWindow, kExtensionCombo), "jpg png");
  EXPECT_FALSE(ui.Checked(kMainWindow, kSubFoldersBox));
  EXPECT_TRUE(ui.Checked(kMainWindow, kMoveBox));
  EXPECT_TRUE(ui.Checked(kMainWindow, kOpenFolderBox));
  // The log name stays visible while the box is off; only the field is disabled.
  EXPECT_EQ(ui.Text(kMainWindow, kLogFileField), "backup.log");
  EXPECT_FALSE(ui.Enabled(kMainWindow, kLogFileField));
  EXPECT_EQ(ui.Selection(kMainWindow, kCompareList), kCompareCrc32);
  EXPECT_EQ(ui.Focus(), std::make_pair(int{kMainWindow}, int{kSourceField}));

  jobs.Clear();
  view.RefreshSettingsPanel();
  EXPECT_EQ(ui.RowCount(kMainWindow, kJobList), 0);
  EXPECT_FALSE(ui.Checked(kMainWindow, kMoveBox));
  EXPECT_EQ(ui.StrayCalls(), 0);
}

TEST(MainWindowView, RunInTrayAndTheFinishChoiceAreTheWindowsControls) {
  FakeUi ui;
  CreateMainWindow(ui);
  JobList jobs;
  MainWindowView view(ui, jobs);
  EXPECT_EQ(view.FinishChoice(), kFinishReturn);  // "Return to Brisvel" at start
  EXPECT_FALSE(view.RunInTray());
  view.SetRunInTray(true);
  view.SetFinishChoice(kFinishShutdown);
  EXPECT_TRUE(ui.Checked(kMainWindow, kRunInTrayBox));
  EXPECT_EQ(ui.Text(kMainWindow, kWhenFinishedList), "Shutdown Computer");
  view.ShowMessage("All jobs are disabled.", MessageIcon::kInformation);
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].title, "Brisvel");
}

}  // namespace brisvel
