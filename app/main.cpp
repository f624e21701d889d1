#include "app/program.h"
#include "app/standard_streams.h"
#ifndef _WIN32
#include "app/qt_desktop.h"
#endif

int main(int argc, char** argv) {
  brisvel::OpenClosedStandardStreams();
#ifdef _WIN32
  // No window backend for Windows yet: the program runs in its console.
  return brisvel::RunProgram(argc, argv, nullptr);
#else
  return brisvel::RunProgram(argc, argv, brisvel::OpenQtDesktop);
#endif
}
