#include "system/split_command_line.h"

namespace brisvel {

static bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> arguments;
  size_t at = 0;
  for (;;) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at == line.size()) return arguments;
    if (line[at] == '"') {
      const size_t close = line.find('"', at + 1);
      const size_t end = close == std::string_view::npos ? line.size() : close;
      arguments.emplace_back(line.substr(at + 1, end - at - 1));
      at = close == std::string_view::npos ? end : close + 1;
    } else {
      size_t end = at;
      while (end < line.size() && !IsBlank(line[end])) ++end;
      arguments.emplace_back(line.substr(at, end - at));
      at = end;
    }
  }
}

}  // namespace brisvel
