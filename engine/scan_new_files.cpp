#include <memory>
#include <optional>
#include <string>

#include "core/text.h"
#include "engine/destination_claim.h"
#include "engine/excluded_folder.h"
#include "engine/leftovers.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

class NewFileScan {
 public:
  explicit NewFileScan(JobContext& context) : context_(context) {}

  void Walk(const std::string& folder, int level) {
    const std::string relative = folder.substr(context_.baseLength);
    const BackupJob& job = context_.job;
    if (!relative.empty() && !SafeToEnter(folder, relative)) return;
    if (!EnsureFolderPath(context_.fs, job.destination + relative)) return;
    if (Excluded().IsWholeWalk()) return;
    RemoveLeftovers(context_.fs, job.destination + relative, kCopyPrefix);
    std::unique_ptr<FolderListing> listing = context_.fs.List(folder);
    if (!listing) return;
    ReadEntries(*listing, folder, relative, level);
    listing.reset();
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

  void ReadEntries(FolderListing& listing, const std::string& folder, const std::string& relative,
                   int level) {
    const BackupJob& job = context_.job;
    bool folderBegun = false;
    FolderEntry entry;
    while (!context_.state.Cancelled() && listing.Next(entry)) {
      if (entry.kind == EntryKind::kFolder) {
        if (Excluded().Matches(job.source, relative, entry.name)) continue;
        if (job.Has(kIncludeSubFolders)) {
          Walk(folder + entry.name + kPathSeparator, level + 1);
          folderBegun = false;  // the sub-folder's files were added in between
        } else {
          EnsureFolderPath(context_.fs, job.destination + relative + entry.name + kPathSeparator);
        }
      } else if (entry.kind == EntryKind::kFile &&
                 PassesFilter(context_.extensionFilter, entry.name)) {
        if (!folderBegun) context_.candidates.BeginFolder(relative);
        folderBegun = true;
        AddCandidate(entry.name);
      }
      // Links to folders or to nothing, devices and pipes are never backed up.
    }
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
  std::optional<ExcludedFolder> excluded_;
};

}  // namespace

void ScanNewFiles(JobContext& context, const std::string& folder, int level) {
  NewFileScan(context).Walk(folder, level);
}

}  // namespace brisvel
