#include "engine/backup_log.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

// 2023-11-14 22:13:20 UTC and 2024-03-05 07:04:09 UTC.
constexpr std::time_t kEvening = 1700000000;
constexpr std::time_t kMorning = 1709622249;

class BackupLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/brisvel-log-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = std::string(pattern) + "/";
    if (const char* zone = getenv("TZ")) oldZone_ = zone;
    SetZone("UTC0");
    job_.name = "Photos";
    job_.flags = kIncludeSubFolders;
    job_.compareMethod = kCompareSize;
  }
  void TearDown() override {
    if (oldZone_) {
      setenv("TZ", oldZone_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
    stdfs::remove_all(folder_);
  }
  static void SetZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }
  std::string Contents() const {
    std::ifstream in(folder_ + "backup.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // One run's block as the run driver writes it.
  void WriteRun(std::time_t now, bool filterInForce, const std::string& change) {
    ASSERT_TRUE(log_.Open(folder_ + "backup.log"));
    log_.WriteHeader(job_, now, filterInForce);
    if (!change.empty()) log_.WriteLine(change);
    log_.WriteLine("");
    log_.Close();
  }

  std::string folder_;
  std::optional<std::string> oldZone_;
  BackupJob job_;
  BackupLog log_;
};

TEST_F(BackupLogTest, RunWithNothingToDoWritesTheHeaderAndAnEmptyLine) {
  WriteRun(kEvening, false, "");
  EXPECT_EQ(Contents(),
            "Brisvel Backup Job 'Photos'\r\n"
            "Run at 22:13 on 11/14/2023\r\n"
            "Options: Recursive FileSize\r\n"
            "\r\n");
}

TEST_F(BackupLogTest, TwoRunsAppendTwoBlocks) {
  WriteRun(kEvening, false, " . Copied: a.txt");
  job_.filter = "JPG, png";
  WriteRun(kMorning, true, " . Moved: sub/b.png");
  EXPECT_EQ(Contents(),
            "Brisvel Backup Job 'Photos'\r\n"
            "Run at 22:13 on 11/14/2023\r\n"
            "Options: Recursive FileSize\r\n"
            " . Copied: a.txt\r\n"
            "\r\n"
            "Brisvel Backup Job 'Photos'\r\n"
            "Run at 07:04 on 03/05/2024\r\n"
            "Options: Recursive FileSize\r\n"
            "File Filter: JPG, png\r\n"
            " . Moved: sub/b.png\r\n"
            "\r\n");
}

TEST_F(BackupLogTest, RunTimeIsLocal) {
  SetZone("XST-10");  // ten hours east of UTC
  EXPECT_EQ(RunAtLine(kEvening), "Run at 08:13 on 11/15/2023");
}

TEST_F(BackupLogTest, OptionsLineNamesFlagsAndExactlyOneMethod) {
  BackupJob job;
  job.flags = kIncludeSubFolders | kMoveInsteadOfCopy;
  job.compareMethod = kCompareMd5;
  EXPECT_EQ(OptionsLine(job), "Options: Recursive Move MD5");
  job.flags = kDeleteOrphans;
  job.compareMethod = kCompareCrc32;
  EXPECT_EQ(OptionsLine(job), "Options: Orphans CRC32");
  job.flags = 0;
  job.compareMethod = kCompareDate;
  EXPECT_EQ(OptionsLine(job), "Options: Date");
  job.compareMethod = 9;
  EXPECT_EQ(OptionsLine(job), "Options: FileSize");
}

TEST_F(BackupLogTest, ClosedLogIgnoresWritesAndAMissingFolderCannotBeOpened) {
  log_.WriteLine("nowhere");
  log_.Close();
  EXPECT_FALSE(log_.IsOpen());
  EXPECT_FALSE(log_.Open(folder_ + "missing/backup.log"));
  EXPECT_FALSE(log_.IsOpen());
  EXPECT_FALSE(stdfs::exists(folder_ + "backup.log"));
}

}  // namespace
}  // namespace brisvel
