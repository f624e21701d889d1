#include "core/xml_text.h"

#include "core/utf8.h"

namespace brisvel {

// The escaped form of an ASCII character, or nullptr when it is written as it is.
static const char* AsciiEscape(char c) {
  switch (c) {
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '&':
      return "&amp;";
    case '\'':
      return "&apos;";
    case '"':
      return "&quot;";
    case '\t':
      return "&#9;";
    case '\n':
      return "&#10;";
    case '\r':
      return "&#13;";
    default:
      return nullptr;
  }
}

static bool IsNonCharacter(std::string_view sequence) {
  return sequence == "\xEF\xBF\xBE" || sequence == "\xEF\xBF\xBF";
}

void AppendXmlAttributeValue(std::string& out, std::string_view value) {
  size_t at = 0;
  while (at < value.size()) {
    char c = value[at];
    size_t length = Utf8SequenceLength(value, at);
    std::string_view sequence = value.substr(at, length == 0 ? 1 : length);
    if (const char* escape = AsciiEscape(c)) {
      out += escape;
    } else if (length == 0 || IsNonCharacter(sequence) ||
               (length == 1 && static_cast<unsigned char>(c) < 0x20)) {
      out += kReplacementCharacter;
    } else {
      out += sequence;
    }
    at += sequence.size();
  }
}

}  // namespace brisvel
