// One TCP connection of a download, behind a seam so that the response rules can be driven
// by scripted reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace brisvel {

// What Receive returns when its time ran out before a byte arrived.
inline constexpr int64_t kReceiveTimedOut = -1;

class Connection {
 public:
  virtual ~Connection() = default;
  // Sends all of `bytes` within `timeoutMs`; false when that fails or the time runs out.
  virtual bool Send(std::string_view bytes, int timeoutMs) = 0;
  // Waits up to `timeoutMs` for bytes and reads at most `limit` of them into `buffer`.
  // Returns how many were read; 0 when the peer closed or a read failed; kReceiveTimedOut
  // when the time ran out first.
  virtual int64_t Receive(char* buffer, size_t limit, int timeoutMs) = 0;
};

// Resolves `host` (IPv4) and connects to it within `timeoutMs`; nullptr on failure.
std::unique_ptr<Connection> ConnectTcp(const std::string& host, uint16_t port, int timeoutMs);

}  // namespace brisvel
