#include "engine/job_runner.h"

#include <optional>

#include "core/job_settings.h"
#include "core/text.h"
#include "engine/copy_loop.h"
#include "engine/destination_claim.h"
#include "engine/error_reason.h"
#include "engine/excluded_folder.h"
#include "engine/job_context.h"
#include "engine/leftovers.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

enum class JobOutcome { kNextJob, kEndRun };

// The texts of one job's progress: "Running 'name'..." with long names shortened.
std::string RunningText(const std::string& name) {
  const std::string shortName = ShortName(name);
  if (shortName == name) return "Running '" + name + "'...";
  return "Running '" + shortName + "...'";
}

class JobRun {
 public:
  JobRun(RunEnvironment& env, BackupJob& job)
      : env_(env), context_(env.fs, env.view, env.state, job, log_) {}

  JobOutcome Run() {
    BackupJob& job = context_.job;
    if (job.source.empty() || job.destination.empty()) return Close();
    context_.AddRow("Running '" + job.name + "'...", kBlack);
    if (!DriveConnected()) return JobOutcome::kNextJob;
    env_.state.jobsRun.fetch_add(1);
    if (!EnsureFolderPath(env_.fs, job.destination)) {
      context_.AddRow("Cannot create " + job.destination, kRed);
      context_.CountError();
      return Close();
    }
    ShowRunning();
    job.source = WithTrailingSeparator(job.source);
    job.destination = WithTrailingSeparator(job.destination);
    if (!ClaimDestination()) return Close();
    context_.extensionFilter = job.Has(kUseFilter) ? BuildExtensionFilter(job.filter) : "";
    context_.exclusions = ExclusionPatterns(SplitPatterns(job.exclude));
    OpenLog();
    context_.sharedWith = OtherJobInDestination();
    if (job.Has(kDeleteOrphans)) {
      // Every file a Move took is missing from the source afterwards: deleting orphans would
      // delete the only copies of the files moved before.
      if (job.Has(kMoveInsteadOfCopy)) {
        context_.AddRow("Orphans are kept in a Move job.", kGrey);
      } else if (!context_.sharedWith.empty()) {
        // Another job's files are never in this job's source: deleting them would undo that
        // job's backup at every run, and lose the only copies of the files it moved.
        context_.AddRow("Orphans are kept: job '" + context_.sharedWith +
                            "' also backs up into this destination.",
                        kGrey);
      } else {
        RunOrphanPhase(context_);
      }
    }
    const int64_t errorsBeforeScan = env_.state.errorCount.load();
    ScanSource();
    // A cancel during the scan ends the run without the job's closing steps.
    if (env_.state.Cancelled()) return JobOutcome::kEndRun;
    // Every destination folder the job reaches was passed, unless the scan met an error on
    // its way: the leftovers of killed runs that reached no further are gone.
    if (env_.state.errorCount.load() == errorsBeforeScan) claim_->ForgetKilledRuns(Reach());
    if (context_.foundCount == 0) {
      context_.AddRow("No files found.", kGrey);
    } else {
      RunCopyLoop(context_);
    }
    context_.extensionFilter.clear();
    context_.exclusions = ExclusionPatterns();
    return Close();
  }

 private:
  // A job that needs a drive of its own is skipped without writing anything while the drive
  // is away: not even its destination folder or its log.
  bool DriveConnected() {
    const BackupJob& job = context_.job;
    if (!job.needsDrive || BackupDriveConnected(env_.fs, job.destination, env_.computerFolders)) {
      return true;
    }
    context_.AddRow("Backup drive not connected: " + job.destination, kBlack);
    context_.AddRow("", kBlack);
    env_.drivesNotConnected.push_back(job.destination);
    return false;
  }

  // One run at a time works in a destination, and never in its own source.
  bool ClaimDestination() {
    const BackupJob& job = context_.job;
    claim_.emplace(env_.fs, job.destination, Reach());
    std::string problem;
    if (claim_->status() == DestinationClaim::Status::kBusy) {
      problem = "Another run is using " + job.destination + ", job skipped";
    } else if (claim_->status() == DestinationClaim::Status::kBusyAround) {
      problem = "Another run is using " + claim_->HolderAround() + ", which contains " +
                job.destination + ", job skipped";
    } else if (claim_->status() == DestinationClaim::Status::kUnwritable) {
      // Without the marker a Move cannot tell its destination under another name; a copy
      // onto itself harms nothing, so a copy job goes on (its copies then fail visibly).
      if (!job.Has(kMoveInsteadOfCopy)) return true;
      problem = "Cannot write to " + job.destination;
    } else if (HoldsMarker(env_.fs, job.source, claim_->MarkerName())) {
      problem = "Source and destination are the same folder: " + job.source;
    }
    if (problem.empty()) {
      context_.runMarker = claim_->MarkerName();
      context_.destinationIgnoresCase = claim_->IgnoresCase();
      context_.mayHoldLeftovers = claim_->MayHoldLeftovers();
      return true;
    }
    context_.AddRow(problem, kRed);
    context_.CountError();
    return false;
  }

  // The name of another job of the list, enabled or not, that backs up into this job's
  // destination, or into a folder inside it or around it; empty when there is none. A copy
  // job of the same source into the same folder (a job kept twice) does not count: its
  // files are this job's.
  std::string OtherJobInDestination() const {
    const BackupJob& job = context_.job;
    FileSystem& fs = env_.fs;
    const std::optional<std::string> mine = fs.RealPath(job.destination);
    if (!mine) return "";
    const std::optional<std::string> mySource = fs.RealPath(job.source);
    for (int position = 0; position < env_.jobs.Count(); ++position) {
      const BackupJob& other = env_.jobs.At(position);
      if (&other == &job) continue;
      const std::optional<std::string> theirs = fs.RealPath(other.destination);
      if (!theirs || (!RelativeInside(*mine, *theirs) && !RelativeInside(*theirs, *mine))) continue;
      const bool twin = !other.Has(kMoveInsteadOfCopy) && *theirs == *mine &&
                        fs.RealPath(other.source) == mySource;
      if (!twin) return other.name;
    }
    return "";
  }

  // The folders of the destination this job writes in.
  DestinationClaim::Reach Reach() const {
    return context_.job.Has(kIncludeSubFolders) ? DestinationClaim::Reach::kSubFolders
                                                : DestinationClaim::Reach::kTopFolder;
  }

  void ShowRunning() {
    std::string running = RunningText(context_.job.name);
    env_.view.SetTrayTip(std::string("Brisvel\n") + running);
    env_.view.SetJobLine(running + "...");
  }

  // A log that cannot be written is a red row and an error; the job itself still runs.
  void OpenLog() {
    const BackupJob& job = context_.job;
    if (!job.Has(kUpdateLogFile) || job.logFile.empty()) return;
    if (!StaysInsideFolder(job.logFile)) {
      context_.AddRow("Log file must lie inside the destination folder: " + job.logFile, kRed);
      context_.CountError();
      return;
    }
    const std::string path = job.destination + job.logFile;
    if (const std::string_view prefix = LeftoverPrefixOf(LogFileInBackup(job)); !prefix.empty()) {
      // The run would delete it as a leftover while it is being written.
      context_.AddRow("Couldn't open log file " + path + ": " + LeftoverNameReason(prefix), kRed);
      context_.CountError();
      return;
    }
    if (const std::string link = FirstLinkOnTheWay(job.destination, job.logFile); !link.empty()) {
      context_.AddRow("Couldn't open log file " + path + ": " + link + " is a link", kRed);
      context_.CountError();
      return;
    }
    logPath_ = path;
    if (const Status opened = OpenLogFile(); !opened.ok()) {
      context_.AddRow("Couldn't open log file " + path + Because(opened.error()), kRed);
      context_.CountError();
      return;
    }
    log_.WriteHeader(job, env_.now(), !context_.extensionFilter.empty());
  }

  // Opens the log file from the destination folder, never through a link: one swapped in
  // since the check above makes the open fail.
  Status OpenLogFile() {
    FileSystem& fs = env_.fs;
    const std::string logFile = LogFileInBackup(context_.job);
    const Folder folder =
        fs.OpenFolderIn(fs.OpenFolder(context_.job.destination), FolderPart(logFile));
    if (!folder) return Status::Failure(folder.Error());
    return log_.Open(fs, folder, FilePart(logFile));
  }

  // Links in the destination are never written through: the first part of `relative` (a
  // folder on its way, with its separator, or the whole path) that is a link in `folder`.
  std::string FirstLinkOnTheWay(const std::string& folder, const std::string& relative) {
    for (size_t end = 0; end < relative.size(); ++end) {
      const bool last = end + 1 == relative.size();
      if (!IsAnySeparator(relative[end]) && !last) continue;
      // Looked up without its separator, which would follow the link.
      const std::string entry = relative.substr(0, last ? end + 1 : end);
      const FileFacts facts = context_.fs.EntryFacts(folder + entry);
      if (facts.size != kNothingThere && facts.kind == EntryKind::kLink) {
        return relative.substr(0, end + 1);
      }
    }
    return "";
  }

  void ScanSource() {
    context_.foundCount = 0;
    context_.baseLength = context_.job.source.size();
    if (!context_.extensionFilter.empty()) context_.AddRow("Using file extension filter.", kGrey);
    if (!context_.exclusions.Empty()) {
      context_.AddRow("Leaving out: " + Trim(context_.job.exclude), kGrey);
    }
    context_.AddRow("Scanning for new files...", kGrey);
    ScanNewFiles(context_);
  }

  JobOutcome Close() {
    const BackupJob& job = context_.job;
    if (job.Has(kOpenFolderWhenDone) && !env_.state.Cancelled() && env_.openFolder) {
      env_.openFolder(job.destination);
    }
    if (log_.IsOpen()) {
      log_.WriteLine("");
      if (!log_.Close()) {
        context_.AddRow("Couldn't write log file " + logPath_ + Because(log_.WriteError()), kRed);
        context_.CountError();
      }
    }
    context_.AddRow("", kBlack);
    context_.candidates.Clear();
    claim_.reset();
    return JobOutcome::kNextJob;
  }

  RunEnvironment& env_;
  BackupLog log_;
  std::string logPath_;
  JobContext context_;
  std::optional<DestinationClaim> claim_;
};

std::string Counted(int64_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + Plural(count);
}

void AddRunRow(RunEnvironment& env, const std::string& text) {
  env.view.AddRow(env.state.logRow.fetch_add(1), text, kBlack);
}

void ReturnToProgram(RunEnvironment& env) {
  env.view.SelectFinishChoice(kFinishReturn);
  env.settings.finishAction = kFinishReturn;
}

void WriteSummary(RunEnvironment& env, bool cancelled) {
  const int64_t copied = env.state.copiedTotal;
  const int64_t deleted = env.state.deletedTotal;
  const int64_t errors = env.state.errorCount;
  AddRunRow(env, "Copied " + Counted(copied, "total file") + ".");
  if (deleted > 0) AddRunRow(env, "Deleted " + Counted(deleted, "total orphan file") + ".");
  if (errors > 0) AddRunRow(env, Counted(errors, "error") + " encountered.");
  env.view.RefreshSettingsPanel();
  if (cancelled) {
    ReturnToProgram(env);
    AddRunRow(env, "Job(s) cancelled.");
  } else {
    AddRunRow(env, "Finished all jobs.");
  }
}

void ShowFinalStatus(RunEnvironment& env, bool cancelled) {
  const int64_t errors = env.state.errorCount;
  std::string status;
  if (errors > 0) {
    status = Counted(errors, "Error") + (cancelled ? ", Cancelled by User" : " (See Log)");
    env.view.SetBarColour(kBarRed);
    ReturnToProgram(env);
  } else if (cancelled) {
    status = "Cancelled by User";
  }
  env.view.SetStatus(status);
}

// Either the window waits for OK, or the main loop is asked to exit or shut down. `finish` is
// the action chosen for the run: errors switch the window's choice to "Open Brisvel when
// finished", yet a run told to shut the computer down still does.
void DecideEnd(RunEnvironment& env, bool cancelled, int32_t finish) {
  const bool logShown = env.state.logShown != 0;
  const bool errors = env.state.errorCount > 0;
  if (cancelled || finish == kFinishReturn || ((logShown || errors) && finish != kFinishShutdown)) {
    env.view.WaitForOk();
    return;
  }
  env.state.finishRequest = finish == kFinishShutdown ? kShutdownRequest : kExitRequest;
}

void FinishRun(RunEnvironment& env) {
  env.view.SetTrayTip("Brisvel");
  env.view.EnableFinishChoice(false);
  env.view.SetJobLine("Jobs Complete");
  env.view.SetProgressMax(1);
  env.view.SetProgressValue(1);
  env.view.SetBarColour(kBarBlue);
  const bool cancelled = env.state.Cancelled();
  const int32_t chosenFinish = env.settings.finishAction;
  WriteSummary(env, cancelled);
  ShowFinalStatus(env, cancelled);
  env.view.FitLogColumn();
  env.state.runState = kFinished;
  DecideEnd(env, cancelled, chosenFinish);
}

}  // namespace

void JobRunner(RunEnvironment& env) {
  env.state.errorCount = 0;
  env.state.jobsRun = 0;
  env.drivesNotConnected.clear();
  for (int position = 0; position < env.jobs.Count(); ++position) {
    if (env.state.Cancelled()) break;
    env.jobs.Select(position);
    BackupJob& job = env.jobs.At(position);
    if (!job.Has(kEnabled)) continue;
    if (JobRun(env, job).Run() == JobOutcome::kEndRun) break;
  }
  FinishRun(env);
}

}  // namespace brisvel
