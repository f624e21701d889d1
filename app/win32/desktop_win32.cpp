// Opening the Windows desktop: the backend on the native controls, linked into the program.
#include "app/ui/backends.h"
#include "app/win32/ui_win32.h"

namespace brisvel {
namespace {

// The program is a console program, so that its command-line runs print where they were
// started. Started from Explorer it gets a console window of its own, which only stands behind
// the desktop's windows: it is let go. A console shared with the shell that started the
// program stays.
void ReleaseOwnConsole() {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

}  // namespace

DesktopUi* BrisvelOpenDesktop(int*, char**, std::string*) {
  ReleaseOwnConsole();
  return new Win32Ui();
}

}  // namespace brisvel
