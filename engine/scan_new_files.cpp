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
#include "engine/folder_trail.h"
#include "engine/leftovers.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

// Walks the source and the destination side by side, one folder at a time, each by its open
// folders: a folder's listing is closed before its sub-folders are entered, and only the
// lowest levels stay open, so a deep tree never runs out of descriptors. A destination folder
// swapped for a link during the walk cannot be opened, so nothing is ever made through it.
class NewFileScan {
 public:
  explicit NewFileScan(JobContext& context)
      : context_(context), fs_(context.fs), logFile_(LogFileInBackup(context.job)) {}

  void Run() {
    const BackupJob& job = context_.job;
    Folder source = fs_.OpenFolder(job.source);
    if (!source) {
      ReportUnreadable(job.source, "", source.Error());
      return;
    }
    Folder destination = fs_.OpenFolder(job.destination);
    if (!destination) {
      ReportCannotCreate("", destination.Error());
      return;
    }
    if (Excluded().IsWholeWalk()) return;
    source_.emplace(fs_, std::move(source));
    destination_.emplace(fs_, std::move(destination));
    if (!WalkHere()) return;
    // A source folder left empty by the move goes too, the job's source folder included.
    if (job.Has(kMoveInsteadOfCopy)) RemoveFolderIfEmpty(fs_, job.source);
  }

 private:
  // Takes the files of the folder the walk is in and walks its sub-folders; false when the
  // folder cannot be listed to its end.
  bool WalkHere() {
    if (context_.mayHoldLeftovers) RemoveLeftovers(fs_, destination_->Here(), kCopyPrefix);
    std::vector<std::string> subFolders;
    if (!ReadEntries(subFolders)) return false;
    for (const std::string& name : subFolders) {
      if (context_.state.Cancelled()) break;
      WalkInto(name);
    }
    return true;
  }

  void WalkInto(const std::string& name) {
    const std::string relative = source_->Relative() + name + kPathSeparator;
    if (const Status entered = source_->Enter(name); !entered.ok()) {
      ReportUnreadable(context_.job.source + relative, relative, entered.error());
      return;
    }
    bool walked = false;
    // A source sub-folder is left out when it is the destination under another name.
    if (!HoldsTheMarker(source_->Here()) && EnterDestination(name, relative)) {
      if (!HeldByAnotherRun(relative)) walked = WalkHere();
      destination_->Leave();
    }
    source_->Leave();
    // A source folder left empty by the move goes too (one that is not empty stays).
    if (walked && context_.job.Has(kMoveInsteadOfCopy)) {
      (void)fs_.RemoveFolderIn(source_->Here(), name);
    }
  }

  // A destination folder that another run holds is that run's own: what this run would copy
  // there could replace the only copy of a file the other run moved.
  bool HeldByAnotherRun(const std::string& relative) {
    if (!fs_.HeldByARun(destination_->Here())) return false;
    context_.AddRow(
        "Another run is using " + context_.job.destination + relative + ", folder skipped", kRed);
    context_.CountError();
    return true;
  }

  bool HoldsTheMarker(const Folder& folder) {
    const std::string& marker = context_.runMarker;
    return !marker.empty() && fs_.LookupIn(folder, marker) == PathState::kFile;
  }

  // Opens the destination's sub-folder `name`, making it first when it is missing. A link
  // in its place is never written through.
  bool EnterDestination(const std::string& name, const std::string& relative) {
    Status entered = destination_->Enter(name);
    if (!entered.ok() && entered.error() == ENOENT) {
      const Status made = fs_.CreateFolderIn(destination_->Here(), name);
      entered = made.ok() ? destination_->Enter(name) : made;
    }
    if (entered.ok()) return true;
    ReportDestinationFolder(name, relative, entered.error());
    return false;
  }

  // Makes the destination's sub-folder `name` of a folder the walk does not enter.
  void MakeDestinationFolder(const std::string& name, const std::string& relative) {
    const Status made = fs_.CreateFolderIn(destination_->Here(), name);
    if (made.ok()) return;
    const Folder& here = destination_->Here();
    if (fs_.FactsIn(here, name, Links::kFollow, Dates::kWithout).size == kIsFolder) return;
    ReportDestinationFolder(name, relative, made.error());
  }

  // A folder that cannot be made would silently lose everything below it.
  void ReportDestinationFolder(const std::string& name, const std::string& relative, int error) {
    const FileFacts there =
        fs_.FactsIn(destination_->Here(), name, Links::kEntryItself, Dates::kWithout);
    if (there.size != kNothingThere && there.kind == EntryKind::kLink) {
      context_.AddRow("Left alone a link in the backup: " + relative, kRed);
      context_.CountError();
      return;
    }
    // Something other than a folder holds the place.
    if (there.size != kNothingThere && there.kind != EntryKind::kFolder) error = EEXIST;
    ReportCannotCreate(relative, error);
  }

  void ReportCannotCreate(const std::string& relative, int error) {
    context_.AddRow("Cannot create " + context_.job.destination + relative + Because(error), kRed);
    context_.CountError();
  }

  // Collects the files of the folder the walk is in and, with sub-folders on, the names of
  // its sub-folders; false when it cannot be listed to its end.
  bool ReadEntries(std::vector<std::string>& subFolders) {
    const BackupJob& job = context_.job;
    const std::string& relative = source_->Relative();
    std::unique_ptr<FolderListing> listing = fs_.ListFolder(source_->Here());
    bool folderBegun = false;
    FolderEntry entry;
    while (!context_.state.Cancelled() && listing->Next(entry)) {
      if (entry.kind == EntryKind::kFolder) {
        if (Excluded().Matches(job.source, relative, entry.name)) continue;
        // Left out with everything below it: not even read, so it cannot fail.
        if (context_.exclusions.Excludes(relative, entry.name, true)) continue;
        if (job.Has(kIncludeSubFolders)) {
          subFolders.push_back(entry.name);
        } else {
          MakeDestinationFolder(entry.name, relative + entry.name + kPathSeparator);
        }
      } else if (entry.kind == EntryKind::kFile &&
                 PassesFilter(context_.extensionFilter, entry.name) &&
                 !context_.exclusions.Excludes(relative, entry.name, false)) {
        if (PlaceTakenByTheRun(relative, entry.name)) continue;
        if (!folderBegun) context_.candidates.BeginFolder(relative);
        folderBegun = true;
        AddCandidate(entry.name);
      }
      // Links to folders or to nothing, devices and pipes are never backed up.
    }
    if (listing->Error() == 0) return true;
    ReportUnreadable(job.source + relative, relative, listing->Error());
    return false;
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

  void ReportUnreadable(const std::string& folder, const std::string& relative, int error) {
    const bool isSource = relative.empty();
    if (isSource && fs_.FileSize(folder) != kIsFolder) {
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
    if (!excluded_) excluded_.emplace(fs_, context_.job.source, context_.job.destination);
    return *excluded_;
  }

  JobContext& context_;
  FileSystem& fs_;
  const std::string logFile_;
  std::optional<ExcludedFolder> excluded_;
  std::optional<FolderTrail> source_;
  std::optional<FolderTrail> destination_;
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
  NewFileScan(context).Run();
}

}  // namespace brisvel
