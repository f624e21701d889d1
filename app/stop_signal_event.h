// How a desktop backend hears a stop signal while it waits for window events.
#pragma once

#include <optional>

#include "app/console/console_terminal.h"
#include "app/ui/ui.h"

namespace brisvel {

// A stop signal (a session's SIGTERM or SIGHUP, Ctrl+C or the console closing) also asks the
// program to close, as the main window's close box does: an idle program ends, a shutdown
// countdown is cancelled, and during a run, where the signal has pressed STOP already, the
// main window ignores it. Returns that close request once per signal not yet seen; `seen`
// counts them.
inline std::optional<UiEvent> StopSignalEvent(int& seen) {
  const int interrupts = InterruptCount();
  if (interrupts <= seen) return std::nullopt;
  seen = interrupts;
  return UiEvent{kMainWindow, 0, EventType::kCloseRequest};
}

}  // namespace brisvel
