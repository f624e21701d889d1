#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "system/test_sockets.h"

namespace brisvel {

TestSocket ListenOnLoopback(int& port) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listener, 8) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    if (listener >= 0) close(listener);
    return kNoTestSocket;
  }
  port = ntohs(address.sin_port);
  return listener;
}

TestSocket AcceptClient(TestSocket listener) {
  const int client = accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC);
  return client < 0 ? kNoTestSocket : client;
}

bool WaitReadable(TestSocket socket, int timeoutMs) {
  pollfd entry = {static_cast<int>(socket), POLLIN, 0};
  return poll(&entry, 1, timeoutMs) > 0;
}

int64_t ReceiveSome(TestSocket socket, char* buffer, size_t size) {
  return recv(static_cast<int>(socket), buffer, size, 0);
}

bool SendAll(TestSocket socket, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t count =
        send(static_cast<int>(socket), data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (count < 0) return false;
    sent += static_cast<size_t>(count);
  }
  return true;
}

void CloseTestSocket(TestSocket socket) {
  if (socket != kNoTestSocket) close(static_cast<int>(socket));
}

}  // namespace brisvel
