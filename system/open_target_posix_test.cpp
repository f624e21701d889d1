#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "core/test_folder_posix.h"
#include "system/open_target.h"

namespace brisvel {
namespace {

// Waits for a file that a started program writes; the program runs on its own, so there is no
// other way to know it got there. Gives up after a minute.
bool AppearsSoon(const std::string& path) {
  for (int i = 0; i < 6000; ++i) {
    if (std::filesystem::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

class OpenTargetTest : public ::testing::Test {
 protected:
  // A fake opener that records its arguments, then waits until the test releases it or its
  // folder is gone, so that no test leaves it running.
  void SetUp() override {
    WriteScript(folder_ / "bin/xdg-open",
                "echo \"$@\" > '" + (folder_ / "opened.tmp") + "'\n" + "pwd -P >> '" +
                    (folder_ / "opened.tmp") + "'\n" + "mv '" + (folder_ / "opened.tmp") + "' '" +
                    (folder_ / "opened") + "'\n" + "while [ ! -e '" + (folder_ / "release") +
                    "' ] && [ -d '" + folder_.Path() + "' ]; do sleep 0.01; done\n" + "touch '" +
                    (folder_ / "finished") + "'\n");
  }
  void Release() { WriteFile(folder_ / "release", ""); }

  TestFolder folder_;
  ScopedEnv path_{"PATH", folder_ / "bin"};
};

TEST_F(OpenTargetTest, HandsAFolderToTheOpenerWithoutWaitingForIt) {
  std::filesystem::create_directories(folder_ / "backup");
  const std::string target = folder_ / "backup/";
  auto opened = std::async(std::launch::async, [&] { return OpenTarget(target); });
  ASSERT_EQ(opened.wait_for(std::chrono::seconds(60)), std::future_status::ready);
  EXPECT_EQ(opened.get(), 1);
  ASSERT_TRUE(AppearsSoon(folder_ / "opened"));
  // The folder itself is the opener's working folder.
  EXPECT_EQ(ReadFile(folder_ / "opened"), target + "\n" + folder_ / "backup\n");
  // The opener cannot have finished: it is still waiting to be released.
  EXPECT_FALSE(std::filesystem::exists(folder_ / "finished"));
  Release();
  EXPECT_TRUE(AppearsSoon(folder_ / "finished"));
}

TEST_F(OpenTargetTest, HandsAWebPageToTheOpener) {
  EXPECT_EQ(OpenTarget(kProductWebPage), 1);
  ASSERT_TRUE(AppearsSoon(folder_ / "opened"));
  EXPECT_EQ(ReadFile(folder_ / "opened"),
            std::string(kProductWebPage) + "\n" + std::filesystem::current_path().string() + "\n");
  Release();
}

TEST_F(OpenTargetTest, StartsAnExecutableTargetItself) {
  const std::string program = folder_ / "tool";
  WriteScript(program, "touch '" + (folder_ / "tool-ran") + "'\n");
  EXPECT_EQ(OpenTarget(program), 1);
  EXPECT_TRUE(AppearsSoon(folder_ / "tool-ran"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "opened"));
  Release();
}

TEST(OpenTarget, ReturnsZeroWhenNothingCanBeStarted) {
  TestFolder folder;
  ScopedEnv path("PATH", folder.Path());  // no opener anywhere
  EXPECT_EQ(OpenTarget(folder / "missing/"), 0);
  EXPECT_EQ(OpenTarget(""), 0);
}

}  // namespace
}  // namespace brisvel
