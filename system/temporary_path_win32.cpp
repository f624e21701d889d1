#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "system/update_check.h"

namespace brisvel {

const std::string& TemporaryFilePath() {
  static const std::string path = [] {
    wchar_t folder[MAX_PATH + 1];
    const DWORD size = GetTempPathW(MAX_PATH + 1, folder);
    // The answer ends in a backslash.
    if (size == 0 || size > MAX_PATH) return std::string("brisvel.tmp");
    return Utf8(std::wstring_view(folder, size)) + "brisvel.tmp";
  }();
  return path;
}

}  // namespace brisvel
