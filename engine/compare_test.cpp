#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "engine/job_fixture_for_tests.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

// Records which look-ups and reads the comparison makes, in order.
class CountingFileSystem : public FaultyFileSystem {
 public:
  using FaultyFileSystem::FaultyFileSystem;
  int64_t FileSize(const std::string& path) override {
    calls.push_back("size " + path);
    return FaultyFileSystem::FileSize(path);
  }
  int64_t FileDate(const std::string& path) override {
    calls.push_back("date " + path);
    return FaultyFileSystem::FileDate(path);
  }
  FileFacts Facts(const std::string& path) override {
    calls.push_back("facts " + path);
    return FaultyFileSystem::Facts(path);
  }
  PathState Lookup(const std::string& path) override {
    calls.push_back("lookup " + path);
    return FaultyFileSystem::Lookup(path);
  }
  std::optional<uint32_t> Crc32(const std::string& path) override {
    calls.push_back("crc " + path);
    return FaultyFileSystem::Crc32(path);
  }
  std::optional<std::string> Md5(const std::string& path) override {
    calls.push_back("md5 " + path);
    return FaultyFileSystem::Md5(path);
  }
  std::vector<std::string> calls;
};

class CompareTest : public JobFixture {
 protected:
  bool NeedsCopyBy(uint8_t method, const std::string& relative = "f.txt") {
    job_.compareMethod = method;
    JobContext context{counting_, view_, state_, job_, log_};
    counting_.calls.clear();
    return NeedsCopy(context, relative);
  }
  void SetDate(const std::string& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (root_ + path).c_str(), times, 0), 0);
  }

  CountingFileSystem counting_{RealFileSystem()};
};

constexpr uint8_t kUnknownMethod = 7;
const uint8_t kAllMethods[] = {kCompareSize, kCompareDate, kCompareCrc32, kCompareMd5,
                               kUnknownMethod};

TEST_F(CompareTest, MissingDestinationIsCopiedByEveryMethod) {
  Write("src/f.txt", "content");
  for (uint8_t method : kAllMethods) EXPECT_TRUE(NeedsCopyBy(method)) << int(method);
}

TEST_F(CompareTest, EqualFilesAreLeftAloneByEveryMethod) {
  Write("src/f.txt", "same");
  Write("dst/f.txt", "same");
  SetDate("src/f.txt", 1'600'000'000);
  SetDate("dst/f.txt", 1'600'000'000);
  for (uint8_t method : kAllMethods) EXPECT_FALSE(NeedsCopyBy(method)) << int(method);
}

TEST_F(CompareTest, SizeLooksAtSizesOnly) {
  Write("src/f.txt", "abc");
  Write("dst/f.txt", "xyz");
  EXPECT_FALSE(NeedsCopyBy(kCompareSize));
  Write("dst/f.txt", "abcd");
  EXPECT_TRUE(NeedsCopyBy(kCompareSize));
}

TEST_F(CompareTest, DateCopiesOnlyWhenTheDestinationIsOlder) {
  Write("src/f.txt");
  Write("dst/f.txt");
  SetDate("src/f.txt", 1'600'000'000);
  SetDate("dst/f.txt", 1'599'999'999);
  EXPECT_TRUE(NeedsCopyBy(kCompareDate));
  SetDate("dst/f.txt", 1'600'000'000);
  EXPECT_FALSE(NeedsCopyBy(kCompareDate));
  SetDate("dst/f.txt", 1'600'000'001);
  EXPECT_FALSE(NeedsCopyBy(kCompareDate));
}

TEST_F(CompareTest, ChecksumsSeeContentOfTheSameSize) {
  Write("src/f.txt", "abc");
  Write("dst/f.txt", "abd");
  EXPECT_TRUE(NeedsCopyBy(kCompareCrc32));
  EXPECT_TRUE(NeedsCopyBy(kCompareMd5));
}

TEST_F(CompareTest, UnreadableFileOnEitherSideIsCopiedNeverEqual) {
  Write("src/f.txt", "same");
  Write("dst/f.txt", "same");
  for (const std::string side : {"src/f.txt", "dst/f.txt"}) {
    CountingFileSystem faulty(RealFileSystem());
    faulty.FailChecksums(root_ + side);
    for (uint8_t method : {kCompareCrc32, kCompareMd5}) {
      job_.compareMethod = method;
      JobContext context{faulty, view_, state_, job_, log_};
      EXPECT_TRUE(NeedsCopy(context, "f.txt")) << side << " " << int(method);
    }
  }
}

TEST_F(CompareTest, EmptyFilesAreEqualButUnreadableIsNotEmpty) {
  Write("src/f.txt", "");
  Write("dst/f.txt", "");
  EXPECT_FALSE(NeedsCopyBy(kCompareCrc32));
  counting_.FailChecksums(job_.source + "f.txt");
  EXPECT_TRUE(NeedsCopyBy(kCompareCrc32));
}

TEST_F(CompareTest, UnchangedFileCostsTwoLookUpsDestinationFirst) {
  Write("src/sub/f.txt", "same");
  Write("dst/sub/f.txt", "same");
  SetDate("src/sub/f.txt", 1'600'000'000);
  SetDate("dst/sub/f.txt", 1'600'000'000);
  const std::vector<std::string> lookUps = {"facts " + job_.destination + "sub/f.txt",
                                            "facts " + job_.source + "sub/f.txt"};
  for (uint8_t method : {kCompareSize, kCompareDate}) {
    EXPECT_FALSE(NeedsCopyBy(method, "sub/f.txt"));
    EXPECT_EQ(counting_.calls, lookUps) << int(method);
  }
  EXPECT_FALSE(NeedsCopyBy(kCompareCrc32, "sub/f.txt"));
  EXPECT_EQ(counting_.calls.size(), 4u);
}

TEST_F(CompareTest, ChecksumsAreNotReadWhenSizesDiffer) {
  Write("src/f.txt", "abc");
  Write("dst/f.txt", "abcdef");
  EXPECT_TRUE(NeedsCopyBy(kCompareMd5));
  for (const std::string& call : counting_.calls)
    EXPECT_EQ(call.rfind("md5", 0), std::string::npos);
}

TEST_F(CompareTest, SourceThatVanishedAfterTheScan) {
  Write("dst/f.txt", "old");
  // Size and checksums ask for a copy, which then fails and is reported; the date method
  // finds nothing newer. None of them calls the missing source equal to the backup.
  EXPECT_TRUE(NeedsCopyBy(kCompareSize));
  EXPECT_FALSE(NeedsCopyBy(kCompareDate));
  EXPECT_TRUE(NeedsCopyBy(kCompareCrc32));
  EXPECT_TRUE(NeedsCopyBy(kCompareMd5));
}

TEST_F(CompareTest, UnknownMethodCopiesOnlyMissingFiles) {
  Write("src/f.txt", "new content");
  Write("dst/f.txt", "old");
  EXPECT_FALSE(NeedsCopyBy(kUnknownMethod));
}

}  // namespace
}  // namespace brisvel
