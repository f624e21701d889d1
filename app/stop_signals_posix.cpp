#include <signal.h>
#include <unistd.h>

#include "app/stop_signals.h"

namespace brisvel {
namespace {

void OnStopSignal(int) {
  if (CountStopSignal()) {
    const char newline = '\n';
    (void)!write(STDERR_FILENO, &newline, 1);
    _exit(kInterruptedExit);
  }
}

}  // namespace

void InstallStopSignalHandlers() {
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  // A service manager's stop and a closed terminal end the run as STOP does: with its
  // summary, and without half-made copies.
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, nullptr);
}

}  // namespace brisvel
