#include <winsock2.h>

#include <atomic>

#include "system/network.h"

namespace brisvel {

static std::atomic<bool> available{false};

// Windows sockets 1.1 are all a download needs; without them no download is tried.
bool StartNetwork() {
  WSADATA data;
  available = WSAStartup(MAKEWORD(1, 1), &data) == 0;
  return available;
}

void EndNetwork() {
  if (available.exchange(false)) WSACleanup();
}

bool NetworkAvailable() {
  return available;
}

}  // namespace brisvel
