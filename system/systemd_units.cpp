#include "system/systemd_units.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "core/text.h"

namespace brisvel {
namespace {

constexpr const char* kJobFileKey = "X-Brisvel-JobFile=";
constexpr const char* kScheduleKey = "X-Brisvel-Schedule=";
constexpr const char* kDriveKey = "X-Brisvel-Drive=";

// A word of a unit file, in double quotes: backslashes and quotes escaped, "%" doubled so
// that it is no specifier, "$" doubled so that it names no variable.
std::string UnitQuoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    if (c == '%' || c == '$') quoted += c;
    quoted += c;
  }
  return quoted + "\"";
}

// The text that UnitQuoted made `quoted` from.
std::string UnitUnquoted(std::string_view quoted) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return "";
  quoted = quoted.substr(1, quoted.size() - 2);
  std::string text;
  for (size_t i = 0; i < quoted.size(); ++i) {
    const bool doubled = (quoted[i] == '%' || quoted[i] == '$') && i + 1 < quoted.size() &&
                         quoted[i + 1] == quoted[i];
    if ((quoted[i] == '\\' && i + 1 < quoted.size()) || doubled) ++i;
    text += quoted[i];
  }
  return text;
}

// A Description: specifiers are expanded there, so "%" is doubled.
std::string DescriptionText(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    escaped += c;
    if (c == '%') escaped += c;
  }
  return escaped;
}

const char* const kCalendarDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

std::string CalendarEvent(const Schedule& schedule) {
  char time[16];
  std::snprintf(time, sizeof(time), "%02d:%02d:00", schedule.hour % 24, schedule.minute % 60);
  const std::string days = schedule.kind == Schedule::Kind::kWeekly
                               ? std::string(kCalendarDays[schedule.weekday % 7]) + " "
                               : "";
  return days + "*-*-* " + time;
}

}  // namespace

std::string MountUnitName(const std::string& mountPoint) {
  std::string path;  // without repeated, leading or trailing slashes
  for (size_t i = 0; i < mountPoint.size(); ++i) {
    if (mountPoint[i] == '/' && (path.empty() || path.back() == '/')) continue;
    path += mountPoint[i];
  }
  if (!path.empty() && path.back() == '/') path.pop_back();
  if (path.empty()) return "-.mount";
  std::string name;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == ':' || c == '_' || (c == '.' && i > 0);
    if (c == '/') {
      name += '-';
    } else if (plain) {
      name += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02x", c);
      name += escaped;
    }
  }
  return name + ".mount";
}

std::string ServiceUnitText(const ScheduledJob& job, const std::vector<std::string>& mountPoints) {
  std::vector<std::string> mountUnits;
  for (const std::string& mountPoint : mountPoints) mountUnits.push_back(MountUnitName(mountPoint));
  std::string text =
      "# Written by \"brisvel schedule\"; \"brisvel schedule JOBFILE off\" removes it.\n"
      "[Unit]\n"
      "Description=Brisvel backup of " +
      DescriptionText(job.jobFile) + "\n" + kJobFileKey + UnitQuoted(job.jobFile) + "\n" +
      kScheduleKey + ScheduleWords(job.schedule) + "\n";
  for (const std::string& drive : mountPoints) text += kDriveKey + UnitQuoted(drive) + "\n";
  for (const std::string& unit : mountUnits) text += "After=" + unit + "\n";
  // A run that was stopped (exit status 130) was stopped on purpose: no failed unit.
  text +=
      "\n[Service]\n"
      "Type=exec\n"
      "ExecStart=" +
      UnitQuoted(job.programPath) + " --scheduled " + UnitQuoted(job.jobFile) +
      " silent\n"
      "StandardOutput=null\n"
      "SuccessExitStatus=130\n";
  if (!mountUnits.empty()) {
    text += "\n[Install]\n";
    for (const std::string& unit : mountUnits) text += "WantedBy=" + unit + "\n";
  }
  return text;
}

std::string TimerUnitText(const ScheduledJob& job) {
  return "# Written by \"brisvel schedule\"; \"brisvel schedule JOBFILE off\" removes it.\n"
         "[Unit]\n"
         "Description=Brisvel schedule of " +
         DescriptionText(job.jobFile) +
         "\n"
         "\n[Timer]\n"
         "OnCalendar=" +
         CalendarEvent(job.schedule) +
         "\n"
         "Persistent=true\n"
         "\n[Install]\n"
         "WantedBy=timers.target\n";
}

std::optional<UnitSchedule> ReadServiceUnit(const std::string& text) {
  UnitSchedule schedule;
  std::string drives;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(kJobFileKey)) {
      schedule.jobFile = UnitUnquoted(line.substr(std::strlen(kJobFileKey)));
    } else if (line.starts_with(kScheduleKey)) {
      schedule.words = line.substr(std::strlen(kScheduleKey));
    } else if (line.starts_with(kDriveKey)) {
      drives += (drives.empty() ? " " : ", ") + UnitUnquoted(line.substr(std::strlen(kDriveKey)));
    }
  }
  if (schedule.jobFile.empty() || schedule.words.empty()) return std::nullopt;
  schedule.words += drives;
  return schedule;
}

}  // namespace brisvel
