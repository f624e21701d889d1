#include "engine/copy_workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "engine/test_faulty_fs.h"

namespace brisvel {
namespace {

class CountingFileSystem : public FaultyFileSystem {
 public:
  CountingFileSystem() : FaultyFileSystem(RealFileSystem()) {}
  Status CopyFileIn(const FilePair&, const CopyControl&) override {
    ++copies;
    return Status();
  }
  std::atomic<int> copies{0};
};

// Once STOP has left one copy out, a copy queued after it must never land in the backup,
// whatever the order in which the workers asked.
TEST(CopyWorkersTest, EveryCopyAfterASkippedOneIsSkippedToo) {
  CountingFileSystem fs;
  int asked = 0;
  std::vector<std::future<CopyResult>> outcomes;
  {
    // The first answer says STOP; later ones, as a worker that asked late once saw it, do not.
    CopyWorkers workers(fs, 2, [&] { return ++asked == 1; });
    const auto folders = std::make_shared<const FolderPair>();
    for (const char* name : {"a", "b", "c", "d"}) outcomes.push_back(workers.Copy(folders, name));
  }
  for (auto& outcome : outcomes) EXPECT_EQ(outcome.get().outcome, CopyOutcome::kSkipped);
  EXPECT_EQ(fs.copies, 0);
}

}  // namespace
}  // namespace brisvel
