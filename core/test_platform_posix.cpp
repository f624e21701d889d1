#include <unistd.h>

#include "core/test_platform.h"

namespace brisvel {

bool RunsUnderWine() {
  return false;
}

bool MakeSymbolicLink(const std::string& target, const std::string& link, bool) {
  return symlink(target.c_str(), link.c_str()) == 0;
}

}  // namespace brisvel
