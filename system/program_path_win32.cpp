#include <string>

#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "system/program_path.h"
#include "system/split_command_line.h"

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

// The system's own splitting (CommandLineToArgvW) reads \" as a quote inside the argument, so
// "C:\My Files\" would swallow the rest of the line: the program splits the line itself.
std::vector<std::string> ProgramArguments(int, char**) {
  std::vector<std::string> arguments = SplitCommandLine(Utf8(GetCommandLineW()));
  if (!arguments.empty()) arguments.erase(arguments.begin());  // the program's own path
  return arguments;
}

}  // namespace brisvel
