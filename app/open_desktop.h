// Opening the desktop's window system. Declared without the toolkit, which the program loads
// only here: on Linux a module beside the program, on Windows the backend linked in.
#pragma once

#include <memory>
#include <string>

#include "app/ui/backends.h"

namespace brisvel {

struct DesktopOpening {
  std::unique_ptr<DesktopUi> ui;
  std::string failure;  // why there is none: "the display does not answer", say
};

// Opens the desktop on the calling thread, which becomes its GUI thread. `argc` must outlive
// the desktop.
DesktopOpening OpenDesktop(int& argc, char** argv);

}  // namespace brisvel
