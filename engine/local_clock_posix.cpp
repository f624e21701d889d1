#include <time.h>

#include "engine/local_clock.h"

namespace brisvel {

std::tm LocalCalendarTime(std::time_t moment) {
  std::tm calendar{};
  if (localtime_r(&moment, &calendar) == nullptr) return std::tm{};
  return calendar;
}

}  // namespace brisvel
