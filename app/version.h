#pragma once

namespace brisvel {

inline constexpr const char* kVersionText = "Brisvel 0.99";

}  // namespace brisvel
