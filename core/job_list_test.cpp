#include "core/job_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/test_job_list_view.h"

namespace brisvel {
namespace {

TEST(JobListTest, SelectAndDelete) {
  JobList jobs;
  for (const char* name : {"a", "b", "c", "d"}) jobs.Append().name = name;
  EXPECT_FALSE(jobs.Select(4));
  EXPECT_FALSE(jobs.Select(-1));
  EXPECT_EQ(jobs.CurrentPosition(), 3);
  jobs.Select(1);
  jobs.DeleteCurrent();  // a middle job: the position stays
  EXPECT_EQ(jobs.Current()->name, "c");
  jobs.Select(2);
  jobs.DeleteCurrent();  // the last job: the new last one
  EXPECT_EQ(jobs.CurrentPosition(), 1);
  EXPECT_EQ(jobs.Current()->name, "c");
  jobs.DeleteCurrent();
  jobs.DeleteCurrent();
  EXPECT_EQ(jobs.Current(), nullptr);
  jobs.DeleteCurrent();
  EXPECT_TRUE(jobs.Empty());
}

TEST(JobListTest, CheckBoxesAndTheDefaultJobRow) {
  JobList jobs;
  jobs.Append().flags = kIncludeSubFolders | kEnabled;
  FakeJobListView view;
  view.AddJobRow(0, "a", false);
  SyncEnabledFromView(jobs, view);
  EXPECT_EQ(jobs.At(0).flags, kIncludeSubFolders);

  AddDefaultJob(jobs, view);
  EXPECT_EQ(jobs.CurrentPosition(), 1);
  EXPECT_EQ(view.RowNames(), (std::vector<std::string>{"a", "New Job"}));
  EXPECT_TRUE(view.rows[1].checked);
  EXPECT_EQ(view.selectedRow, 1);
  EXPECT_EQ(view.refreshCount, 1);
}

}  // namespace
}  // namespace brisvel
