// Splitting a download URL into host, port and path, and the request that asks for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brisvel {

struct HttpUrl {
  std::string host;  // empty when the URL has none
  uint16_t port = 80;
  std::string path;  // without its leading "/"; query and fragment included
};

// The host follows "://" (or the first "@" after it, when there is one) and ends at ":" or
// "/"; a ":" there starts the port, whose leading digits count, cut to 16 bits. The path is
// everything after the first "/" that follows "://". The scheme is not examined.
HttpUrl SplitUrl(const std::string& url);

// The bytes of the GET request for `url`, or nullopt when the request with its terminating
// zero would not fit the download's buffer of (host length + 2048) bytes.
std::optional<std::string> HttpRequest(const HttpUrl& url);

// The download's buffer: the request first, then each received block.
inline constexpr size_t kReceiveBlock = 2048;

}  // namespace brisvel
