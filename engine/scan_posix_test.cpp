#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine/test_job_fixture.h"

namespace brisvel {
namespace {

using Paths = std::set<std::string>;

TEST_F(ScanTest, LinksToFilesAreFilesAndOtherLinksAndPipesAreLeftAlone) {
  Write("outside/file.txt");
  Write("outside/folder/deep.txt");
  stdfs::create_symlink(root_ + "outside/file.txt", job_.source + "to-file");
  stdfs::create_directory_symlink(root_ + "outside/folder", job_.source + "to-folder");
  stdfs::create_symlink(root_ + "nowhere", job_.source + "dangling");
  ASSERT_EQ(mkfifo((job_.source + "pipe").c_str(), 0600), 0);
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"to-file"}));
  EXPECT_FALSE(Exists("dst/to-folder"));
}

}  // namespace
}  // namespace brisvel
