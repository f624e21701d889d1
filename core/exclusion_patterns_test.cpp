#include "core/exclusion_patterns.h"

#include <gtest/gtest.h>

#include "core/text.h"

namespace brisvel {
namespace {

enum Kind { kFile, kFolder };

struct Case {
  const char* pattern;
  const char* path;  // relative to the source folder, "/" between its parts
  Kind kind;
  bool excluded;
};

// Asks as the walks do: the entry's folder spelt with the system's separator, and its name.
bool Excludes(const ExclusionPatterns& patterns, std::string path, Kind kind) {
  for (char& c : path) c = c == '/' ? kPathSeparator : c;
  const size_t separator = path.rfind(kPathSeparator);
  const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  return patterns.Excludes(std::string_view(path).substr(0, nameStart),
                           std::string_view(path).substr(nameStart), kind == kFolder);
}

void ExpectCases(const std::vector<Case>& cases, bool ignoreCase) {
  for (const Case& c : cases) {
    const ExclusionPatterns patterns({c.pattern}, ignoreCase);
    EXPECT_EQ(Excludes(patterns, c.path, c.kind), c.excluded)
        << "pattern \"" << c.pattern << "\", path \"" << c.path << "\"";
  }
}

TEST(ExclusionPatterns, WildcardsStayWithinOneName) {
  ExpectCases({{"*.tmp", "a.tmp", kFile, true},
               {"*.tmp", "deep/down/a.tmp", kFile, true},
               {"*.tmp", "a.tmp.txt", kFile, false},
               {"~$*", "~$Report.docx", kFile, true},
               {"~$*", "Report~$.docx", kFile, false},
               {"?.txt", "a.txt", kFile, true},
               {"?.txt", "ab.txt", kFile, false},
               {"?.txt", "é.txt", kFile, true},  // one character, two bytes
               {"a*b*c", "axxbyyc", kFile, true},
               // "*" never crosses a folder.
               {"docs/*.pdf", "docs/a.pdf", kFile, true},
               {"docs/*.pdf", "docs/sub/a.pdf", kFile, false},
               {"d*/a.pdf", "docs/sub/a.pdf", kFile, false}},
              false);
}

TEST(ExclusionPatterns, AnyNumberOfFolders) {
  ExpectCases({{"**/cache/", "cache", kFolder, true},
               {"**/cache/", "a/b/cache", kFolder, true},
               {"**/cache/", "a/cache", kFile, false},
               {"src/**/gen", "src/gen", kFile, true},
               {"src/**/gen", "src/a/b/c/gen", kFile, true},
               {"src/**/gen", "other/src/gen", kFile, false},
               {"src/**/gen", "src/a/gen/x", kFile, false},
               {"a/**", "a/b/c", kFile, true},
               {"**/x/**/y", "p/x/q/r/y", kFile, true},
               {"a/**/**/b", "a/b", kFile, true},
               {"**", "a/b", kFile, true}},
              false);
}

TEST(ExclusionPatterns, FoldersOnlyAndAnchors) {
  ExpectCases({{"node_modules/", "node_modules", kFolder, true},
               {"node_modules/", "web/app/node_modules", kFolder, true},
               {"node_modules/", "node_modules", kFile, false},
               {".git/", "project/.git", kFolder, true},
               {".git/", "project/.gitignore", kFile, false},
               {"build", "x/build", kFolder, true},
               // A "/" inside, or in front, ties the pattern to the source folder.
               {"photos/raw/", "photos/raw", kFolder, true},
               {"photos/raw/", "old/photos/raw", kFolder, false},
               {"photos/raw/", "photos/raw", kFile, false},
               {"/build/", "build", kFolder, true},
               {"/build/", "x/build", kFolder, false},
               {"./build/", "build", kFolder, true},
               {"./build/", "x/build", kFolder, false},
               // Names with spaces, brackets taken as themselves.
               {"My Music/", "home/My Music", kFolder, true},
               {"draft [old].doc", "draft [old].doc", kFile, true},
               {"[ab].txt", "a.txt", kFile, false},
               {"[ab].txt", "[ab].txt", kFile, true},
               {"photos/[2020]*/", "photos/[2020] Rome", kFolder, true},
               // Patterns that name nothing exclude nothing.
               {"/", "a", kFolder, false},
               {"", "a", kFile, false}},
              false);
}

TEST(ExclusionPatterns, LetterCaseWhereNamesIgnoreIt) {
  const std::vector<Case> cases = {{"*.TMP", "a.tmp", kFile, true},
                                   {"Cache/", "x/CACHE", kFolder, true},
                                   {"Photos/RAW/", "photos/raw", kFolder, true},
                                   {"straße.txt", "STRASSE.txt", kFile, false},
                                   {"ÉTÉ/", "été", kFolder, true},
                                   {"σ?", "Σς", kFile, true}};
  ExpectCases(cases, true);
  for (const Case& c : cases) {
    const ExclusionPatterns patterns({c.pattern}, false);
    EXPECT_FALSE(Excludes(patterns, c.path, c.kind)) << c.pattern << " where case counts";
  }
#ifdef _WIN32
  // Windows ignores case on its own and takes "\" as a separator in a pattern.
  EXPECT_TRUE(Excludes(ExclusionPatterns({"*.TMP"}), "a.tmp", kFile));
  EXPECT_TRUE(Excludes(ExclusionPatterns({"photos\\raw\\"}), "photos/raw", kFolder));
  EXPECT_FALSE(Excludes(ExclusionPatterns({"photos\\raw\\"}), "x/photos/raw", kFolder));
#else
  EXPECT_FALSE(Excludes(ExclusionPatterns({"*.TMP"}), "a.tmp", kFile));
  EXPECT_TRUE(Excludes(ExclusionPatterns({"a\\b"}), "a\\b", kFile));
#endif
}

TEST(ExclusionPatterns, AnyPatternOfSeveral) {
  const ExclusionPatterns patterns({"*.tmp", "photos/raw/", "cache/"});
  EXPECT_TRUE(Excludes(patterns, "photos/raw", kFolder));
  EXPECT_TRUE(Excludes(patterns, "a/cache", kFolder));
  EXPECT_FALSE(Excludes(patterns, "photos/edited", kFolder));
  EXPECT_TRUE(ExclusionPatterns({"", "/"}).Empty());
}

}  // namespace
}  // namespace brisvel
