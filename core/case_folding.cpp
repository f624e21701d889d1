#include "core/case_folding.h"

#include <algorithm>
#include <iterator>

#include "core/case_folding_table.h"
#include "core/utf8.h"

namespace brisvel {

uint32_t FoldCodePoint(uint32_t codePoint) {
  if (codePoint < 0x80) {
    return codePoint >= 'A' && codePoint <= 'Z' ? codePoint + ('a' - 'A') : codePoint;
  }
  // The last range that starts at or before the code point; ranges never overlap.
  const auto after = std::upper_bound(
      std::begin(kCaseFoldingRanges), std::end(kCaseFoldingRanges), codePoint,
      [](uint32_t value, const CaseFoldingRange& range) { return value < range.first; });
  if (after == std::begin(kCaseFoldingRanges)) return codePoint;
  const CaseFoldingRange& range = *std::prev(after);
  if (codePoint > range.last || (codePoint - range.first) % range.stride != 0) return codePoint;
  return static_cast<uint32_t>(static_cast<int32_t>(codePoint) + range.delta);
}

namespace {

// Walks a text one character at a time: a well-formed sequence gives its folded code point,
// any other byte gives itself, marked so that it never equals a code point.
class FoldedCharacters {
 public:
  explicit FoldedCharacters(std::string_view text) : text_(text) {}

  bool AtEnd() const { return at_ >= text_.size(); }

  // The next character: a folded code point, or kRawByte plus the byte.
  uint32_t Next() {
    const size_t length = Utf8SequenceLength(text_, at_);
    if (length == 0) return kRawByte | static_cast<uint8_t>(text_[at_++]);
    const uint32_t codePoint = Utf8CodePoint(text_, at_, length);
    at_ += length;
    return FoldCodePoint(codePoint);
  }

  static constexpr uint32_t kRawByte = 0x80000000;

 private:
  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace

std::string FoldCase(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  FoldedCharacters characters(text);
  while (!characters.AtEnd()) {
    const uint32_t next = characters.Next();
    if (next & FoldedCharacters::kRawByte) {
      folded += static_cast<char>(next & 0xFF);
    } else {
      AppendUtf8(folded, next);
    }
  }
  return folded;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  FoldedCharacters first(a);
  FoldedCharacters second(b);
  while (!first.AtEnd() && !second.AtEnd()) {
    if (first.Next() != second.Next()) return false;
  }
  return first.AtEnd() && second.AtEnd();
}

}  // namespace brisvel
