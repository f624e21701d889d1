#include <gtest/gtest.h>

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

TEST(PowerOff, AMissingSystemctlIsIgnored) {
  TestFolder folder;
  ScopedEnv path("PATH", folder.Path());
  PowerOff();  // nothing to find, nothing reported
}

TEST(PowerOff, AFailedRequestIsNotExamined) {
  TestFolder folder;
  WriteScript(folder / "systemctl", "exit 1\n");
  ScopedEnv path("PATH", folder.Path());
  PowerOff();
}

}  // namespace
}  // namespace brisvel
