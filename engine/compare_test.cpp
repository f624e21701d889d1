#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "engine/test_job_fixture.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

// Records the look-ups and reads the comparison makes, in order.
class CountingFileSystem : public FaultyFileSystem {
 public:
  using FaultyFileSystem::FaultyFileSystem;
  FileFacts FactsIn(const Folder& folder, const std::string& name, Links links,
                    Dates dates) override {
    calls.push_back("facts " + folder.Path() + name);
    return FaultyFileSystem::FactsIn(folder, name, links, dates);
  }
  std::pair<std::optional<uint32_t>, std::optional<uint32_t>> Crc32PairIn(
      const FilePair& pair) override {
    calls.insert(calls.end(), {"crc " + pair.SourcePath(), "crc " + pair.BackupPath()});
    return FaultyFileSystem::Crc32PairIn(pair);
  }
  std::pair<std::optional<std::string>, std::optional<std::string>> Md5PairIn(
      const FilePair& pair) override {
    calls.insert(calls.end(), {"md5 " + pair.SourcePath(), "md5 " + pair.BackupPath()});
    return FaultyFileSystem::Md5PairIn(pair);
  }
  std::vector<std::string> calls;
};

constexpr uint8_t kUnknownMethod = 7;
const uint8_t kAllMethods[] = {kCompareSize, kCompareDate, kCompareCrc32, kCompareMd5,
                               kUnknownMethod};

class CompareTest : public JobFixture {
 protected:
  bool NeedsCopyBy(uint8_t method) {
    job_.compareMethod = method;
    JobContext context{counting_, view_, state_, job_, log_};
    counting_.calls.clear();
    return NeedsCopy(context, NativePath("sub/f.txt"));
  }
  void Write2(const std::string& source, const std::string& destination, time_t date = 1e9) {
    Write("src/sub/f.txt", source);
    Write("dst/sub/f.txt", destination);
    SetDate("src/sub/f.txt", date);
    SetDate("dst/sub/f.txt", date);
  }
  void SetDate(const std::string& path, time_t seconds) {
    using std::chrono::file_clock;
    std::error_code error;
    stdfs::last_write_time(
        root_ + path, file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(seconds))),
        error);
    ASSERT_FALSE(error) << error.message();
  }

  CountingFileSystem counting_{RealFileSystem()};
};

TEST_F(CompareTest, MissingDestinationIsCopiedAndEqualFilesAreLeftByEveryMethod) {
  Write("src/sub/f.txt", "content");
  for (uint8_t method : kAllMethods) EXPECT_TRUE(NeedsCopyBy(method)) << int(method);
  Write2("same", "same");
  for (uint8_t method : kAllMethods) EXPECT_FALSE(NeedsCopyBy(method)) << int(method);
}

TEST_F(CompareTest, EachMethodLooksAtItsOwnProperty) {
  Write2("abc", "abd");  // same size and date, other content
  EXPECT_FALSE(NeedsCopyBy(kCompareSize));
  EXPECT_FALSE(NeedsCopyBy(kCompareDate));
  EXPECT_TRUE(NeedsCopyBy(kCompareCrc32));
  EXPECT_TRUE(NeedsCopyBy(kCompareMd5));
  Write2("new content", "old");
  EXPECT_TRUE(NeedsCopyBy(kCompareSize));
  EXPECT_FALSE(NeedsCopyBy(kUnknownMethod));
}

TEST_F(CompareTest, DateCopiesOnlyWhenTheDestinationIsOlder) {
  Write2("x", "x", 1'600'000'000);
  SetDate("dst/sub/f.txt", 1'599'999'999);
  EXPECT_TRUE(NeedsCopyBy(kCompareDate));
  SetDate("dst/sub/f.txt", 1'600'000'001);
  EXPECT_FALSE(NeedsCopyBy(kCompareDate));
}

TEST_F(CompareTest, UnreadableFileOnEitherSideIsCopiedNeverEqual) {
  Write2("", "");  // an unreadable file must not pass for an empty one
  for (const std::string& side : {job_.source, job_.destination}) {
    CountingFileSystem faulty(RealFileSystem());
    faulty.FailChecksums(side + NativePath("sub/f.txt"));
    for (uint8_t method : {kCompareCrc32, kCompareMd5}) {
      job_.compareMethod = method;
      JobContext context{faulty, view_, state_, job_, log_};
      EXPECT_TRUE(NeedsCopy(context, NativePath("sub/f.txt"))) << side << " " << int(method);
    }
  }
}

TEST_F(CompareTest, UnchangedFileCostsTwoLookUpsDestinationFirst) {
  Write2("same", "same");
  const std::vector<std::string> lookUps = {"facts " + job_.destination + NativePath("sub/f.txt"),
                                            "facts " + job_.source + NativePath("sub/f.txt")};
  for (uint8_t method : {kCompareSize, kCompareDate, kCompareCrc32}) {
    EXPECT_FALSE(NeedsCopyBy(method));
    EXPECT_EQ(std::vector<std::string>(counting_.calls.begin(), counting_.calls.begin() + 2),
              lookUps);
  }
  EXPECT_EQ(counting_.calls.size(), 4u);  // and each side read once for its checksum
  Write2("abc", "abcdef");
  EXPECT_TRUE(NeedsCopyBy(kCompareMd5));
  EXPECT_EQ(counting_.calls, lookUps);  // sizes differ: nothing needs reading
}

TEST_F(CompareTest, SourceThatVanishedAfterTheScanIsNeverTakenForTheBackup) {
  Write("dst/sub/f.txt", "old");
  EXPECT_TRUE(NeedsCopyBy(kCompareSize));  // the copy then fails and is reported
  EXPECT_FALSE(NeedsCopyBy(kCompareDate));
  EXPECT_TRUE(NeedsCopyBy(kCompareCrc32));
  EXPECT_TRUE(NeedsCopyBy(kCompareMd5));
}

}  // namespace
}  // namespace brisvel
