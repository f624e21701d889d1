#include "core/job_list.h"

#include "core/job_list_view.h"

namespace brisvel {

void JobList::Clear() {
  jobs_.clear();
  current_ = -1;
}

BackupJob& JobList::Append() { return Append(BackupJob{}); }

BackupJob& JobList::Append(const BackupJob& job) {
  jobs_.push_back(job);
  current_ = Count() - 1;
  return jobs_.back();
}

bool JobList::Select(int position) {
  if (position < 0 || position >= Count()) return false;
  current_ = position;
  return true;
}

void JobList::DeleteCurrent() {
  if (current_ < 0) return;
  jobs_.erase(jobs_.begin() + current_);
  if (current_ >= Count()) current_ = Count() - 1;
}

void SyncEnabledFromView(JobList& jobs, JobListView& view) {
  for (int row = 0; row < jobs.Count(); ++row) jobs.At(row).Set(kEnabled, view.RowChecked(row));
}

void AddDefaultJob(JobList& jobs, JobListView& view) {
  jobs.Append(DefaultJob());
  view.AddJobRow(jobs.Count() - 1, kNewJobName, true);
  view.SelectJobRow(jobs.Count() - 1);
  view.RefreshSettingsPanel();
  view.FocusSourceField();
}

bool HasRunnableJob(const JobList& jobs) {
  for (const BackupJob& job : jobs) {
    if (job.Has(kEnabled) && !job.source.empty() && !job.destination.empty()) return true;
  }
  return false;
}

}  // namespace brisvel
