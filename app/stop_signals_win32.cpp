#include "app/stop_signals.h"
#include "core/windows_win32.h"

namespace brisvel {
namespace {

// Runs on a thread of its own that the system starts for each press.
BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  if (CountStopSignal()) ExitProcess(kInterruptedExit);
  return TRUE;
}

}  // namespace

void InstallStopSignalHandlers() {
  SetConsoleCtrlHandler(OnControl, TRUE);
}

}  // namespace brisvel
