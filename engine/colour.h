// The colours of log rows and of the progress bar.
#pragma once

#include <cstdint>

namespace brisvel {

struct Colour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Colour&) const = default;
};

// Log rows.
inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kGrey{144, 144, 144};
inline constexpr Colour kGreen{0, 160, 32};
inline constexpr Colour kOlive{192, 192, 32};
inline constexpr Colour kRed{192, 32, 0};

// Progress bar.
inline constexpr Colour kBarYellow{255, 255, 0};
inline constexpr Colour kBarGreen{0, 255, 0};
inline constexpr Colour kBarBlue{0, 0, 255};
inline constexpr Colour kBarRed{255, 0, 0};

}  // namespace brisvel
