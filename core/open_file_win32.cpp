#include <cstdio>

#include "core/open_file.h"
#include "core/wide_text_win32.h"

namespace brisvel {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  std::wstring wideMode;
  for (const char* c = mode; *c != '\0'; ++c) wideMode += static_cast<wchar_t>(*c);
  return _wfopen(WidePath(path).c_str(), wideMode.c_str());
}

}  // namespace brisvel
