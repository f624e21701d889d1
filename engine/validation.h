// The checks "Run Jobs" makes before a run.
#pragma once

#include <functional>

#include "core/job_list.h"
#include "core/job_list_view.h"
#include "core/run_settings.h"

namespace brisvel {

// Takes the check boxes into the jobs, checks every enabled job (folders given, source and
// destination different), tells the user of the first problem, and otherwise takes "Run in
// Tray" and the finish choice into `settings` and calls `startRun`. Returns true when the
// run was started.
bool ValidateAndRun(JobList& jobs, JobListView& view, RunSettings& settings,
                    const std::function<void()>& startRun);

}  // namespace brisvel
