#include <atomic>

#include "system/network.h"

namespace brisvel {

static std::atomic<bool> available{false};

// BSD sockets need no start; broken connections are reported per send (MSG_NOSIGNAL)
// instead of through SIGPIPE.
bool StartNetwork() {
  available = true;
  return true;
}

void EndNetwork() {}

bool NetworkAvailable() {
  return available;
}

}  // namespace brisvel
