#include "core/case_folding.h"

#include <gtest/gtest.h>

namespace brisvel {
namespace {

// Names in a few scripts, each against a spelling in other letter case.
TEST(CaseFoldingTest, NamesOfSeveralScriptsMatchInAnyCase) {
  const std::pair<const char*, const char*> same[] = {
      {"x.ÄBC", "x.äbc"},
      {"JÖURNAL.LOG", "Jöurnal.log"},
      {"ΣΊΣΥΦΟΣ", "σίσυφος"},  // the final sigma folds like the other small sigma
      {"ПРИВЕТ.txt", "привет.TXT"},
      {"\xE2\x84\xAA"
       "elvin",
       "kelvin"},  // the Kelvin sign is a capital K, not its own letter
      {"STRA\xE1\xBA\x9E"
       "E",
       "straße"},  // capital sharp s
      {"ǅ", "ǆ"},  // title case
  };
  for (const auto& [upper, lower] : same) {
    EXPECT_TRUE(EqualIgnoringCase(upper, lower)) << upper;
    EXPECT_EQ(FoldCase(upper), FoldCase(lower)) << upper;
  }
  EXPECT_EQ(FoldCase("ΣΊΣΥΦΟΣ"), "σίσυφοσ");
  EXPECT_EQ(FoldCase("\xE2\x84\xAA"), "k");
}

TEST(CaseFoldingTest, DifferentLettersAndRawBytesStayApart) {
  EXPECT_FALSE(EqualIgnoringCase("äbc", "abc"));
  EXPECT_FALSE(EqualIgnoringCase("abc", "abcd"));
  EXPECT_FALSE(EqualIgnoringCase("", "a"));
  // Only simple foldings, one code point for one: "İ" is no "i", "ß" no "ss".
  EXPECT_FALSE(EqualIgnoringCase("İ", "i"));
  EXPECT_FALSE(EqualIgnoringCase("ß", "ss"));
  // A byte of no character is kept and equals only itself, never a letter it resembles.
  EXPECT_EQ(FoldCase("A\xC4"
                     "B\xFF"),
            "a\xC4"
            "b\xFF");
  EXPECT_TRUE(
      EqualIgnoringCase("\xFF"
                        "A",
                        "\xFF"
                        "a"));
  EXPECT_FALSE(EqualIgnoringCase("\xC3", "\xC3\x84"));
  EXPECT_FALSE(EqualIgnoringCase("\xC4", "Ä"));
}

// Over the whole code space: the table holds each of its mappings once, and what it gives
// is already folded.
TEST(CaseFoldingTest, TheTableFoldsEachLetterToAFixedPoint) {
  int folded = 0;
  for (uint32_t c = 0; c <= 0x10FFFF; ++c) {
    const uint32_t target = FoldCodePoint(c);
    if (target == c) continue;
    ++folded;
    ASSERT_EQ(FoldCodePoint(target), target) << std::hex << c;
  }
  EXPECT_EQ(folded, 1454);  // the C and S lines of Unicode 15's CaseFolding.txt
}

}  // namespace
}  // namespace brisvel
