// The program as main() runs it: options, the choice of backend, the shell.
#pragma once

namespace brisvel {

// Runs the program with the process's arguments; returns its exit status.
int RunProgram(int argc, char** argv);

// Whether the terminal serves instead of the desktop: with "--console", or when neither an
// X11 nor a Wayland display is set (null or empty).
bool WantsConsole(bool consoleOption, const char* display, const char* waylandDisplay);

}  // namespace brisvel
