#include "app/win32/desktop_win32.h"

#include "app/stop_signal_event.h"
#include "app/win32/ui_win32.h"

namespace brisvel {
namespace {

class DesktopUi : public Win32Ui {
 public:
  std::optional<UiEvent> WaitEvent(std::chrono::milliseconds timeout) override {
    if (std::optional<UiEvent> stop = StopSignalEvent(interruptsSeen_)) return stop;
    return Win32Ui::WaitEvent(timeout);
  }

 private:
  int interruptsSeen_ = 0;
};

// The program is a console program, so that its command-line runs print where they were
// started. Started from Explorer it gets a console window of its own, which only stands behind
// the desktop's windows: it is let go. A console shared with the shell that started the
// program stays.
void ReleaseOwnConsole() {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

}  // namespace

std::unique_ptr<Ui> OpenWin32Desktop(int&, char**) {
  ReleaseOwnConsole();
  return std::make_unique<DesktopUi>();
}

}  // namespace brisvel
