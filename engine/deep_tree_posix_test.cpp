// Walks of trees deeper than the open-file limit: both scans must reach every level.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "engine/job_fixture_for_tests.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

constexpr int kLevels = 150;
constexpr rlim_t kOpenFileLimit = 48;  // far fewer than the levels

// Lowers the soft limit of open files for the life of the object.
class OpenFileLimit {
 public:
  explicit OpenFileLimit(rlim_t limit) {
    getrlimit(RLIMIT_NOFILE, &old_);
    struct rlimit lowered = old_;
    lowered.rlim_cur = limit;
    lowered_ = setrlimit(RLIMIT_NOFILE, &lowered) == 0;
  }
  ~OpenFileLimit() { setrlimit(RLIMIT_NOFILE, &old_); }
  bool Lowered() const { return lowered_; }

 private:
  struct rlimit old_ = {};
  bool lowered_ = false;
};

class DeepTreeTest : public JobFixture {
 protected:
  // "d/d/.../" `levels` deep, with a file "f" in every folder, under `top`.
  void WriteDeepTree(const std::string& top) {
    std::string path = top;
    for (int level = 0; level < kLevels; ++level) {
      path += "d/";
      Write(path + "f");
    }
  }
};

TEST_F(DeepTreeTest, NewFileScanFindsTheFileOfEveryLevel) {
  WriteDeepTree("src/");
  JobContext& context = Context();
  context.baseLength = job_.source.size();
  {
    OpenFileLimit limit(kOpenFileLimit);
    ASSERT_TRUE(limit.Lowered());
    ScanNewFiles(context);
  }
  EXPECT_EQ(context.foundCount, kLevels);
  EXPECT_EQ(state_.errorCount, 0);
}

TEST_F(DeepTreeTest, OrphanScanDeletesTheOrphanOfEveryLevel) {
  job_.flags |= kDeleteOrphans;
  Write("src/kept");
  WriteDeepTree("dst/");
  {
    OpenFileLimit limit(kOpenFileLimit);
    ASSERT_TRUE(limit.Lowered());
    RunOrphanPhase(Context());
  }
  EXPECT_EQ(state_.deletedTotal, kLevels);
  EXPECT_FALSE(Exists("dst/d"));
  EXPECT_EQ(state_.errorCount, 0);
}

}  // namespace
}  // namespace brisvel
