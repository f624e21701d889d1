// Job files that are broken, huge or built to hurt: each gives a message or the jobs read
// before the trouble, in bounded time and memory.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/job_file.h"
#include "core/job_list_view_fake.h"
#include "core/test_util.h"

namespace brisvel {
namespace {

using Names = std::vector<std::string>;

std::string Repeat(std::string_view text, size_t times) {
  std::string result;
  result.reserve(text.size() * times);
  for (size_t i = 0; i < times; ++i) result += text;
  return result;
}

class HostileJobFileTest : public ::testing::Test {
 protected:
  int LoadFile() { return LoadJobFile(path_, jobs_, settings_, view_); }
  int Load(const std::string& text) {
    WriteFile(path_, text);
    return LoadFile();
  }

  ScratchFolder folder_;
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
  EXPECT_TRUE(jobs_.Empty());
}

TEST_F(HostileJobFileTest, GarbageAfterTheJobsKeepsTheJobs) {
  EXPECT_EQ(Load("<brisvel><job name=\"a\"/><job name=\"b\"/>\x01\x02\xFF<<<&&&"), 1);
  EXPECT_EQ(view_.RowNames(), (Names{"a", "b"}));
  EXPECT_TRUE(view_.messages.empty());
}

// 100 MB is read block by block; nothing of the padding is kept, so the job after it is read.
TEST_F(HostileJobFileTest, A100MegabyteFileIsReadToItsEnd) {
  {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path_.c_str(), "wb"),
                                                         std::fclose);
    ASSERT_TRUE(file);
    std::string block = Repeat("<x a=\"1\">padding text</x><!-- note --> &amp;\r\n", 20'000);
    std::fputs("<brisvel><job name=\"first\"/><padding>", file.get());
    for (size_t written = 0; written < (size_t{100} << 20); written += block.size()) {
      ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), file.get()), block.size());
    }
    std::fputs("</padding><job name=\"last\"/></brisvel>", file.get());
  }
  EXPECT_EQ(LoadFile(), 1);
  EXPECT_EQ(view_.RowNames(), (Names{"first", "last"}));
}

TEST_F(HostileJobFileTest, OneEndlessTagStopsTheReading) {
  std::string endless = "<brisvel><job name=\"a\"/><job name=\"" + std::string(8 << 20, 'n');
  EXPECT_EQ(Load(endless + "\"/><job name=\"c\"/></brisvel>"), 1);
  EXPECT_EQ(view_.RowNames(), Names{"a"});
}

TEST_F(HostileJobFileTest, AtMostOneHundredThousandJobsAreRead) {
  EXPECT_EQ(Load("<brisvel>" + Repeat("<job/>", 100'001) + "</brisvel>"), 1);
  EXPECT_EQ(jobs_.Count(), 100'000);
  EXPECT_EQ(view_.rows.size(), 100'000u);
}

TEST_F(HostileJobFileTest, DeepNestingIsPassedOver) {
  const size_t depth = 100'000;
  std::string nested = Repeat("<x>", depth) + Repeat("</x>", depth);
  EXPECT_EQ(Load("<brisvel><job name=\"a\">" + nested + "</job><job name=\"b\"/></brisvel>"), 1);
  EXPECT_EQ(view_.RowNames(), (Names{"a", "b"}));
}

TEST_F(HostileJobFileTest, NestingBeyondTheParsersMemoryStopsTheReading) {
  EXPECT_EQ(Load("<brisvel><job name=\"a\"/><deep>" + Repeat("<x>", 3'000'000)), 1);
  EXPECT_EQ(view_.RowNames(), Names{"a"});
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
  EXPECT_EQ(Load(laughs + "<brisvel finish=\"&l12;\"><job/></brisvel>"), 0);
  EXPECT_EQ(view_.MessageTexts(), Names{"Not a valid Brisvel file!"});
}

}  // namespace
}  // namespace brisvel
