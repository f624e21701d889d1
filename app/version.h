#pragma once

namespace brisvel {

inline constexpr const char* kVersionNumber = "0.99";
inline constexpr const char* kVersionText = "Brisvel 0.99";

}  // namespace brisvel
