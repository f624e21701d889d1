#include <cstdlib>

#include "system/xdg_folder.h"

namespace brisvel {

std::string XdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return "";
  return std::string(home) + fallback;
}

}  // namespace brisvel
