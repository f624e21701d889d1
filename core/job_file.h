// Job files (.jbs): an XML document whose root carries the run settings and whose "job"
// children carry one job each.
#pragma once

#include <string>

#include "core/job_list.h"
#include "core/job_list_view.h"
#include "core/run_settings.h"

namespace brisvel {

// Reads a job file into `jobs` and `settings` and shows the jobs in `view`. Returns 1 when at
// least one job was loaded, else 0. Shows its own messages through `view`:
// "Couldn't load '<file>'!" (nothing changed), "Not a valid Brisvel file!" (nothing changed),
// "No valid jobs were found in the file!" (the list then holds one default job), and, when a
// limit of the reader cut the file short, "Reading the job file stopped at <the limit>; ...".
// Relative folders in the file are taken as lying beside the job file.
int LoadJobFile(const std::string& path, JobList& jobs, RunSettings& settings, JobListView& view);

// Writes `jobs` and `settings` to `path`, taking the row check boxes, "Run in Tray" and the
// finish choice from `view` first. The file is written beside the target under a temporary
// name and renamed over it, so a failed save leaves the old file as it was. Returns non-zero
// on success, 0 on failure; shows no message.
int SaveJobFile(const std::string& path, JobList& jobs, RunSettings& settings, JobListView& view);

// The bytes SaveJobFile writes, for the list and settings as they are.
std::string JobFileText(const JobList& jobs, const RunSettings& settings);

}  // namespace brisvel
