#include "app/schedule_window.h"

#include <gtest/gtest.h>

#include "app/shell.h"
#include "app/ui/control_ids.h"
#include "app/ui/test_ui.h"
#include "core/test_folder.h"
#include "system/clock.h"

namespace brisvel {
namespace {

// The main window with the system's scheduler replaced by one that records what it was asked.
class ScheduleWindowTest : public ::testing::Test {
 protected:
  ScheduleWindowTest()
      : shell_(ShellServices{ui_, RealFileSystem(), [](const std::string&) {}, SystemClock(),
                             nullptr, false, true, nullptr, nullptr, false, nullptr,
                             ScheduleServices{[this](const std::string& file, const Schedule& s) {
                                                asked_.push_back(file + " " + ScheduleWords(s));
                                                return outcome_;
                                              },
                                              [this] {
                                                return ScheduleOutcome{true, list_};
                                              }}}) {
    shell_.Start({});
  }
  ~ScheduleWindowTest() override { EXPECT_EQ(ui_.StrayCalls(), 0); }

  void Send(int window, int id, EventType type) { shell_.HandleEvent({window, id, type}); }
  void Choose(int option) {
    ui_.SetChecked(kScheduleWindow, option, true);
    Send(kScheduleWindow, option, EventType::kClick);
  }
  bool Open() { return ui_.WindowVisible(kScheduleWindow); }
  std::string LastMessage() { return ui_.Messages().empty() ? "" : ui_.Messages().back().text; }

  TestFolder folder_;
  FakeUi ui_;
  std::vector<std::string> asked_;
  ScheduleOutcome outcome_{true, "Scheduled."};
  std::string list_ = "No schedules.";
  Shell shell_;
};

TEST_F(ScheduleWindowTest, GreyUntilAJobFileIsSavedThenShowsAndSetsItsSchedule) {
  EXPECT_FALSE(ui_.MenuItemEnabled(kHelpMenu, kScheduleItem));
  Send(kMainWindow, kScheduleItem, EventType::kMenuItem);
  EXPECT_FALSE(Open());

  const std::string file = folder_ / "jobs.jbs";
  list_ = folder_ / "other.jbs: daily 07:00\n" + file + ": weekly friday 18:30\n";
  ui_.ChooseNextFile({file, 0});
  Send(kMainWindow, kSaveJobsButton, EventType::kClick);
  EXPECT_TRUE(ui_.MenuItemEnabled(kHelpMenu, kScheduleItem));
  Send(kMainWindow, kScheduleItem, EventType::kMenuItem);
  ASSERT_TRUE(Open());
  EXPECT_EQ(ui_.Text(kScheduleWindow, kScheduleFileLine), "Job file: jobs.jbs");
  EXPECT_TRUE(ui_.Checked(kScheduleWindow, kWeeklyOption));
  EXPECT_FALSE(ui_.Checked(kScheduleWindow, kDailyOption));
  EXPECT_EQ(ui_.Selection(kScheduleWindow, kWeekdayList), 4);
  EXPECT_EQ(ui_.Text(kScheduleWindow, kScheduleTimeField), "18:30");

  // A time the scheduler cannot take is refused here, and the window stays.
  Choose(kDailyOption);
  EXPECT_FALSE(ui_.Checked(kScheduleWindow, kWeeklyOption));
  EXPECT_FALSE(ui_.Enabled(kScheduleWindow, kWeekdayList));
  ui_.SetText(kScheduleWindow, kScheduleTimeField, "25:00");
  Send(kScheduleWindow, kScheduleOkButton, EventType::kClick);
  EXPECT_TRUE(asked_.empty());
  EXPECT_NE(LastMessage().find("25:00"), std::string::npos) << LastMessage();
  EXPECT_TRUE(Open());

  // A schedule the system refuses keeps the window open with the system's words.
  outcome_ = {false, "Not scheduled: the user's service manager is not running."};
  ui_.SetText(kScheduleWindow, kScheduleTimeField, "7:15");
  Send(kScheduleWindow, kReturnKey, EventType::kMenuItem);
  EXPECT_EQ(LastMessage(), outcome_.text);
  EXPECT_TRUE(Open());

  outcome_ = {true, "Scheduled."};
  Choose(kNoScheduleOption);
  EXPECT_FALSE(ui_.Enabled(kScheduleWindow, kScheduleTimeField));
  Send(kScheduleWindow, kScheduleOkButton, EventType::kClick);
  EXPECT_EQ(LastMessage(), "Scheduled.");
  EXPECT_FALSE(Open());
  EXPECT_EQ(asked_, (std::vector<std::string>{file + " daily 07:15", file + " off"}));

  // The main window waits while the window is open, and Escape changes nothing.
  Send(kMainWindow, kScheduleItem, EventType::kMenuItem);
  Send(kMainWindow, kAddButton, EventType::kClick);
  EXPECT_EQ(shell_.Jobs().Count(), 1);
  Send(kScheduleWindow, kEscapeKey, EventType::kMenuItem);
  EXPECT_FALSE(Open());
  EXPECT_EQ(asked_.size(), 2u);
}

}  // namespace
}  // namespace brisvel
