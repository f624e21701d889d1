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
    end_ = connection_.Receive(buffer_.data(), most, timeoutMs);
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
// size does not fit 63 bits.
std::optional<int64_t> ReadChunkSize(ResponseStream& stream, int timeoutMs) {
  int c = stream.Next(timeoutMs);
  while (c == ' ' || c == '\t') c = stream.Next(timeoutMs);
  int64_t size = 0;
  for (; HexValue(c) >= 0; c = stream.Next(timeoutMs)) {
    if (size > (std::numeric_limits<int64_t>::max() >> 4)) return std::nullopt;
    size = size * 16 + HexValue(c);
  }
  while (c >= 0 && c != '\n') c = stream.Next(timeoutMs);
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
  std::vector<char> buffer(kReceiveBlock);
  size_t received = connection.Receive(buffer.data(), buffer.size(), limits.receiveMs);
  if (received == 0) return false;
  std::optional<ResponseHead> head = ReadResponseHead({buffer.data(), received});
  if (!head) return false;

  ReplacingFile file;
  if (!file.Open(outputPath)) return false;
  ResponseStream stream(connection, buffer, head->bodyStart, received);
  BodySink sink(file, limits.maxBodyBytes);
  return WriteBody(*head, stream, sink, limits) && file.Commit();
}

bool DownloadFile(const std::string& url, const std::string& outputPath,
                  const DownloadLimits& limits) {
  HttpUrl parts = SplitUrl(url);
  std::optional<std::string> request = HttpRequest(parts);
  if (parts.host.empty() || !request) return false;
  std::unique_ptr<Connection> connection = ConnectTcp(parts.host, parts.port, limits.connectMs);
  if (!connection || !connection->Send(*request, limits.sendMs)) return false;
  return ReceiveResponse(*connection, outputPath, limits);
}

}  // namespace brisvel
