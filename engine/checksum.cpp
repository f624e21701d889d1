#include "engine/checksum.h"

#include <openssl/evp.h>

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

// Fetched once: looking the algorithm up by name on every file would cost a lock and a search.
static const EVP_MD* Md5Algorithm() {
  static EVP_MD* algorithm = EVP_MD_fetch(nullptr, "MD5", nullptr);
  return algorithm;
}

Md5Sum::Md5Sum() : context_(EVP_MD_CTX_new()) {}

Md5Sum::~Md5Sum() {
  EVP_MD_CTX_free(context_);
}

bool Md5Sum::Reset() {
  const EVP_MD* algorithm = Md5Algorithm();
  return context_ && algorithm && EVP_DigestInit_ex2(context_, algorithm, nullptr) == 1;
}

bool Md5Sum::Add(const void* data, size_t size) {
  return EVP_DigestUpdate(context_, data, size) == 1;
}

std::string Md5Sum::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  bool finished = EVP_DigestFinal_ex(context_, digest, &length) == 1 && length == 16;
  // Dropping the digest's state now (the next Reset sets it up afresh anyway) leaves nothing
  // for the destructor but the bare context, so a helper thread may end after OpenSSL's own
  // clean-up at exit.
  EVP_MD_CTX_reset(context_);
  if (!finished) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text(2 * length, '0');
  for (unsigned int i = 0; i < length; ++i) {
    text[2 * i] = kHex[digest[i] >> 4];
    text[2 * i + 1] = kHex[digest[i] & 0xf];
  }
  return text;
}

}  // namespace brisvel
