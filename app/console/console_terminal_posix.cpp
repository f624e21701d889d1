#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "app/console/console_interrupts.h"
#include "app/console/console_terminal.h"

namespace brisvel {
namespace {

void OnInterrupt(int) {
  if (CountInterrupt()) {
    const char newline = '\n';
    (void)!write(STDERR_FILENO, &newline, 1);
    _exit(kInterruptedExit);
  }
}

// Writes all of `text` to `fd`; after a failed write the stream is given up for good.
void WriteAll(int fd, std::string_view text, bool& closed) {
  while (!closed && !text.empty()) {
    ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      closed = true;
      return;
    }
    text.remove_prefix(static_cast<size_t>(written));
  }
}

class StandardStreams : public ConsoleTerminal {
 public:
  bool OutputIsTerminal() override { return isatty(STDOUT_FILENO) == 1; }
  bool ErrorIsTerminal() override { return isatty(STDERR_FILENO) == 1; }
  int ErrorWidth() override {
    struct winsize size = {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
  }
  void WriteOutput(std::string_view text) override { WriteAll(STDOUT_FILENO, text, outClosed_); }
  void WriteError(std::string_view text) override { WriteAll(STDERR_FILENO, text, errClosed_); }

 private:
  bool outClosed_ = false;
  bool errClosed_ = false;
};

}  // namespace

ConsoleTerminal& StandardTerminal() {
  static StandardStreams streams;
  return streams;
}

void InstallConsoleSignals(std::atomic<int32_t>* cancel, const std::atomic<int32_t>* runState) {
  SetInterruptTargets(cancel, runState);
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
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
