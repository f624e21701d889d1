#include <unistd.h>

#include <vector>

#include "system/program_path.h"

namespace brisvel {

std::string RunningProgramPath() {
  std::vector<char> buffer(4096);
  ssize_t size = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (size <= 0 || static_cast<size_t>(size) == buffer.size()) return "";
  return std::string(buffer.data(), static_cast<size_t>(size));
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace brisvel
