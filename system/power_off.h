// Switching the computer off at the end of a run.
#pragma once

namespace brisvel {

// Asks the system to power the computer off without forcing other programs to close
// ("systemctl poweroff", looked up on PATH, which honours shutdown inhibitors). Waits for the
// request to be handed over; whether it was granted is not examined, and nothing is reported.
void PowerOff();

}  // namespace brisvel
