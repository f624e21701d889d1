#include <cstdio>

#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "system/system_log.h"

namespace brisvel {

// The source is not registered with a message file (that needs the administrator), so the
// event viewer shows the line as the event's inserted text.
void WriteSystemLog(const std::string& line) {
  if (HANDLE source = RegisterEventSourceW(nullptr, L"Brisvel")) {
    const std::wstring text = Wide(line);
    const wchar_t* strings[] = {text.c_str()};
    ReportEventW(source, EVENTLOG_WARNING_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
  }
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace brisvel
