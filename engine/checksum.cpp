#include "engine/checksum.h"

#ifdef BRISVEL_HAVE_ISAL
#include <isa-l/crc.h>
#else
#include <zlib.h>
#endif

namespace brisvel {

#ifdef BRISVEL_HAVE_ISAL

// ISA-L's reflected CRC-32 takes and gives the finished value like zlib's, so sums chain
// across blocks the same way; it picks the fastest code for the processor at run time.
void Crc32Sum::Add(const void* data, size_t size) {
  value_ = crc32_gzip_refl(value_, static_cast<const unsigned char*>(data), size);
}

const char* Crc32Sum::Engine() {
  return "ISA-L";
}

#else

void Crc32Sum::Add(const void* data, size_t size) {
  const auto* bytes = static_cast<const Bytef*>(data);
  // crc32_z takes a size_t, so blocks of any size pass unchanged.
  value_ = static_cast<uint32_t>(crc32_z(value_, bytes, size));
}

const char* Crc32Sum::Engine() {
  return "zlib";
}

#endif

std::string HexText(const unsigned char* bytes, size_t size) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text(2 * size, '0');
  for (size_t i = 0; i < size; ++i) {
    text[2 * i] = kHex[bytes[i] >> 4];
    text[2 * i + 1] = kHex[bytes[i] & 0xf];
  }
  return text;
}

}  // namespace brisvel
