// An HTTP server on the loopback interface for tests: a thread that answers every connection
// with the same scripted bytes and records each request it received.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace brisvel {

class LoopbackServer {
 public:
  enum class End { kClose, kHoldOpen };

  // Answers with `pieces`, each sent by its own write, then closes the connection or holds
  // it open until the client closes it.
  explicit LoopbackServer(std::vector<std::string> pieces, End end = End::kClose)
      : pieces_(std::move(pieces)), end_(end) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
        pipe(stop_) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    if (thread_.joinable()) {
      (void)!write(stop_[1], "x", 1);
      thread_.join();
    }
    close(listener_);
    close(stop_[0]);
    close(stop_[1]);
  }

  // 0 when the server could not start.
  int Port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
  }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  // Waits for `fd` or the stop request; false on stop.
  bool WaitFor(int fd) {
    pollfd entries[2] = {{fd, POLLIN, 0}, {stop_[0], POLLIN, 0}};
    while (poll(entries, 2, -1) < 0) {
    }
    return (entries[1].revents & POLLIN) == 0;
  }

  void Serve() {
    while (WaitFor(listener_)) {
      int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      Answer(client);
      close(client);
    }
  }

  void Answer(int client) {
    std::string request;
    char block[4096];
    while (request.find("\r\n\r\n") == std::string::npos && WaitFor(client)) {
      ssize_t got = recv(client, block, sizeof block, 0);
      if (got <= 0) break;
      request.append(block, static_cast<size_t>(got));
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    for (const std::string& piece : pieces_) {
      if (send(client, piece.data(), piece.size(), MSG_NOSIGNAL) < 0) return;
    }
    if (end_ == End::kClose) return;
    while (WaitFor(client) && recv(client, block, sizeof block, 0) > 0) {
    }
  }

  std::vector<std::string> pieces_;
  End end_;
  int listener_ = -1;
  int stop_[2] = {-1, -1};
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

}  // namespace brisvel
