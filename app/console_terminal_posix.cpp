#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "app/console_terminal.h"
#include "engine/copies_in_flight.h"
#include "engine/run_state.h"

namespace brisvel {
namespace {

// A signal handler may touch only lock-free atomics.
static_assert(std::atomic<int32_t>::is_always_lock_free);
std::atomic<int32_t> interrupts{0};
std::atomic<int32_t>* cancelFlag = nullptr;
const std::atomic<int32_t>* runStateFlag = nullptr;

void OnInterrupt(int) {
  const int32_t presses = interrupts.fetch_add(1) + 1;
  if (presses >= 2) {
    RemoveCopiesInFlight();
    const char newline = '\n';
    (void)!write(STDERR_FILENO, &newline, 1);
    _exit(130);
  }
  if (cancelFlag != nullptr && runStateFlag != nullptr && runStateFlag->load() == kRunning) {
    cancelFlag->store(1);
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
  cancelFlag = cancel;
  runStateFlag = runState;
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

int InterruptCount() {
  return interrupts.load();
}

}  // namespace brisvel
