#include "engine/validation.h"

#include <string>

#include "core/case_folding.h"
#include "core/text.h"

namespace brisvel {

// Shows the job with the problem in the main window, then tells the user.
static void ReportProblem(JobList& jobs, JobListView& view, int position,
                          const std::string& message) {
  if (jobs.CurrentPosition() != position) {
    jobs.Select(position);
    view.SelectJobRow(position);
  }
  view.RefreshSettingsPanel();
  view.ShowMessage(message, MessageIcon::kInformation);
}

// The message for an enabled job that cannot run, or "" when it can.
static std::string ProblemOf(const BackupJob& job) {
  if (job.source.empty() || job.destination.empty()) {
    return "Specify valid folders for '" + job.name + "'.";
  }
  if (EqualIgnoringCase(job.source, job.destination)) {
    return "Source and destination folders must be different for '" + job.name + "'.";
  }
  return "";
}

bool ValidateAndRun(JobList& jobs, JobListView& view, RunSettings& settings,
                    const std::function<void()>& startRun) {
  SyncEnabledFromView(jobs, view);
  int enabledCount = 0;
  for (int position = 0; position < jobs.Count(); ++position) {
    const BackupJob& job = jobs.At(position);
    if (!job.Has(kEnabled)) continue;
    ++enabledCount;
    std::string problem = ProblemOf(job);
    if (!problem.empty()) {
      ReportProblem(jobs, view, position, problem);
      return false;
    }
  }
  if (enabledCount == 0) {
    view.ShowMessage("All jobs are disabled.", MessageIcon::kInformation);
    return false;
  }
  settings.hiddenRun = view.RunInTray() ? 1 : 0;
  settings.finishAction = view.FinishChoice();
  startRun();
  return true;
}

}  // namespace brisvel
