#include "system/file_type_registration.h"

#include <gtest/gtest.h>

namespace brisvel {
namespace {

TEST(FileTypeRegistration, PerUserLayoutNamesTheProgramTheTypeAndTheUsersChoice) {
  const auto writes = FileTypeWrites("jbs", "Brisvel Backup Job", "C:\\Tools\\Brisvel.exe",
                                     RegistryLayout::kPerUser);
  ASSERT_EQ(writes.size(), 4u);
  EXPECT_EQ(writes[0].root, RegistryRoot::kClassesRoot);
  EXPECT_EQ(writes[0].key, "Applications\\Brisvel.exe\\shell\\open\\command");
  EXPECT_EQ(writes[0].valueName, "");
  EXPECT_EQ(writes[0].data, "\"C:\\Tools\\Brisvel.exe\" \"%1\"");
  EXPECT_EQ(writes[1].key, ".jbs");
  EXPECT_EQ(writes[1].data, "jbs_auto_file");
  EXPECT_EQ(writes[2].key, "jbs_auto_file");
  EXPECT_EQ(writes[2].data, "Brisvel Backup Job");
  EXPECT_EQ(writes[3].root, RegistryRoot::kCurrentUser);
  EXPECT_EQ(writes[3].key, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.jbs");
  EXPECT_EQ(writes[3].valueName, "Application");
  EXPECT_EQ(writes[3].data, "Brisvel.exe");
}

TEST(FileTypeRegistration, MachineWideLayoutUsesTheProgramFileAsTheType) {
  const auto writes = FileTypeWrites("jbs", "Brisvel Backup Job", "D:/apps/b.exe",
                                     RegistryLayout::kMachineWide);
  ASSERT_EQ(writes.size(), 3u);
  for (const RegistryWrite& write : writes) EXPECT_EQ(write.root, RegistryRoot::kLocalMachine);
  EXPECT_EQ(writes[0].key, "Software\\Classes\\.jbs");
  EXPECT_EQ(writes[0].data, "b.exe");
  EXPECT_EQ(writes[1].key, "Software\\Classes\\b.exe");
  EXPECT_EQ(writes[2].key, "Software\\Classes\\b.exe\\shell\\open\\command");
  EXPECT_EQ(writes[2].data, "\"D:/apps/b.exe\" \"%1\"");
}

TEST(FileTypeRegistration, TheBuildNumbersLowByteChoosesTheLayout) {
  EXPECT_EQ(LayoutForVersion(0x4A610006ul), RegistryLayout::kPerUser);      // build 19041
  EXPECT_EQ(LayoutForVersion(0x80000004ul), RegistryLayout::kMachineWide);  // low byte 0
  EXPECT_EQ(LayoutForVersion(0x0A000005ul), RegistryLayout::kMachineWide);  // only bits 24+
}

}  // namespace
}  // namespace brisvel
