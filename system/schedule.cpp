#include "system/schedule.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "core/job_file.h"
#include "core/text.h"
#include "system/schedule_store.h"

namespace brisvel {
namespace {

const char* const kWeekdays[] = {"monday", "tuesday",  "wednesday", "thursday",
                                 "friday", "saturday", "sunday"};
constexpr const char* kWhenWords = "daily HH:MM, weekly DAY HH:MM, connect or off";

std::filesystem::path LibraryPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// `path` made absolute against the current folder, with "." and ".." parts resolved; links
// stay, as the user named them.
std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(LibraryPath(path), error);
  return error ? path : Utf8(absolute.lexically_normal());
}

// "HH:MM" or "H:MM", 00:00 to 23:59.
bool ReadTime(const std::string& text, Schedule& schedule) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || colon > 2 || text.size() != colon + 3) {
    return false;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (i != colon && (text[i] < '0' || text[i] > '9')) return false;
  }
  schedule.hour = std::stoi(text.substr(0, colon));
  schedule.minute = std::stoi(text.substr(colon + 1));
  return schedule.hour <= 23 && schedule.minute <= 59;
}

int ReadWeekday(const std::string& word) {
  const std::string lower = ToLower(word);
  for (int day = 0; day < 7; ++day) {
    const std::string name = kWeekdays[day];
    if (lower == name || (lower.size() == 3 && name.compare(0, 3, lower) == 0)) return day;
  }
  return -1;
}

std::string Quoted(const std::string& word) {
  return "'" + PrintableText(word) + "'";
}

// Control characters and bytes that are not UTF-8 text: neither fits a unit file's line or a
// task's definition.
bool NotPlainText(const std::string& text) {
  return PrintableText(text) != text;
}

// Takes the job file's jobs in without a window; keeps the loader's message.
class QuietView : public JobListView {
 public:
  void ClearJobRows() override {}
  void AddJobRow(int, const std::string&, bool) override {}
  void SelectJobRow(int) override {}
  bool RowChecked(int) override { return true; }
  void SetRunInTray(bool) override {}
  bool RunInTray() override { return false; }
  void SetFinishChoice(int) override {}
  int FinishChoice() override { return 0; }
  void RefreshSettingsPanel() override {}
  void FocusSourceField() override {}
  void ShowMessage(const std::string& text, MessageIcon) override {
    if (message.empty()) message = text;
  }
  std::string message;
};

// The destinations of the jobs that would run; empty with `*fault` set when none would.
std::vector<std::string> RunnableDestinations(const std::string& jobFile, std::string* fault) {
  JobList jobs;
  RunSettings settings;
  QuietView view;
  std::error_code error;
  if (!std::filesystem::is_regular_file(LibraryPath(jobFile), error)) {
    *fault = "Job file not found: " + jobFile;
    return {};
  }
  if (!LoadJobFile(jobFile, jobs, settings, view)) {
    *fault = "Not a job file that can run: " + jobFile + " (" + view.message + ")";
    return {};
  }
  std::vector<std::string> destinations;
  for (const BackupJob& job : jobs) {
    if (job.Has(kEnabled) && !job.source.empty() && !job.destination.empty()) {
      destinations.push_back(job.destination);
    }
  }
  if (destinations.empty()) {
    *fault = "No enabled job in '" + jobFile + "' has both a source and a destination folder.";
  }
  return destinations;
}

// FNV-1a: the same on every build and platform, which a schedule's name must be.
uint32_t PathHash(const std::string& text) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace

std::string ScheduleName(const std::string& jobFile) {
  std::string stem = FilePart(jobFile);
  if (ToLower(stem).ends_with(".jbs")) stem.resize(stem.size() - 4);
  std::string name;
  for (char c : stem) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-';
    if (name.size() < 32) name += plain ? c : '_';
  }
  char hash[16];
  std::snprintf(hash, sizeof(hash), "%08x", static_cast<unsigned>(PathHash(jobFile)));
  return "brisvel-" + (name.empty() ? std::string("jobs") : name) + "-" + hash;
}

std::string ScheduledText(const ScheduledJob& job, const std::string& when) {
  const Schedule& schedule = job.schedule;
  if (schedule.kind == Schedule::Kind::kConnect) {
    return "Scheduled: " + job.jobFile + " runs whenever " + when + " is mounted.";
  }
  const std::string time = ScheduleWords(schedule).substr(ScheduleWords(schedule).size() - 5);
  const std::string days =
      schedule.kind == Schedule::Kind::kDaily ? "daily" : "every " + WeekdayName(schedule.weekday);
  return "Scheduled: " + job.jobFile + " runs " + days + " at " + time +
         "; a run missed while the computer is off follows when it next starts.";
}

std::string WeekdayName(int weekday) {
  std::string name = kWeekdays[weekday % 7];
  name[0] = static_cast<char>(name[0] - 'a' + 'A');
  return name;
}

std::optional<Schedule> ReadSchedule(const std::vector<std::string>& words, std::string* error) {
  if (words.empty()) {
    *error = std::string("Say when the job file runs: ") + kWhenWords + ".";
    return std::nullopt;
  }
  Schedule schedule;
  const std::string kind = ToLower(words[0]);
  size_t next = 1;
  if (kind == "daily" || kind == "weekly") {
    schedule.kind = kind == "daily" ? Schedule::Kind::kDaily : Schedule::Kind::kWeekly;
    if (schedule.kind == Schedule::Kind::kWeekly) {
      const std::string day = next < words.size() ? words[next++] : "";
      schedule.weekday = ReadWeekday(day);
      if (schedule.weekday < 0) {
        *error = (day.empty() ? "A day of the week is missing"
                              : "Not a day of the week: " + Quoted(day)) +
                 " (write monday to sunday, or mon to sun).";
        return std::nullopt;
      }
    }
    const std::string time = next < words.size() ? words[next++] : "";
    if (!ReadTime(time, schedule)) {
      *error = (time.empty() ? "A time of day is missing" : "Not a time of day: " + Quoted(time)) +
               " (write HH:MM, from 00:00 to 23:59).";
      return std::nullopt;
    }
  } else if (kind == "connect") {
    schedule.kind = Schedule::Kind::kConnect;
  } else if (kind == "off") {
    schedule.kind = Schedule::Kind::kOff;
  } else {
    *error = "Unknown schedule " + Quoted(words[0]) + ": say " + kWhenWords + ".";
    return std::nullopt;
  }
  if (next < words.size()) {
    *error = "Unexpected word after the schedule: " + Quoted(words[next]) + ".";
    return std::nullopt;
  }
  return schedule;
}

std::string ScheduleWords(const Schedule& schedule) {
  char time[8];
  std::snprintf(time, sizeof(time), "%02d:%02d", schedule.hour % 24, schedule.minute % 60);
  switch (schedule.kind) {
    case Schedule::Kind::kDaily:
      return std::string("daily ") + time;
    case Schedule::Kind::kWeekly:
      return std::string("weekly ") + kWeekdays[schedule.weekday % 7] + " " + time;
    case Schedule::Kind::kConnect:
      return "connect";
    default:
      return "off";
  }
}

ScheduleOutcome SetSchedule(const std::string& jobFile, const Schedule& schedule,
                            const std::string& programPath) {
  const std::string path = AbsolutePath(jobFile);
  if (NotPlainText(path)) {
    return {false,
            "The job file's path holds a control character or a byte that is not UTF-8 text, "
            "which a schedule cannot name: " +
                PrintableText(path)};
  }
  if (schedule.kind == Schedule::Kind::kOff) return RemoveStoredSchedule(path);
  std::string fault;
  const std::vector<std::string> destinations = RunnableDestinations(path, &fault);
  if (destinations.empty()) return {false, fault};
  if (programPath.empty() || NotPlainText(programPath)) {
    return {false, "The program cannot tell where its own file is, so no schedule can start it."};
  }
  return StoreSchedule({path, programPath, schedule, destinations});
}

ScheduleOutcome ScheduleCommand(const std::vector<std::string>& words,
                                const std::string& programPath) {
  if (words.empty()) return ListSchedules();
  std::string error;
  const std::optional<Schedule> schedule =
      ReadSchedule(std::vector<std::string>(words.begin() + 1, words.end()), &error);
  if (!schedule) return {false, error + "\n" + kScheduleUsage};
  return SetSchedule(words[0], *schedule, programPath);
}

}  // namespace brisvel
