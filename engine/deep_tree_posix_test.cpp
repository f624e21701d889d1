// Walks of trees deeper than the open-file limit: both scans must reach every level.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "engine/test_job_fixture.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

constexpr int kLevels = 150;

class DeepTreeTest : public JobFixture {
 protected:
  // "d/d/.../" kLevels deep under `top`, with a file "f" in every folder.
  void WriteDeepTree(std::string path) {
    for (int level = 0; level < kLevels; ++level) Write((path += "d/") + "f");
  }
};

TEST_F(DeepTreeTest, BothScansReachEveryLevelWithFewOpenFilesAllowed) {
  job_.flags |= kDeleteOrphans;
  WriteDeepTree("src/");
  WriteDeepTree("dst/x/");
  struct rlimit old = {};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
  struct rlimit lowered = old;
  lowered.rlim_cur = 48;  // far fewer than the levels
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
  RunOrphanPhase(Context());
  context_->foundCount = 0;
  context_->baseLength = job_.source.size();
  ScanNewFiles(*context_);
  setrlimit(RLIMIT_NOFILE, &old);
  EXPECT_EQ(state_.deletedTotal, kLevels);
  EXPECT_FALSE(Exists("dst/x"));
  EXPECT_EQ(context_->foundCount, kLevels);
  EXPECT_EQ(state_.errorCount, 0);
}

}  // namespace
}  // namespace brisvel
