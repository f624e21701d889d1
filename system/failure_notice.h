// Telling the user that a run nobody watched failed: a run hidden in the notification area
// or started by a schedule. Silence cannot prove that a backup happened, so a failure is
// shown on the desktop and recorded in the system's log; a run that went well says nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace brisvel {

struct FailureNotice {
  std::string summary;  // "Backup ended with errors", "Backup did not run"
  std::string body;     // what ran and what happened: "/home/anna/photos.jbs: 3 errors"
};

// A run of `what` (a job file, or the one-off job) that counted `errors` errors.
FailureNotice ErrorsNotice(const std::string& what, int64_t errors);

// A run of `what` that could not start or ran no job, for `reason` ("Job file not found.").
FailureNotice NotRunNotice(const std::string& what, const std::string& reason);

// The one line the system's log receives: "Brisvel: " + summary + ": " + body, with control
// characters shown as '?' so that a name can never forge a line.
std::string SystemLogLine(const FailureNotice& notice);

// Writes the log line to the system's log (standard error, which the journal keeps for a
// systemd service; the event log on Windows) and shows the notice on the desktop where there
// is one.
void ReportFailure(const FailureNotice& notice);

// How the program reports: ReportFailure, or a test's recorder.
using FailureReporter = std::function<void(const FailureNotice&)>;

}  // namespace brisvel
