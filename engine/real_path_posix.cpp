#include <stdlib.h>
#include <sys/stat.h>

#include "engine/real_path.h"

namespace brisvel {

std::optional<std::string> RealPathOnDisk(const std::string& path) {
  if (path.empty()) return std::nullopt;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return std::nullopt;
  std::string result(resolved);
  free(resolved);
  return result;
}

bool SameFolderOnDisk(const std::string& a, const std::string& b) {
  struct stat first;
  struct stat second;
  if (stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0) return false;
  return S_ISDIR(first.st_mode) && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace brisvel
