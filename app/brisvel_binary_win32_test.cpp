// Runs the built program with a command line typed as a Windows user types it.
#include <gtest/gtest.h>

#include <string>

#include "core/test_folder.h"
#include "core/wide_text_win32.h"
#include "core/windows_win32.h"

namespace brisvel {
namespace {

std::string ProgramPath() {
  wchar_t self[MAX_PATH];
  const DWORD size = GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::string path = Utf8(std::wstring_view(self, size));
  return FolderPart(path) + "brisvel.exe";
}

// Starts the program with exactly `commandLine` and waits for it; its exit status, or -1.
int RunCommandLine(std::wstring commandLine) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, 60'000);
  DWORD status = static_cast<DWORD>(-1);
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

// Quoted folders that end in a backslash, as the folder chooser gives them: the backslash
// before the closing quote belongs to the path.
TEST(RunBinaryWin32, QuotedFoldersMayEndInABackslash) {
  TestFolder folder;
  WriteFile(folder / "My Files\\sub\\a.txt", "alpha");
  const std::string line = "\"" + ProgramPath() + "\" --console backup \"" + folder / "My Files\\" +
                           "\" \"" + folder / "Back Up\\" + "\" recursive";
  EXPECT_EQ(RunCommandLine(Wide(line)), 0) << line;
  EXPECT_EQ(ReadFile(folder / "Back Up\\sub\\a.txt"), "alpha");
}

// Where no window can be made (no desktop), a run says so and works in the console, as it does
// on Linux; with a desktop it runs in its windows. Either way the files are backed up.
TEST(RunBinaryWin32, ARunWithoutADesktopWorksInTheConsole) {
  TestFolder folder;
  WriteFile(folder / "from\\a.txt", "alpha");
  const std::string line = "\"" + ProgramPath() + "\" backup \"" + folder / "from\\" + "\" \"" +
                           folder / "to\\" + "\"";
  EXPECT_EQ(RunCommandLine(Wide(line)), 0) << line;
  EXPECT_EQ(ReadFile(folder / "to\\a.txt"), "alpha");
}

}  // namespace
}  // namespace brisvel
