#include "core/xml_text.h"

#include <gtest/gtest.h>

#include <string>

#include "core/xml_reader.h"

namespace brisvel {
namespace {

std::string Escaped(std::string_view value) {
  std::string out;
  AppendXmlAttributeValue(out, value);
  return out;
}

// What an XML parser gives back for `value` written by AppendXmlAttributeValue, or
// "<not well-formed>".
std::string ReadBack(std::string_view value) {
  XmlDocument document;
  XmlReader reader(document);
  reader.Feed("<r a=\"" + Escaped(value) + "\"/>");
  reader.Finish();
  if (!document.complete) return "<not well-formed>";
  return document.root.Attribute("a");
}

TEST(XmlTextTest, EscapesMarkupAndLineBreaks) {
  EXPECT_EQ(Escaped("a<b>&'\"c"), "a&lt;b&gt;&amp;&apos;&quot;c");
  EXPECT_EQ(Escaped("tab\tline\nreturn\r"), "tab&#9;line&#10;return&#13;");
  EXPECT_EQ(Escaped(""), "");
}

TEST(XmlTextTest, PrintableAsciiAndUtf8ComeBackUnchanged) {
  const std::string texts[] = {
      "/home/anna/Photos 2024/",
      "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x93\xB7",  // é, 日本, a 4-byte emoji
      "a<b>&'\"c\td\ne\rf",
      "\x7F \xC2\x80 \xEF\xBF\xBD \xEF\xBF\xBC",  // DEL, U+0080, U+FFFD, U+FFFC
      "   leading and trailing blanks   ",
  };
  for (const std::string& text : texts) EXPECT_EQ(ReadBack(text), text) << text;
}

TEST(XmlTextTest, ReplacesWhatXmlCannotCarry) {
  const std::string r(kReplacementCharacter);
  EXPECT_EQ(ReadBack(std::string("a\0b", 3)), "a" + r + "b");
  EXPECT_EQ(ReadBack("bell\x07 escape\x1B"), "bell" + r + " escape" + r);
  EXPECT_EQ(ReadBack("\xEF\xBF\xBE\xEF\xBF\xBF"), r + r);  // U+FFFE, U+FFFF
  // Latin-1 bytes, a cut sequence, an overlong slash, a surrogate, a value past U+10FFFF.
  EXPECT_EQ(ReadBack("Caf\xE9!"), "Caf" + r + "!");
  EXPECT_EQ(ReadBack("x\xE6\x97"), "x" + r + r);
  EXPECT_EQ(ReadBack("\xC0\xAF"), r + r);
  EXPECT_EQ(ReadBack("\xED\xA0\x80"), r + r + r);
  EXPECT_EQ(ReadBack("\xF4\x90\x80\x80"), r + r + r + r);
}

TEST(XmlTextTest, EveryByteValueGivesAWellFormedValue) {
  for (int first = 0; first < 256; ++first) {
    for (int second : {0x00, 0x41, 0x80, 0xBF, 0xC3, 0xFF}) {
      std::string text{static_cast<char>(first), static_cast<char>(second), 'z'};
      EXPECT_NE(ReadBack(text), "<not well-formed>") << first << " " << second;
    }
  }
}

}  // namespace
}  // namespace brisvel
