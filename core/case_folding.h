// Letter case as people mean it, beyond ASCII: Unicode's simple case folding, one code point
// for one. Every comparison of names that ignores letter case (file names on a drive that
// ignores case, extension filters) goes through here, so they all agree; keywords of the
// command line and of job files stay with ASCII (ToLower).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brisvel {

// The simple case folding of `codePoint`: "A" and "a" give "a", "Σ" and final "ς" give "σ",
// the Kelvin sign gives "k". Code points without a folding give themselves.
uint32_t FoldCodePoint(uint32_t codePoint);

// `text` with every character folded. Bytes that are not well-formed UTF-8 stay as they are.
std::string FoldCase(std::string_view text);

// True when `a` and `b` fold to the same text, without building either.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace brisvel
