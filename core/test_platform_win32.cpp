#include "core/test_platform.h"
#include "core/wide_text_win32.h"
#include "core/windows_win32.h"

namespace brisvel {

bool RunsUnderWine() {
  // Wine's ntdll exports its version; Windows' own never does.
  static const bool wine = [] {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
}

bool MakeSymbolicLink(const std::string& target, const std::string& link, bool folder) {
  const std::wstring wideTarget = WidePath(target);
  const DWORD attributes = GetFileAttributesW(wideTarget.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    folder = true;
  }
  // Without developer mode only an administrator may make links; the flag lets others try.
  const DWORD flags =
      (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  return CreateSymbolicLinkW(WidePath(link).c_str(), wideTarget.c_str(), flags) != 0;
}

}  // namespace brisvel
