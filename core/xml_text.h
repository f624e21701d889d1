// Turning program text into XML attribute values that every reader accepts.
#pragma once

#include <string>
#include <string_view>

namespace brisvel {

// Appends `value` as the text between the quotes of an XML attribute. The five markup
// characters become "&lt;", "&gt;", "&amp;", "&apos;" and "&quot;"; tab, line feed and
// carriage return become character references, so that a reader gives them back instead of
// turning them into blanks. Well-formed UTF-8 passes unchanged. What XML 1.0 cannot carry at
// all (the other control characters, U+FFFE, U+FFFF) and every byte that is not part of
// well-formed UTF-8 becomes U+FFFD, the replacement character, so the result is always a
// well-formed value.
void AppendXmlAttributeValue(std::string& out, std::string_view value);

// U+FFFD in UTF-8.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

}  // namespace brisvel
