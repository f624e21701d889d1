#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "system/run_tool.h"

namespace brisvel {
namespace {

[[noreturn]] void ReportExecFailure(int report) {
  const char failed = 1;
  (void)!write(report, &failed, 1);
  _exit(127);
}

// Runs in the child between fork and exec, so it makes only async-signal-safe calls. Tells
// the parent through `report` (closed on exec) when the program could not be started.
[[noreturn]] void Exec(const ProgramStart& start, char* const* argv, int report) {
  struct sigaction defaults = {};
  defaults.sa_handler = SIG_DFL;
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaction(signal, &defaults, nullptr);
  if (start.quiet) {
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
      dup2(devNull, STDIN_FILENO);
      dup2(devNull, STDOUT_FILENO);
      dup2(devNull, STDERR_FILENO);
    }
  }
  if (report > 3) close_range(3, report - 1, 0);
  close_range(report + 1, ~0U, 0);
  if (!start.workingFolder.empty()) (void)!chdir(start.workingFolder.c_str());
  execvp(argv[0], argv);
  ReportExecFailure(report);
}

}  // namespace

bool StartProgram(const ProgramStart& start) {
  if (start.args.empty()) return false;
  std::vector<std::string> args = start.args;
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child == 0) {
    close(report[0]);
    // A program nobody waits for runs in a grandchild, in a session of its own; the child
    // ends at once, and the system reaps the grandchild.
    if (!start.wait) {
      setsid();
      const pid_t grandchild = fork();
      if (grandchild > 0) _exit(0);
      if (grandchild < 0) ReportExecFailure(report[1]);
    }
    Exec(start, argv.data(), report[1]);
  }
  close(report[1]);
  if (child < 0) {
    close(report[0]);
    return false;
  }
  // The exec answers: a byte when it failed, the end of the pipe when it succeeded.
  char failed = 0;
  ssize_t got;
  do {
    got = read(report[0], &failed, 1);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (got != 0) return false;
  return !start.wait || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace brisvel
