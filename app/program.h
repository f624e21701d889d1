// The program as main() runs it: options, the choice of backend, the shell.
#pragma once

#include <functional>

#include "app/open_desktop.h"

namespace brisvel {

// Opens the desktop's window system; it may adjust the arguments it recognises. Without one
// (the window system does not answer, the toolkit cannot be loaded) the program says why and
// runs in the terminal.
using DesktopOpener = std::function<DesktopOpening(int& argc, char** argv)>;

// Runs the program with the process's arguments; returns its exit status. The desktop is
// opened through `openDesktop` when a display is there and "--console" is not given.
int RunProgram(int argc, char** argv, const DesktopOpener& openDesktop);

// Whether the terminal serves instead of the desktop: with "--console", or when neither an
// X11 nor a Wayland display is set (null or empty).
bool WantsConsole(bool consoleOption, const char* display, const char* waylandDisplay);

}  // namespace brisvel
