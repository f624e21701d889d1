// The ordered list of jobs with its current job. Row i of the job list view shows job i.
#pragma once

#include <vector>

#include "core/backup_job.h"

namespace brisvel {

class JobListView;

class JobList {
 public:
  int Count() const { return static_cast<int>(jobs_.size()); }
  bool Empty() const { return jobs_.empty(); }

  void Clear();
  // Appends a job with empty texts, no flag and compare method 0, and makes it current.
  BackupJob& Append();
  // Appends `job` and makes it current.
  BackupJob& Append(const BackupJob& job);

  // Makes job `position` current; false (and no change) when there is no such job.
  bool Select(int position);
  // Row of the current job, or -1 when the list is empty.
  int CurrentPosition() const { return current_; }
  BackupJob* Current() { return current_ < 0 ? nullptr : &jobs_[current_]; }

  // Removes the current job; the same position stays current, or the new last one.
  void DeleteCurrent();

  BackupJob& At(int position) { return jobs_[position]; }
  const BackupJob& At(int position) const { return jobs_[position]; }

  auto begin() { return jobs_.begin(); }
  auto end() { return jobs_.end(); }
  auto begin() const { return jobs_.begin(); }
  auto end() const { return jobs_.end(); }

 private:
  std::vector<BackupJob> jobs_;
  int current_ = -1;
};

// Sets each job's enabled flag from the check box of its row (row i is job i).
void SyncEnabledFromView(JobList& jobs, JobListView& view);

// Appends the default job, adds its row "New Job" and refreshes the settings panel.
void AddDefaultJob(JobList& jobs, JobListView& view);

// True when some enabled job has both a source and a destination.
bool HasRunnableJob(const JobList& jobs);

}  // namespace brisvel
