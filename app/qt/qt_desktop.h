// Opens the desktop: the Qt application and its backend. Declared without Qt, so that the
// start-up code chooses between the terminal and the desktop without including the toolkit.
#pragma once

#include <memory>

#include "app/ui/ui.h"

namespace brisvel {

// `argc` must outlive the returned backend, which owns the application. Null when the X server
// does not answer.
std::unique_ptr<Ui> OpenQtDesktop(int& argc, char** argv);

}  // namespace brisvel
