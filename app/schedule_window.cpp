#include "app/schedule_window.h"

#include <cstdio>
#include <sstream>

#include "app/ui/control_ids.h"
#include "core/message.h"
#include "core/text.h"

namespace brisvel {
namespace {

#ifdef _WIN32
constexpr const char* kPathSeparators = "/\\";
#else
constexpr const char* kPathSeparators = "/";
#endif

constexpr int kKindOptions[] = {kDailyOption, kWeeklyOption, kConnectOption, kNoScheduleOption};

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of(kPathSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TimeText(const Schedule& schedule) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", schedule.hour % 100, schedule.minute % 100);
  return text;
}

}  // namespace

void ScheduleWindow::Open(const std::string& jobFile) {
  if (!services_.set || jobFile.empty()) return;
  jobFile_ = jobFile;
  ui_.SetText(kScheduleWindow, kScheduleFileLine, "Job file: " + FileNameOf(jobFile));
#ifdef _WIN32
  // Windows starts no task when a drive arrives.
  ui_.SetEnabled(kScheduleWindow, kConnectOption, false);
#endif
  Show(CurrentSchedule());
  open_ = true;
  ui_.ShowWindow(kScheduleWindow, true);
  ui_.ActivateWindow(kScheduleWindow);
}

// The file's line in the list of this user's schedules ("FILE: daily 08:00"), read back.
Schedule ScheduleWindow::CurrentSchedule() {
  Schedule none;
  if (!services_.list) return none;
  const std::string prefix = jobFile_ + ": ";
  std::istringstream lines(services_.list().text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.starts_with(prefix)) continue;
    std::string error;
    if (std::optional<Schedule> read = ReadSchedule(Words(line.substr(prefix.size())), &error)) {
      return *read;
    }
  }
  return none;
}

void ScheduleWindow::Show(const Schedule& schedule) {
  const bool timed =
      schedule.kind == Schedule::Kind::kDaily || schedule.kind == Schedule::Kind::kWeekly;
  ui_.SetText(kScheduleWindow, kScheduleTimeField, timed ? TimeText(schedule) : "08:00");
  ui_.SetSelection(kScheduleWindow, kWeekdayList, schedule.weekday);
  ChooseKind(kKindOptions[static_cast<int>(schedule.kind)]);
}

void ScheduleWindow::ChooseKind(int option) {
  for (int each : kKindOptions) ui_.SetChecked(kScheduleWindow, each, each == option);
  const bool timed = option == kDailyOption || option == kWeeklyOption;
  ui_.SetEnabled(kScheduleWindow, kScheduleTimeField, timed);
  ui_.SetEnabled(kScheduleWindow, kWeekdayList, option == kWeeklyOption);
}

void ScheduleWindow::Handle(const UiEvent& event) {
  if (!open_) return;
  const bool click = event.type == EventType::kClick;
  const bool key = event.type == EventType::kMenuItem;
  if ((click && event.id == kScheduleOkButton) || (key && event.id == kReturnKey)) {
    Accept();
  } else if ((click && event.id == kScheduleCancelButton) || (key && event.id == kEscapeKey) ||
             event.type == EventType::kCloseRequest) {
    Close();
  } else if (click) {
    for (int option : kKindOptions) {
      if (event.id == option) ChooseKind(option);
    }
  }
}

void ScheduleWindow::Accept() {
  std::vector<std::string> words;
  const std::string time = Trim(ui_.Text(kScheduleWindow, kScheduleTimeField));
  if (ui_.Checked(kScheduleWindow, kDailyOption)) {
    words = {"daily", time};
  } else if (ui_.Checked(kScheduleWindow, kWeeklyOption)) {
    const int weekday = ui_.Selection(kScheduleWindow, kWeekdayList);
    words = {"weekly", WeekdayName(weekday < 0 ? 0 : weekday), time};
  } else if (ui_.Checked(kScheduleWindow, kConnectOption)) {
    words = {"connect"};
  } else {
    words = {"off"};
  }
  std::string error;
  const std::optional<Schedule> schedule = ReadSchedule(words, &error);
  if (!schedule) {
    ui_.ShowMessage(kMessageTitle, error, MessageIcon::kWarning, MessageButtons::kOk);
    ui_.SetFocus(kScheduleWindow, kScheduleTimeField);
    return;
  }
  const ScheduleOutcome outcome = services_.set(jobFile_, *schedule);
  ui_.ShowMessage(kMessageTitle, outcome.text,
                  outcome.done ? MessageIcon::kInformation : MessageIcon::kWarning,
                  MessageButtons::kOk);
  if (outcome.done) Close();
}

void ScheduleWindow::Close() {
  open_ = false;
  ui_.ShowWindow(kScheduleWindow, false);
  ui_.ActivateWindow(kMainWindow);
}

}  // namespace brisvel
