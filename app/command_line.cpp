#include "app/command_line.h"

#include "core/job_file.h"
#include "core/job_settings.h"
#include "core/text.h"

namespace brisvel {
namespace {

bool IsJobFile(FileSystem& fs, const std::string& path) {
  return fs.FileSize(path) > 0;
}

// "silent", "tray" and "shutdown", shared by the job-file and the one-off forms. True when
// `word` was one of them.
bool ApplyFinishWord(const std::string& word, RunSettings& settings) {
  if (word == "silent" || word == "tray") {
    settings.hiddenRun = 1;
    settings.finishAction = kFinishExit;
  } else if (word == "shutdown") {
    settings.finishAction = kFinishShutdown;
  } else {
    return false;
  }
  return true;
}

// Switches one option of the job on; false when `word` names none.
bool ApplyJobWord(const std::string& word, BackupJob& job) {
  if (word == "recursive" || word == "subfolders") {
    job.Set(kIncludeSubFolders, true);
  } else if (word == "move") {
    job.Set(kMoveInsteadOfCopy, true);
  } else if (word == "orphan" || word == "orphans") {
    job.Set(kDeleteOrphans, true);
  } else if (word == "open" || word == "openpath" || word == "openfolder") {
    job.Set(kOpenFolderWhenDone, true);
  } else if (word == "date" || word == "moddate" || word == "modified") {
    job.compareMethod = kCompareDate;
  } else if (word == "crc" || word == "crc32") {
    job.compareMethod = kCompareCrc32;
  } else if (word == "md5") {
    job.compareMethod = kCompareMd5;
  } else if (word == "size" || word == "filesize") {
    job.compareMethod = kCompareSize;
  } else if (word == "needsdrive") {
    job.needsDrive = true;
  } else if (word == "versions") {
    job.keepVersions = true;
  } else {
    return false;
  }
  return true;
}

bool TakesValue(const std::string& word) {
  return word == "log" || word == "filter" || word == "versionfolder" || word == "keepruns" ||
         word == "keepdays" || word == "maxdelete" || word == "exclude";
}

// Takes the value of a word that has one; returns why it cannot be taken, or "".
std::string ApplyValueWord(const std::string& word, const std::string& value, BackupJob& job) {
  if (word == "log") {
    job.Set(kUpdateLogFile, true);
    job.logFile = value;
  } else if (word == "filter") {
    job.Set(kUseFilter, true);
    job.filter = Trim(value);
  } else if (word == "exclude") {
    job.exclude = value;
  } else if (word == "versionfolder") {
    if (!VersionFolderAllowed(value)) {
      return "versionfolder must be a full path or lie inside the destination folder, not '" +
             PrintableText(value) + "'.";
    }
    job.versionFolder = value;
  } else if (word == "maxdelete") {
    const std::optional<DeletionLimit> limit = ParseDeletionLimit(value);
    if (!limit) {
      return "maxdelete takes a number of files or a percentage from 0% to 100%, not '" +
             PrintableText(value) + "'.";
    }
    job.maxDelete = *limit;
  } else {
    const std::optional<int32_t> count = ParseCount(value);
    if (!count) {
      return word + " takes a whole number from 0 to " + std::to_string(kMaxCount) + ", not '" +
             PrintableText(value) + "'.";
    }
    (word == "keepruns" ? job.keepRuns : job.keepDays) = *count;
  }
  return "";
}

StartDecision ShowMainWindow(JobList& jobs, JobListView& view, std::string reason, bool showUsage) {
  if (jobs.Empty()) AddDefaultJob(jobs, view);
  StartDecision decision;
  decision.reason = std::move(reason);
  decision.showUsage = showUsage;
  return decision;
}

StartDecision JobFileForm(const Arguments& arguments, JobList& jobs, RunSettings& settings,
                          JobListView& view) {
  StartDecision decision;
  decision.mode = StartMode::kRun;
  if (!LoadJobFile(arguments[0], jobs, settings, view)) {
    decision = ShowMainWindow(jobs, view, "", false);  // the loader has told why
    decision.failure = "The job file could not be loaded.";
  } else {
    for (size_t i = 1; i < arguments.Count(); ++i) {
      const std::string word = ToLower(arguments[i]);
      if (word == "preview") decision.preview = true;
      ApplyFinishWord(word, settings);
    }
    if (!HasRunnableJob(jobs)) {
      decision = ShowMainWindow(
          jobs, view,
          "No enabled job in '" + arguments[0] + "' has both a source and a destination folder.",
          false);
      decision.failure = "No enabled job has both a source and a destination folder.";
    }
  }
  decision.runName = arguments[0];
  return decision;
}

StartDecision EditForm(const Arguments& arguments, JobList& jobs, RunSettings& settings,
                       JobListView& view, FileSystem& fs) {
  if (IsJobFile(fs, arguments[1])) LoadJobFile(arguments[1], jobs, settings, view);
  return ShowMainWindow(jobs, view, "Jobs are edited in the main window, which needs a desktop.",
                        true);
}

StartDecision BackupForm(const Arguments& arguments, JobList& jobs, RunSettings& settings,
                         JobListView& view, FileSystem& fs) {
  const std::string source = WithTrailingSeparator(arguments[1]);
  if (source.empty() || fs.FileSize(source) != kIsFolder) {
    return ShowMainWindow(jobs, view, "Source folder not found: " + arguments[1], true);
  }
  if (arguments[2].empty()) {
    return ShowMainWindow(jobs, view, "No destination folder given.", true);
  }
  AddDefaultJob(jobs, view);
  BackupJob& job = *jobs.Current();
  job = CommandLineJob(source, arguments[2]);
  settings.hiddenRun = 0;
  settings.finishAction = kFinishExit;
  const OptionWordsResult words = ApplyOptionWords(arguments, 3, job, settings);
  view.RefreshSettingsPanel();
  if (!words.problem.empty()) {
    view.ShowMessage(words.problem, MessageIcon::kWarning);
    return ShowMainWindow(jobs, view, "", true);
  }
  StartDecision decision;
  decision.mode = StartMode::kRun;
  decision.preview = words.preview;
  decision.runName = "Backup of " + job.source + " into " + job.destination;
  return decision;
}

}  // namespace

ProgramOptions ReadProgramOptions(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  size_t next = 0;
  for (; next < arguments.size(); ++next) {
    const std::string& option = arguments[next];
    if (option == "--console") {
      options.console = true;
    } else if (option == "--help") {
      options.help = true;
    } else if (option == "--version") {
      options.version = true;
    } else if (option == "--scheduled") {
      options.scheduled = true;
    } else {
      break;
    }
  }
  options.arguments.assign(arguments.begin() + static_cast<ptrdiff_t>(next), arguments.end());
  return options;
}

const std::string& Arguments::operator[](size_t index) const {
  static const std::string kNone;
  return index < arguments_.size() ? arguments_[index] : kNone;
}

OptionWordsResult ApplyOptionWords(const Arguments& arguments, size_t first, BackupJob& job,
                                   RunSettings& settings) {
  OptionWordsResult result;
  for (size_t i = first; i < arguments.Count(); ++i) {
    const std::string word = ToLower(arguments[i]);
    if (ApplyJobWord(word, job) || ApplyFinishWord(word, settings)) continue;
    if (word == "preview") {
      result.preview = true;
      continue;
    }
    // A value is taken only when there is one; otherwise the word changes nothing.
    if (!TakesValue(word) || arguments[i + 1].empty()) continue;
    std::string problem = ApplyValueWord(word, arguments[++i], job);
    if (result.problem.empty()) result.problem = std::move(problem);
  }
  return result;
}

bool IsScheduleCommand(const Arguments& arguments, FileSystem& fs) {
  return ToLower(arguments[0]) == "schedule" && !IsJobFile(fs, arguments[0]);
}

StartDecision ReadCommandLine(const Arguments& arguments, JobList& jobs, RunSettings& settings,
                              JobListView& view, FileSystem& fs, bool scheduled) {
  if (IsJobFile(fs, arguments[0])) return JobFileForm(arguments, jobs, settings, view);
  if (scheduled) {
    StartDecision decision =
        ShowMainWindow(jobs, view, "Job file not found: " + arguments[0], false);
    decision.runName = arguments[0];
    decision.failure = "Job file not found.";
    return decision;
  }
  const std::string form = ToLower(arguments[0]);
  if (form == "open" || form == "edit") return EditForm(arguments, jobs, settings, view, fs);
  if (form == "backup") return BackupForm(arguments, jobs, settings, view, fs);
  return ShowMainWindow(jobs, view, "", true);
}

}  // namespace brisvel
