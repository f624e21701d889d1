#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "core/atomic_file.h"
#include "core/test_folder.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

// While it lives, writes past `bytes` fail as on a full disk, even for root.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : handler_(signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, handler_);
  }

 private:
  sighandler_t handler_;
  rlimit old_;
};

TEST(AtomicFileTest, ReplacesTheFileOrLeavesItWhole) {
  TestFolder folder;
  ASSERT_TRUE(WriteFileAtomically(folder / "jobs.jbs", "first, longer"));
  ASSERT_TRUE(WriteFileAtomically(folder / "jobs.jbs", "second"));
  EXPECT_EQ(ReadFile(folder / "jobs.jbs"), "second");
  {
    FileSizeLimit limit(100);
    EXPECT_FALSE(WriteFileAtomically(folder / "jobs.jbs", std::string(10'000, 'x')));
  }
  EXPECT_EQ(ReadFile(folder / "jobs.jbs"), "second");
  EXPECT_EQ(folder.Names(), "jobs.jbs");
}

TEST(AtomicFileTest, KeepsPermissionsAndLinks) {
  TestFolder folder;
  stdfs::create_directory(folder / "real");
  WriteFile(folder / "real/jobs.jbs", "old");
  ASSERT_EQ(chmod((folder / "real/jobs.jbs").c_str(), 0640), 0);
  stdfs::create_symlink("real/jobs.jbs", folder / "link.jbs");

  ASSERT_TRUE(WriteFileAtomically(folder / "link.jbs", "new"));
  EXPECT_TRUE(stdfs::is_symlink(folder / "link.jbs"));
  EXPECT_EQ(ReadFile(folder / "real/jobs.jbs"), "new");
  struct stat facts;
  ASSERT_EQ(stat((folder / "real/jobs.jbs").c_str(), &facts), 0);
  EXPECT_EQ(facts.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace brisvel
