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

// Whether a window can be made at all: a service's session, or Wine without a display, has no
// desktop to show one on, and every window the program made would fail.
bool WindowsCanBeMade() {
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  if (probe == nullptr) return false;
  DestroyWindow(probe);
  return true;
}

}  // namespace

DesktopUi* BrisvelOpenDesktop(int*, char**, std::string* failure) {
  if (!WindowsCanBeMade()) {
    *failure = "no window can be made here";
    return nullptr;
  }
  ReleaseOwnConsole();
  return new Win32Ui();
}

}  // namespace brisvel
