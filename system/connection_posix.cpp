#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "system/connection.h"
#include "system/resolve_ipv4.h"

namespace brisvel {
namespace {

using Steady = std::chrono::steady_clock;

int MillisecondsLeft(Steady::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for `events` on `fd` until `deadline`; false when the time ran out or poll failed.
bool WaitFor(int fd, short events, Steady::time_point deadline) {
  for (;;) {
    pollfd entry = {fd, events, 0};
    int ready = poll(&entry, 1, MillisecondsLeft(deadline));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

Steady::time_point After(int timeoutMs) {
  return Steady::now() + std::chrono::milliseconds(timeoutMs);
}

class SocketConnection : public Connection {
 public:
  explicit SocketConnection(int fd) : fd_(fd) {}
  ~SocketConnection() override { close(fd_); }

  bool Send(std::string_view bytes, int timeoutMs) override {
    Steady::time_point deadline = After(timeoutMs);
    while (!bytes.empty()) {
      if (!WaitFor(fd_, POLLOUT, deadline)) return false;
      ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
  }

  // A closed connection ends the read at once rather than when its time runs out.
  int64_t Receive(char* buffer, size_t limit, int timeoutMs) override {
    Steady::time_point deadline = After(timeoutMs);
    for (;;) {
      if (!WaitFor(fd_, POLLIN, deadline)) return kReceiveTimedOut;
      ssize_t got = recv(fd_, buffer, limit, 0);
      if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      return got > 0 ? got : 0;
    }
  }

 private:
  int fd_;
};

// Connects without blocking so that an unanswered address cannot hold the caller for the
// minutes the kernel would wait.
bool ConnectWithin(int fd, const sockaddr_in& address, int timeoutMs) {
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
  if (errno != EINPROGRESS) return false;
  if (!WaitFor(fd, POLLOUT, After(timeoutMs))) return false;
  int error = 0;
  socklen_t size = sizeof error;
  return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

}  // namespace

std::unique_ptr<Connection> ConnectTcp(const std::string& host, uint16_t port, int timeoutMs) {
  sockaddr_in address = {};
  if (host.empty() || !ResolveIpv4(host, port, address)) return nullptr;
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  if (!ConnectWithin(fd, address, timeoutMs)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<SocketConnection>(fd);
}

}  // namespace brisvel
