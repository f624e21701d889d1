#include "core/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/test_folder.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

TEST(AtomicFileTest, ALongNameLeavesRoomForTheTemporaryFile) {
  TestFolder folder;
  std::string name(250, 'n');
  ASSERT_TRUE(WriteFileAtomically(folder / name, "x"));
  EXPECT_EQ(folder.Names(), name);
}

TEST(AtomicFileTest, FailsWhereNoFileCanBeLeavingNothingBehind) {
  TestFolder folder;
  EXPECT_FALSE(WriteFileAtomically(folder / "missing/jobs.jbs", "x"));
  WriteFile(folder / "plain", "a file where a folder should be");
  EXPECT_FALSE(WriteFileAtomically(folder / "plain/jobs.jbs", "x"));
  stdfs::create_directory(folder / "taken");
  EXPECT_FALSE(WriteFileAtomically(folder / "taken", "x"));  // the rename fails
  EXPECT_EQ(folder.Names(), "plain|taken");
}

}  // namespace
}  // namespace brisvel
