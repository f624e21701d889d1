// The entries of the backends, which the program calls without knowing them: each backend's
// folder defines its own.
#pragma once

#include <memory>
#include <string>

#include "app/ui/desktop_ui.h"

namespace brisvel {

// The terminal (app/console): log rows on standard output, the progress on standard error.
// Thread-safe.
std::unique_ptr<Ui> OpenTerminal();

// The desktop (app/qt on Linux, app/win32 on Windows): opens the window system on the calling
// thread, which becomes the GUI thread. `argc` and `argv` are what the toolkit may see of the
// command line; `*argc` must outlive the backend, which the caller deletes. Null, with
// `*failure` saying why, when the window system does not answer. On Linux the backend is a
// module that the program loads only when it opens windows, and looks this function up by
// its name, kOpenDesktopSymbol.
extern "C" DesktopUi* BrisvelOpenDesktop(int* argc, char** argv, std::string* failure);
using OpenDesktopFunction = decltype(&BrisvelOpenDesktop);
inline constexpr const char* kOpenDesktopSymbol = "BrisvelOpenDesktop";

}  // namespace brisvel
