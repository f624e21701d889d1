// The systemd user units of a schedule: a service that runs the job file hidden, and a timer
// (or, for runs when a drive is connected, the service wanted by the drive's mount unit).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "system/schedule_store.h"

namespace brisvel {

// The name systemd gives the mount unit of `mountPoint`: "/media/anna/My Drive" becomes
// "media-anna-My\x20Drive.mount".
std::string MountUnitName(const std::string& mountPoint);

// The service unit. For kConnect, `mountPoints` are the folders on which the drives are
// mounted whose appearance starts it (through their mount units).
std::string ServiceUnitText(const ScheduledJob& job, const std::vector<std::string>& mountPoints);

// The timer unit of a daily or weekly schedule, with Persistent=true: a start missed while
// the computer was off follows when the timer is next started.
std::string TimerUnitText(const ScheduledJob& job);

// What a service unit written by ServiceUnitText says of its schedule.
struct UnitSchedule {
  std::string jobFile;
  std::string words;  // ScheduleWords; "connect" is followed by its mount points
};
std::optional<UnitSchedule> ReadServiceUnit(const std::string& text);

}  // namespace brisvel
