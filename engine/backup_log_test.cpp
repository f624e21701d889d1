#include "engine/backup_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "core/test_folder.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

// 2023-11-14 22:13:20 and 2024-03-05 07:04:09, both UTC.
constexpr std::time_t kEvening = 1700000000;
constexpr std::time_t kMorning = 1709622249;

class BackupLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.Path().empty());
    path_ = folder_ / "backup.log";
    if (const char* zone = getenv("TZ")) oldZone_ = zone;
    SetZone("UTC0");
  }
  void TearDown() override {
    SetEnvironment("TZ", oldZone_ ? oldZone_->c_str() : nullptr);
    tzset();
  }
  static void SetZone(const char* zone) {
    SetEnvironment("TZ", zone);
    tzset();
  }
  // One run's block as the run driver writes it.
  void WriteRun(const BackupJob& job, std::time_t now, bool filterInForce) {
    ASSERT_TRUE(log_.Open(RealFileSystem(), path_).ok());
    log_.WriteHeader(job, now, filterInForce);
    log_.WriteLine(" . Copied: a.txt");
    log_.WriteLine("");
    log_.Close();
  }

  TestFolder folder_;
  std::string path_;
  std::optional<std::string> oldZone_;
  BackupLog log_;
};

TEST_F(BackupLogTest, EachRunAppendsItsBlockWithCrLfLines) {
  BackupJob job;
  job.name = "Photos";
  job.flags = kIncludeSubFolders | kMoveInsteadOfCopy;
  job.compareMethod = kCompareMd5;
  WriteRun(job, kEvening, false);
  job.flags = kDeleteOrphans;
  job.compareMethod = kCompareCrc32;
  job.filter = "JPG, png";
  WriteRun(job, kMorning, true);
  std::ifstream in(path_, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            "Brisvel Backup Job 'Photos'\r\n"
            "Run at 22:13 on 11/14/2023\r\n"
            "Options: Recursive Move MD5\r\n"
            " . Copied: a.txt\r\n"
            "\r\n"
            "Brisvel Backup Job 'Photos'\r\n"
            "Run at 07:04 on 03/05/2024\r\n"
            "Options: Orphans CRC32\r\n"
            "File Filter: JPG, png\r\n"
            " . Copied: a.txt\r\n"
            "\r\n");
  EXPECT_FALSE(log_.Open(RealFileSystem(), path_ + ".missing/backup.log").ok());
  log_.WriteLine("ignored while closed");
}

TEST_F(BackupLogTest, ControlCharactersInNamesCannotForgeLines) {
  BackupJob job;
  job.name = "A\r\nRun at 00:00 on 01/01/2000";
  ASSERT_TRUE(log_.Open(RealFileSystem(), path_).ok());
  log_.WriteHeader(job, kEvening, false);
  log_.WriteLine(" . Copied: x\n . Deleted orphan: y\xC2\x9B");
  log_.Close();
  std::ifstream in(path_, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
            "Brisvel Backup Job 'A??Run at 00:00 on 01/01/2000'\r\n"
            "Run at 22:13 on 11/14/2023\r\n"
            "Options: FileSize\r\n"
            " . Copied: x? . Deleted orphan: y?\r\n");
}

TEST_F(BackupLogTest, RunTimeIsLocalAndOtherMethodsAreNamed) {
  SetZone("XST-10");  // ten hours east of UTC
  EXPECT_EQ(RunAtLine(kEvening), "Run at 08:13 on 11/15/2023");
  BackupJob job;
  job.compareMethod = kCompareDate;
  EXPECT_EQ(OptionsLine(job), "Options: Date");
  job.compareMethod = 9;
  EXPECT_EQ(OptionsLine(job), "Options: FileSize");
}

}  // namespace
}  // namespace brisvel
