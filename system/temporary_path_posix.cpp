#include <cstdlib>

#include "system/update_check.h"

namespace brisvel {

const std::string& TemporaryFilePath() {
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    std::string base = folder != nullptr && folder[0] == '/' ? folder : "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return (base == "/" ? "" : base) + "/brisvel.tmp";
  }();
  return path;
}

}  // namespace brisvel
