#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <string>

#include "engine/fs_posix.h"
#include "engine/test_fs_util.h"

namespace brisvel {
namespace {

constexpr char kAbcMd5[] = "900150983cd24fb0d6963f7d28e17f72";

std::string Pattern(size_t size, unsigned seed) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 131 + seed) >> 3);
  return text;
}

uint32_t ZlibCrc(const std::string& text) {
  return static_cast<uint32_t>(
      crc32_z(0, reinterpret_cast<const Bytef*>(text.data()), text.size()));
}

class ChecksumPairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("empty", "");
    dir_.Write("abc", "abc");
    // Larger than one read block and of odd length, so several uneven blocks are summed.
    dir_.Write("large", Pattern((1 << 20) + 12345, 1));
    dir_.Write("other", Pattern((1 << 20) + 12345, 2));
  }

  TempFolder dir_;
};

TEST_F(ChecksumPairTest, PairsGiveTheSingleValues) {
  FileSystem& fs = RealFileSystem();
  EXPECT_EQ(fs.Crc32(dir_ / "large"), ZlibCrc(dir_.Read("large")));
  EXPECT_EQ(fs.Crc32Pair(dir_ / "abc", dir_ / "empty"),
            std::pair(std::optional(0x352441c2u), std::optional(0u)));
  EXPECT_EQ(fs.Md5Pair(dir_ / "empty", dir_ / "abc").second, kAbcMd5);
  EXPECT_NE(fs.Md5Pair(dir_ / "large", dir_ / "other").first,
            fs.Md5Pair(dir_ / "large", dir_ / "other").second);
  const char* names[] = {"empty", "abc", "large", "other"};
  for (const char* first : names) {
    for (const char* second : names) {
      auto crcs = fs.Crc32Pair(dir_ / first, dir_ / second);
      EXPECT_EQ(crcs.first, fs.Crc32(dir_ / first)) << first;
      EXPECT_EQ(crcs.second, fs.Crc32(dir_ / second)) << second;
      auto md5s = fs.Md5Pair(dir_ / first, dir_ / second);
      EXPECT_EQ(md5s.first, fs.Md5(dir_ / first)) << first;
      EXPECT_EQ(md5s.second, fs.Md5(dir_ / second)) << second;
    }
  }
}

// Whichever side cannot be read (missing, a folder, a pipe) gets no value, and only that side.
TEST_F(ChecksumPairTest, AnUnreadableSideGivesNothingOnThatSideOnly) {
  FileSystem& fs = RealFileSystem();
  ASSERT_EQ(mkdir((dir_ / "folder").c_str(), 0700), 0);
  ASSERT_EQ(mkfifo((dir_ / "pipe").c_str(), 0600), 0);
  const uint32_t largeCrc = *fs.Crc32(dir_ / "large");
  for (const char* bad : {"missing", "folder", "pipe"}) {
    EXPECT_EQ(fs.Crc32Pair(dir_ / bad, dir_ / "large"),
              std::pair(std::optional<uint32_t>(), std::optional(largeCrc)));
    EXPECT_EQ(fs.Crc32Pair(dir_ / "large", dir_ / bad),
              std::pair(std::optional(largeCrc), std::optional<uint32_t>()));
    auto md5s = fs.Md5Pair(dir_ / bad, dir_ / "abc");
    EXPECT_EQ(md5s.first, std::nullopt) << bad;
    EXPECT_EQ(md5s.second, kAbcMd5) << bad;
    md5s = fs.Md5Pair(dir_ / "abc", dir_ / bad);
    EXPECT_EQ(md5s.first, kAbcMd5) << bad;
    EXPECT_EQ(md5s.second, std::nullopt) << bad;
  }
}

// A read error part-way through leaves no value for that side, and the digest that was cut
// short does not leak into the next file hashed on the same thread.
TEST_F(ChecksumPairTest, AReadErrorOnEitherSideGivesNothingThereAndLeavesNoTrace) {
  PosixFsSeams seams;
  seams.readFailsAfter = 1 << 20;
  auto failing = NewPosixFileSystem(seams);
  for (int round = 0; round < 3; ++round) {
    auto crcs = failing->Crc32Pair(dir_ / "large", dir_ / "abc");
    EXPECT_EQ(crcs.first, std::nullopt);
    EXPECT_EQ(crcs.second, 0x352441c2u);
    crcs = failing->Crc32Pair(dir_ / "abc", dir_ / "large");
    EXPECT_EQ(crcs.first, 0x352441c2u);
    EXPECT_EQ(crcs.second, std::nullopt);
    auto md5s = failing->Md5Pair(dir_ / "large", dir_ / "large");
    EXPECT_EQ(md5s.first, std::nullopt);
    EXPECT_EQ(md5s.second, std::nullopt);
    md5s = failing->Md5Pair(dir_ / "abc", dir_ / "abc");
    EXPECT_EQ(md5s.first, kAbcMd5);
    EXPECT_EQ(md5s.second, kAbcMd5);
  }
}

}  // namespace
}  // namespace brisvel
