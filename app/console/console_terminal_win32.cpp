// The Windows console: UTF-8 text written as UTF-16 to a console (whatever its code page)
// and as UTF-8 bytes to a file or pipe; colours and the status line only where the console
// understands virtual-terminal sequences.
#include <string>

#include "app/console/console_terminal.h"
#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "core/write_all.h"

namespace brisvel {
namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode) != 0;
}

// True when the console at `handle` takes virtual-terminal sequences (switched on here).
bool TakesSequences(HANDLE handle) {
  DWORD mode = 0;
  if (!IsConsole(handle) || !GetConsoleMode(handle, &mode)) return false;
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  return SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

class ConsoleStream {
 public:
  explicit ConsoleStream(DWORD which)
      : handle_(GetStdHandle(which)), console_(IsConsole(handle_)) {}

  bool TakesSequences() const { return brisvel::TakesSequences(handle_); }
  HANDLE handle() const { return handle_; }

  // After a failed write the stream is given up for good.
  void Write(std::string_view text) {
    if (closed_ || text.empty()) return;
    if (console_) {
      const std::wstring wide = Wide(text);
      DWORD written = 0;
      if (!WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written,
                         nullptr)) {
        closed_ = true;
      }
      return;
    }
    if (!WriteAll(handle_, text)) closed_ = true;
  }

 private:
  HANDLE handle_;
  bool console_;
  bool closed_ = false;
};

class StandardStreams : public ConsoleTerminal {
 public:
  bool OutputIsTerminal() override { return output_.TakesSequences(); }
  bool ErrorIsTerminal() override { return error_.TakesSequences(); }
  int ErrorWidth() override {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(error_.handle(), &info)) {
      const int width = info.srWindow.Right - info.srWindow.Left + 1;
      if (width > 0) return width;
    }
    return 80;
  }
  void WriteOutput(std::string_view text) override { output_.Write(text); }
  void WriteError(std::string_view text) override { error_.Write(text); }

 private:
  ConsoleStream output_{STD_OUTPUT_HANDLE};
  ConsoleStream error_{STD_ERROR_HANDLE};
};

}  // namespace

ConsoleTerminal& StandardTerminal() {
  static StandardStreams streams;
  return streams;
}

}  // namespace brisvel
