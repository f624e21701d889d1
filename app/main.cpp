#include "app/program.h"
#include "app/qt_desktop.h"

int main(int argc, char** argv) {
  return brisvel::RunProgram(argc, argv, brisvel::OpenQtDesktop);
}
