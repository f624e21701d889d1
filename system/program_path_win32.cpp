#include <string>

#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
// After <windows.h>, which it needs.
#include <shellapi.h>

#include "system/program_path.h"

namespace brisvel {

std::string RunningProgramPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (size == 0) return "";
    // A path that filled the buffer may have been cut: try again with more room.
    if (size < buffer.size()) return Utf8(std::wstring_view(buffer.data(), size));
    if (buffer.size() >= 32768) return "";
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (wide == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace brisvel
