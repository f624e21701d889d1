#include "system/http_response.h"

#include <cctype>
#include <limits>
#include <string>

namespace brisvel {
namespace {

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
  if (line.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(line[i])) != prefix[i]) return false;
  }
  return true;
}

// The value of a "Content-Length:" line: blanks after the colon skipped, then the leading
// digits (none gives 0). nullopt for a negative value or one too large to hold.
std::optional<int64_t> ContentLength(std::string_view value) {
  size_t i = value.find_first_not_of(" \t");
  if (i == std::string_view::npos) return 0;
  if (value[i] == '-') return std::nullopt;
  int64_t length = 0;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    int digit = value[i] - '0';
    if (length > (kMax - digit) / 10) return std::nullopt;
    length = length * 10 + digit;
  }
  return length;
}

// The end of the line that starts at `start`: its carriage return, and past it the offset of
// the next line (a line feed right after the carriage return belongs to the line end).
struct LineEnd {
  size_t cr;
  size_t next;
};

std::optional<LineEnd> FindLineEnd(std::string_view block, size_t start) {
  size_t cr = block.find('\r', start);
  if (cr == std::string_view::npos) return std::nullopt;
  size_t next = cr + 1;
  if (next < block.size() && block[next] == '\n') ++next;
  return LineEnd{cr, next};
}

}  // namespace

std::optional<ResponseHead> ReadResponseHead(std::string_view block) {
  std::optional<LineEnd> end = FindLineEnd(block, 0);
  std::string_view status = block.substr(0, end ? end->cr : block.size());
  if (status.find("200") == std::string_view::npos &&
      status.find("302") == std::string_view::npos) {
    return std::nullopt;
  }
  ResponseHead head;
  while (end) {
    size_t start = end->next;
    end = FindLineEnd(block, start);
    if (!end) break;
    std::string_view line = block.substr(start, end->cr - start);
    if (line.empty()) {
      head.bodyStart = end->next;
      return head;
    }
    if (StartsWithNoCase(line, "transfer-encoding:")) {
      if (line.find("chunked") != std::string_view::npos) head.chunked = true;
    } else if (StartsWithNoCase(line, "content-length:")) {
      std::optional<int64_t> length = ContentLength(line.substr(15));
      if (!length) return std::nullopt;
      head.contentLength = *length;
    }
  }
  return std::nullopt;  // the header block did not end within the block
}

}  // namespace brisvel
