// Runs of a saved job file by themselves: every day or every week at a time of day, or
// whenever the drive its jobs back up to is connected. The schedule lives where the system
// keeps such things (systemd user units on Linux, the Task Scheduler on Windows), names the
// job file by its absolute path and runs it hidden, as "brisvel --scheduled JOBFILE silent";
// the program itself keeps nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brisvel {

struct Schedule {
  enum class Kind { kDaily, kWeekly, kConnect, kOff };
  Kind kind = Kind::kOff;
  int weekday = 0;  // 0 Monday ... 6 Sunday, for kWeekly
  int hour = 0;
  int minute = 0;
};

// What a schedule command did, in words for the user. `done` is false when it changed
// nothing because of a fault that `text` names.
struct ScheduleOutcome {
  bool done = false;
  std::string text;
};

// Reads "daily HH:MM", "weekly DAY HH:MM" (DAY: monday ... sunday or mon ... sun),
// "connect" or "off", in any letter case. On a fault, nullopt and `*error` says what is wrong.
std::optional<Schedule> ReadSchedule(const std::vector<std::string>& words, std::string* error);

// The words ReadSchedule takes back: "daily 08:00", "weekly monday 08:00", "connect", "off".
std::string ScheduleWords(const Schedule& schedule);

// The day's English name, "Monday" for 0.
std::string WeekdayName(int weekday);

// Gives the job file at `jobFile` the schedule `schedule`, replacing the one it had, or removes
// its schedule ("off"). A new schedule needs an existing job file with a job that can run; the
// runs start `programPath`. This is what the command "brisvel schedule" and the desktop's
// "Schedule..." call.
ScheduleOutcome SetSchedule(const std::string& jobFile, const Schedule& schedule,
                            const std::string& programPath);

// One line per schedule of this user: "JOBFILE: daily 08:00"; "No schedules." without any.
ScheduleOutcome ListSchedules();

// The command line "brisvel schedule [JOBFILE WHEN]": `words` are the arguments after
// "schedule".
ScheduleOutcome ScheduleCommand(const std::vector<std::string>& words,
                                const std::string& programPath);

// The usage of the command, for its faults.
inline constexpr const char* kScheduleUsage =
    "Usage: brisvel schedule [JOBFILE daily HH:MM | JOBFILE weekly DAY HH:MM | JOBFILE connect | "
    "JOBFILE off]";

}  // namespace brisvel
