// The millisecond clock and the sleep that waiting and counting down rest on, behind a seam
// so that tests can count thirty seconds down without waiting for them.
#pragma once

#include <cstdint>

namespace brisvel {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since some fixed point. Wraps around like a 32-bit tick counter, so callers
  // compare two readings by their signed difference.
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(int milliseconds) = 0;
};

// The machine's monotonic clock.
Clock& SystemClock();

}  // namespace brisvel
