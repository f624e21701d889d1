#include "core/xml_text.h"

#include <gtest/gtest.h>

#include <string>

#include "core/xml_reader.h"

namespace brisvel {
namespace {

// What an XML parser gives back for `value` written as an attribute, or "<not well-formed>".
std::string ReadBack(std::string_view value) {
  std::string text = "<r a=\"";
  AppendXmlAttributeValue(text, value);
  XmlDocument document;
  XmlReader reader(document);
  reader.Feed(text + "\"/>");
  reader.Finish();
  return document.complete ? document.root.Attribute("a") : "<not well-formed>";
}

TEST(XmlTextTest, MarkupLineBreaksAndUtf8ComeBackUnchanged) {
  for (const std::string text : {
           "a<b>&'\"c\td\ne\rf  ",
           "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x93\xB7",  // é, 日本, a 4-byte emoji
           "\x7F \xC2\x80 \xEF\xBF\xBD",                             // DEL, U+0080, U+FFFD
       }) {
    EXPECT_EQ(ReadBack(text), text);
  }
}

TEST(XmlTextTest, ReplacesWhatXmlCannotCarry) {
  const std::string r(kReplacementCharacter);
  EXPECT_EQ(ReadBack(std::string("a\0b\x07", 4)), "a" + r + "b" + r);
  EXPECT_EQ(ReadBack("\xEF\xBF\xBE\xEF\xBF\xBF"), r + r);  // U+FFFE, U+FFFF
  // Latin-1, a cut sequence, an overlong slash, a surrogate, a value past U+10FFFF.
  EXPECT_EQ(ReadBack("Caf\xE9!"), "Caf" + r + "!");
  EXPECT_EQ(ReadBack("x\xE6\x97"), "x" + r + r);
  EXPECT_EQ(ReadBack("\xC0\xAF"), r + r);
  EXPECT_EQ(ReadBack("\xED\xA0\x80"), r + r + r);
  EXPECT_EQ(ReadBack("\xF4\x90\x80\x80"), r + r + r + r);
  for (int first = 0; first < 256; ++first) {
    for (int second : {0x00, 0x41, 0x80, 0xBF, 0xC3, 0xFF}) {
      std::string text{static_cast<char>(first), static_cast<char>(second), 'z'};
      EXPECT_NE(ReadBack(text), "<not well-formed>") << first << " " << second;
    }
  }
}

}  // namespace
}  // namespace brisvel
