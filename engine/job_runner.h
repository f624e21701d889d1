// The body of the worker thread: one run of every enabled job, in list order.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "core/job_list.h"
#include "core/run_settings.h"
#include "engine/backup_drive.h"
#include "engine/fs.h"
#include "engine/progress_view.h"
#include "engine/run_state.h"

namespace brisvel {

struct RunEnvironment {
  JobList& jobs;
  RunSettings& settings;
  SharedRunState& state;
  ProgressView& view;
  FileSystem& fs;
  // Opens a job's destination folder when it asks for that ("Open Folder when Done").
  std::function<void(const std::string&)> openFolder;
  // The time written into log-file headers.
  std::function<std::time_t()> now = [] { return std::time(nullptr); };
  // Folders on the computer's own drives, for the jobs that need a drive of their own.
  std::vector<std::string> computerFolders = ComputerFolders();
  // The destinations of the jobs skipped because their drive was not connected, in list
  // order; written by the worker, read once it has ended.
  std::vector<std::string> drivesNotConnected = {};
  // A preview: the run goes through every rule and shows what it would do, changing nothing.
  bool preview = false;
  // The bytes the preview's copies would read, for its totals; written by the worker.
  int64_t previewBytes = 0;
};

// Runs every enabled job, writes the rows, totals and final status, sets the run state to
// finished and then either waits for OK or raises the finish request. The caller (the run
// starter) has already set the run state to running and the totals and cancel flag to 0.
void JobRunner(RunEnvironment& env);

}  // namespace brisvel
