#include "app/shell.h"

#include <filesystem>

#include "app/menus.h"
#include "app/ui/control_ids.h"
#include "app/usage.h"
#include "app/window_layout.h"
#include "system/end_program.h"
#include "system/open_target.h"

namespace brisvel {

static constexpr std::chrono::milliseconds kEventWait{5};

Shell::Shell(ShellServices services)
    : services_(std::move(services)),
      ui_(services_.ui),
      mainView_(ui_, jobs_),
      commands_(ui_, jobs_, settings_, mainView_),
      mainWindow_(ui_, jobs_, settings_, mainView_, commands_,
                  {[this] { StartRun(); }, [this] { OpenManual(); }, [this] { StartRun(true); },
                   [this] { jobOptions_.Open(); }}),
      progress_(ui_, mainView_),
      shutdownWindow_(ui_),
      jobOptions_(ui_, jobs_, services_.fs),
      scheduleWindow_(ui_, services_.schedules),
      environment_{jobs_, settings_, run_, progress_, services_.fs, services_.openFolder} {}

Shell::~Shell() {
  JoinWorker();
}

int Shell::Run(const std::vector<std::string>& arguments) {
  Start(arguments);
  return EventLoop();
}

void Shell::Start(const std::vector<std::string>& arguments) {
  std::error_code ignored;
  commands_.SetLastFolder(std::filesystem::current_path(ignored).string());
  if (!CreateWindows()) return;
  const StartDecision decision = ReadCommandLine(Arguments(arguments), jobs_, settings_, mainView_,
                                                 services_.fs, services_.scheduled);
  runName_ = decision.runName;
  if (decision.mode == StartMode::kRun) {
    StartRun(decision.preview);
  } else {
    ShowMainWindowOrEnd(decision);
  }
}

bool Shell::CreateWindows() {
  if (!CreateMainWindow(ui_)) {
    Fatal("Main Window could not be created!");
    return false;
  }
  if (!CreateProgressWindow(ui_)) {
    Fatal("Progress Window could not be created!");
    return false;
  }
  if (!CreateShutdownWindow(ui_)) {
    Fatal("Shutdown Window could not be opened!");
    return false;
  }
  if (!CreateJobOptionsWindow(ui_)) {
    Fatal("Job Options Window could not be created!");
    return false;
  }
  if (!CreateScheduleWindow(ui_)) {
    Fatal("Schedule Window could not be created!");
    return false;
  }
  ui_.ShowTrayIcon("Brisvel");
  CreateMenus(ui_, services_.networkAvailable);
  return true;
}

void Shell::Fatal(const std::string& message) {
  ui_.ShowMessage(kErrorTitle, message, MessageIcon::kError, MessageButtons::kOk);
  EndProgram(false);
}

void Shell::ShowMainWindowOrEnd(const StartDecision& decision) {
  if (!services_.console && !services_.scheduled) {
    ui_.ShowWindow(kMainWindow, true);
    return;
  }
  if (Unwatched() && !decision.failure.empty() && services_.reportFailure) {
    services_.reportFailure(NotRunNotice(decision.runName, decision.failure));
  } else if (!decision.reason.empty()) {
    ui_.ShowMessage(kMessageTitle, decision.reason, MessageIcon::kInformation, MessageButtons::kOk);
  }
  if (decision.showUsage) {
    ui_.ShowMessage(kMessageTitle, UsageLine(), MessageIcon::kInformation, MessageButtons::kOk);
  }
  EndProgram(false);
}

void Shell::StartRun(bool preview) {
  if (jobs_.Count() <= 0) return;
  JoinWorker();  // a previous run's worker has already handed its result over
  ui_.ShowWindow(kMainWindow, false);
  mainView_.ForgetShownJob();
  environment_.preview = preview;
  environment_.openFolder = preview ? nullptr : services_.openFolder;
  if (preview) {
    finishBeforePreview_ = settings_.finishAction.load();
    settings_.finishAction = services_.console ? kFinishExit : kFinishReturn;
  }
  progress_.PrepareRun(run_, settings_.finishAction, settings_.hiddenRun != 0, preview);
  run_.cancel = 0;
  run_.runState = kRunning;
  run_.copiedTotal = 0;
  run_.deletedTotal = 0;
  runStarted_ = true;
  runHidden_ = settings_.hiddenRun != 0;
  outcomeReported_ = false;
  workerDone_ = false;
  worker_ = std::thread([this] {
    JobRunner(environment_);
    workerDone_ = true;
  });
}

int Shell::EventLoop() {
  while (!ended_ && !quit_) {
    if (std::optional<UiEvent> event = ui_.WaitEvent(kEventWait)) HandleEvent(*event);
    if (!ended_) ServeRunEnd();
  }
  if (!ended_) EndProgram(false);
  return exitStatus_;
}

void Shell::ServeRunEnd() {
  ReportRunOutcome();
  const int32_t request = run_.finishRequest;
  if (request != kNoRequest) {
    EndProgram(request == kShutdownRequest);
  } else if (services_.console && workerDone_) {
    EndProgram(false);
  }
}

void Shell::HandleEvent(const UiEvent& event) {
  ReportRunOutcome();  // an ended run is told before anyone acts on it
  if (event.type == EventType::kTrayActivate) {
    ActivateFromTray();
  } else if (event.window == kMainWindow && event.type == EventType::kCloseRequest) {
    quit_ = true;
  } else if (event.window == kProgressWindow) {
    HandleProgressEvent(event);
  } else if (event.window == kMainWindow) {
    HandleMainEvent(event);
  } else if (event.window == kJobOptionsWindow) {
    jobOptions_.Handle(event);
  } else if (event.window == kScheduleWindow) {
    scheduleWindow_.Handle(event);
  }
}

void Shell::HandleMainEvent(const UiEvent& event) {
  // The worker reads the job list while a run goes on, and a second run must not start: what
  // was still queued for the main window when a run started is dropped.
  if (run_.runState != kIdle) return;
  if (DialogOpen()) return;
  if (event.type == EventType::kMenuItem && event.id == kScheduleItem) {
    scheduleWindow_.Open(commands_.LastJobFile());
  } else if (event.type == EventType::kMenuItem && event.id <= kAboutItem) {
    HandleMenuItem(event.id, ui_, commands_,
                   {[this] { OpenWebPage(); }, [this] { CheckForUpdates(); },
                    services_.associateJobFiles, services_.networkAvailable});
  } else {
    mainWindow_.Handle(event);
  }
  OfferSchedule();
}

// The Job Options and Schedule windows act on the current job and the last job file: the main
// window waits until they close, and brings them to the front when used meanwhile.
bool Shell::DialogOpen() {
  for (int window : {kJobOptionsWindow, kScheduleWindow}) {
    const bool open = window == kJobOptionsWindow ? jobOptions_.IsOpen() : scheduleWindow_.IsOpen();
    if (open) {
      ui_.ActivateWindow(window);
      return true;
    }
  }
  return false;
}

// "Schedule..." turns on once a job file has been loaded or saved.
void Shell::OfferSchedule() {
  const bool offered = services_.schedules.set && !commands_.LastJobFile().empty();
  if (offered == scheduleOffered_) return;
  scheduleOffered_ = offered;
  ui_.SetMenuItemEnabled(kHelpMenu, kScheduleItem, offered);
}

void Shell::OpenWebPage() {
  services_.openFolder(kProductWebPage);
}

void Shell::OpenManual() {
  const bool installed = !services_.manual.empty() && services_.fs.FileSize(services_.manual) >= 0;
  services_.openFolder(installed ? services_.manual : kProductWebPage);
}

void Shell::CheckForUpdates() {
  if (!services_.checkForUpdates) return;
  services_.checkForUpdates([this] { return WaitDuringUpdateCheck(); });
}

// The check downloads on a thread of its own while the windows keep answering. A close
// request (the main window's close box, or a stop signal) gives the check up and ends the
// program; what else arrives meanwhile is dropped, as under a message box.
bool Shell::WaitDuringUpdateCheck() {
  const std::optional<UiEvent> event = ui_.WaitEvent(kEventWait);
  if (!event) return true;
  if (event->window == kMainWindow && event->type == EventType::kCloseRequest) {
    quit_ = true;
    return false;
  }
  if (event->type == EventType::kTrayActivate) ActivateFromTray();
  return true;
}

void Shell::HandleProgressEvent(const UiEvent& event) {
  if (event.type == EventType::kCloseRequest) {
    CloseProgressWindow();
  } else if (event.type == EventType::kMenuItem && event.id == kEscapeKey) {
    StopOrOk();
  } else if (event.type == EventType::kClick && event.id == kStopButton) {
    StopOrOk();
  } else if (event.type == EventType::kClick && event.id == kLogButton) {
    progress_.ToggleLog(run_);
  } else if (event.type == EventType::kSelectionChange && event.id == kFinishList) {
    settings_.finishAction = ui_.Selection(kProgressWindow, kFinishList);
    ui_.SetFocus(kProgressWindow, kProgressBar);
  }
}

void Shell::StopOrOk() {
  switch (run_.runState) {
    case kRunning:
      run_.cancel = 1;
      ui_.SetEnabled(kProgressWindow, kFinishList, false);
      break;
    case kFinished:
      run_.runState = kIdle;
      if (run_.logShown) settings_.finishAction = kFinishReturn;
      if (settings_.finishAction == kFinishExit) {
        EndProgram(false);
      } else {
        RestoreFinishChoice();
        progress_.Dismiss();
        ui_.ShowWindow(kMainWindow, true);
      }
      break;
    default:
      break;
  }
}

// Closing the window of a running run only puts it out of the way: the run goes on in the
// tray.
void Shell::CloseProgressWindow() {
  if (run_.runState == kRunning) {
    progress_.Conceal();
  } else {
    StopOrOk();
  }
}

// After a preview, the next run ends as the user chose.
void Shell::RestoreFinishChoice() {
  if (!finishBeforePreview_) return;
  settings_.finishAction = *finishBeforePreview_;
  finishBeforePreview_.reset();
}

void Shell::ActivateFromTray() {
  const int window = run_.runState == kIdle ? kMainWindow : kProgressWindow;
  if (window == kProgressWindow) settings_.hiddenRun = 0;
  ui_.ShowWindow(window, true);
  ui_.ActivateWindow(window);
}

void Shell::EndProgram(bool shutdown) {
  ReportRunOutcome();
  // Taken before the end sets the stop request, which would make a finished run read as a
  // cancelled one; a run that is still going is cut short, so it counts as cancelled.
  const bool cutShort = run_.runState == kRunning;
  const bool statusTells = services_.console || services_.scheduled;
  exitStatus_ = !statusTells ? kExitFinished : cutShort ? kExitCancelled : OutcomeStatus();
  ProgramEnd end{shutdownWindow_, services_.clock, [this] { run_.cancel = 1; },
                 [this] { return run_.runState == kRunning; }, services_.powerOff};
  brisvel::EndProgram(end, shutdown);
  ui_.RemoveTrayIcon();
  JoinWorker();
  ui_.Flush();
  ended_ = true;
}

bool Shell::Unwatched() const {
  return services_.scheduled || settings_.hiddenRun != 0;
}

// Told once the worker has finished its run (before OK is pressed, and before the end of the
// program would read a stop request as a cancel). A cancelled run was stopped by someone, or
// by the system as it shuts down: no failure to tell.
void Shell::ReportRunOutcome() {
  if (!runStarted_ || outcomeReported_ || run_.runState == kRunning) return;
  outcomeReported_ = true;
  if ((!runHidden_ && !services_.scheduled) || !services_.reportFailure || run_.Cancelled()) {
    return;
  }
  if (NothingRan()) {
    std::string drives;
    for (const std::string& drive : environment_.drivesNotConnected) {
      drives += (drives.empty() ? "" : ", ") + drive;
    }
    services_.reportFailure(NotRunNotice(runName_, "Backup drive not connected: " + drives));
  } else if (run_.errorCount > 0) {
    services_.reportFailure(ErrorsNotice(runName_, run_.errorCount));
  }
}

// Every job that was to run waited for a drive that is not connected. Read once the worker
// has finished.
bool Shell::NothingRan() const {
  return run_.jobsRun == 0 && !environment_.drivesNotConnected.empty();
}

int Shell::OutcomeStatus() const {
  if (!runStarted_) return kExitNothingRan;
  if (run_.Cancelled()) return kExitCancelled;
  if (NothingRan()) return kExitNothingRan;
  return run_.errorCount > 0 ? kExitErrors : kExitFinished;
}

void Shell::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

}  // namespace brisvel
