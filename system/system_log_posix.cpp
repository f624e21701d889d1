#include <cstdio>

#include "system/system_log.h"

namespace brisvel {

void WriteSystemLog(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace brisvel
