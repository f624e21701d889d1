// The calendar time of the machine's time zone, which differs by platform.
#pragma once

#include <ctime>

namespace brisvel {

// `moment` broken down in local time; all fields zero when it cannot be converted.
std::tm LocalCalendarTime(std::time_t moment);

}  // namespace brisvel
