#include <time.h>

#include "engine/local_clock.h"

namespace brisvel {

std::tm LocalCalendarTime(std::time_t moment) {
  std::tm calendar{};
  // The runtime's localtime_s uses the time zone of the machine, with its daylight rules.
  if (localtime_s(&calendar, &moment) != 0) return std::tm{};
  return calendar;
}

}  // namespace brisvel
