// TCP connections through Winsock, with the same time limits as everywhere: a socket that
// does not block, and select() for the waiting.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>

#include "system/connection.h"
#include "system/resolve_ipv4.h"

namespace brisvel {
namespace {

using Steady = std::chrono::steady_clock;

Steady::time_point After(int timeoutMs) {
  return Steady::now() + std::chrono::milliseconds(timeoutMs);
}

// Waits until `socket` can be written (or read) or the deadline passes; false on time-out
// or error.
bool WaitFor(SOCKET socket, bool forWriting, Steady::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Steady::now());
  const long long micros = left.count() > 0 ? left.count() : 0;
  timeval timeout = {static_cast<long>(micros / 1000000), static_cast<long>(micros % 1000000)};
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(socket, &ready);
  fd_set failed;
  FD_ZERO(&failed);
  FD_SET(socket, &failed);
  const int count = forWriting ? select(0, nullptr, &ready, &failed, &timeout)
                               : select(0, &ready, nullptr, nullptr, &timeout);
  return count > 0 && FD_ISSET(socket, &ready);
}

class SocketConnection : public Connection {
 public:
  explicit SocketConnection(SOCKET socket) : socket_(socket) {}
  ~SocketConnection() override { closesocket(socket_); }

  bool Send(std::string_view bytes, int timeoutMs) override {
    const Steady::time_point deadline = After(timeoutMs);
    while (!bytes.empty()) {
      if (!WaitFor(socket_, true, deadline)) return false;
      const int piece = bytes.size() > 65536 ? 65536 : static_cast<int>(bytes.size());
      const int sent = send(socket_, bytes.data(), piece, 0);
      if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) continue;
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
  }

  int64_t Receive(char* buffer, size_t limit, int timeoutMs) override {
    const Steady::time_point deadline = After(timeoutMs);
    for (;;) {
      if (!WaitFor(socket_, false, deadline)) return kReceiveTimedOut;
      const int wanted = limit > 65536 ? 65536 : static_cast<int>(limit);
      const int got = recv(socket_, buffer, wanted, 0);
      if (got == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) continue;
      return got > 0 ? got : 0;
    }
  }

 private:
  SOCKET socket_;
};

bool ConnectWithin(SOCKET socket, const sockaddr_in& address, int timeoutMs) {
  if (connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    return true;
  }
  if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
  if (!WaitFor(socket, true, After(timeoutMs))) return false;
  int error = 0;
  int size = sizeof error;
  return getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 &&
         error == 0;
}

}  // namespace

std::unique_ptr<Connection> ConnectTcp(const std::string& host, uint16_t port, int timeoutMs) {
  sockaddr_in address = {};
  if (host.empty() || !ResolveIpv4(host, port, address)) return nullptr;
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket == INVALID_SOCKET) return nullptr;
  u_long nonBlocking = 1;
  if (ioctlsocket(socket, FIONBIO, &nonBlocking) != 0 ||
      !ConnectWithin(socket, address, timeoutMs)) {
    closesocket(socket);
    return nullptr;
  }
  return std::make_unique<SocketConnection>(socket);
}

}  // namespace brisvel
