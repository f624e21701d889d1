#include "engine/validation.h"

#include <gtest/gtest.h>

#include "core/test_job_list_view.h"

namespace brisvel {
namespace {

class ValidationTest : public ::testing::Test {
 protected:
  void AddJob(const std::string& name, const std::string& source, const std::string& destination,
              bool checked) {
    BackupJob job = DefaultJob();
    job.name = name;
    job.source = source;
    job.destination = destination;
    jobs_.Append(job);
    view_.AddJobRow(jobs_.Count() - 1, name, checked);
  }

  bool Validate() {
    return ValidateAndRun(jobs_, view_, settings_, [this] { ++started_; });
  }

  JobList jobs_;
  FakeJobListView view_;
  RunSettings settings_;
  int started_ = 0;
};

TEST_F(ValidationTest, FirstJobWithoutAFolderIsShownAndNamed) {
  AddJob("Good", "/a/", "/b/", true);
  AddJob("Second", "/c/", "", true);
  AddJob("Third", "", "", true);
  jobs_.Select(0);
  EXPECT_FALSE(Validate());
  EXPECT_EQ(started_, 0);
  EXPECT_EQ(jobs_.CurrentPosition(), 1);
  EXPECT_EQ(view_.selectedRow, 1);
  EXPECT_GE(view_.refreshCount, 1);
  ASSERT_EQ(view_.messages.size(), 1u);
  EXPECT_EQ(view_.messages[0].text, "Specify valid folders for 'Second'.");
  EXPECT_EQ(view_.messages[0].icon, MessageIcon::kInformation);
}

TEST_F(ValidationTest, FoldersThatDifferOnlyInLetterCaseAreTheSame) {
  AddJob("Same", "/Data/Photos/", "/data/photos/", true);
  EXPECT_FALSE(Validate());
  EXPECT_EQ(
      view_.MessageTexts(),
      std::vector<std::string>{"Source and destination folders must be different for 'Same'."});
}

TEST_F(ValidationTest, FoldersThatDifferOnlyByTheFinalSeparatorAreAccepted) {
  AddJob("Job", "/data/photos", "/data/photos/", true);
  EXPECT_TRUE(Validate());
  EXPECT_EQ(started_, 1);
}

TEST_F(ValidationTest, UncheckedRowsDisableTheirJobsAndAreNotExamined) {
  AddJob("Off", "", "", false);
  AddJob("On", "/a/", "/b/", true);
  view_.runInTray = true;
  view_.finishChoice = kFinishShutdown;
  EXPECT_TRUE(Validate());
  EXPECT_FALSE(jobs_.At(0).Has(kEnabled));
  EXPECT_TRUE(jobs_.At(1).Has(kEnabled));
  EXPECT_EQ(settings_.hiddenRun, 1);
  EXPECT_EQ(settings_.finishAction, kFinishShutdown);
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(ValidationTest, AllJobsDisabledRunsNothing) {
  AddJob("A", "/a/", "/b/", false);
  AddJob("B", "/c/", "/d/", false);
  EXPECT_FALSE(Validate());
  EXPECT_EQ(view_.MessageTexts(), std::vector<std::string>{"All jobs are disabled."});
  EXPECT_EQ(started_, 0);
}

}  // namespace
}  // namespace brisvel
