#include <gtest/gtest.h>

#include <string>

#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "system/job_file_association.h"

namespace brisvel {
namespace {

std::string ReadString(HKEY root, const std::string& key, const std::string& name) {
  wchar_t data[1024];
  DWORD size = sizeof data;
  if (RegGetValueW(root, Wide(key).c_str(), Wide(name).c_str(), RRF_RT_REG_SZ, nullptr, data,
                   &size) != ERROR_SUCCESS) {
    return "<missing>";
  }
  return Utf8(data);
}

// The system here takes the per-user layout (every build number of Windows 7 to 11, and
// Wine's, has a non-zero low byte).
TEST(JobFileAssociationWin32, TheRegistryHoldsTheValuesAfterOneRunAndAfterTwo) {
  const std::string program = "C:\\Tools \xce\xa9\\Brisvel.exe";
  for (int run = 0; run < 2; ++run) {
    std::string told;
    AssociateJobFiles(program, [&](const std::string& text, MessageIcon, bool) {
      told = text;
      return MessageAnswer::kOk;
    });
    EXPECT_EQ(told, kAssociatedMessage);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Applications\\Brisvel.exe\\shell\\open\\command", ""),
              "\"" + program + "\" \"%1\"");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ".jbs", ""), "jbs_auto_file");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "jbs_auto_file", ""), "Brisvel Backup Job");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.jbs",
                         "Application"),
              "Brisvel.exe");
  }
}

}  // namespace
}  // namespace brisvel
