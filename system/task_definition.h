// The Task Scheduler's definition of a schedule (Windows), as the XML that registers it.
#pragma once

#include <optional>
#include <string>

#include "system/schedule_store.h"

namespace brisvel {

// The task: a calendar trigger every day or every week at the schedule's time, starting on
// `today` ("YYYY-MM-DD", local time); "run as soon as possible after a missed start"; no
// stop on batteries or after a time limit; a second start while a run goes on is dropped; the
// action starts the program with "--scheduled JOBFILE silent" as the logged-on user. Its
// description says what it does and is read back by ReadTaskDescription.
std::string TaskDefinitionXml(const ScheduledJob& job, const std::string& today);

// "Brisvel: daily 08:00: C:\Users\anna\photos.jbs".
std::string TaskDescription(const ScheduledJob& job);

// The job file and the schedule's words that TaskDescription wrote; nullopt for any other text.
struct TaskSchedule {
  std::string jobFile;
  std::string words;
};
std::optional<TaskSchedule> ReadTaskDescription(const std::string& description);

}  // namespace brisvel
