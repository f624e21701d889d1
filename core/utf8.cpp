#include "core/utf8.h"

#include <cstdint>

namespace brisvel {

static bool InRange(uint8_t byte, uint8_t low, uint8_t high) {
  return byte >= low && byte <= high;
}

// The valid range of the second byte depends on the first: it rules out overlong forms,
// surrogates and values above U+10FFFF.
static bool SecondByteFits(uint8_t lead, uint8_t second) {
  switch (lead) {
    case 0xE0:
      return InRange(second, 0xA0, 0xBF);
    case 0xED:
      return InRange(second, 0x80, 0x9F);
    case 0xF0:
      return InRange(second, 0x90, 0xBF);
    case 0xF4:
      return InRange(second, 0x80, 0x8F);
    default:
      return InRange(second, 0x80, 0xBF);
  }
}

static size_t LengthFromLead(uint8_t lead) {
  if (lead < 0x80) return 1;
  if (InRange(lead, 0xC2, 0xDF)) return 2;
  if (InRange(lead, 0xE0, 0xEF)) return 3;
  if (InRange(lead, 0xF0, 0xF4)) return 4;
  return 0;
}

size_t Utf8SequenceLength(std::string_view text, size_t at) {
  if (at >= text.size()) return 0;
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[at + i]); };
  size_t length = LengthFromLead(byte(0));
  if (length <= 1) return length;
  if (text.size() - at < length) return 0;
  if (!SecondByteFits(byte(0), byte(1))) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (!InRange(byte(i), 0x80, 0xBF)) return 0;
  }
  return length;
}

uint32_t Utf8CodePoint(std::string_view text, size_t at, size_t length) {
  static constexpr uint8_t kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  uint32_t codePoint = static_cast<uint8_t>(text[at]) & kLeadBits[length];
  for (size_t i = 1; i < length; ++i) {
    codePoint = (codePoint << 6) | (static_cast<uint8_t>(text[at + i]) & 0x3F);
  }
  return codePoint;
}

void AppendUtf8(std::string& text, uint32_t codePoint) {
  const auto byte = [&](uint32_t value) { text += static_cast<char>(value); };
  if (codePoint < 0x80) {
    byte(codePoint);
  } else if (codePoint < 0x800) {
    byte(0xC0 | (codePoint >> 6));
    byte(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    byte(0xE0 | (codePoint >> 12));
    byte(0x80 | ((codePoint >> 6) & 0x3F));
    byte(0x80 | (codePoint & 0x3F));
  } else {
    byte(0xF0 | (codePoint >> 18));
    byte(0x80 | ((codePoint >> 12) & 0x3F));
    byte(0x80 | ((codePoint >> 6) & 0x3F));
    byte(0x80 | (codePoint & 0x3F));
  }
}

}  // namespace brisvel
