#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "app/shell.h"
#include "app/ui/control_ids.h"
#include "app/ui/test_ui.h"
#include "core/test_folder.h"
#include "engine/test_faulty_fs.h"
#include "system/end_program.h"

namespace brisvel {
namespace {

using Strings = std::vector<std::string>;

// A clock whose time passes only when the program sleeps.
class FakeClock : public Clock {
 public:
  uint32_t TickCount() override { return now_; }
  void Sleep(int milliseconds) override {
    now_ += static_cast<uint32_t>(milliseconds);
    std::this_thread::yield();  // a worker may still have to finish
  }

 private:
  uint32_t now_ = 5000;
};

// The real disk, with a chance to act as the user would just before the run copies its
// first file: the run is surely going then, and waits until the user's act has landed.
class PausingFileSystem : public FaultyFileSystem {
 public:
  PausingFileSystem() : FaultyFileSystem(RealFileSystem()) {}
  Status CopyFileIn(const FilePair& pair, const CopyControl& control) override {
    if (beforeFirstCopy) std::exchange(beforeFirstCopy, nullptr)();
    return FaultyFileSystem::CopyFileIn(pair, control);
  }
  std::function<void()> beforeFirstCopy;
};

// Waits for something the other thread is bound to do; gives up after a minute.
template <typename Condition>
void WaitUntil(Condition done) {
  for (int i = 0; i < 60000 && !done(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!done()) ADD_FAILURE() << "the program never got there";
}

int Count(const Strings& lines, const std::string& line) {
  return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

bool Contains(const Strings& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// True when `wanted` appears in `lines` in this order, other lines between them allowed.
bool InOrder(const Strings& lines, const Strings& wanted) {
  auto at = lines.begin();
  for (const std::string& line : wanted) {
    at = std::find(at, lines.end(), line);
    if (at == lines.end()) return false;
    ++at;
  }
  return true;
}

class ShellRun : public ::testing::Test {
 protected:
  ShellRun() {
    WriteFile(folder_ / "src/a.txt", "alpha");
    WriteFile(folder_ / "src/sub/b.txt", "beta");
  }
  ~ShellRun() override {
    EXPECT_FALSE(ui_.GaveUp());
    EXPECT_EQ(ui_.StrayCalls(), 0);
  }

  int Run(const Strings& arguments, bool console = false, bool scheduled = false) {
    shell_ = std::make_unique<Shell>(ShellServices{
        ui_, fs_,
        [this](const std::string& folder) {
          std::lock_guard lock(openedMutex_);
          opened_.push_back(folder);
        },
        clock_, [this] { ++powerOffs_; }, console, true, checkForUpdates_, nullptr, scheduled,
        [this](const FailureNotice& notice) {
          const bool waiting =
              ui_.WindowVisible(kProgressWindow) && ui_.Text(kProgressWindow, kStopButton) == "OK";
          notices_.push_back(notice.summary + "|" + notice.body +
                             (waiting ? " (while OK waits)" : ""));
        }});
    return shell_->Run(arguments);
  }
  Strings Backup(const Strings& words) {
    Strings arguments = {"backup", folder_ / "src", folder_ / "dst"};
    arguments.insert(arguments.end(), words.begin(), words.end());
    return arguments;
  }
  Strings LogRows() {
    Strings texts;
    for (const ModelUi::Row& row : ui_.Rows(kProgressWindow, kLogView)) texts.push_back(row.text);
    return texts;
  }
  // Acts like a user who presses OK (or does `ok`) once the run asks for it.
  void PressOkWhenAsked(UiEvent ok = {kProgressWindow, kStopButton, EventType::kClick}) {
    ui_.whenIdle = [this, ok, pressed = false](FakeUi& ui) mutable {
      if (!pressed && ui.Text(kProgressWindow, kStopButton) == "OK") {
        pressed = true;
        logAtOk_ = LogRows();
        ui.Push(ok);
      } else if (pressed && ui.WindowVisible(kMainWindow)) {
        ui.Push({kMainWindow, 0, EventType::kCloseRequest});
      }
    };
  }
  // Acts like a user who does `act` to the shutdown window once it shows `caption`.
  void DuringCountdown(const std::string& caption, UiEvent act) {
    ui_.whenIdle = [caption, act, done = false](FakeUi& ui) mutable {
      if (!done && ui.Text(kShutdownWindow, kShutdownNowButton) == caption) {
        done = true;
        ui.Push(act);
      }
    };
  }

  TestFolder folder_;
  FakeUi ui_;
  FakeClock clock_;
  PausingFileSystem fs_;
  std::mutex openedMutex_;
  Strings opened_;
  int powerOffs_ = 0;
  std::unique_ptr<Shell> shell_;
  std::function<void(const UpdateWait&)> checkForUpdates_;
  Strings logAtOk_;
  Strings notices_;
};

TEST_F(ShellRun, BackupFormRunsAtOnceAndEndsWithoutOk) {
  EXPECT_EQ(Run(Backup({"recursive", "md5", "orphans", "log", "backup.log"})), kExitFinished);
  EXPECT_EQ(ReadFile(folder_ / "dst/a.txt"), "alpha");
  EXPECT_EQ(ReadFile(folder_ / "dst/sub/b.txt"), "beta");
  EXPECT_NE(ReadFile(folder_ / "dst/backup.log").find(" . Copied: a.txt"), std::string::npos);
  EXPECT_TRUE(InOrder(
      LogRows(), {"Running 'New Job'...", "Scanning for orphans...", "Scanning for new files...",
                  "Found 2 files.", "", "Copied 2 total files.", "Finished all jobs."}));
  const Strings calls = ui_.Calls();
  EXPECT_FALSE(Contains(calls, "SetText 1 34 OK"));
  EXPECT_FALSE(Contains(calls, "ShowWindow 0 1"));  // the main window never showed
  EXPECT_TRUE(Contains(calls, "ShowWindow 1 1"));
  EXPECT_FALSE(ui_.TrayIconShown());
  EXPECT_EQ(ui_.Flushes(), 1);
  EXPECT_EQ(powerOffs_, 0);
}

TEST_F(ShellRun, TheRunStarterPreparesTheProgressWindowFirst) {
  Run(Backup({}));
  EXPECT_TRUE(InOrder(
      ui_.Calls(),
      {"ShowWindow 0 0", "ResizeWindow 1 260 140", "SetText 1 35 Show Log", "ClearRows 1 37",
       "SetText 1 30 Loading Jobs...", "SetProgressValue 1 31 0", "SetText 1 32 ",
       "SetText 1 34 STOP", "SetSelection 1 33 0", "SetEnabled 1 33 1", "ShowWindow 1 1",
       "InsertRow 1 37 0 0,0,0 Running "
       "'New Job'..."}));
}

TEST_F(ShellRun, AJobFileRunsItsEnabledJobsHidden) {
  WriteFile(folder_ / "jobs.jbs",
            "<brisvel finish=\"brisvel\"><job name=\"Off\" enabled=\"false\" "
            "copyfrom=\"" +
                (folder_ / "src") + "\" copyto=\"" + (folder_ / "off") +
                "\"/><job name=\"On\" copyfrom=\"" + (folder_ / "src") + "\" copyto=\"" +
                (folder_ / "dst") + "\" open=\"true\"/></brisvel>");
  EXPECT_EQ(Run({folder_ / "jobs.jbs", "tray"}), kExitFinished);
  EXPECT_TRUE(InOrder(LogRows(), {"Running 'On'...", "Copied a.txt", "Finished all jobs."}));
  EXPECT_FALSE(Contains(LogRows(), "Running 'Off'..."));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "off"));
  EXPECT_FALSE(Contains(ui_.Calls(), "ShowWindow 1 1"));  // hidden: the tray icon only
  EXPECT_EQ(opened_, Strings{folder_ / NativePath("dst/")});
}

TEST_F(ShellRun, ErrorsWaitForOkThenReturnToTheMainWindow) {
  WriteFile(folder_ / "blocked", "a file where a folder should go");
  PressOkWhenAsked();
  EXPECT_EQ(Run({"backup", folder_ / "src", folder_ / "blocked/dst"}), kExitFinished);
  EXPECT_TRUE(Contains(logAtOk_, "Cannot create " + (folder_ / "blocked/dst") + kPathSeparator))
      << ::testing::PrintToString(logAtOk_);
  EXPECT_TRUE(Contains(logAtOk_, "1 error encountered."));
  EXPECT_EQ(ui_.Text(kProgressWindow, kStatusLine), "1 Error (See Log)");
  EXPECT_EQ(ui_.Selection(kProgressWindow, kFinishList), kFinishReturn);
  // OK went back to the main window, which was then closed.
  EXPECT_TRUE(InOrder(ui_.Calls(),
                      {"SetText 1 34 OK", "ShowWindow 1 0", "ClearRows 1 37", "ShowWindow 0 1"}));
}

TEST_F(ShellRun, StopDisablesTheFinishChoiceAndWaitsForOk) {
  fs_.beforeFirstCopy = [this] {
    ui_.Click(kProgressWindow, kStopButton);
    WaitUntil([this] { return !ui_.Enabled(kProgressWindow, kFinishList); });
    EXPECT_EQ(shell_->RunState().cancel, 1);
  };
  PressOkWhenAsked();
  EXPECT_EQ(Run(Backup({"shutdown"})), kExitFinished);
  // STOP also breaks off the copy under way, which leaves nothing in the destination.
  EXPECT_TRUE(
      InOrder(logAtOk_, {"Found 1 file.", "", "Copied 0 total files.", "Job(s) cancelled."}));
  EXPECT_EQ(ui_.Text(kProgressWindow, kStatusLine), "Cancelled by User");
  EXPECT_EQ(powerOffs_, 0);  // a stopped run never shuts down
  EXPECT_FALSE(Contains(ui_.Calls(), "ShowWindow 2 1"));
}

TEST_F(ShellRun, ShowingTheLogMakesOkOrAClosedWindowReturnToTheMainWindow) {
  for (UiEvent ok : {UiEvent{kProgressWindow, kStopButton, EventType::kClick},
                     UiEvent{kProgressWindow, 0, EventType::kCloseRequest}}) {
    fs_.beforeFirstCopy = [this] {
      ui_.Click(kProgressWindow, kLogButton);
      WaitUntil([this] { return ui_.Text(kProgressWindow, kLogButton) == "Hide Log"; });
    };
    PressOkWhenAsked(ok);
    EXPECT_EQ(Run(Backup({})), kExitFinished);
    EXPECT_EQ(ui_.WindowSize(kProgressWindow), std::make_pair(260, 330));
    EXPECT_EQ(shell_->Settings().finishAction, kFinishReturn);
    EXPECT_TRUE(InOrder(ui_.Calls(), {"SetText 1 34 OK", "ShowWindow 0 1"}));
    std::filesystem::remove_all(folder_ / "dst");  // so that the next run copies again
  }
}

TEST_F(ShellRun, TheFinishChoiceCanChangeDuringTheRun) {
  fs_.beforeFirstCopy = [this] {
    ui_.SetSelection(kProgressWindow, kFinishList, kFinishReturn);
    ui_.Push({kProgressWindow, kFinishList, EventType::kSelectionChange});
    WaitUntil([this] { return ui_.Focus() == std::make_pair(1, int{kProgressBar}); });
  };
  PressOkWhenAsked();
  EXPECT_EQ(Run(Backup({})), kExitFinished);
  EXPECT_TRUE(Contains(logAtOk_, "Finished all jobs."));
}

TEST_F(ShellRun, TheTrayBringsBackAHiddenRunAndClosingHidesItAgain) {
  fs_.beforeFirstCopy = [this] {
    ui_.Push({kMainWindow, 0, EventType::kTrayActivate});
    WaitUntil([this] { return ui_.WindowVisible(kProgressWindow); });
    EXPECT_EQ(shell_->Settings().hiddenRun, 0);
    ui_.Push({kProgressWindow, 0, EventType::kCloseRequest});
    WaitUntil([this] { return !ui_.WindowVisible(kProgressWindow); });
    EXPECT_EQ(shell_->RunState().cancel, 0);  // closing only hid it; the run goes on
  };
  EXPECT_EQ(Run(Backup({"silent"})), kExitFinished);
  EXPECT_TRUE(Contains(LogRows(), "Finished all jobs."));
  EXPECT_FALSE(Contains(ui_.Calls(), "ShowWindow 0 1"));
}

TEST_F(ShellRun, WithoutATrayAHiddenRunStaysWithinReach) {
  ui_.trayAvailable = false;
  fs_.beforeFirstCopy = [this] {
    EXPECT_TRUE(ui_.WindowMinimised(kProgressWindow));
    ui_.Push({kProgressWindow, 0, EventType::kCloseRequest});
    WaitUntil([this] { return Count(ui_.Calls(), "MinimiseWindow 1") == 2; });
    EXPECT_TRUE(ui_.WindowVisible(kProgressWindow));  // closed, yet still in the task bar
  };
  EXPECT_EQ(Run(Backup({"silent"})), kExitFinished);
  EXPECT_TRUE(Contains(LogRows(), "Finished all jobs."));
  EXPECT_FALSE(Contains(ui_.Calls(), "ShowWindow 1 1"));
}

TEST_F(ShellRun, RunJobsStartsOneRunHoweverOftenItIsAskedFor) {
  ui_.whenIdle = [this, step = 0](FakeUi& ui) mutable {
    if (step == 0 && ui.WindowVisible(kMainWindow)) {
      step = 1;
      ui.SetText(kMainWindow, kSourceField, folder_ / "src");
      ui.SetText(kMainWindow, kDestinationField, folder_ / "dst");
      for (UiEvent event : {UiEvent{kMainWindow, kSourceField, EventType::kTextChanged},
                            UiEvent{kMainWindow, kReturnKey, EventType::kMenuItem},
                            UiEvent{kMainWindow, kRunJobsButton, EventType::kClick},
                            UiEvent{kMainWindow, kAddButton, EventType::kClick}}) {
        ui.Push(event);
      }
    } else if (step == 1 && ui.Text(kProgressWindow, kStopButton) == "OK") {
      step = 2;
      ui.Click(kProgressWindow, kStopButton);
    } else if (step == 2 && ui.WindowVisible(kMainWindow)) {
      ui.Push({kMainWindow, 0, EventType::kCloseRequest});
    }
  };
  EXPECT_EQ(Run({}), kExitFinished);
  EXPECT_EQ(ReadFile(folder_ / "dst/sub/b.txt"), "beta");
  // The click and the Add that were queued behind the first Return came during the run.
  EXPECT_EQ(Count(ui_.Calls(), "SetText 1 30 Loading Jobs..."), 1);
  EXPECT_EQ(shell_->Jobs().Count(), 1);
}

TEST_F(ShellRun, EndingDuringARunStopsItAndWaitsForIt) {
  fs_.beforeFirstCopy = [this] {
    ui_.Push({kMainWindow, 0, EventType::kCloseRequest});
    WaitUntil([this] { return shell_->RunState().cancel == 1; });
  };
  EXPECT_EQ(Run(Backup({}), true), kExitCancelled);
  EXPECT_TRUE(InOrder(ui_.Calls(), {"ShowWindow 0 0", "ShowWindow 1 0",
                                    "InsertRow 1 37 " + std::to_string(LogRows().size() - 1) +
                                        " 0,0,0 Job(s) cancelled.",
                                    "RemoveTrayIcon"}));
}

TEST_F(ShellRun, ShutdownCountsThirtySecondsDownAndPowersOff) {
  EXPECT_EQ(Run(Backup({"shutdown"}), true), kExitFinished);
  EXPECT_EQ(powerOffs_, 1);
  EXPECT_TRUE(InOrder(ui_.Calls(),
                      {"ShowWindow 2 1", "SetText 2 39 Shutdown (31)", "SetText 2 39 Shutdown (30)",
                       "SetText 2 39 Shutdown (1)", "ShowWindow 2 0", "RemoveTrayIcon"}));
}

TEST_F(ShellRun, ShutdownGoesAheadEvenAfterErrors) {
  WriteFile(folder_ / "blocked", "");
  ui_.whenIdle = [](FakeUi& ui) {
    if (ui.Text(kShutdownWindow, kShutdownNowButton) == "Shutdown (20)") {
      ui.Click(kShutdownWindow, kShutdownNowButton);
    }
  };
  EXPECT_EQ(Run({"backup", folder_ / "src", folder_ / "blocked/dst", "shutdown"}, true),
            kExitErrors);
  EXPECT_EQ(powerOffs_, 1);
  EXPECT_FALSE(Contains(ui_.Calls(), "SetText 2 39 Shutdown (19)"));
}

TEST_F(ShellRun, EveryWayOfCancellingTheCountdownEndsWithoutPowerOff) {
  for (UiEvent no : {UiEvent{kShutdownWindow, kShutdownCancelButton, EventType::kClick},
                     UiEvent{kShutdownWindow, kEscapeKey, EventType::kMenuItem},
                     UiEvent{kShutdownWindow, 0, EventType::kCloseRequest}}) {
    DuringCountdown("Shutdown (25)", no);
    EXPECT_EQ(Run(Backup({"shutdown"}), true), kExitFinished);
    EXPECT_EQ(powerOffs_, 0);
    EXPECT_FALSE(Contains(ui_.Calls(), "SetText 2 39 Shutdown (24)"));
  }
}

// A preview from the job list's menu makes the checks of Run Jobs, says "Preview" in its title,
// opens no folder and ends in the main window whatever the user chose; the run after it is a
// run again, under the window's own title, and ends as chosen.
TEST_F(ShellRun, APreviewEndsInTheMainWindowAndTheRunAfterItEndsAsChosen) {
  Strings titles;
  bool finishChoiceOffered = true;
  int finishAfterPreview = -1;
  ui_.whenIdle = [&, step = 0](FakeUi& ui) mutable {
    if (step == 0 && ui.WindowVisible(kMainWindow)) {
      step = 1;
      ui.Push({kMainWindow, kPreviewItem, EventType::kMenuItem});  // no folders yet
    } else if (step == 1 && ui.Messages().size() == 1) {
      step = 2;
      ui.SetText(kMainWindow, kSourceField, folder_ / "src");
      ui.SetText(kMainWindow, kDestinationField, folder_ / "dst");
      ui.SetChecked(kMainWindow, kOpenFolderBox, true);
      ui.SetSelection(kMainWindow, kWhenFinishedList, kFinishExit);
      ui.Push({kMainWindow, kSourceField, EventType::kTextChanged});
      ui.Push({kMainWindow, kOpenFolderBox, EventType::kClick});
      ui.Push({kMainWindow, kPreviewItem, EventType::kMenuItem});
    } else if (step == 2 && ui.Text(kProgressWindow, kStopButton) == "OK") {
      step = 3;
      titles.push_back(ui.WindowTitle(kProgressWindow));
      finishChoiceOffered = Contains(ui.Calls(), "SetEnabled 1 33 1");
      ui.Click(kProgressWindow, kStopButton);
    } else if (step == 3 && ui.WindowVisible(kMainWindow)) {
      step = 4;
      finishAfterPreview = shell_->Settings().finishAction;
      ui.Click(kMainWindow, kRunJobsButton);
    }
  };
  EXPECT_EQ(Run({}), kExitFinished);
  ASSERT_EQ(ui_.Messages().size(), 1u) << ui_.Messages().back().text;
  EXPECT_EQ(ui_.Messages()[0].text, "Specify valid folders for 'New Job'.");
  EXPECT_EQ(titles, Strings{"Brisvel - Preview"});
  EXPECT_FALSE(finishChoiceOffered);
  EXPECT_EQ(finishAfterPreview, kFinishExit);
  // Only the run opened the folder, and its end closed the program without an OK.
  EXPECT_EQ(opened_, Strings{folder_ / NativePath("dst/")});
  EXPECT_EQ(ui_.WindowTitle(kProgressWindow), "Brisvel");
  EXPECT_FALSE(shell_->Environment().preview);
  EXPECT_EQ(Count(ui_.Calls(), "SetText 1 34 OK"), 1);
}

// "preview" on the command line: the desktop waits for OK instead of shutting down or closing;
// the terminal ends as usual. Neither opens the destination or powers the computer off.
TEST_F(ShellRun, APreviewFromTheCommandLineNeverPowersOffNorOpensTheDestination) {
  PressOkWhenAsked();
  EXPECT_EQ(Run(Backup({"open", "shutdown", "preview"})), kExitFinished);
  EXPECT_TRUE(shell_->Environment().preview);
  EXPECT_FALSE(logAtOk_.empty());  // it waited for OK
  EXPECT_TRUE(Contains(ui_.Calls(), "SetTitle 1 Brisvel - Preview"));
  EXPECT_FALSE(Contains(ui_.Calls(), "ShowWindow 2 1"));
  EXPECT_EQ(powerOffs_, 0);
  EXPECT_TRUE(opened_.empty());

  FakeUi terminal;
  Shell console(ShellServices{terminal, fs_, [this](const std::string& f) { opened_.push_back(f); },
                              clock_, [this] { ++powerOffs_; }, true, true, nullptr, nullptr, false,
                              nullptr});
  EXPECT_EQ(console.Run(Backup({"open", "shutdown", "preview"})), kExitFinished);
  EXPECT_TRUE(console.Environment().preview);
  EXPECT_EQ(terminal.WindowTitle(kProgressWindow), "Brisvel - Preview");
  EXPECT_FALSE(Contains(terminal.Calls(), "ShowWindow 2 1"));
  EXPECT_EQ(powerOffs_, 0);
  EXPECT_TRUE(opened_.empty());
}

TEST_F(ShellRun, AConsoleEndsWhereTheDesktopWouldWaitForOk) {
  WriteFile(folder_ / "blocked", "");
  EXPECT_EQ(Run({"backup", folder_ / "src", folder_ / "blocked/dst"}, true), kExitErrors);
  EXPECT_TRUE(Contains(LogRows(), "1 error encountered."));
}

TEST_F(ShellRun, AConsoleStoppedByCtrlCEndsWith130) {
  fs_.beforeFirstCopy = [this] {
    ui_.Push({kProgressWindow, kEscapeKey, EventType::kMenuItem});  // how Ctrl+C arrives
    WaitUntil([this] { return shell_->RunState().cancel == 1; });
  };
  EXPECT_EQ(Run(Backup({}), true), kExitCancelled);
  EXPECT_TRUE(Contains(LogRows(), "Job(s) cancelled."));
}

TEST_F(ShellRun, AConsoleWithNothingToRunSaysWhyAndEndsWith2) {
  EXPECT_EQ(Run({"backup", folder_ / "missing", folder_ / "dst"}, true), kExitNothingRan);
  const std::vector<FakeUi::Message> messages = ui_.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "Source folder not found: " + (folder_ / "missing"));
  EXPECT_EQ(messages[1].text.rfind("Usage: brisvel", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "dst"));
}

// A hidden run tells of its errors as soon as it ends, not once someone has found the window
// waiting for OK; a run in sight, or one that went well, tells nothing.
TEST_F(ShellRun, AHiddenRunTellsOfItsErrorsOnceWhenItEnds) {
  WriteFile(folder_ / "blocked", "");
  const Strings broken = {"backup", folder_ / "src", folder_ / "blocked/dst"};
  PressOkWhenAsked();
  Strings tray = broken;
  tray.push_back("tray");
  EXPECT_EQ(Run(tray), kExitFinished);
  const std::string notice = "Backup ended with errors|Backup of " + (folder_ / "src") +
                             kPathSeparator + " into " + (folder_ / "blocked/dst") +
                             kPathSeparator + ": 1 error encountered. (while OK waits)";
  EXPECT_EQ(notices_, Strings{notice});

  notices_.clear();
  PressOkWhenAsked();
  Run(broken);
  EXPECT_EQ(Run(Backup({"silent"}), true), kExitFinished);
  EXPECT_TRUE(notices_.empty());
}

// A schedule whose job file was moved or removed says so and ends: no main window, even on
// the desktop, and no message box that nobody would answer.
TEST_F(ShellRun, AScheduledRunWithoutItsJobFileEndsWith2AndTellsWhy) {
  EXPECT_EQ(Run({folder_ / "gone.jbs", "silent"}, false, true), kExitNothingRan);
  EXPECT_EQ(notices_,
            Strings{"Backup did not run|" + (folder_ / "gone.jbs") + ": Job file not found."});
  EXPECT_FALSE(Contains(ui_.Calls(), "ShowWindow 0 1"));
  EXPECT_TRUE(ui_.Messages().empty());
}

// When every job waits for a drive that is not connected, nothing ran: exit status 2, and an
// unwatched run says which drive it missed.
TEST_F(ShellRun, ARunWhoseDrivesAreAllAwayEndsWith2) {
  WriteFile(folder_ / "jobs.jbs", "<brisvel><job name=\"Drive\" copyfrom=\"" + (folder_ / "src") +
                                      "\" copyto=\"" + (folder_ / "unplugged") +
                                      "\" needsdrive=\"true\"/></brisvel>");
  EXPECT_EQ(Run({folder_ / "jobs.jbs"}, true), kExitNothingRan);
  EXPECT_TRUE(notices_.empty());
  EXPECT_EQ(Run({folder_ / "jobs.jbs"}, true, true), kExitNothingRan);
  EXPECT_EQ(notices_,
            Strings{"Backup did not run|" + (folder_ / "jobs.jbs") +
                    ": Backup drive not connected: " + (folder_ / "unplugged") + kPathSeparator});
  EXPECT_FALSE(std::filesystem::exists(folder_ / "unplugged"));
}

TEST_F(ShellRun, TheDesktopShowsTheMainWindowWhenNothingRuns) {
  ui_.whenIdle = [](FakeUi& ui) {
    if (ui.WindowVisible(kMainWindow)) ui.Push({kMainWindow, 0, EventType::kCloseRequest});
  };
  EXPECT_EQ(Run({}), kExitFinished);
  EXPECT_TRUE(ui_.Messages().empty());
  EXPECT_EQ(ui_.Rows(kMainWindow, kJobList).size(), 1u);
  EXPECT_FALSE(Contains(ui_.Calls(), "ShowWindow 1 1"));
}

// While "Check for Updates" waits for its server, the windows keep answering; a close request
// (the close box, or a stop signal) gives the check up and ends the program, and what else
// arrives meanwhile is dropped.
TEST_F(ShellRun, ACloseRequestDuringTheUpdateCheckEndsTheProgram) {
  int waits = 0;
  bool givenUp = false;
  checkForUpdates_ = [&](const UpdateWait& wait) {
    while (wait()) ++waits;
    givenUp = true;
  };
  ui_.Push({kMainWindow, kCheckUpdatesItem, EventType::kMenuItem});
  ui_.Push({kMainWindow, kRunJobsButton, EventType::kClick});
  ui_.Push({kMainWindow, 0, EventType::kCloseRequest});
  EXPECT_EQ(Run({}), kExitFinished);
  EXPECT_TRUE(givenUp);
  EXPECT_GE(waits, 1);
  EXPECT_TRUE(shell_->Ended());
  EXPECT_TRUE(ui_.Messages().empty());  // no "Specify valid folders" from the dropped click
}

}  // namespace
}  // namespace brisvel
