#include "core/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/test_util.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

// While it lives, the process cannot write files past `bytes`: writes fail as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_;
  sighandler_t oldHandler_;
};

TEST(AtomicFileTest, CreatesAndReplacesFilesLeavingNothingElse) {
  ScratchFolder folder;
  ASSERT_TRUE(WriteFileAtomically(folder / "jobs.jbs", "first"));
  EXPECT_EQ(ReadFile(folder / "jobs.jbs"), "first");
  ASSERT_TRUE(WriteFileAtomically(folder / "jobs.jbs", "second, longer"));
  EXPECT_EQ(ReadFile(folder / "jobs.jbs"), "second, longer");
  ASSERT_TRUE(WriteFileAtomically(folder / "jobs.jbs", ""));
  EXPECT_EQ(ReadFile(folder / "jobs.jbs"), "");
  EXPECT_EQ(folder.Names(), "jobs.jbs");
}

TEST(AtomicFileTest, AFailedWriteKeepsTheOldFileWhole) {
  ScratchFolder folder;
  WriteFile(folder / "jobs.jbs", "old contents");
  {
    FileSizeLimit limit(100);
    EXPECT_FALSE(WriteFileAtomically(folder / "jobs.jbs", std::string(10'000, 'x')));
  }
  EXPECT_EQ(ReadFile(folder / "jobs.jbs"), "old contents");
  EXPECT_EQ(folder.Names(), "jobs.jbs");
}

TEST(AtomicFileTest, FailsWhereNoFileCanBe) {
  ScratchFolder folder;
  EXPECT_FALSE(WriteFileAtomically(folder / "missing/jobs.jbs", "x"));
  WriteFile(folder / "plain", "a file where a folder should be");
  EXPECT_FALSE(WriteFileAtomically(folder / "plain/jobs.jbs", "x"));
  stdfs::create_directory(folder / "taken");
  WriteFile(folder / "taken/inside", "kept");
  EXPECT_FALSE(WriteFileAtomically(folder / "taken", "x"));  // the rename fails
  EXPECT_EQ(ReadFile(folder / "taken/inside"), "kept");
  EXPECT_EQ(folder.Names(), "plain|taken");
}

TEST(AtomicFileTest, KeepsThePermissionsOfTheReplacedFile) {
  ScratchFolder folder;
  WriteFile(folder / "private.jbs", "old");
  ASSERT_EQ(chmod((folder / "private.jbs").c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomically(folder / "private.jbs", "new"));
  struct stat facts;
  ASSERT_EQ(stat((folder / "private.jbs").c_str(), &facts), 0);
  EXPECT_EQ(facts.st_mode & 07777, 0640u);
}

TEST(AtomicFileTest, ReplacesTheFileALinkPointsToAndKeepsTheLink) {
  ScratchFolder folder;
  stdfs::create_directory(folder / "real");
  WriteFile(folder / "real/jobs.jbs", "old");
  stdfs::create_symlink("real/jobs.jbs", folder / "link.jbs");
  ASSERT_TRUE(WriteFileAtomically(folder / "link.jbs", "new"));
  EXPECT_TRUE(stdfs::is_symlink(folder / "link.jbs"));
  EXPECT_EQ(ReadFile(folder / "real/jobs.jbs"), "new");
  EXPECT_EQ(folder.Names(), "link.jbs|real");
}

}  // namespace
}  // namespace brisvel
