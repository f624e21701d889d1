// Job files that are broken, huge or built to hurt: each gives a message or the jobs read
// before the trouble, in bounded time and memory.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/job_file.h"
#include "core/test_folder.h"
#include "core/test_job_list_view.h"

namespace brisvel {
namespace {

using Names = std::vector<std::string>;

std::string Repeat(std::string_view text, size_t times) {
  std::string result;
  for (size_t i = 0; i < times; ++i) result += text;
  return result;
}

class HostileJobFileTest : public ::testing::Test {
 protected:
  int Load(const std::string& text) {
    WriteFile(path_, text);
    return LoadJobFile(path_, jobs_, settings_, view_);
  }

  TestFolder folder_;
  std::string path_ = folder_ / "hostile.jbs";
  JobList jobs_;
  RunSettings settings_;
  FakeJobListView view_;
};

TEST_F(HostileJobFileTest, BinaryIsNotAJobFile) {
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes += static_cast<char>((i * 7919) % 251);
  EXPECT_EQ(Load(bytes), 0);
  EXPECT_EQ(view_.MessageTexts(), Names{"Not a valid Brisvel file!"});
}

// Read block by block, keeping nothing of the padding, so the job after it is read too.
TEST_F(HostileJobFileTest, A100MegabyteFileIsReadToItsEnd) {
  {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path_.c_str(), "wb"),
                                                         std::fclose);
    std::string block = Repeat("<x a=\"1\">padding text</x><!-- note --> &amp;\r\n", 20'000);
    std::fputs("<brisvel><job name=\"first\"/><padding>", file.get());
    for (size_t written = 0; written < (size_t{100} << 20); written += block.size()) {
      ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), file.get()), block.size());
    }
    std::fputs("</padding><job name=\"last\"/></brisvel>", file.get());
  }
  EXPECT_EQ(LoadJobFile(path_, jobs_, settings_, view_), 1);
  EXPECT_EQ(view_.RowNames(), (Names{"first", "last"}));
}

TEST_F(HostileJobFileTest, HugeMarkupAndDeepNestingAreSurvived) {
  std::string nested = Repeat("<x>", 100'000) + Repeat("</x>", 100'000);
  EXPECT_EQ(Load("<brisvel><job name=\"a\">" + nested + "</job><job name=\"b\"/></brisvel>"), 1);
  EXPECT_EQ(view_.RowNames(), (Names{"a", "b"}));

  view_ = FakeJobListView();
  EXPECT_EQ(Load("<brisvel><job name=\"a\"/><job name=\"" + std::string(8 << 20, 'n')), 1);
  EXPECT_EQ(view_.RowNames(), Names{"a"});

  view_ = FakeJobListView();
  EXPECT_EQ(Load("<brisvel>" + Repeat("<job/>", 100'001) + "</brisvel>"), 1);
  EXPECT_EQ(jobs_.Count(), 100'000);
}

// A real list may hold a filter of a few megabytes; a tag past the reader's limit is named
// in the message instead of blaming the file's contents.
TEST_F(HostileJobFileTest, LongFiltersLoadAndALimitIsNamedWhenHit) {
  const std::string filter = Repeat("ext, ", 400'000);  // 2 MB
  EXPECT_EQ(Load("<brisvel><job name=\"a\" filter=\"" + filter + "\"/><job name=\"b\"/></brisvel>"),
            1);
  EXPECT_EQ(view_.RowNames(), (Names{"a", "b"}));
  EXPECT_EQ(jobs_.At(0).filter, filter);
  EXPECT_TRUE(view_.MessageTexts().empty());

  view_ = FakeJobListView();
  const std::string huge = Repeat("x", size_t{9} << 20);
  EXPECT_EQ(Load("<brisvel><job name=\"" + huge + "\"/><job name=\"b\"/></brisvel>"), 0);
  EXPECT_EQ(view_.MessageTexts(),
            Names{"Reading the job file stopped at the limit of 8 MiB for one tag; the jobs "
                  "after that point were not loaded."});
}

TEST_F(HostileJobFileTest, EntityExpansionIsCut) {
  std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE brisvel [<!ENTITY l0 \"lol\">";
  for (int i = 1; i <= 12; ++i) {
    laughs += "<!ENTITY l" + std::to_string(i) + " \"" +
              Repeat("&l" + std::to_string(i - 1) + ";", 10) + "\">";
  }
  laughs += "]>";
  EXPECT_EQ(Load(laughs + "<brisvel><job name=\"a\"/><job name=\"&l12;\"/></brisvel>"), 1);
  EXPECT_EQ(view_.RowNames(), Names{"a"});
  EXPECT_EQ(Load(laughs + "<brisvel><job/>&l12;<job/></brisvel>"), 1);
  EXPECT_EQ(jobs_.Count(), 1);
}

}  // namespace
}  // namespace brisvel
