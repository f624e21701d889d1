#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "system/open_target.h"

extern char** environ;

namespace brisvel {

static bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Starts `argv` in a grandchild so that nobody has to wait for it, and learns through a
// close-on-exec pipe whether the exec itself succeeded.
static int StartDetached(std::vector<std::string> args) {
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
    if (fork() != 0) _exit(0);
    int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
      dup2(devNull, STDIN_FILENO);
      dup2(devNull, STDOUT_FILENO);
      dup2(devNull, STDERR_FILENO);
    }
    execvp(argv[0], argv.data());
    char failed = 1;
    (void)!write(pipeFds[1], &failed, 1);
    _exit(127);
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

int OpenTarget(const std::string& target) {
  if (target.empty()) return 0;
  if (IsExecutableFile(target)) return StartDetached({target});
  return StartDetached({"xdg-open", target});
}

}  // namespace brisvel
