// A progress bar's 64-bit range in the int range the toolkits' bars take.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

namespace brisvel {

// {maximum, value} scaled down together until the maximum fits an int, keeping the
// proportion; the value is clamped to 0..maximum.
inline std::pair<int, int> BarSteps(int64_t maximum, int64_t value) {
  maximum = std::max<int64_t>(maximum, 0);
  value = std::clamp<int64_t>(value, 0, maximum);
  int shift = 0;
  while ((maximum >> shift) > INT_MAX) ++shift;
  return {static_cast<int>(maximum >> shift), static_cast<int>(value >> shift)};
}

}  // namespace brisvel
