// A host name resolved to its first IPv4 address: the same calls through BSD sockets and
// Winsock. Included by each platform's connection file after its own socket headers.
#pragma once

#include <cstdint>
#include <string>

namespace brisvel {

// Fills `address` with `host`'s first IPv4 address and `port`; false when the name does not
// resolve.
inline bool ResolveIpv4(const std::string& host, uint16_t port, sockaddr_in& address) {
  addrinfo hints = {};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  address = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  address.sin_port = htons(port);
  freeaddrinfo(found);
  return true;
}

}  // namespace brisvel
