// An HTTP server on the loopback interface for tests: a thread that answers every connection
// with the same scripted bytes and records each request it received.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "system/test_sockets.h"

namespace brisvel {

class LoopbackServer {
 public:
  enum class End { kClose, kHoldOpen };

  // Answers with `pieces`, each sent by its own write, then closes the connection or holds
  // it open until the client closes it.
  explicit LoopbackServer(std::vector<std::string> pieces, End end = End::kClose)
      : pieces_(std::move(pieces)), end_(end) {
    listener_ = ListenOnLoopback(port_);
    if (listener_ == kNoTestSocket) {
      port_ = 0;
      return;
    }
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    CloseTestSocket(listener_);
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

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
  // Waits for `socket` to be readable; false once the server is being stopped. The waits are
  // short so that the stop is seen soon; they do not pace the tests.
  bool WaitFor(TestSocket socket) {
    while (!stopping_) {
      if (WaitReadable(socket, 20)) return true;
    }
    return false;
  }

  void Serve() {
    while (WaitFor(listener_)) {
      const TestSocket client = AcceptClient(listener_);
      if (client == kNoTestSocket) continue;
      Answer(client);
      CloseTestSocket(client);
    }
  }

  void Answer(TestSocket client) {
    std::string request;
    char block[4096];
    while (request.find("\r\n\r\n") == std::string::npos && WaitFor(client)) {
      const int64_t got = ReceiveSome(client, block, sizeof block);
      if (got <= 0) break;
      request.append(block, static_cast<size_t>(got));
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(request);
    }
    for (const std::string& piece : pieces_) {
      if (!SendAll(client, piece)) return;
    }
    if (end_ == End::kClose) return;
    while (WaitFor(client) && ReceiveSome(client, block, sizeof block) > 0) {
    }
  }

  std::vector<std::string> pieces_;
  End end_;
  TestSocket listener_ = kNoTestSocket;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

}  // namespace brisvel
