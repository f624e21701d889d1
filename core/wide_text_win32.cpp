#include "core/wide_text_win32.h"

#include "core/windows_win32.h"

namespace brisvel {

std::wstring Wide(std::string_view text) {
  if (text.empty()) return {};
  int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  return utf8;
}

// The prefix turns off the system's own tidying of the path, so it is added only where that
// tidying has nothing to do: no "." or ".." parts.
static bool HasDotParts(std::wstring_view path) {
  for (size_t at = 0; at < path.size(); ++at) {
    if (path[at] != L'.' || (at > 0 && path[at - 1] != L'\\')) continue;
    size_t end = at + 1;
    if (end < path.size() && path[end] == L'.') ++end;
    if (end == path.size() || path[end] == L'\\') return true;
  }
  return false;
}

std::wstring WidePath(std::string_view path) {
  std::wstring wide = Wide(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  constexpr size_t kClassicLimit = 240;  // leaves room for a file name below a folder
  if (wide.size() < kClassicLimit || wide.starts_with(L"\\\\?\\") || HasDotParts(wide)) {
    return wide;
  }
  const bool drive = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
  if (drive) return L"\\\\?\\" + wide;
  if (wide.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + wide.substr(2);
  return wide;
}

}  // namespace brisvel
