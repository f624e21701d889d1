#include "app/program.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/shell.h"
#include "app/stop_signal_ui.h"
#include "app/ui/backends.h"
#include "app/ui/hand_over_ui.h"
#include "app/usage.h"
#include "app/version.h"
#include "core/text.h"
#include "engine/fs.h"
#include "system/desktop_notification.h"
#include "system/failure_notice.h"
#include "system/job_file_association.h"
#include "system/network.h"
#include "system/open_target.h"
#include "system/power_off.h"
#include "system/program_path.h"
#include "system/schedule.h"
#include "system/update_check.h"

namespace brisvel {

static bool Unset(const char* value) {
  return value == nullptr || *value == '\0';
}

bool WantsConsole(bool consoleOption, const char* display, const char* waylandDisplay) {
  return consoleOption || (Unset(display) && Unset(waylandDisplay));
}

static bool WantsConsole(bool consoleOption) {
#ifdef _WIN32
  return consoleOption;  // a Windows session always has its desktop
#else
  return WantsConsole(consoleOption, std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
#endif
}

// The manual beside the program: BRISVEL_MANUAL is its path relative to the program's folder.
static std::string ManualPath(const std::string& programPath) {
  const std::string folder = FolderPart(programPath);
  return folder.empty() ? std::string() : folder + BRISVEL_MANUAL;
}

// What the program's commands need of the machine, with their messages shown in `ui`.
static ShellServices ProgramServices(Ui& ui, bool console, bool scheduled) {
  // Computed once at start, as the running program may be replaced on disk later.
  const std::string programPath = RunningProgramPath();
  MessagePrompt prompt = [&ui](const std::string& text, MessageIcon icon, bool yesNo) {
    return ui.ShowMessage(kMessageTitle, text, icon,
                          yesNo ? MessageButtons::kYesNo : MessageButtons::kOk);
  };
  return {ui,
          RealFileSystem(),
          [](const std::string& folder) { OpenTarget(folder); },
          SystemClock(),
          PowerOff,
          console,
          NetworkAvailable(),
          [prompt](const UpdateWait& wait) { CheckForUpdates(prompt, wait); },
          [prompt, programPath] { AssociateJobFiles(programPath, prompt); },
          scheduled,
          ReportFailure,
          {[programPath](const std::string& jobFile, const Schedule& schedule) {
             return SetSchedule(jobFile, schedule, programPath);
           },
           ListSchedules},
          ManualPath(programPath)};
}

// "brisvel schedule ...": no window, no run; what it did on standard output, a fault on
// standard error.
static int RunScheduleCommand(const std::vector<std::string>& arguments) {
  const ScheduleOutcome outcome = ScheduleCommand(
      std::vector<std::string>(arguments.begin() + 1, arguments.end()), RunningProgramPath());
  std::fprintf(outcome.done ? stdout : stderr, "%s\n", outcome.text.c_str());
  return outcome.done ? kExitFinished : kExitNothingRan;
}

static int RunShell(Ui& ui, const ProgramOptions& options, bool console) {
  StartNetwork();
  Shell shell(ProgramServices(ui, console, options.scheduled));
  InstallStopSignals(&shell.RunState().cancel, &shell.RunState().runState);
  const int status = shell.Run(options.arguments);
  EndNetwork();
  FinishDesktopNotifications();
  return status;
}

int RunProgram(int argc, char** argv, const DesktopOpener& openDesktop) {
  const ProgramOptions options = ReadProgramOptions(ProgramArguments(argc, argv));
  if (options.help) {
    std::fputs(HelpText(), stdout);
    return 0;
  }
  if (options.version) {
    std::puts(kVersionText);
    return 0;
  }
  if (IsScheduleCommand(Arguments(options.arguments), RealFileSystem())) {
    return RunScheduleCommand(options.arguments);
  }
  // The toolkit sees only the program's name: every argument is the program's own, even
  // one that reads like a toolkit option.
  int desktopArgc = 1;
  DesktopOpening desktop;
  if (openDesktop && !WantsConsole(options.console)) {
    desktop = openDesktop(desktopArgc, argv);
    if (!desktop.ui) {
      const std::string line =
          "Brisvel: " + desktop.failure + "; working in the terminal instead.\n";
      std::fputs(line.c_str(), stderr);
    }
  }
  if (desktop.ui) {
    HandOverUi windows(*desktop.ui);
    StopSignalUi ui(windows, kDesktopStopEvent);
    return RunShell(ui, options, false);
  }
  std::unique_ptr<Ui> terminal = OpenTerminal();
  StopSignalUi ui(*terminal, kConsoleStopEvent);
  return RunShell(ui, options, true);
}

}  // namespace brisvel
