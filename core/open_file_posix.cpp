#include "core/open_file.h"

namespace brisvel {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

}  // namespace brisvel
