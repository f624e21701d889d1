#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>

#include "core/text.h"
#include "engine/excluded_folder.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

// The names in one source folder, listed once when first asked for: a name found there
// surely exists, which spares one look-up per unchanged file of the backup.
class SourceNames {
 public:
  SourceNames(FileSystem& fs, std::string folder) : fs_(fs), folder_(std::move(folder)) {}

  bool SurelyHas(const std::string& name) {
    if (!listed_) Load();
    return names_.count(name) != 0;
  }

 private:
  void Load() {
    listed_ = true;
    std::unique_ptr<FolderListing> listing = fs_.List(folder_);
    FolderEntry entry;
    while (listing && listing->Next(entry)) names_.insert(std::move(entry.name));
  }

  FileSystem& fs_;
  const std::string folder_;
  bool listed_ = false;
  std::unordered_set<std::string> names_;
};

class OrphanScan {
 public:
  explicit OrphanScan(JobContext& context)
      : context_(context),
        fs_(context.fs),
        job_(context.job),
        excluded_(context.job.destination, context.job.source),
        keptLogFile_(job_.Has(kUpdateLogFile) ? ToLower(job_.logFile) : std::string()) {}

  void Walk(const std::string& folder, int level) {
    if (excluded_.IsWholeWalk()) return;
    const std::string relative = folder.substr(context_.baseLength);
    std::unique_ptr<FolderListing> listing = fs_.List(folder);
    if (!listing) return;
    const bool keptAFile = ReadEntries(*listing, folder, relative, level);
    listing.reset();
    // Also after a cancel, so that a folder whose listing was cut short still goes; never
    // when a file in it was kept, such as the job's own log file.
    if (relative.empty() || keptAFile || !SourceFolderGone(relative)) return;
    RemoveOrphanFolder(folder, relative);
  }

  // True when some file of the destination would be looked at by the walk.
  bool HoldsAnyFile(const std::string& folder) {
    if (excluded_.IsWholeWalk()) return false;
    const std::string relative = folder.substr(context_.baseLength);
    std::unique_ptr<FolderListing> listing = fs_.List(folder);
    FolderEntry entry;
    while (listing && listing->Next(entry)) {
      if (excluded_.Matches(job_.destination, relative, entry.name)) continue;
      if (entry.kind != EntryKind::kFolder) {
        if (!IsKeptLogFile(relative, entry.name) && !IsRunMarker(relative, entry.name)) {
          return true;
        }
      } else if (job_.Has(kIncludeSubFolders) &&
                 HoldsAnyFile(folder + entry.name + kPathSeparator)) {
        return true;
      }
    }
    return false;
  }

 private:
  // Deletes the orphans among the folder's entries; true when a file that is no orphan, or
  // may not be one, stays in the folder.
  bool ReadEntries(FolderListing& listing, const std::string& folder, const std::string& relative,
                   int level) {
    SourceNames sourceNames(fs_, job_.source + relative);
    bool keptAFile = false;
    FolderEntry entry;
    while (!context_.state.Cancelled() && listing.Next(entry)) {
      if (excluded_.Matches(job_.destination, relative, entry.name)) continue;
      if (entry.kind == EntryKind::kFolder) {
        // Without sub-folders, the destination's sub-folders are neither entered nor removed.
        if (job_.Has(kIncludeSubFolders)) Walk(folder + entry.name + kPathSeparator, level + 1);
        continue;
      }
      // Links, devices and pipes are entries like files: removed themselves, never followed.
      // Only a source path that surely does not exist makes an orphan; one that cannot be
      // looked up keeps its backup.
      if (IsKeptLogFile(relative, entry.name) || IsRunMarker(relative, entry.name) ||
          sourceNames.SurelyHas(entry.name) ||
          fs_.Lookup(job_.source + relative + entry.name) != PathState::kMissing) {
        keptAFile = true;
        continue;
      }
      DeleteOrphan(folder, relative, entry.name);
    }
    return keptAFile;
  }

  bool IsRunMarker(const std::string& relative, const std::string& name) const {
    return relative.empty() && name == context_.runMarker;
  }

  // The job's own log file, which is being written during the run.
  bool IsKeptLogFile(const std::string& relative, const std::string& name) const {
    if (keptLogFile_.empty() || relative.size() + name.size() != keptLogFile_.size()) return false;
    return ToLower(relative + name) == keptLogFile_;
  }

  void DeleteOrphan(const std::string& folder, const std::string& relative,
                    const std::string& name) {
    ++context_.foundCount;
    const std::string path = relative + name;
    if (!fs_.DeleteFile(folder + name)) {
      context_.AddRow("Couldn't delete " + path, kOlive);
      context_.CountError();
      return;
    }
    context_.state.deletedTotal.fetch_add(1);
    context_.AddRow("Deleted " + path, kGreen);
    context_.log.WriteLine(" . Deleted orphan: " + path);
  }

  // True when the source surely has no folder at `relative`; a link to a folder counts as
  // the folder, and a path that cannot be looked up keeps the backup folder.
  bool SourceFolderGone(const std::string& relative) {
    std::string path = job_.source + relative;
    path.pop_back();
    switch (fs_.Lookup(path)) {
      case PathState::kMissing:
        return true;
      case PathState::kFile:
        return fs_.FileSize(path) != kIsFolder;
      default:
        return false;
    }
  }

  // Deletes what is left of the folder's files (sub-folders are not entered), then the folder.
  void RemoveOrphanFolder(const std::string& folder, const std::string& relative) {
    if (std::unique_ptr<FolderListing> listing = fs_.List(folder)) {
      FolderEntry entry;
      while (listing->Next(entry)) {
        if (entry.kind != EntryKind::kFolder) fs_.DeleteFile(folder + entry.name);
      }
    }
    if (!fs_.RemoveFolder(folder)) {
      context_.AddRow("Couldn't delete " + relative, kOlive);
      return;
    }
    context_.AddRow("Deleted " + relative, kGreen);
    context_.log.WriteLine(" . Deleted orphan folder: " + relative);
  }

  JobContext& context_;
  FileSystem& fs_;
  const BackupJob& job_;
  const ExcludedFolder excluded_;
  const std::string keptLogFile_;
};

// The phase deletes only what the source surely lacks: a source folder that is missing, or
// empty while the backup holds files (an unmounted drive looks just like that), stops it.
bool SourceCanBeTrusted(JobContext& context, OrphanScan& scan) {
  const std::string& source = context.job.source;
  if (context.fs.FileSize(source) != kIsFolder) {
    context.AddRow("Source folder not found: " + source, kRed);
    context.CountError();
    return false;
  }
  std::unique_ptr<FolderListing> listing = context.fs.List(source);
  FolderEntry entry;
  if (!listing || listing->Next(entry)) return true;
  listing.reset();
  if (!scan.HoldsAnyFile(context.job.destination)) return true;
  context.AddRow("Source folder is empty: " + source, kRed);
  context.CountError();
  return false;
}

}  // namespace

void RunOrphanPhase(JobContext& context) {
  context.foundCount = 0;
  context.baseLength = context.job.destination.size();
  context.view.SetStatus("Deleting orphans...");
  context.AddRow("Scanning for orphans...", kGrey);
  context.view.SetBarColour(kBarYellow);
  context.view.SetProgressMax(1);
  context.view.SetProgressValue(1);
  OrphanScan scan(context);
  if (SourceCanBeTrusted(context, scan)) {
    scan.Walk(context.job.destination, 1);
    if (!context.state.Cancelled()) {
      const int64_t found = context.foundCount;
      context.AddRow(found > 0
                         ? "Found " + std::to_string(found) + " orphan file" + Plural(found) + "."
                         : "No orphan files found.",
                     kGrey);
    }
  }
  context.candidates.Clear();
}

void ScanOrphans(JobContext& context, const std::string& folder, int level) {
  OrphanScan(context).Walk(folder, level);
}

}  // namespace brisvel
