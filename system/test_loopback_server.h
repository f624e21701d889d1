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
  // After the pieces: close the connection, hold it open until the client closes it, or go
  // on sending one byte of the last piece's last character every kDripMs until then, as a
  // server that keeps a download alive for as long as it likes.
  enum class End { kClose, kHoldOpen, kDrip };
  static constexpr int kDripMs = 20;

  // Answers with `pieces`, each sent by its own write, then ends as `end` says.
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
    if (end_ == End::kDrip) return Drip(client);
    while (WaitFor(client) && ReceiveSome(client, block, sizeof block) > 0) {
    }
  }

  void Drip(TestSocket client) {
    const std::string drop(1,
                           pieces_.empty() || pieces_.back().empty() ? ' ' : pieces_.back().back());
    char block[256];
    while (!stopping_) {
      // The client's end of the connection (or anything it sends) ends the drip.
      if (WaitReadable(client, kDripMs) && ReceiveSome(client, block, sizeof block) <= 0) return;
      if (!SendAll(client, drop)) return;
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
