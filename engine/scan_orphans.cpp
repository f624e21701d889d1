#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/case_folding.h"
#include "core/text.h"
#include "engine/excluded_folder.h"
#include "engine/folder_trail.h"
#include "engine/leftovers.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

// The names in one source folder, listed once: a name found there surely exists, which
// spares one look-up per unchanged file of the backup. Kept sorted in one block of text, so
// a large folder costs no allocation per name.
class SourceNames {
 public:
  SourceNames(FileSystem& fs, const Folder& folder) {
    if (!folder) return;
    std::unique_ptr<FolderListing> listing = fs.ListFolder(folder);
    std::vector<std::pair<size_t, size_t>> spans;
    FolderEntry entry;
    while (listing->Next(entry)) {
      spans.emplace_back(text_.size(), entry.name.size());
      text_ += entry.name;
    }
    readable_ = listing->Error() == 0;
    names_.reserve(spans.size());
    for (const auto& [start, length] : spans)
      names_.push_back(std::string_view(text_).substr(start, length));
    std::sort(names_.begin(), names_.end());
  }

  bool SurelyHas(const std::string& name) const {
    return readable_ && std::binary_search(names_.begin(), names_.end(), std::string_view(name));
  }

  // True when the folder could be listed and holds no entry at all.
  bool SurelyEmpty() const { return readable_ && names_.empty(); }

 private:
  std::string text_;
  std::vector<std::string_view> names_;
  bool readable_ = false;
};

void ReportEmptySource(JobContext& context, const std::string& folder) {
  context.AddRow("Source folder is empty: " + folder, kRed);
  context.CountError();
}

// Walks the destination by its open folders, so that a folder swapped for a link during the
// walk is never entered and nothing outside the destination is ever deleted. The source is
// only looked at: each of its folders is opened from the source folder, never through a
// link, or looked up by path when it cannot be.
class OrphanScan {
 public:
  OrphanScan(JobContext& context, Folder destination, Folder source)
      : context_(context),
        fs_(context.fs),
        job_(context.job),
        excluded_(context.fs, context.job.destination, context.job.source),
        keptLogFile_(LogFileInBackup(job_)),
        destination_(fs_, std::move(destination)),
        source_(std::move(source)) {}

  void Run() {
    if (!excluded_.IsWholeWalk()) WalkHere();
  }

  // True when some file of the folder the walk is in, or of a folder below it, would be
  // looked at by the walk.
  bool HoldsAnyFile() {
    if (excluded_.IsWholeWalk()) return false;
    const std::string& relative = destination_.Relative();
    std::vector<std::string> subFolders;
    {
      std::unique_ptr<FolderListing> listing = fs_.ListFolder(destination_.Here());
      FolderEntry entry;
      while (listing->Next(entry)) {
        if (excluded_.Matches(job_.destination, relative, entry.name)) continue;
        if (IsLeftOut(relative, entry)) continue;
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
      if (!destination_.Enter(name).ok()) continue;
      // Another run's files count: they are never this walk's to judge.
      const bool holds = fs_.HeldByARun(destination_.Here()) || HoldsAnyFile();
      destination_.Leave();
      if (holds) return true;
    }
    return false;
  }

 private:
  // Deletes the orphans of the folder the walk is in and of the folders below it, and those
  // folders themselves when the source has none of them. True when this folder may go: it
  // was listed, and no file in it was kept.
  bool WalkHere() {
    const std::string relative = destination_.Relative();
    bool keptAFile = false;
    std::vector<std::string> subFolders;
    {
      const Folder source = SourceFolder(relative);
      const SourceNames sourceNames(fs_, source);
      if (!relative.empty() && SourceLooksUnmounted(sourceNames, relative)) return false;
      if (!ReadEntries(relative, source, sourceNames, subFolders, keptAFile)) return false;
    }
    for (const std::string& name : subFolders) {
      if (context_.state.Cancelled()) break;
      if (!destination_.Enter(name).ok()) continue;  // skipped, with everything below it
      if (HeldByAnotherRun(relative + name + kPathSeparator)) {
        destination_.Leave();
        keptAFile = true;  // the folder stays, and so does this one
        continue;
      }
      const bool mayGo = WalkHere() && SourceFolderGone(relative, name);
      const bool emptied = mayGo && EmptyOrphanFolder();
      destination_.Leave();
      if (emptied) RemoveOrphanFolder(relative, name);
    }
    // Also after a cancel, so that a folder whose listing was cut short still goes; never
    // when a file in it was kept, such as the job's own log file.
    return !keptAFile;
  }

  // The source's folder at `relative`, opened from the source folder; not open when the
  // source has no such folder, or it cannot be reached.
  Folder SourceFolder(const std::string& relative) { return fs_.OpenFolderIn(source_, relative); }

  // What the source has at `relative` + `name`: looked up in its folder when that is open,
  // otherwise by whole path (a folder on the way that cannot be opened may still have it).
  PathState SourceEntry(const Folder& source, const std::string& relative,
                        const std::string& name) {
    if (source) return fs_.LookupIn(source, name);
    return fs_.Lookup(job_.source + relative + name);
  }

  // Deletes the orphan files of the folder the walk is in and collects its sub-folders (with
  // sub-folders on: otherwise the destination's sub-folders are neither entered nor
  // removed). False when the folder cannot be listed; `keptAFile` tells whether a file that
  // is no orphan, or may not be one, stays in the folder.
  bool ReadEntries(const std::string& relative, const Folder& source,
                   const SourceNames& sourceNames, std::vector<std::string>& subFolders,
                   bool& keptAFile) {
    std::unique_ptr<FolderListing> listing = fs_.ListFolder(destination_.Here());
    FolderEntry entry;
    while (!context_.state.Cancelled() && listing->Next(entry)) {
      if (excluded_.Matches(job_.destination, relative, entry.name)) continue;
      // What the job leaves out of the source is no orphan, and its folder stays around it.
      if (IsLeftOut(relative, entry)) {
        keptAFile = true;
        continue;
      }
      if (entry.kind == EntryKind::kFolder) {
        if (job_.Has(kIncludeSubFolders)) subFolders.push_back(entry.name);
        continue;
      }
      // Links, devices and pipes are entries like files: removed themselves, never followed.
      // Only a source path that surely does not exist makes an orphan; one that cannot be
      // looked up keeps its backup.
      if (IsKeptLogFile(relative, entry.name) || IsRunMarker(relative, entry.name) ||
          sourceNames.SurelyHas(entry.name) ||
          SourceEntry(source, relative, entry.name) != PathState::kMissing) {
        keptAFile = true;
        continue;
      }
      DeleteOrphan(relative, entry.name);
    }
    // A listing cut short by an error may have passed files that stay.
    return listing->Error() == 0;
  }

  // A source sub-folder that exists but is empty while its backup holds files looks just
  // like a drive that is not mounted there: its backup is kept, with a red row and an error.
  bool SourceLooksUnmounted(const SourceNames& sourceNames, const std::string& relative) {
    if (!sourceNames.SurelyEmpty() || !HoldsAnyFile()) return false;
    ReportEmptySource(context_, job_.source + relative);
    return true;
  }

  // An entry the job's exclusions match: never entered, deleted or counted.
  bool IsLeftOut(const std::string& relative, const FolderEntry& entry) const {
    return context_.exclusions.Excludes(relative, entry.name, entry.kind == EntryKind::kFolder);
  }

  // A folder that another run holds is that run's destination: its files may be the only
  // copies of files that run moved, and are never orphans of this job.
  bool HeldByAnotherRun(const std::string& relative) {
    if (!fs_.HeldByARun(destination_.Here())) return false;
    context_.AddRow("Orphans are kept in " + relative + ": another run is using it.", kGrey);
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

  void DeleteOrphan(const std::string& relative, const std::string& name) {
    ++context_.foundCount;
    const std::string path = relative + name;
    if (!fs_.DeleteFileIn(destination_.Here(), name).ok()) {
      context_.AddRow("Couldn't delete " + path, kOlive);
      context_.CountError();
      return;
    }
    context_.state.deletedTotal.fetch_add(1);
    context_.AddRow("Deleted " + path, kGreen);
    context_.log.WriteLine(" . Deleted orphan: " + path);
  }

  // True when the source surely has no folder `name` in `relative`; a link to a folder counts
  // as the folder, and a path that cannot be looked up keeps the backup folder.
  bool SourceFolderGone(const std::string& relative, const std::string& name) {
    const Folder source = SourceFolder(relative);
    switch (SourceEntry(source, relative, name)) {
      case PathState::kMissing:
        return true;
      case PathState::kFile:
        return (source ? fs_.FactsIn(source, name, Links::kFollow, Dates::kWithout).size
                       : fs_.FileSize(job_.source + relative + name)) != kIsFolder;
      default:
        return false;
    }
  }

  // Deletes what is left of the files of the folder the walk is in (sub-folders are not
  // entered): after a cancel its listing may not have reached them. False when it holds the
  // job's log file or a file the job leaves out, which stay, and so does the folder.
  bool EmptyOrphanFolder() {
    const std::string& relative = destination_.Relative();
    std::vector<std::string> files;
    bool keepsAFile = false;
    {
      std::unique_ptr<FolderListing> listing = fs_.ListFolder(destination_.Here());
      FolderEntry entry;
      while (listing->Next(entry)) {
        if (entry.kind == EntryKind::kFolder) continue;
        if (IsKeptLogFile(relative, entry.name) || IsLeftOut(relative, entry)) {
          keepsAFile = true;
        } else {
          files.push_back(entry.name);
        }
      }
    }
    for (const std::string& name : files) (void)fs_.DeleteFileIn(destination_.Here(), name);
    return !keepsAFile;
  }

  // Removes the emptied folder `name` of the folder the walk is in.
  void RemoveOrphanFolder(const std::string& relative, const std::string& name) {
    const std::string path = relative + name + kPathSeparator;
    if (!fs_.RemoveFolderIn(destination_.Here(), name).ok()) {
      context_.AddRow("Couldn't delete " + path, kOlive);
      return;
    }
    context_.AddRow("Deleted " + path, kGreen);
    context_.log.WriteLine(" . Deleted orphan folder: " + path);
  }

  JobContext& context_;
  FileSystem& fs_;
  const BackupJob& job_;
  const ExcludedFolder excluded_;
  const std::string keptLogFile_;
  FolderTrail destination_;
  const Folder source_;
};

// The phase deletes only what the source surely lacks: a source folder that is missing, or
// empty while the backup holds files (an unmounted drive looks just like that), stops it.
bool SourceCanBeTrusted(JobContext& context, const Folder& source, OrphanScan& scan) {
  if (!source && context.fs.FileSize(context.job.source) != kIsFolder) {
    ReportMissingSource(context);
    return false;
  }
  std::unique_ptr<FolderListing> listing = context.fs.ListFolder(source);
  FolderEntry entry;
  if (listing->Next(entry) || listing->Error() != 0) return true;
  listing.reset();
  if (!scan.HoldsAnyFile()) return true;
  ReportEmptySource(context, context.job.source);
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
  Folder destination = context.fs.OpenFolder(context.job.destination);
  Folder source = context.fs.OpenFolder(context.job.source);
  // A destination that cannot be opened is skipped, with everything in it.
  if (destination) {
    OrphanScan scan(context, std::move(destination), source);
    if (SourceCanBeTrusted(context, source, scan)) {
      scan.Run();
      if (!context.state.Cancelled()) {
        const int64_t found = context.foundCount;
        context.AddRow(found > 0
                           ? "Found " + std::to_string(found) + " orphan file" + Plural(found) + "."
                           : "No orphan files found.",
                       kGrey);
      }
    }
  } else if (!source && context.fs.FileSize(context.job.source) != kIsFolder) {
    ReportMissingSource(context);
  }
  context.candidates.Clear();
}

}  // namespace brisvel
