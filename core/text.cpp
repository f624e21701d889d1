#include "core/text.h"

#include "core/utf8.h"

namespace brisvel {

std::string ToLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

static bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

bool EndsWithSeparator(std::string_view text) {
  return !text.empty() && IsPathSeparator(text.back());
}

size_t LastSeparator(std::string_view path) {
  for (size_t at = path.size(); at > 0; --at) {
    if (IsPathSeparator(path[at - 1])) return at - 1;
  }
  return std::string_view::npos;
}

std::string WithTrailingSeparator(std::string_view path) {
  std::string result(path);
  if (!result.empty() && !EndsWithSeparator(result)) result += kPathSeparator;
  return result;
}

std::string FilePart(std::string_view path) {
  size_t cut = LastSeparator(path);
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string FolderPart(std::string_view path) {
  size_t cut = LastSeparator(path);
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

const char* Plural(int64_t count) {
  return count == 1 ? "" : "s";
}

// The byte offset just past the first `count` characters of `text` (its size when it has
// fewer). A character is one well-formed UTF-8 sequence; any other byte counts as one.
static size_t CharacterEnd(std::string_view text, size_t count) {
  size_t at = 0;
  for (size_t seen = 0; seen < count && at < text.size(); ++seen) {
    size_t length = Utf8SequenceLength(text, at);
    at += length == 0 ? 1 : length;
  }
  return at;
}

// Counted in characters, not bytes, so that a name is never cut inside a letter.
std::string ShortName(std::string_view name) {
  size_t cut = CharacterEnd(name, 24);
  if (cut == name.size()) return std::string(name);
  return Trim(name.substr(0, cut));
}

bool IsAnySeparator(char c) {
  return c == '/' || c == kPathSeparator;
}

bool StaysInsideFolder(std::string_view path) {
  if (path.empty() || IsAnySeparator(path.front())) return false;
#ifdef _WIN32
  if (path.size() >= 2 && path[1] == ':') return false;  // a drive letter
#endif
  size_t begin = 0;
  while (begin <= path.size()) {
    size_t end = begin;
    while (end < path.size() && !IsAnySeparator(path[end])) ++end;
    if (path.substr(begin, end - begin) == "..") return false;
    begin = end + 1;
  }
  return true;
}

// C0, DEL and C1 controls, and Unicode's own line and paragraph separators, which some
// viewers break lines at.
static bool IsControl(uint32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F) || codePoint == 0x2028 ||
         codePoint == 0x2029;
}

std::string PrintableText(std::string_view text) {
  std::string safe;
  safe.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8SequenceLength(text, at);
    if (length == 0) {
      safe += '?';  // a byte of no character, such as a lone 0x9B (CSI on 8-bit terminals)
      ++at;
      continue;
    }
    if (IsControl(Utf8CodePoint(text, at, length))) {
      safe += '?';
    } else {
      safe.append(text, at, length);
    }
    at += length;
  }
  return safe;
}

}  // namespace brisvel
