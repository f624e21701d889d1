#include "engine/job_runner.h"

#include "core/text.h"
#include "engine/destination_facts.h"
#include "engine/job_context.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

enum class JobOutcome { kNextJob, kEndRun };

// The texts of one job's progress: "Running 'name'..." with long names shortened.
std::string RunningText(const std::string& name) {
  if (name.size() < 25) return "Running '" + name + "'...";
  return "Running '" + ShortName(name) + "...'";
}

std::string CopyingText(const std::string& relativePath) {
  return "Copying '" + ShortName(FilePart(relativePath)) + "'...";
}

class JobRun {
 public:
  JobRun(RunEnvironment& env, BackupJob& job)
      : env_(env), context_(env.fs, env.view, env.state, job, log_) {}

  JobOutcome Run() {
    BackupJob& job = context_.job;
    if (job.source.empty() || job.destination.empty()) return Close();
    context_.AddRow("Running '" + job.name + "'...", kBlack);
    if (!EnsureFolderPath(env_.fs, job.destination)) {
      context_.AddRow("Cannot create " + job.destination, kRed);
      context_.CountError();
      return Close();
    }
    ShowRunning();
    job.source = WithTrailingSeparator(job.source);
    job.destination = WithTrailingSeparator(job.destination);
    context_.extensionFilter = job.Has(kUseFilter) ? BuildExtensionFilter(job.filter) : "";
    OpenLog();
    if (job.Has(kDeleteOrphans)) RunOrphanPhase(context_);
    ScanSource();
    // A cancel during the scan ends the run without the job's closing steps.
    if (env_.state.Cancelled()) return JobOutcome::kEndRun;
    if (context_.foundCount == 0) {
      context_.AddRow("No files found.", kGrey);
    } else {
      CopyCandidates();
    }
    context_.extensionFilter.clear();
    return Close();
  }

 private:
  void ShowRunning() {
    std::string running = RunningText(context_.job.name);
    env_.view.SetTrayTip(std::string("Brisvel\n") + running);
    env_.view.SetJobLine(running + "...");
  }

  void OpenLog() {
    const BackupJob& job = context_.job;
    if (!job.Has(kUpdateLogFile) || job.logFile.empty()) return;
    if (!log_.Open(job.destination + job.logFile)) return;  // the job runs without its log
    log_.WriteHeader(job, env_.now(), !context_.extensionFilter.empty());
  }

  void ScanSource() {
    context_.foundCount = 0;
    context_.baseLength = context_.job.source.size();
    if (!context_.extensionFilter.empty()) context_.AddRow("Using file extension filter.", kGrey);
    context_.AddRow("Scanning for new files...", kGrey);
    ScanNewFiles(context_, context_.job.source, 1);
  }

  void CopyCandidates() {
    const BackupJob& job = context_.job;
    const bool move = job.Has(kMoveInsteadOfCopy);
    env_.view.SetProgressMax(context_.foundCount);
    env_.view.SetBarColour(kBarGreen);
    std::string previousFolder;
    std::string currentFolder;
    DestinationFacts destinationFacts(env_.fs, job.destination, context_.candidates);
    std::unique_ptr<FolderFacts> sourceFacts;
    for (size_t index = 0; index < context_.candidates.Size(); ++index) {
      if (env_.state.Cancelled()) break;
      env_.view.SetProgressValue(static_cast<int64_t>(index));
      const std::string relative = context_.candidates.Path(index);
      previousFolder = std::move(currentFolder);
      currentFolder = job.source + context_.candidates.Folder(index);
      if (!sourceFacts || currentFolder != previousFolder)
        sourceFacts = env_.fs.FactsIn(currentFolder);
      const std::string& name = context_.candidates.Name(index);
      if (NeedsCopy(context_, relative, destinationFacts.At(index),
                    [&] { return sourceFacts->Of(name); })) {
        CopyOne(relative, move);
      } else {
        SetStatus("Comparing Files...");
        // An unchanged file is already in the backup: moving it only removes the source.
        if (move) env_.fs.DeleteFile(job.source + relative);
      }
      if (move && !previousFolder.empty() && previousFolder != currentFolder) {
        RemoveFolderIfEmpty(env_.fs, previousFolder);
      }
    }
    if (move && !currentFolder.empty()) RemoveFolderIfEmpty(env_.fs, currentFolder);
    context_.AddRow("Found " + std::to_string(context_.foundCount) + " file" +
                        Plural(context_.foundCount) + ".",
                    kGrey);
  }

  void CopyOne(const std::string& relative, bool move) {
    const BackupJob& job = context_.job;
    SetStatus(CopyingText(relative));
    if (!env_.fs.CopyFile(job.source + relative, job.destination + relative)) {
      context_.AddRow("Couldn't copy " + relative, kRed);
      context_.CountError();
      return;
    }
    env_.state.copiedTotal.fetch_add(1);
    if (move && env_.fs.DeleteFile(job.source + relative)) {
      context_.AddRow("Moved " + relative, kGreen);
      log_.WriteLine(" . Moved: " + relative);
      return;
    }
    context_.AddRow("Copied " + relative, move ? kOlive : kGreen);
    log_.WriteLine(" . Copied: " + relative);
  }

  // The status line changes only when its text does: a run of unchanged files would
  // otherwise repaint it once per file.
  void SetStatus(const std::string& text) {
    if (text == lastStatus_) return;
    lastStatus_ = text;
    env_.view.SetStatus(text);
  }

  JobOutcome Close() {
    const BackupJob& job = context_.job;
    if (job.Has(kOpenFolderWhenDone) && !env_.state.Cancelled() && env_.openFolder) {
      env_.openFolder(job.destination);
    }
    if (log_.IsOpen()) {
      log_.WriteLine("");
      log_.Close();
    }
    context_.AddRow("", kBlack);
    context_.candidates.Clear();
    return JobOutcome::kNextJob;
  }

  RunEnvironment& env_;
  BackupLog log_;
  JobContext context_;
  std::string lastStatus_;
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
