#include "engine/old_versions.h"

#include <gtest/gtest.h>

#include <chrono>

#include "engine/test_job_run_fixture.h"

namespace brisvel {
namespace {

using Rows = std::vector<std::string>;

class OldVersionsTest : public JobRunFixture {
 protected:
  OldVersionsTest() {
    Job().keepVersions = true;
    Job().flags |= kDeleteOrphans;
  }
  // Where this run keeps `path`.
  std::string Kept(const std::string& path, const std::string& suffix = "") const {
    return "dst/.brisvel-versions/" + RunFolderName(now_) + suffix + "/" + path;
  }
};

TEST_F(OldVersionsTest, ReplacedFilesAndOrphansGoToTheRunsFolderWithTheirTimes) {
  Write("src/sub/a.txt", "old");
  Write("src/gone.txt", "orphan");
  Run();
  const auto oldTime = Time("dst/sub/a.txt") - std::chrono::hours(50);
  SetTime("dst/sub/a.txt", oldTime);
  std::filesystem::remove(FsPath(root_ + NativePath("src/gone.txt")));
  Write("src/sub/a.txt", "new bytes");

  const Rows rows = Run();
  EXPECT_EQ(Read("dst/sub/a.txt"), "new bytes");
  EXPECT_EQ(Read(Kept("sub/a.txt")), "old");
  EXPECT_EQ(Time(Kept("sub/a.txt")), oldTime);
  EXPECT_EQ(Read(Kept("gone.txt")), "orphan");
  EXPECT_FALSE(Exists("dst/gone.txt"));
  EXPECT_TRUE(Has(rows, "Kept an old version of sub/a.txt"));
  EXPECT_TRUE(Has(rows, "Kept an old version of gone.txt"));
  EXPECT_TRUE(Has(rows, "Deleted gone.txt"));
  EXPECT_EQ(state_.errorCount, 0);

  // A run that keeps nothing makes no folder; one in the same second that does gets its own.
  Run();
  EXPECT_FALSE(Exists(Kept("", "-2")));
  Write("src/sub/a.txt", "newer");
  Run();
  EXPECT_EQ(Read(Kept("sub/a.txt")), "old");
  EXPECT_EQ(Read(Kept("sub/a.txt", "-2")), "new bytes");
}

// The version folder is the program's: never backed up, counted, or taken for an orphan, and
// never entered when it lies in the source.
TEST_F(OldVersionsTest, VersionFolderIsNeverScannedCountedOrDeleted) {
  Write("src/a.txt", "1");
  Write("dst/.brisvel-versions/2020-01-01 000000/old.txt");
  Job().maxDelete = {DeletionLimit::Kind::kFiles, 0};
  Rows rows = Run();
  EXPECT_TRUE(Exists("dst/.brisvel-versions/2020-01-01 000000/old.txt"));
  EXPECT_TRUE(Has(rows, "No orphan files found."));
  // Also once the job no longer keeps versions.
  Job().keepVersions = false;
  rows = Run();
  EXPECT_TRUE(Exists("dst/.brisvel-versions/2020-01-01 000000/old.txt"));
  Job().keepVersions = true;

  // Kept inside the source: the source's own scan leaves it out.
  Job().versionFolder = root_ + NativePath("src/versions");
  Write("src/versions/2020-01-01 000000/old.txt");
  rows = Run();
  EXPECT_FALSE(Exists("dst/versions"));
  EXPECT_TRUE(Has(rows, "Found 1 file."));
}

TEST_F(OldVersionsTest, AVersionThatCannotBeKeptLeavesTheOldCopyInPlace) {
  Write("src/a.txt", "old");
  Write("src/gone.txt", "orphan");
  Run();
  std::filesystem::remove(FsPath(root_ + NativePath("src/gone.txt")));
  Write("src/a.txt", "newer");
  faulty_.FailCreateFolder(root_ + NativePath(Kept("")));

  const Rows rows = Run();
  EXPECT_EQ(Read("dst/a.txt"), "old");
  EXPECT_EQ(Read("dst/gone.txt"), "orphan");
  EXPECT_TRUE(Has(rows, "Couldn't keep an old version of a.txt, so it was not replaced: "
                        "Permission denied"));
  EXPECT_TRUE(Has(rows, "Couldn't keep an old version of gone.txt, so it was not deleted: "
                        "Permission denied"));
  EXPECT_EQ(state_.errorCount, 2);
}

// Kept, but the copy that was to replace it failed: the old copy comes back.
TEST_F(OldVersionsTest, AFailedReplacementPutsTheOldCopyBack) {
  Write("src/a.txt", "old");
  Run();
  Write("src/a.txt", "newer");
  faulty_.FailCopy(root_ + NativePath("src/a.txt"));
  const Rows rows = Run();
  EXPECT_EQ(Read("dst/a.txt"), "old");
  EXPECT_TRUE(Has(rows, "Couldn't copy a.txt: Permission denied"));
}

TEST_F(OldVersionsTest, RetentionRemovesWholeRunFoldersByCountAndByAge) {
  Write("src/a.txt");
  const auto day = [&](int days) {
    return "dst/.brisvel-versions/" + RunFolderName(now_ - days * 86400);
  };
  for (int days : {40, 20, 10, 2}) Write(day(days) + "/f.txt");
  Write(day(2) + "-2/f.txt");
  Write("dst/.brisvel-versions/not a run/f.txt");

  Job().keepRuns = 4;
  Rows rows = Run();
  EXPECT_FALSE(Exists(day(40)));
  EXPECT_TRUE(Exists(day(20)));
  EXPECT_TRUE(Has(rows, "Removed old versions " + root_ + NativePath(day(40) + "/")));

  Job().keepRuns = 0;
  Job().keepDays = 15;
  Run();
  EXPECT_FALSE(Exists(day(20)));
  EXPECT_TRUE(Exists(day(10)));
  EXPECT_TRUE(Exists(day(2) + "-2/f.txt"));
  EXPECT_TRUE(Exists("dst/.brisvel-versions/not a run/f.txt"));

}

TEST(RunFolderNames, ReadBackWithTheirSuffixes) {
  EXPECT_EQ(ParseRunFolderName("2026-12-09 131500")->suffix, 1);
  EXPECT_EQ(ParseRunFolderName("2026-12-09 131500-12")->suffix, 12);
  EXPECT_EQ(ParseRunFolderName("2026-12-10 000000")->localSeconds -
                ParseRunFolderName("2026-12-09 000000")->localSeconds,
            86400);
  for (const char* other : {"2026-12-09", "2026-12-09 1315xx", "2026-12-09 131500-", "x"}) {
    EXPECT_FALSE(ParseRunFolderName(other)) << other;
  }
}

}  // namespace
}  // namespace brisvel
