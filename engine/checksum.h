// Running checksums over data fed block by block, so that a file is read only once whatever
// the platform's way of reading it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace brisvel {

// The platform's digest state behind Md5Sum.
struct Md5Context;

// The standard CRC-32 (reflected polynomial EDB88320, initial value all ones, final
// complement), the value zlib's crc32 gives.
class Crc32Sum {
 public:
  void Add(const void* data, size_t size);
  uint32_t Value() const { return value_; }

  // The library that computes it: "ISA-L" or "zlib", chosen when the program is built.
  static const char* Engine();

 private:
  uint32_t value_ = 0;
};

// MD5 of the data fed since the last Reset. One object may be reused for many files, which
// saves setting up the digest context each time.
class Md5Sum {
 public:
  Md5Sum();
  ~Md5Sum();
  Md5Sum(const Md5Sum&) = delete;
  Md5Sum& operator=(const Md5Sum&) = delete;

  // Starts a new digest; false when the digest cannot be set up.
  bool Reset();
  bool Add(const void* data, size_t size);
  // The digest as 32 lower-case hexadecimal characters; empty on failure.
  std::string HexDigest();

 private:
  Md5Context* context_;
};

// `bytes` as lower-case hexadecimal characters, two per byte.
std::string HexText(const unsigned char* bytes, size_t size);

}  // namespace brisvel
