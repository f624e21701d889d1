// MD5 through OpenSSL's digest interface.
#include <openssl/crypto.h>
#include <openssl/evp.h>

#include "engine/checksum.h"

namespace brisvel {

struct Md5Context {
  EVP_MD_CTX* digest = EVP_MD_CTX_new();
  ~Md5Context() { EVP_MD_CTX_free(digest); }
};

// Fetched once: looking the algorithm up by name on every file would cost a lock and a search.
static const EVP_MD* Md5Algorithm() {
  static EVP_MD* algorithm = EVP_MD_fetch(nullptr, "MD5", nullptr);
  return algorithm;
}

// OpenSSL's clean-up at exit runs before the file system's helper thread ends, and the error
// state that thread holds would then never be freed. The process needs no clean-up at exit.
static void StartOpenSsl() {
  static const bool started = OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr) == 1;
  (void)started;
}

Md5Sum::Md5Sum() : context_((StartOpenSsl(), new Md5Context)) {}

Md5Sum::~Md5Sum() {
  delete context_;
}

bool Md5Sum::Reset() {
  const EVP_MD* algorithm = Md5Algorithm();
  return context_->digest && algorithm &&
         EVP_DigestInit_ex2(context_->digest, algorithm, nullptr) == 1;
}

bool Md5Sum::Add(const void* data, size_t size) {
  return EVP_DigestUpdate(context_->digest, data, size) == 1;
}

std::string Md5Sum::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  bool finished = EVP_DigestFinal_ex(context_->digest, digest, &length) == 1 && length == 16;
  // Dropping the digest's state now (the next Reset sets it up afresh anyway) leaves nothing
  // for the destructor but the bare context, so a helper thread may end after OpenSSL's own
  // clean-up at exit.
  EVP_MD_CTX_reset(context_->digest);
  if (!finished) return {};
  return HexText(digest, length);
}

}  // namespace brisvel
