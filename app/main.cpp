#include "app/program.h"

int main(int argc, char** argv) {
  return brisvel::RunProgram(argc, argv);
}
