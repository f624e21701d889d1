#include "system/download_file.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "system/http_response.h"
#include "system/http_url.h"
#include "system/replacing_file.h"

namespace brisvel {
namespace {

using Steady = std::chrono::steady_clock;

// How often a read that waits looks at the stop request.
constexpr int kStopCheckMs = 100;
// A chunk-size line is a handful of hexadecimal digits and perhaps an extension; a longer one
// is no HTTP.
constexpr int kMaxChunkSizeLine = 1024;

int MillisecondsLeft(Steady::time_point deadline) {
  if (deadline == Steady::time_point::max()) return std::numeric_limits<int>::max();
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now());
  return static_cast<int>(std::clamp<int64_t>(left.count(), 0, std::numeric_limits<int>::max()));
}

// The connection as the response rules read it: every read also ends at the download's
// deadline, and soon after a stop request, and a read whose time ran out returns nothing.
class BoundedConnection : public Connection {
 public:
  BoundedConnection(Connection& inner, const DownloadLimits& limits)
      : inner_(inner), limits_(limits) {}

  bool Stopped() const { return limits_.stop != nullptr && limits_.stop->load(); }

  bool Send(std::string_view bytes, int timeoutMs) override {
    const int left = std::min(timeoutMs, MillisecondsLeft(limits_.deadline));
    return !Stopped() && left > 0 && inner_.Send(bytes, left);
  }

  // The waits are counted in the slices asked for, so that a connection that answers a wait
  // at once (a scripted one) ends after as many slices as a real one.
  int64_t Receive(char* buffer, size_t limit, int timeoutMs) override {
    for (int waited = 0;;) {
      const int slice =
          std::min({timeoutMs - waited, MillisecondsLeft(limits_.deadline), kStopCheckMs});
      if (slice <= 0 || Stopped()) return 0;
      const int64_t got = inner_.Receive(buffer, limit, slice);
      if (got != kReceiveTimedOut) return std::max<int64_t>(got, 0);
      waited += slice;
    }
  }

 private:
  Connection& inner_;
  const DownloadLimits& limits_;
};

// The received bytes not yet used, refilled from the connection one read at a time into the
// download's single buffer.
class ResponseStream {
 public:
  ResponseStream(Connection& connection, std::vector<char>& buffer, size_t begin, size_t end)
      : connection_(connection), buffer_(buffer), begin_(begin), end_(end) {}

  // Makes sure bytes are waiting, reading at most `limit` when none are; false when the
  // read returns nothing.
  bool Fill(int64_t limit, int timeoutMs) {
    if (begin_ < end_) return true;
    size_t most = static_cast<size_t>(std::min<int64_t>(limit, buffer_.size()));
    begin_ = 0;
    end_ = static_cast<size_t>(
        std::max<int64_t>(connection_.Receive(buffer_.data(), most, timeoutMs), 0));
    return end_ > 0;
  }
  // Up to `most` of the waiting bytes.
  std::string_view Take(int64_t most) {
    size_t size = static_cast<size_t>(std::min<int64_t>(most, end_ - begin_));
    std::string_view piece(buffer_.data() + begin_, size);
    begin_ += size;
    return piece;
  }
  // The next byte without using it; -1 when a read returns nothing.
  int Peek(int timeoutMs) {
    if (!Fill(static_cast<int64_t>(buffer_.size()), timeoutMs)) return -1;
    return static_cast<unsigned char>(buffer_[begin_]);
  }
  int Next(int timeoutMs) {
    int byte = Peek(timeoutMs);
    if (byte >= 0) ++begin_;
    return byte;
  }

 private:
  Connection& connection_;
  std::vector<char>& buffer_;
  size_t begin_;
  size_t end_;
};

// The output file with the cap on what any body may write.
class BodySink {
 public:
  BodySink(ReplacingFile& file, int64_t maxBytes) : file_(file), room_(maxBytes) {}
  bool Write(std::string_view bytes) {
    bytes = bytes.substr(0, static_cast<size_t>(std::min<int64_t>(room_, bytes.size())));
    room_ -= static_cast<int64_t>(bytes.size());
    return file_.Write(bytes);
  }
  bool Full() const { return room_ <= 0; }

 private:
  ReplacingFile& file_;
  int64_t room_;
};

// Writes up to `count` bytes from the stream; false only when the file could not be written.
// Stops early when a read returns nothing or the cap is reached.
bool CopyBytes(ResponseStream& stream, BodySink& sink, int64_t count, int timeoutMs, bool& ended) {
  while (count > 0 && !sink.Full()) {
    if (!stream.Fill(std::min<int64_t>(count, kReceiveBlock), timeoutMs)) {
      ended = true;
      return true;
    }
    std::string_view piece = stream.Take(count);
    count -= static_cast<int64_t>(piece.size());
    if (!sink.Write(piece)) return false;
  }
  ended = sink.Full();
  return true;
}

int HexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a chunk-size line: hexadecimal digits after optional blanks, the rest of the line
// ignored. 0 for a line without digits or when a read returns nothing; nullopt when the
// size does not fit 63 bits or the line runs past kMaxChunkSizeLine bytes.
std::optional<int64_t> ReadChunkSize(ResponseStream& stream, int timeoutMs) {
  constexpr int kLineTooLong = -2;  // beside Next()'s -1 for a read that returned nothing
  int length = 1;
  const auto next = [&] {
    return ++length > kMaxChunkSizeLine ? kLineTooLong : stream.Next(timeoutMs);
  };
  int c = stream.Next(timeoutMs);
  while (c == ' ' || c == '\t') c = next();
  int64_t size = 0;
  for (; HexValue(c) >= 0; c = next()) {
    if (size > (std::numeric_limits<int64_t>::max() >> 4)) return std::nullopt;
    size = size * 16 + HexValue(c);
  }
  while (c >= 0 && c != '\n') c = next();
  if (c == kLineTooLong) return std::nullopt;
  return c < 0 ? 0 : size;
}

bool WriteChunkedBody(ResponseStream& stream, BodySink& sink, int timeoutMs) {
  for (;;) {
    std::optional<int64_t> size = ReadChunkSize(stream, timeoutMs);
    if (!size) return false;
    if (*size == 0) return true;
    bool ended = false;
    if (!CopyBytes(stream, sink, *size, timeoutMs, ended)) return false;
    if (ended) return true;
    if (stream.Peek(timeoutMs) == '\r') stream.Next(timeoutMs);
    if (stream.Peek(timeoutMs) == '\n') stream.Next(timeoutMs);
  }
}

bool WriteBody(const ResponseHead& head, ResponseStream& stream, BodySink& sink,
               const DownloadLimits& limits) {
  bool ended = false;
  if (head.contentLength >= 0) {
    return CopyBytes(stream, sink, head.contentLength, limits.receiveMs, ended);
  }
  if (head.chunked) return WriteChunkedBody(stream, sink, limits.receiveMs);
  return CopyBytes(stream, sink, std::numeric_limits<int64_t>::max(), limits.silenceMs, ended);
}

}  // namespace

bool ReceiveResponse(Connection& connection, const std::string& outputPath,
                     const DownloadLimits& limits) {
  BoundedConnection bounded(connection, limits);
  std::vector<char> buffer(kReceiveBlock);
  const int64_t received = bounded.Receive(buffer.data(), buffer.size(), limits.receiveMs);
  if (received <= 0) return false;
  const auto size = static_cast<size_t>(received);
  std::optional<ResponseHead> head = ReadResponseHead({buffer.data(), size});
  if (!head) return false;

  ReplacingFile file;
  if (!file.Open(outputPath)) return false;
  ResponseStream stream(bounded, buffer, head->bodyStart, size);
  BodySink sink(file, limits.maxBodyBytes);
  // A stopped download stores nothing: the program is on its way out.
  return WriteBody(*head, stream, sink, limits) && !bounded.Stopped() && file.Commit();
}

bool DownloadFile(const std::string& url, const std::string& outputPath,
                  const DownloadLimits& limits) {
  HttpUrl parts = SplitUrl(url);
  std::optional<std::string> request = HttpRequest(parts);
  if (parts.host.empty() || !request) return false;
  const int connectMs = std::min(limits.connectMs, MillisecondsLeft(limits.deadline));
  if (connectMs <= 0 || (limits.stop != nullptr && limits.stop->load())) return false;
  std::unique_ptr<Connection> connection = ConnectTcp(parts.host, parts.port, connectMs);
  if (!connection || !BoundedConnection(*connection, limits).Send(*request, limits.sendMs)) {
    return false;
  }
  return ReceiveResponse(*connection, outputPath, limits);
}

}  // namespace brisvel
