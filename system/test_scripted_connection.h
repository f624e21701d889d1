// A connection whose reads return scripted pieces, for the tests and the fuzzer of the
// response rules: each piece is one read (cut to the read's limit, the rest left for the next
// read), an empty piece is a read that returns nothing (a closed connection), and the end of
// the script is silence until the time runs out.
#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "system/connection.h"

namespace brisvel {

class ScriptedConnection : public Connection {
 public:
  explicit ScriptedConnection(std::vector<std::string> reads)
      : reads_(std::make_move_iterator(reads.begin()), std::make_move_iterator(reads.end())) {}

  bool Send(std::string_view bytes, int) override {
    sent_ += bytes;
    return true;
  }
  int64_t Receive(char* buffer, size_t limit, int) override {
    ++readCount_;
    if (reads_.empty()) return kReceiveTimedOut;
    std::string& next = reads_.front();
    size_t size = std::min(limit, next.size());
    next.copy(buffer, size);
    if (size < next.size() && size > 0) {
      next.erase(0, size);
    } else {
      reads_.pop_front();
    }
    return static_cast<int64_t>(size);
  }

  const std::string& Sent() const { return sent_; }
  int ReadCount() const { return readCount_; }

 private:
  std::deque<std::string> reads_;
  std::string sent_;
  int readCount_ = 0;
};

}  // namespace brisvel
