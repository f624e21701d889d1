#include <sys/stat.h>

#include <cstdlib>

#include "engine/backup_drive.h"

namespace brisvel {

std::vector<std::string> ComputerFolders() {
  std::vector<std::string> folders{"/"};
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') folders.emplace_back(home);
  return folders;
}

std::optional<uint64_t> DriveOf(const std::string& path) {
  struct stat facts;
  if (stat(path.c_str(), &facts) != 0) return std::nullopt;
  return static_cast<uint64_t>(facts.st_dev);
}

}  // namespace brisvel
