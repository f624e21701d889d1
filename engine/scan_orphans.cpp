#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/case_folding.h"
#include "core/text.h"
#include "engine/excluded_folder.h"
#include "engine/leftovers.h"
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

  // True when the folder could be listed and holds no entry at all.
  bool SurelyEmpty() {
    if (!listed_) Load();
    return readable_ && names_.empty();
  }

 private:
  void Load() {
    listed_ = true;
    std::unique_ptr<FolderListing> listing = fs_.List(folder_);
    readable_ = listing != nullptr;
    FolderEntry entry;
    while (listing && listing->Next(entry)) names_.insert(std::move(entry.name));
  }

  FileSystem& fs_;
  const std::string folder_;
  bool listed_ = false;
  bool readable_ = false;
  std::unordered_set<std::string> names_;
};

void ReportEmptySource(JobContext& context, const std::string& folder) {
  context.AddRow("Source folder is empty: " + folder, kRed);
  context.CountError();
}

class OrphanScan {
 public:
  explicit OrphanScan(JobContext& context)
      : context_(context),
        fs_(context.fs),
        job_(context.job),
        excluded_(context.job.destination, context.job.source),
        keptLogFile_(LogFileInBackup(job_)) {}

  // Deletes the orphans under `folder`. Its listing is closed before its sub-folders are
  // entered, so a deep tree never holds more than one listing open.
  void Walk(const std::string& folder) {
    if (excluded_.IsWholeWalk()) return;
    const std::string relative = folder.substr(context_.baseLength);
    SourceNames sourceNames(fs_, job_.source + relative);
    if (!relative.empty() && SourceLooksUnmounted(sourceNames, folder, relative)) return;
    std::vector<std::string> subFolders;
    bool keptAFile = false;
    if (!ReadEntries(folder, relative, sourceNames, subFolders, keptAFile)) return;
    for (const std::string& name : subFolders) {
      if (context_.state.Cancelled()) break;
      Walk(folder + name + kPathSeparator);
    }
    // Also after a cancel, so that a folder whose listing was cut short still goes; never
    // when a file in it was kept, such as the job's own log file.
    if (relative.empty() || keptAFile || !SourceFolderGone(relative)) return;
    RemoveOrphanFolder(folder, relative);
  }

  // True when some file of the destination would be looked at by the walk.
  bool HoldsAnyFile(const std::string& folder) {
    if (excluded_.IsWholeWalk()) return false;
    const std::string relative = folder.substr(context_.baseLength);
    std::vector<std::string> subFolders;
    {
      std::unique_ptr<FolderListing> listing = fs_.List(folder);
      FolderEntry entry;
      while (listing && listing->Next(entry)) {
        if (excluded_.Matches(job_.destination, relative, entry.name)) continue;
        if (entry.kind != EntryKind::kFolder) {
          if (!IsKeptLogFile(relative, entry.name) && !IsRunMarker(relative, entry.name)) {
            return true;
          }
        } else if (job_.Has(kIncludeSubFolders)) {
          subFolders.push_back(entry.name);
        }
      }
    }
    for (const std::string& name : subFolders) {
      if (HoldsAnyFile(folder + name + kPathSeparator)) return true;
    }
    return false;
  }

 private:
  // Deletes the orphan files of `folder` and collects its sub-folders (with sub-folders
  // on: otherwise the destination's sub-folders are neither entered nor removed). False when
  // the folder cannot be listed; `keptAFile` tells whether a file that is no orphan, or may
  // not be one, stays in the folder.
  bool ReadEntries(const std::string& folder, const std::string& relative, SourceNames& sourceNames,
                   std::vector<std::string>& subFolders, bool& keptAFile) {
    std::unique_ptr<FolderListing> listing = fs_.List(folder);
    if (!listing) return false;
    FolderEntry entry;
    while (!context_.state.Cancelled() && listing->Next(entry)) {
      if (excluded_.Matches(job_.destination, relative, entry.name)) continue;
      if (entry.kind == EntryKind::kFolder) {
        if (job_.Has(kIncludeSubFolders)) subFolders.push_back(entry.name);
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
    return true;
  }

  // A source sub-folder that exists but is empty while its backup holds files looks just
  // like a drive that is not mounted there: its backup is kept, with a red row and an error.
  bool SourceLooksUnmounted(SourceNames& sourceNames, const std::string& folder,
                            const std::string& relative) {
    if (!sourceNames.SurelyEmpty() || !HoldsAnyFile(folder)) return false;
    ReportEmptySource(context_, job_.source + relative);
    return true;
  }

  bool IsRunMarker(const std::string& relative, const std::string& name) const {
    // A killed run's marker too: it stays until a run has tidied up after that run.
    return relative.empty() && (name == context_.runMarker || name.starts_with(kMarkerPrefix));
  }

  // The job's own log file, which is being written during the run.
  bool IsKeptLogFile(const std::string& relative, const std::string& name) const {
    return !keptLogFile_.empty() && EqualIgnoringCase(relative + name, keptLogFile_);
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
  // The job's log file stays, and so does the folder: after a cancel the listing may not have
  // reached it.
  void RemoveOrphanFolder(const std::string& folder, const std::string& relative) {
    bool holdsTheLog = false;
    if (std::unique_ptr<FolderListing> listing = fs_.List(folder)) {
      FolderEntry entry;
      while (listing->Next(entry)) {
        if (entry.kind == EntryKind::kFolder) continue;
        if (IsKeptLogFile(relative, entry.name)) {
          holdsTheLog = true;
        } else {
          fs_.DeleteFile(folder + entry.name);
        }
      }
    }
    if (holdsTheLog) return;
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
    ReportMissingSource(context);
    return false;
  }
  std::unique_ptr<FolderListing> listing = context.fs.List(source);
  FolderEntry entry;
  if (!listing || listing->Next(entry)) return true;
  listing.reset();
  if (!scan.HoldsAnyFile(context.job.destination)) return true;
  ReportEmptySource(context, source);
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
    scan.Walk(context.job.destination);
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

}  // namespace brisvel
