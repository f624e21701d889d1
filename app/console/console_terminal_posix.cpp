#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "app/console/console_terminal.h"

namespace brisvel {
namespace {

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

}  // namespace brisvel
