// Everything the phases of one job work with: the services, the shared run state, and the
// per-job state the worker keeps to itself.
#pragma once

#include <cstdint>
#include <string>

#include "core/backup_job.h"
#include "core/exclusion_patterns.h"
#include "engine/backup_log.h"
#include "engine/candidate_list.h"
#include "engine/colour.h"
#include "engine/fs.h"
#include "engine/progress_view.h"
#include "engine/run_state.h"

namespace brisvel {

struct JobContext {
  JobContext(FileSystem& fs, ProgressView& view, SharedRunState& state, BackupJob& job,
             BackupLog& log)
      : fs(fs), view(view), state(state), job(job), log(log) {}

  FileSystem& fs;
  ProgressView& view;
  SharedRunState& state;
  BackupJob& job;  // folders end in a separator
  BackupLog& log;

  CandidateList candidates;
  std::string extensionFilter;  // "|ext|ext|" or empty
  size_t baseLength = 0;        // length of the folder relative paths are cut from
  int64_t foundCount = 0;
  bool sourceMissingReported = false;  // the job has its "Source folder not found" row
  // What the walks leave alone in both folders: never entered, copied, moved or deleted.
  ExclusionPatterns exclusions;
  // The file name that marks the destination folder during the job (empty when none).
  std::string runMarker;
  bool destinationIgnoresCase = false;
  // Temporary copies of a killed run may be left in the destination's folders.
  bool mayHoldLeftovers = true;
  // Another job of the list that backs up into this job's destination, or a folder inside
  // or around it ("" when none): its files may be there.
  std::string sharedWith;

  // Adds a log row at the shared log row and advances it.
  void AddRow(const std::string& text, Colour colour) {
    view.AddRow(state.logRow.fetch_add(1), text, colour);
  }
  void CountError() { state.errorCount.fetch_add(1); }
};

}  // namespace brisvel
