// The system's log, for the one line that an unwatched run leaves when it fails.
#pragma once

#include <string>

namespace brisvel {

// Linux: the line on standard error, which the journal keeps for a systemd service (and a
// terminal shows). Windows: a warning in the event log's Application log, and the line on
// standard error when there is one.
void WriteSystemLog(const std::string& line);

}  // namespace brisvel
