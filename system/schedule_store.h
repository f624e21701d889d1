// Where the platform keeps schedules: systemd user units on Linux, the Task Scheduler on
// Windows. The callers in schedule.cpp have checked the job file and the schedule.
#pragma once

#include <string>
#include <vector>

#include "system/schedule.h"

namespace brisvel {

struct ScheduledJob {
  std::string jobFile;                    // absolute
  std::string programPath;                // the program the runs start
  Schedule schedule;                      // never kOff
  std::vector<std::string> destinations;  // of the jobs that run, for kConnect
};

// The name of the job file's schedule: "brisvel-" + the job file's name (letters, digits, "_"
// and "-") + "-" + 8 hexadecimal digits of a hash of its absolute path. One name per job file,
// readable in the system's listings; the name of the units or of the task.
std::string ScheduleName(const std::string& jobFile);

// The text of a new schedule's success: "Scheduled: JOBFILE runs daily at 08:00 ...".
std::string ScheduledText(const ScheduledJob& job, const std::string& when);

// Replaces the job file's schedule with `job`'s.
ScheduleOutcome StoreSchedule(const ScheduledJob& job);

// Removes everything that StoreSchedule wrote for the job file; "No schedule for ..." when
// there was nothing.
ScheduleOutcome RemoveStoredSchedule(const std::string& jobFile);

}  // namespace brisvel
