#include "system/task_definition.h"

#include <cstdio>

#include "core/xml_text.h"

namespace brisvel {
namespace {

constexpr const char* kDescriptionStart = "Brisvel: ";

std::string Escaped(const std::string& text) {
  std::string escaped;
  AppendXmlAttributeValue(escaped, text);
  return escaped;
}

const char* const kDayElements[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                    "Friday", "Saturday", "Sunday"};

std::string Trigger(const Schedule& schedule, const std::string& today) {
  char start[32];
  std::snprintf(start, sizeof(start), "T%02d:%02d:00", schedule.hour % 24, schedule.minute % 60);
  std::string trigger = "    <CalendarTrigger>\n      <StartBoundary>" + today + start +
                        "</StartBoundary>\n      <Enabled>true</Enabled>\n";
  if (schedule.kind == Schedule::Kind::kWeekly) {
    trigger += std::string("      <ScheduleByWeek>\n        <DaysOfWeek><") +
               kDayElements[schedule.weekday % 7] +
               " /></DaysOfWeek>\n        <WeeksInterval>1</WeeksInterval>\n"
               "      </ScheduleByWeek>\n";
  } else {
    trigger += "      <ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay>\n";
  }
  return trigger + "    </CalendarTrigger>\n";
}

}  // namespace

std::string TaskDescription(const ScheduledJob& job) {
  return kDescriptionStart + ScheduleWords(job.schedule) + ": " + job.jobFile;
}

std::optional<TaskSchedule> ReadTaskDescription(const std::string& description) {
  if (!description.starts_with(kDescriptionStart)) return std::nullopt;
  const std::string rest = description.substr(std::string(kDescriptionStart).size());
  const size_t split = rest.find(": ");  // the words never hold ": "
  if (split == std::string::npos || split + 2 >= rest.size()) return std::nullopt;
  return TaskSchedule{rest.substr(split + 2), rest.substr(0, split)};
}

std::string TaskDefinitionXml(const ScheduledJob& job, const std::string& today) {
  return "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
         "  <RegistrationInfo>\n"
         "    <Description>" +
         Escaped(TaskDescription(job)) +
         "</Description>\n"
         "  </RegistrationInfo>\n"
         "  <Triggers>\n" +
         Trigger(job.schedule, today) +
         "  </Triggers>\n"
         "  <Principals>\n"
         "    <Principal id=\"Author\">\n"
         "      <LogonType>InteractiveToken</LogonType>\n"
         "      <RunLevel>LeastPrivilege</RunLevel>\n"
         "    </Principal>\n"
         "  </Principals>\n"
         "  <Settings>\n"
         "    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\n"
         "    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
         "    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n"
         "    <StartWhenAvailable>true</StartWhenAvailable>\n"
         "    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>\n"
         "    <Enabled>true</Enabled>\n"
         "  </Settings>\n"
         "  <Actions Context=\"Author\">\n"
         "    <Exec>\n"
         "      <Command>" +
         Escaped(job.programPath) +
         "</Command>\n"
         "      <Arguments>--scheduled \"" +
         Escaped(job.jobFile) +
         "\" silent</Arguments>\n"
         "    </Exec>\n"
         "  </Actions>\n"
         "</Task>\n";
}

}  // namespace brisvel
