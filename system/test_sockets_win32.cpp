#include <winsock2.h>

#include "system/test_sockets.h"

namespace brisvel {

TestSocket ListenOnLoopback(int& port) {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) return kNoTestSocket;
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  if (listener == INVALID_SOCKET ||
      bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listener, 8) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    if (listener != INVALID_SOCKET) closesocket(listener);
    return kNoTestSocket;
  }
  port = ntohs(address.sin_port);
  return static_cast<TestSocket>(listener);
}

TestSocket AcceptClient(TestSocket listener) {
  const SOCKET client = accept(static_cast<SOCKET>(listener), nullptr, nullptr);
  return client == INVALID_SOCKET ? kNoTestSocket : static_cast<TestSocket>(client);
}

bool WaitReadable(TestSocket socket, int timeoutMs) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(static_cast<SOCKET>(socket), &readable);
  timeval timeout = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  return select(0, &readable, nullptr, nullptr, &timeout) > 0;
}

int64_t ReceiveSome(TestSocket socket, char* buffer, size_t size) {
  return recv(static_cast<SOCKET>(socket), buffer, static_cast<int>(size), 0);
}

bool SendAll(TestSocket socket, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const int count = send(static_cast<SOCKET>(socket), data.data() + sent,
                           static_cast<int>(data.size() - sent), 0);
    if (count == SOCKET_ERROR) return false;
    sent += static_cast<size_t>(count);
  }
  return true;
}

void CloseTestSocket(TestSocket socket) {
  if (socket != kNoTestSocket) closesocket(static_cast<SOCKET>(socket));
}

}  // namespace brisvel
