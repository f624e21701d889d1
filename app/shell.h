// The application shell: start-up, the command line, the run starter, the event loop with
// the progress window's buttons and the tray icon, and the end of the program.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/command_line.h"
#include "app/job_commands.h"
#include "app/job_options_window.h"
#include "app/main_window.h"
#include "app/main_window_view.h"
#include "app/progress_window.h"
#include "app/schedule_window.h"
#include "app/shutdown_window.h"
#include "app/ui/ui.h"
#include "core/job_list.h"
#include "core/run_settings.h"
#include "engine/fs.h"
#include "engine/job_runner.h"
#include "engine/run_state.h"
#include "system/clock.h"
#include "system/failure_notice.h"
#include "system/update_check.h"

namespace brisvel {

// Exit statuses of terminal runs. Desktop runs always end with 0.
enum ExitStatus : int {
  kExitFinished = 0,
  kExitErrors = 1,
  kExitNothingRan = 2,
  kExitCancelled = 130,
};

struct ShellServices {
  Ui& ui;
  FileSystem& fs;
  // Opens a folder or a web page with the desktop's opener: a finished job's destination
  // folder, the program's web page.
  std::function<void(const std::string&)> openFolder;
  Clock& clock;
  std::function<void()> powerOff;
  // The terminal has no main window and nobody to press OK: where the desktop would show
  // one or wait for the other, the program ends with an exit status that tells the outcome.
  bool console = false;
  // The help menu's "Check for Updates" (greyed without a network), which calls its argument
  // while it waits, and "Associate .jbs Files".
  bool networkAvailable = true;
  std::function<void(const UpdateWait&)> checkForUpdates;
  std::function<void()> associateJobFiles;
  // A run that a schedule started: it never opens the main window, and its exit status tells
  // the outcome as a terminal's does.
  bool scheduled = false;
  // Tells of the failure of a run that nobody watched: a hidden or scheduled one.
  FailureReporter reportFailure = nullptr;
  // The system's scheduler, for the help menu's "Schedule..." (absent: the entry stays grey).
  ScheduleServices schedules = {};
  // The HTML manual that F1 opens; while no file is there, F1 opens the web page.
  std::string manual{};
};

class Shell {
 public:
  explicit Shell(ShellServices services);
  ~Shell();
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  // The whole life of the program: start-up, the event loop, the end. Returns the exit
  // status the process ends with.
  int Run(const std::vector<std::string>& arguments);

  // Creates the windows, reads the command line and starts a run or shows the main window.
  void Start(const std::vector<std::string>& arguments);
  // Handles events until the program ends; returns the exit status.
  int EventLoop();
  void HandleEvent(const UiEvent& event);

  // Starts a run of the job list on the worker thread, without waiting for it. A preview
  // shows what the run would do; it never opens a destination folder, and its end neither
  // shuts the computer down nor closes the program on the desktop (a terminal's ends as
  // every terminal run does).
  void StartRun(bool preview = false);

  JobList& Jobs() { return jobs_; }
  RunSettings& Settings() { return settings_; }
  SharedRunState& RunState() { return run_; }
  MainWindowView& MainView() { return mainView_; }
  const RunEnvironment& Environment() const { return environment_; }
  bool Ended() const { return ended_; }

 private:
  bool CreateWindows();
  void Fatal(const std::string& message);
  void ShowMainWindowOrEnd(const StartDecision& decision);
  void StopOrOk();
  void CloseProgressWindow();
  void RestoreFinishChoice();
  void ActivateFromTray();
  void HandleProgressEvent(const UiEvent& event);
  void HandleMainEvent(const UiEvent& event);
  bool DialogOpen();
  void OfferSchedule();
  void OpenWebPage();
  void OpenManual();
  void CheckForUpdates();
  bool WaitDuringUpdateCheck();
  // Serves a finish request, or in a terminal the end of a run that would wait for OK.
  void ServeRunEnd();
  void EndProgram(bool shutdown);
  bool Unwatched() const;
  void ReportRunOutcome();
  bool NothingRan() const;
  int OutcomeStatus() const;
  void JoinWorker();

  ShellServices services_;
  Ui& ui_;
  JobList jobs_;
  RunSettings settings_;
  SharedRunState run_;
  MainWindowView mainView_;
  JobCommands commands_;
  MainWindow mainWindow_;
  ProgressWindow progress_;
  ShutdownWindow shutdownWindow_;
  JobOptionsWindow jobOptions_;
  ScheduleWindow scheduleWindow_;
  bool scheduleOffered_ = false;  // "Schedule..." is enabled
  RunEnvironment environment_;
  std::thread worker_;
  std::atomic<bool> workerDone_{false};
  bool runStarted_ = false;
  std::string runName_;     // the job file or the one-off job, for a failure notice
  bool runHidden_ = false;  // the run started hidden in the notification area
  // The finish choice the user made, kept aside while a preview runs with its own.
  std::optional<int32_t> finishBeforePreview_;
  bool outcomeReported_ = false;  // the run's failure, if any, has been told
  bool quit_ = false;
  bool ended_ = false;
  int exitStatus_ = kExitFinished;
};

}  // namespace brisvel
