// The states in which the screenshots show the windows, filled in by the program's own window
// code through whichever backend takes the pictures.
#pragma once

#include "app/main_window_view.h"
#include "app/progress_window.h"
#include "app/ui/ui.h"
#include "core/job_list.h"
#include "engine/run_state.h"

namespace brisvel {

// The main window with two jobs, the first selected.
void ShowMainWindow(Ui& ui, JobList& jobs, MainWindowView& view);
// The progress window during a run, its log shown with a row of every colour.
void ShowRunningWindow(ProgressWindow& progress, SharedRunState& state);
// The same window after the run, waiting for OK after an error.
void ShowFinishedWindow(ProgressWindow& progress);
// The shutdown countdown part of the way down.
void ShowShutdownWindow(Ui& ui);
// The Job Options window of a job that keeps old versions and leaves some folders out.
void ShowJobOptionsWindow(Ui& ui);
// The Schedule window of a job file run every Friday evening.
void ShowScheduleWindow(Ui& ui);

}  // namespace brisvel
