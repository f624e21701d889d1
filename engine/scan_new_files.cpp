#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/case_folding.h"
#include "core/text.h"
#include "engine/destination_claim.h"
#include "engine/error_reason.h"
#include "engine/excluded_folder.h"
#include "engine/leftovers.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

// Walks one folder at a time: a folder's listing is closed before its sub-folders are
// entered, so a deep tree never holds more than one listing open.
class NewFileScan {
 public:
  explicit NewFileScan(JobContext& context)
      : context_(context), logFile_(LogFileInBackup(context.job)) {}

  void Walk(const std::string& folder) {
    const std::string relative = folder.substr(context_.baseLength);
    const BackupJob& job = context_.job;
    if (!relative.empty() && !SafeToEnter(folder, relative)) return;
    if (!EnsureDestinationFolder(relative)) return;
    if (Excluded().IsWholeWalk()) return;
    if (context_.mayHoldLeftovers) {
      RemoveLeftovers(context_.fs, job.destination + relative, kCopyPrefix);
    }
    std::vector<std::string> subFolders;
    if (!ReadEntries(folder, relative, subFolders)) return;
    for (const std::string& name : subFolders) {
      if (context_.state.Cancelled()) break;
      Walk(folder + name + kPathSeparator);
    }
    // A source folder left empty by the move goes too, the job's source folder included.
    if (job.Has(kMoveInsteadOfCopy)) RemoveFolderIfEmpty(context_.fs, folder);
  }

 private:
  // A source sub-folder is left out when it is the destination under another name, and when
  // its place in the destination is taken by a link, which is never written through.
  bool SafeToEnter(const std::string& folder, const std::string& relative) {
    if (HoldsMarker(context_.fs, folder, context_.runMarker)) return false;
    const FileFacts there = context_.fs.EntryFacts(context_.job.destination + relative);
    if (there.size == kNothingThere || there.kind != EntryKind::kLink) return true;
    context_.AddRow("Left alone a link in the backup: " + relative, kRed);
    context_.CountError();
    return false;
  }

  // Collects the files of `folder` and, with sub-folders on, the names of its sub-folders;
  // false when it cannot be listed.
  bool ReadEntries(const std::string& folder, const std::string& relative,
                   std::vector<std::string>& subFolders) {
    std::unique_ptr<FolderListing> listing = context_.fs.List(folder);
    if (!listing) {
      ReportUnreadable(folder, relative, errno);
      return false;
    }
    const BackupJob& job = context_.job;
    bool folderBegun = false;
    FolderEntry entry;
    while (!context_.state.Cancelled() && listing->Next(entry)) {
      if (entry.kind == EntryKind::kFolder) {
        if (Excluded().Matches(job.source, relative, entry.name)) continue;
        if (job.Has(kIncludeSubFolders)) {
          subFolders.push_back(entry.name);
        } else {
          EnsureDestinationFolder(relative + entry.name + kPathSeparator);
        }
      } else if (entry.kind == EntryKind::kFile &&
                 PassesFilter(context_.extensionFilter, entry.name)) {
        if (PlaceTakenByTheRun(relative, entry.name)) continue;
        if (!folderBegun) context_.candidates.BeginFolder(relative);
        folderBegun = true;
        AddCandidate(entry.name);
      }
      // Links to folders or to nothing, devices and pipes are never backed up.
    }
    return true;
  }

  // A file whose place in the backup the run itself uses is not backed up: the job's log
  // file would overwrite it, or be overwritten, and a later run removes files named like its
  // own leftovers. With Move it stays in the source.
  bool PlaceTakenByTheRun(const std::string& relative, const std::string& name) {
    // Asked for every file: most names have neither the log file's length nor a leading dot.
    // Where case is ignored, another spelling of the log file's name may differ in length.
    const bool logLength =
        context_.destinationIgnoresCase || relative.size() + name.size() == logFile_.size();
    if (!logLength && !name.starts_with('.')) return false;
    std::string reason;
    if (IsLogFile(relative + name)) {
      reason = "the job's log file has this name";
    } else if (const std::string_view prefix = LeftoverPrefixOf(relative + name); !prefix.empty()) {
      reason = LeftoverNameReason(prefix);
    } else {
      return false;
    }
    context_.AddRow("Couldn't copy " + relative + name + ": " + reason, kRed);
    context_.CountError();
    return true;
  }

  bool IsLogFile(const std::string& path) const {
    return context_.destinationIgnoresCase ? EqualIgnoringCase(path, logFile_) : path == logFile_;
  }

  // A folder that cannot be made would silently lose everything below it.
  bool EnsureDestinationFolder(const std::string& relative) {
    const std::string folder = context_.job.destination + relative;
    if (EnsureFolderPath(context_.fs, folder)) return true;
    context_.AddRow("Cannot create " + folder + Because(errno), kRed);
    context_.CountError();
    return false;
  }

  void ReportUnreadable(const std::string& folder, const std::string& relative, int error) {
    const bool isSource = relative.empty();
    if (isSource && context_.fs.FileSize(folder) != kIsFolder) {
      if (!context_.sourceMissingReported) ReportMissingSource(context_);
      return;
    }
    context_.AddRow("Couldn't read folder " + folder + Because(error), kRed);
    context_.CountError();
  }

  void AddCandidate(const std::string& name) {
    context_.candidates.Add(name);
    const int64_t found = ++context_.foundCount;
    context_.view.SetStatus("Found " + std::to_string(found) + " file" + Plural(found) + "...");
  }

  // Worked out on first use, once the destination folder surely exists.
  const ExcludedFolder& Excluded() {
    if (!excluded_) excluded_.emplace(context_.job.source, context_.job.destination);
    return *excluded_;
  }

  JobContext& context_;
  const std::string logFile_;
  std::optional<ExcludedFolder> excluded_;
};

}  // namespace

void ReportMissingSource(JobContext& context) {
  context.AddRow("Source folder not found: " + context.job.source, kRed);
  context.CountError();
  context.sourceMissingReported = true;
}

std::string LogFileInBackup(const BackupJob& job) {
  if (!job.Has(kUpdateLogFile) || !StaysInsideFolder(job.logFile)) return "";
  return TidyPath(job.logFile);
}

void ScanNewFiles(JobContext& context) {
  NewFileScan(context).Walk(context.job.source);
}

}  // namespace brisvel
