#include <gtest/gtest.h>

#include "core/test_folder_posix.h"
#include "system/run_tool.h"

namespace brisvel {
namespace {

// A helper waited for counts only when it ends with status 0; its output goes nowhere unless
// the caller shares the terminal with it.
TEST(StartProgram, AWaitedProgramsExitStatusAndOutputAreAsAsked) {
  TestFolder folder;
  WriteScript(folder / "tool", "echo said\nexit \"$1\"\n");
  ScopedEnv path("PATH", folder.Path());
  testing::internal::CaptureStdout();
  EXPECT_TRUE(RunTool({"tool", "0"}));
  EXPECT_FALSE(RunTool({"tool", "3"}));
  EXPECT_FALSE(RunTool({"missing-tool"}));
  EXPECT_TRUE(StartProgram({{"tool", "0"}, true, false, ""}));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "said\n");
}

}  // namespace
}  // namespace brisvel
