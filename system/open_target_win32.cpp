// Opening a target on Windows: started as a program when it is one, otherwise handed to the
// shell, which opens a folder in the file manager and a web page in the browser.
#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
// After <windows.h>, which it needs.
#include <shellapi.h>

#include "system/open_target.h"

namespace brisvel {
namespace {

bool StartAsProgram(const std::wstring& target) {
  std::wstring commandLine = target.starts_with(L"\"") ? target : L"\"" + target + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool OpenThroughShell(const std::wstring& target) {
  // The working folder is the target up to its last backslash; a URL has none after its
  // first character.
  const size_t cut = target.find_last_of(L'\\');
  const std::wstring folder =
      cut != std::wstring::npos && cut > 0 ? target.substr(0, cut + 1) : std::wstring();
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = nullptr;
  info.lpFile = target.c_str();
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) return false;
  if (info.hProcess != nullptr) CloseHandle(info.hProcess);
  return true;
}

}  // namespace

int OpenTarget(const std::string& target) {
  if (target.empty()) return 0;
  const std::wstring wide = Wide(target);
  return StartAsProgram(wide) || OpenThroughShell(wide) ? 1 : 0;
}

}  // namespace brisvel
