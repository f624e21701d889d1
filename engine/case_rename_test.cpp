// A destination drive that ignores letter case: Windows' own, or on Linux the same through a
// file system that acts as one.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/case_folding.h"
#include "core/test_folder.h"
#include "engine/test_case_blind_fs.h"
#include "engine/job_runner.h"
#include "engine/recording_progress_view.h"

namespace brisvel {
namespace {

class CaseRenameTest : public ::testing::Test {
 protected:
  CaseRenameTest() : caseBlind_(destination_) {
    WriteFile(source_ + "keep.txt", "keep");
    state_.runState = kRunning;
  }

  void Run(uint8_t flags) {
    jobs_ = JobList();
    BackupJob job = DefaultJob();
    job.name = "Job";
    job.source = source_;
    job.destination = destination_;
    job.flags = flags | kEnabled;
    jobs_.Append(job);
    view_.rows.clear();
    state_.errorCount = 0;
#ifdef _WIN32
    FileSystem& fs = RealFileSystem();  // the drive ignores case itself
#else
    FileSystem& fs = caseBlind_;
#endif
    RunEnvironment env{jobs_, settings_, state_, view_, fs, nullptr};
    JobRunner(env);
  }
  bool Has(const std::string& row) const {
    const std::vector<std::string> texts = view_.Texts();
    return std::find(texts.begin(), texts.end(), row) != texts.end();
  }

  TestFolder root_;
  const std::string source_ = root_ / NativePath("src/");
  const std::string destination_ = root_ / NativePath("dst/");
  CaseBlindFileSystem caseBlind_;
  JobList jobs_;
  RunSettings settings_;
  SharedRunState state_;
  RecordingProgressView view_;
};

// "Jöurnal.txt" renamed "jÖURNAL.TXT" in the source is the same file: compared and
// replaced as usual.
TEST_F(CaseRenameTest, AFileRenamedInLetterCaseIsBackedUpAgain) {
  WriteFile(source_ + "Jöurnal.txt", "first");
  Run(kIncludeSubFolders);
  // Made anew rather than renamed: Wine cannot rename a file in letter case only.
  std::filesystem::remove(FsPath(source_ + "Jöurnal.txt"));
  WriteFile(source_ + "jÖURNAL.TXT", "second, longer");
  Run(kIncludeSubFolders);
  EXPECT_TRUE(Has("Copied jÖURNAL.TXT"));
  EXPECT_EQ(state_.errorCount, 0);
  const std::string names = root_.Names("dst");
  const std::string stored = names.substr(0, names.find('|'));
  EXPECT_TRUE(EqualIgnoringCase(stored, "jöurnal.txt")) << names;
  EXPECT_EQ(ReadFile(destination_ + stored), "second, longer");

  Run(kIncludeSubFolders);  // and from then on it is up to date
  EXPECT_EQ(state_.errorCount, 0);
  EXPECT_FALSE(Has("Copied jÖURNAL.TXT"));
  EXPECT_EQ(root_.Names("dst"), names);
}

#ifndef _WIN32  // a Windows folder cannot hold two names that differ only in case
// Two source names that land on one place: the one the backup holds keeps it, run after run,
// whichever the listing gives first.
TEST_F(CaseRenameTest, TwoSourceNamesForOnePlaceStayApart) {
  WriteFile(source_ + "Photo.jpg", "first picture");
  Run(kIncludeSubFolders);
  WriteFile(source_ + "photo.JPG", "second picture");
  for (int run = 0; run < 2; ++run) {
    Run(kIncludeSubFolders);
    EXPECT_TRUE(
        Has("Couldn't copy photo.JPG: its name differs only in letter case from "
            "Photo.jpg"));
    EXPECT_EQ(state_.errorCount, 1);
    EXPECT_EQ(ReadFile(destination_ + "Photo.jpg"), "first picture");
  }
}
#endif

}  // namespace
}  // namespace brisvel
