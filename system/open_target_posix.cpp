#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "system/open_target.h"

namespace brisvel {

static bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Runs in the grandchild, between fork and exec, so it makes only async-signal-safe calls:
// what it starts gets no descriptor of ours but `keep`, and the default signal handling.
static void PrepareChild(int keep) {
  int devNull = open("/dev/null", O_RDWR);
  if (devNull >= 0) {
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
  }
  if (keep > 3) close_range(3, keep - 1, 0);
  close_range(keep + 1, ~0U, 0);
  struct sigaction defaults = {};
  defaults.sa_handler = SIG_DFL;
  sigaction(SIGPIPE, &defaults, nullptr);
  sigaction(SIGINT, &defaults, nullptr);
}

static void ReportFailure(int pipeFd) {
  char failed = 1;
  (void)!write(pipeFd, &failed, 1);
  _exit(127);
}

// Starts `argv` in a grandchild so that nobody has to wait for it, and learns through a
// close-on-exec pipe whether the exec itself succeeded. The grandchild works in
// `workingFolder`, or in ours when it is empty.
static int StartDetached(std::vector<std::string> args, const std::string& workingFolder = "") {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return 0;
  pid_t child = fork();
  if (child < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return 0;
  }
  if (child == 0) {
    close(pipeFds[0]);
    setsid();
    pid_t grandchild = fork();
    if (grandchild < 0) ReportFailure(pipeFds[1]);
    if (grandchild > 0) _exit(0);
    PrepareChild(pipeFds[1]);
    if (!workingFolder.empty()) (void)!chdir(workingFolder.c_str());
    execvp(argv[0], argv.data());
    ReportFailure(pipeFds[1]);
  }
  close(pipeFds[1]);
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  char failed = 0;
  ssize_t got;
  do {
    got = read(pipeFds[0], &failed, 1);
  } while (got < 0 && errno == EINTR);
  close(pipeFds[0]);
  return got == 1 ? 0 : 1;
}

// The folder an opened target works in: the target's own folder for a path (a folder opens
// with itself as its working folder), none for a web address.
static std::string WorkingFolderOf(const std::string& target) {
  if (target.find("://") != std::string::npos) return std::string();
  const size_t cut = target.rfind('/');
  if (cut == std::string::npos || cut == 0) return std::string();
  return target.substr(0, cut + 1);
}

int OpenTarget(const std::string& target) {
  if (target.empty()) return 0;
  if (IsExecutableFile(target)) return StartDetached({target});
  return StartDetached({"xdg-open", target}, WorkingFolderOf(target));
}

}  // namespace brisvel
