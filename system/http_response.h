// The status line and header block of an HTTP response.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace brisvel {

struct ResponseHead {
  int64_t contentLength = -1;  // -1: none given
  bool chunked = false;
  size_t bodyStart = 0;  // offset of the body's first byte in the block
};

// Reads the head from the first received block. nullopt when the status line holds neither
// "200" nor "302", when the header block does not end within the block, or when a
// content length is negative or does not fit 63 bits.
std::optional<ResponseHead> ReadResponseHead(std::string_view block);

}  // namespace brisvel
