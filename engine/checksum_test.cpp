#include "engine/checksum.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

namespace brisvel {
namespace {

uint32_t ZlibCrc(const unsigned char* data, size_t size, uint32_t start = 0) {
  return static_cast<uint32_t>(crc32_z(start, data, size));
}

std::vector<unsigned char> RandomBytes(size_t size) {
  std::mt19937 random(42);
  std::vector<unsigned char> bytes(size);
  for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random());
  return bytes;
}

TEST(Crc32SumTest, KnownValues) {
  Crc32Sum empty;
  empty.Add(nullptr, 0);
  EXPECT_EQ(empty.Value(), 0u);
  Crc32Sum abc;
  abc.Add("abc", 3);
  EXPECT_EQ(abc.Value(), 0x352441c2u);
  Crc32Sum digits;
  digits.Add("123456789", 9);
  EXPECT_EQ(digits.Value(), 0xcbf43926u);
}

// The fast code paths work on aligned runs of 16 to 256 bytes with the rest done byte by
// byte, so every length and start alignment up to a few runs must agree with zlib.
TEST(Crc32SumTest, EqualsZlibForEveryShortLengthAndAlignment) {
  std::vector<unsigned char> bytes = RandomBytes(1100);
  for (size_t offset = 0; offset < 16; ++offset) {
    for (size_t size = 0; size + offset <= bytes.size(); size += (size < 300 ? 1 : 37)) {
      Crc32Sum sum;
      sum.Add(bytes.data() + offset, size);
      ASSERT_EQ(sum.Value(), ZlibCrc(bytes.data() + offset, size)) << offset << " " << size;
    }
  }
}

// A file arrives in blocks of whatever size the reads return: the sum over uneven pieces must
// be the sum of the whole.
TEST(Crc32SumTest, EqualsZlibAcrossUnevenBlocks) {
  std::vector<unsigned char> bytes = RandomBytes((3 << 20) + 4097);
  const uint32_t whole = ZlibCrc(bytes.data(), bytes.size());
  for (size_t piece : {size_t{1} << 20, size_t{4093}, size_t{131071}, bytes.size()}) {
    Crc32Sum sum;
    for (size_t done = 0; done < bytes.size(); done += piece) {
      sum.Add(bytes.data() + done, std::min(piece, bytes.size() - done));
    }
    EXPECT_EQ(sum.Value(), whole) << piece;
  }
}

}  // namespace
}  // namespace brisvel
