// MD5 through the system's cryptography API (CNG), present from Windows 7 on.
#include "core/windows_win32.h"
// After <windows.h>, which it needs.
#include <bcrypt.h>

#include "engine/checksum.h"

namespace brisvel {

struct Md5Context {
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~Md5Context() {
    if (hash != nullptr) BCryptDestroyHash(hash);
  }
};

// Opened once for the whole program: the provider may be shared by every thread.
static BCRYPT_ALG_HANDLE Md5Provider() {
  static BCRYPT_ALG_HANDLE provider = [] {
    BCRYPT_ALG_HANDLE opened = nullptr;
    if (BCryptOpenAlgorithmProvider(&opened, BCRYPT_MD5_ALGORITHM, nullptr, 0) < 0) {
      return BCRYPT_ALG_HANDLE{nullptr};
    }
    return opened;
  }();
  return provider;
}

Md5Sum::Md5Sum() : context_(new Md5Context) {}

Md5Sum::~Md5Sum() {
  delete context_;
}

bool Md5Sum::Reset() {
  if (context_->hash != nullptr) {
    BCryptDestroyHash(context_->hash);
    context_->hash = nullptr;
  }
  BCRYPT_ALG_HANDLE provider = Md5Provider();
  if (provider == nullptr) return false;
  // No object buffer: the system allocates the hash state itself.
  return BCryptCreateHash(provider, &context_->hash, nullptr, 0, nullptr, 0, 0) >= 0;
}

bool Md5Sum::Add(const void* data, size_t size) {
  if (context_->hash == nullptr) return false;
  auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
  while (size > 0) {
    // The length is a ULONG: very large blocks go in pieces.
    ULONG piece = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
    if (BCryptHashData(context_->hash, bytes, piece, 0) < 0) return false;
    bytes += piece;
    size -= piece;
  }
  return true;
}

std::string Md5Sum::HexDigest() {
  if (context_->hash == nullptr) return {};
  unsigned char digest[16];
  bool finished = BCryptFinishHash(context_->hash, digest, sizeof digest, 0) >= 0;
  BCryptDestroyHash(context_->hash);
  context_->hash = nullptr;
  if (!finished) return {};
  return HexText(digest, sizeof digest);
}

}  // namespace brisvel
