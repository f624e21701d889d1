#include <sys/ioctl.h>
#include <unistd.h>

#include "app/console/console_terminal.h"
#include "core/write_all.h"

namespace brisvel {
namespace {

// Writes all of `text` to `fd`; after a failed write the stream is given up for good.
void Write(int fd, std::string_view text, bool& closed) {
  if (!closed && !WriteAll(fd, text)) closed = true;
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
  void WriteOutput(std::string_view text) override { Write(STDOUT_FILENO, text, outClosed_); }
  void WriteError(std::string_view text) override { Write(STDERR_FILENO, text, errClosed_); }

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
