#include "app/open_desktop.h"
#include "app/program.h"
#include "app/standard_streams.h"

int main(int argc, char** argv) {
  brisvel::OpenClosedStandardStreams();
  return brisvel::RunProgram(argc, argv, brisvel::OpenDesktop);
}
