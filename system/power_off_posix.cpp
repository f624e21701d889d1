#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

#include "system/power_off.h"

extern char** environ;

namespace brisvel {

void PowerOff() {
  // The program may ignore SIGPIPE or catch SIGINT; the request gets the defaults.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGINT);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  char program[] = "systemctl";
  char verb[] = "poweroff";
  char* argv[] = {program, verb, nullptr};
  pid_t child;
  if (posix_spawnp(&child, program, nullptr, &attributes, argv, environ) == 0) {
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  posix_spawnattr_destroy(&attributes);
}

}  // namespace brisvel
