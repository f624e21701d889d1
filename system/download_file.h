// A minimal HTTP/1.1 client that fetches one URL into a local file.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "system/connection.h"

namespace brisvel {

struct DownloadLimits {
  int connectMs = 10'000;
  int sendMs = 10'000;
  // The wait for each read of the status block, a body with a length and a chunked body.
  int receiveMs = 10'000;
  // A body with neither length nor chunks ends after this long without bytes.
  int silenceMs = 1'000;
  // No body is written past this many bytes.
  int64_t maxBodyBytes = 1'000'000'000;
  // The whole download ends here, whatever is still owed: a server that sends a byte now and
  // then keeps every single read alive.
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  // Set from another thread, it ends the download within a tenth of a second.
  const std::atomic<bool>* stop = nullptr;
};

// Fetches `url` (plain HTTP, no redirects followed) and writes the response body to
// `outputPath`. True when the status line holds "200" or "302" and the body was stored, also
// when the peer stopped early or the deadline cut the body short. False when it was stopped.
// On failure `outputPath` is left exactly as it was, with nothing beside it; it is never
// followed or written through when it is a link.
bool DownloadFile(const std::string& url, const std::string& outputPath,
                  const DownloadLimits& limits = {});

// The part of DownloadFile after the request was sent: reads the response from `connection`
// and stores its body in `outputPath` under the same rules.
bool ReceiveResponse(Connection& connection, const std::string& outputPath,
                     const DownloadLimits& limits);

}  // namespace brisvel
