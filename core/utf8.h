// Recognising well-formed UTF-8, for code that must count characters or hand text to a format
// that only carries valid Unicode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brisvel {

// The length (1 to 4) of the well-formed UTF-8 sequence that starts at `text[at]`, or 0 when
// the byte there starts none (a stray continuation byte, an overlong form, a surrogate, a
// value above U+10FFFF or a sequence cut short).
size_t Utf8SequenceLength(std::string_view text, size_t at);

// The code point of the well-formed sequence of `length` bytes at `text[at]`, as
// Utf8SequenceLength found it.
uint32_t Utf8CodePoint(std::string_view text, size_t at, size_t length);

// `codePoint` (at most U+10FFFF, no surrogate) appended to `text` as UTF-8.
void AppendUtf8(std::string& text, uint32_t codePoint);

}  // namespace brisvel
