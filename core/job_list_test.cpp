#include "core/job_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/job_list_view_fake.h"

namespace brisvel {
namespace {

JobList ListOf(const std::vector<std::string>& names) {
  JobList jobs;
  for (const std::string& name : names) jobs.Append().name = name;
  return jobs;
}

TEST(JobListTest, AppendGivesABlankCurrentJob) {
  JobList jobs;
  EXPECT_EQ(jobs.CurrentPosition(), -1);
  EXPECT_EQ(jobs.Current(), nullptr);
  jobs.Append(DefaultJob());
  BackupJob& job = jobs.Append();
  EXPECT_EQ(jobs.CurrentPosition(), 1);
  EXPECT_EQ(&job, jobs.Current());
  EXPECT_EQ(job.name, "");
  EXPECT_EQ(job.flags, 0);
  EXPECT_EQ(job.compareMethod, kCompareSize);
  EXPECT_EQ(job.logFile, "");
}

TEST(JobListTest, SelectRefusesPositionsOutsideTheList) {
  JobList jobs = ListOf({"a", "b", "c"});
  EXPECT_TRUE(jobs.Select(0));
  EXPECT_FALSE(jobs.Select(3));
  EXPECT_FALSE(jobs.Select(-1));
  EXPECT_EQ(jobs.Current()->name, "a");
}

TEST(JobListTest, DeleteKeepsThePositionOrTakesTheNewLast) {
  JobList jobs = ListOf({"a", "b", "c", "d"});
  jobs.Select(1);
  jobs.DeleteCurrent();
  EXPECT_EQ(jobs.CurrentPosition(), 1);
  EXPECT_EQ(jobs.Current()->name, "c");
  jobs.Select(2);
  jobs.DeleteCurrent();
  EXPECT_EQ(jobs.CurrentPosition(), 1);
  EXPECT_EQ(jobs.Current()->name, "c");
  jobs.DeleteCurrent();
  jobs.DeleteCurrent();
  EXPECT_TRUE(jobs.Empty());
  EXPECT_EQ(jobs.CurrentPosition(), -1);
  jobs.DeleteCurrent();  // nothing to delete
  EXPECT_TRUE(jobs.Empty());
}

TEST(JobListTest, EnabledFlagsFollowTheCheckBoxesOnly) {
  JobList jobs = ListOf({"a", "b"});
  jobs.At(0).flags = kIncludeSubFolders | kEnabled;
  jobs.At(1).flags = kMoveInsteadOfCopy;
  FakeJobListView view;
  view.AddJobRow(0, "a", false);
  view.AddJobRow(1, "b", true);
  SyncEnabledFromView(jobs, view);
  EXPECT_EQ(jobs.At(0).flags, kIncludeSubFolders);
  EXPECT_EQ(jobs.At(1).flags, kMoveInsteadOfCopy | kEnabled);
}

TEST(JobListTest, AddDefaultJobShowsItAsTheLastRow) {
  JobList jobs = ListOf({"a"});
  FakeJobListView view;
  view.AddJobRow(0, "a", true);
  AddDefaultJob(jobs, view);
  ASSERT_EQ(jobs.Count(), 2);
  EXPECT_EQ(jobs.CurrentPosition(), 1);
  EXPECT_EQ(jobs.Current()->flags, DefaultJob().flags);
  EXPECT_EQ(view.RowNames(), (std::vector<std::string>{"a", "New Job"}));
  EXPECT_TRUE(view.rows[1].checked);
  EXPECT_EQ(view.selectedRow, 1);
  EXPECT_EQ(view.refreshCount, 1);
  EXPECT_EQ(view.focusCount, 1);
}

TEST(JobListTest, RunnableNeedsAnEnabledJobWithBothFolders) {
  JobList jobs;
  BackupJob disabled = CommandLineJob("/a", "/b");
  disabled.Set(kEnabled, false);
  jobs.Append(disabled);
  jobs.Append(CommandLineJob("/a", ""));
  EXPECT_FALSE(HasRunnableJob(jobs));
  jobs.Append(CommandLineJob("/a", "/b"));
  EXPECT_TRUE(HasRunnableJob(jobs));
}

}  // namespace
}  // namespace brisvel
