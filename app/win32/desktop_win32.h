// Opens the Windows desktop backend. Declared without the window headers, so that the start-up
// code chooses between the terminal and the desktop without including them.
#pragma once

#include <memory>

#include "app/ui/ui.h"

namespace brisvel {

std::unique_ptr<Ui> OpenWin32Desktop(int& argc, char** argv);

}  // namespace brisvel
