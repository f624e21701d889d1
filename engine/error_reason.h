// The reason for a failure, as a red row gives it.
#pragma once

#include <string>
#include <system_error>

namespace brisvel {

// ": Permission denied" for EACCES, and so on; "" for 0 (no reason known).
inline std::string Because(int error) {
  if (error == 0) return std::string();
  return ": " + std::generic_category().message(error);
}

}  // namespace brisvel
