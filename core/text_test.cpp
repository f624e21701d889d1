#include "core/text.h"

#include <gtest/gtest.h>

#include <string>

namespace brisvel {
namespace {

TEST(ShortNameTest, KeepsUpTo24CharactersWholeAndCutsLongerNamesTo24) {
  std::string name24(24, 'a');
  EXPECT_EQ(ShortName(name24), name24);
  EXPECT_EQ(ShortName(name24 + "b"), name24);
  EXPECT_EQ(ShortName(""), "");
}

TEST(ShortNameTest, TrimsOnlyTheCutForm) {
  EXPECT_EQ(ShortName("  short name  "), "  short name  ");
  // The 24th character is a blank, and so is the first.
  EXPECT_EQ(ShortName(" Holiday photos of 2024 and more"), "Holiday photos of 2024");
}

TEST(ShortNameTest, CountsCharactersNotBytes) {
  std::string e = "\xC3\xA9";        // é
  std::string sun = "\xE6\x97\xA5";  // 日
  std::string twentyFourE;
  std::string twentyFourSuns;
  for (int i = 0; i < 24; ++i) {
    twentyFourE += e;
    twentyFourSuns += sun;
  }
  EXPECT_EQ(ShortName(twentyFourE), twentyFourE);
  EXPECT_EQ(ShortName(twentyFourE + "x"), twentyFourE);
  EXPECT_EQ(ShortName(twentyFourSuns + sun + sun), twentyFourSuns);
  // A byte that is not UTF-8 counts as one character and is not lost.
  std::string odd = std::string(23, 'a') + "\xFF";
  EXPECT_EQ(ShortName(odd + "bc"), odd);
}

TEST(PathTextTest, SeparatorsAndParts) {
  EXPECT_EQ(WithTrailingSeparator(""), "");
  EXPECT_EQ(WithTrailingSeparator("/data"), "/data/");
  EXPECT_EQ(WithTrailingSeparator("/data/"), "/data/");
  EXPECT_EQ(FilePart("/home/anna/jobs.jbs"), "jobs.jbs");
  EXPECT_EQ(FilePart("jobs.jbs"), "jobs.jbs");
  EXPECT_EQ(FilePart("/home/anna/"), "");
  EXPECT_EQ(FolderPart("/home/anna/jobs.jbs"), "/home/anna/");
  EXPECT_EQ(FolderPart("jobs.jbs"), "");
}

TEST(KeywordTextTest, LowerCasesAsciiOnlyAndTrimsBlanks) {
  EXPECT_EQ(ToLower("TRUE Yes \xC3\x84"), "true yes \xC3\x84");
  EXPECT_EQ(Trim(" \t name \t "), "name");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_STREQ(Plural(1), "");
  EXPECT_STREQ(Plural(0), "s");
  EXPECT_STREQ(Plural(2), "s");
}

}  // namespace
}  // namespace brisvel
