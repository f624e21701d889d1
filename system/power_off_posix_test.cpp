#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/test_folder_posix.h"
#include "system/power_off.h"

namespace brisvel {
namespace {

// PATH holds nothing but the fake, so a real systemctl can never be reached.
TEST(PowerOff, AsksSystemctlToPowerOffWithoutForcing) {
  TestFolder folder;
  WriteScript(folder / "systemctl", "echo \"$@\" >> '" + (folder / "calls") + "'\n");
  ScopedEnv path("PATH", folder.Path());
  PowerOff();
  EXPECT_EQ(ReadFile(folder / "calls"), "poweroff\n");
}

// Without systemctl nothing else is tried in its place, and nothing is printed.
TEST(PowerOff, AMissingSystemctlIsIgnored) {
  TestFolder folder;
  for (const char* other : {"shutdown", "poweroff", "halt", "loginctl"}) {
    WriteScript(folder / other,
                "echo " + std::string(other) + " >> '" + (folder / "calls") + "'\n");
  }
  ScopedEnv path("PATH", folder.Path());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  PowerOff();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(std::filesystem::exists(folder / "calls"));
}

// A refused request is neither repeated nor forced: the user may have good reason to keep
// the computer on (an inhibitor), and the request has been handed over once it returns.
TEST(PowerOff, AFailedRequestIsNotExamined) {
  TestFolder folder;
  WriteScript(folder / "systemctl", "echo \"$@\" >> '" + (folder / "calls") + "'\nexit 1\n");
  ScopedEnv path("PATH", folder.Path());
  testing::internal::CaptureStderr();
  PowerOff();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(ReadFile(folder / "calls"), "poweroff\n");
}

}  // namespace
}  // namespace brisvel
