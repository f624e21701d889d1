#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/test_folder.h"
#include "system/open_target.h"
#include "system/program_path.h"

namespace brisvel {
namespace {

constexpr const char* kMarkerVariable = "BRISVEL_TEST_MARKER";

// Waits for a file that a started program writes; the program runs on its own, so there is no
// other way to know it got there. Gives up after a minute.
bool AppearsSoon(const std::string& path) {
  for (int i = 0; i < 6000; ++i) {
    if (std::filesystem::exists(FsPath(path))) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// The program that OpenTarget starts below: this test program again, running only this test,
// which then leaves the marker named in the environment.
TEST(OpenTargetWin32Test, StartedCopyLeavesItsMarker) {
  const char* marker = std::getenv(kMarkerVariable);
  if (marker == nullptr) GTEST_SKIP() << "runs only when started by the test below";
  WriteFile(marker, "");
}

TEST(OpenTargetWin32Test, StartsAnExecutableTargetItselfInAFolderWithBlanks) {
  TestFolder folder;
  const std::string program = folder / "with blank Ω.exe";
  std::filesystem::copy_file(FsPath(RunningProgramPath()), FsPath(program));
  ScopedEnv filter("GTEST_FILTER", "OpenTargetWin32Test.StartedCopyLeavesItsMarker");
  ScopedEnv marker(kMarkerVariable, folder / "ran");
  EXPECT_EQ(OpenTarget(program), 1);
  EXPECT_TRUE(AppearsSoon(folder / "ran"));
}

TEST(OpenTargetWin32Test, ReturnsZeroWhenNothingCanBeStarted) {
  TestFolder folder;
  EXPECT_EQ(OpenTarget(folder / "missing\\"), 0);
  EXPECT_EQ(OpenTarget(folder / "missing.exe"), 0);
  EXPECT_EQ(OpenTarget(""), 0);
}

}  // namespace
}  // namespace brisvel
