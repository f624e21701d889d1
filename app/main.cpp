#include "app/program.h"
#include "app/standard_streams.h"
#ifdef _WIN32
#include "app/win32/desktop_win32.h"
#else
#include "app/qt/qt_desktop.h"
#endif

int main(int argc, char** argv) {
  brisvel::OpenClosedStandardStreams();
#ifdef _WIN32
  return brisvel::RunProgram(argc, argv, brisvel::OpenWin32Desktop);
#else
  return brisvel::RunProgram(argc, argv, brisvel::OpenQtDesktop);
#endif
}
