#include "engine/checksum.h"

#include <openssl/evp.h>
#include <zlib.h>

namespace brisvel {

void Crc32Sum::Add(const void* data, size_t size) {
  const auto* bytes = static_cast<const Bytef*>(data);
  // crc32_z takes a size_t, so blocks of any size pass unchanged.
  value_ = static_cast<uint32_t>(crc32_z(value_, bytes, size));
}

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
  if (EVP_DigestFinal_ex(context_, digest, &length) != 1 || length != 16) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text(2 * length, '0');
  for (unsigned int i = 0; i < length; ++i) {
    text[2 * i] = kHex[digest[i] >> 4];
    text[2 * i + 1] = kHex[digest[i] & 0xf];
  }
  return text;
}

}  // namespace brisvel
