// Recognising well-formed UTF-8, for code that must count characters or hand text to a format
// that only carries valid Unicode.
#pragma once

#include <cstddef>
#include <string_view>

namespace brisvel {

// The length (1 to 4) of the well-formed UTF-8 sequence that starts at `text[at]`, or 0 when
// the byte there starts none (a stray continuation byte, an overlong form, a surrogate, a
// value above U+10FFFF or a sequence cut short).
size_t Utf8SequenceLength(std::string_view text, size_t at);

}  // namespace brisvel
