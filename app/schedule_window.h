// The "Schedule..." window: runs of the job file loaded or saved last, every day or every week
// at a time, whenever its backup drive is connected (Linux), or none. It opens with the file's
// current schedule, and OK hands the choice to the system's scheduler and shows what that did.
#pragma once

#include <functional>
#include <string>

#include "app/ui/ui.h"
#include "system/schedule.h"

namespace brisvel {

// The system's scheduler, behind a seam for tests.
struct ScheduleServices {
  std::function<ScheduleOutcome(const std::string& jobFile, const Schedule& schedule)> set;
  std::function<ScheduleOutcome()> list;
};

class ScheduleWindow {
 public:
  ScheduleWindow(Ui& ui, ScheduleServices services) : ui_(ui), services_(std::move(services)) {}

  // Shows the window for `jobFile`, with the schedule it has.
  void Open(const std::string& jobFile);
  bool IsOpen() const { return open_; }
  void Handle(const UiEvent& event);

 private:
  Schedule CurrentSchedule();
  void Show(const Schedule& schedule);
  void ChooseKind(int option);
  void Accept();
  void Close();

  Ui& ui_;
  ScheduleServices services_;
  std::string jobFile_;
  bool open_ = false;
};

}  // namespace brisvel
