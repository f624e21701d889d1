#include "core/text.h"

#include <gtest/gtest.h>

#include <string>

namespace brisvel {
namespace {

TEST(StaysInsideFolderTest, RefusesAbsolutePathsAndEveryClimbOut) {
  for (const char* path : {"backup.log", "logs/backup.log", "..x", "a..b/c", "x/.../y"}) {
    EXPECT_TRUE(StaysInsideFolder(path)) << path;
  }
  for (const char* path : {"", "/etc/passwd", "..", "../x", "a/../../x", "a/..", "a//../b"}) {
    EXPECT_FALSE(StaysInsideFolder(path)) << path;
  }
}

TEST(ShortNameTest, KeepsUpTo24CharactersWholeAndTrimsOnlyTheCutForm) {
  std::string name24(24, 'a');
  EXPECT_EQ(ShortName(name24), name24);
  EXPECT_EQ(ShortName(name24 + "b"), name24);
  EXPECT_EQ(ShortName("  short name  "), "  short name  ");
  EXPECT_EQ(ShortName(" Holiday photos of 2024 and more"), "Holiday photos of 2024");
}

TEST(ShortNameTest, CountsCharactersNotBytes) {
  std::string e24;
  std::string sun24;
  for (int i = 0; i < 24; ++i) {
    e24 += "\xC3\xA9";        // é
    sun24 += "\xE6\x97\xA5";  // 日
  }
  EXPECT_EQ(ShortName(e24), e24);
  EXPECT_EQ(ShortName(e24 + "x"), e24);
  EXPECT_EQ(ShortName(sun24 + "\xE6\x97\xA5"), sun24);
  // A byte that is not UTF-8 counts as one character.
  std::string odd = std::string(23, 'a') + "\xFF";
  EXPECT_EQ(ShortName(odd + "bc"), odd);
}

// Everything a terminal could take for a command becomes '?': controls of every kind, and
// each byte that belongs to no character (a lone 0x9B is CSI on an 8-bit terminal).
TEST(PrintableTextTest, LeavesOnlyWellFormedPrintableCharacters) {
  EXPECT_EQ(PrintableText("a\x1b[2Jb\r\n\x7F"), "a?[2Jb???");
  EXPECT_EQ(PrintableText("x\x9B"
                          "2Jy \xC2\x9B"
                          "2J"),
            "x?2Jy ?2J");
  EXPECT_EQ(PrintableText("cut \xE2\x82"), "cut ??");                 // a sequence cut short
  EXPECT_EQ(PrintableText("\xC0\xAF \xED\xA0\x80"), "?? ???");        // overlong, surrogate
  EXPECT_EQ(PrintableText("line\xE2\x80\xA8next"), "line?next");      // U+2028
  const std::string letters = "Ünïcödé € \xF0\x9F\x98\x80 \xC2\xA0";  // emoji, no-break space
  EXPECT_EQ(PrintableText(letters), letters);
}

}  // namespace
}  // namespace brisvel
