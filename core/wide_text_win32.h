// The program's UTF-8 text to and from the UTF-16 of Windows' wide calls.
#pragma once

#include <string>
#include <string_view>

namespace brisvel {

// `text` as UTF-16; bytes that are no UTF-8 become U+FFFD.
std::wstring Wide(std::string_view text);

// `text` as UTF-8.
std::string Utf8(std::wstring_view text);

// `path` for the wide file calls: "/" becomes "\", and an absolute path long enough to pass
// the classic 260-character limit gets the "\\?\" (or "\\?\UNC\") prefix that lifts it.
std::wstring WidePath(std::string_view path);

}  // namespace brisvel
