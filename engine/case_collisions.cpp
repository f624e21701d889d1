#include "engine/case_collisions.h"

#include <memory>
#include <utility>

#include "core/case_folding.h"

namespace brisvel {

CaseCollisions::CaseCollisions(FileSystem& fs, const BackupJob& job)
    : fs_(fs),
      source_(job.source),
      destination_(job.destination),
      move_(job.Has(kMoveInsteadOfCopy)) {}

std::string CaseCollisions::Find(const std::string& relativeFolder, std::string_view name) {
  std::string path = relativeFolder + std::string(name);
  auto [taken, isNew] = taken_.emplace(FoldCase(path), path);
  if (!isNew) return taken->second == path ? std::string() : taken->second;
  ListStored(relativeFolder);
  const auto stored = stored_.find(FoldCase(name));
  if (stored == stored_.end() || stored->second == name) return {};
  if (IsRenamedInCase(relativeFolder, stored->second)) return {};
  // The destination already holds this place under another spelling, which keeps it.
  taken->second = relativeFolder + stored->second;
  return taken->second;
}

bool CaseCollisions::IsRenamedInCase(const std::string& relativeFolder,
                                     const std::string& storedName) {
  // A Move leaves no source behind: the backup may be the only copy of a file that had that
  // spelling, and replacing it would lose it.
  if (move_) return false;
  ListSource(relativeFolder);
  return sourceReadable_ && !sourceNames_.contains(storedName);
}

void CaseCollisions::ListStored(const std::string& relativeFolder) {
  if (listed_ && storedFolder_ == relativeFolder) return;
  listed_ = true;
  storedFolder_ = relativeFolder;
  stored_.clear();
  std::unique_ptr<FolderListing> listing = fs_.List(destination_ + relativeFolder);
  FolderEntry entry;
  while (listing && listing->Next(entry)) {
    std::string folded = FoldCase(entry.name);
    stored_.emplace(std::move(folded), std::move(entry.name));
  }
}

void CaseCollisions::ListSource(const std::string& relativeFolder) {
  if (sourceListed_ && sourceFolder_ == relativeFolder) return;
  sourceListed_ = true;
  sourceFolder_ = relativeFolder;
  sourceNames_.clear();
  std::unique_ptr<FolderListing> listing = fs_.List(source_ + relativeFolder);
  sourceReadable_ = listing != nullptr;
  FolderEntry entry;
  while (listing && listing->Next(entry)) sourceNames_.insert(std::move(entry.name));
}

}  // namespace brisvel
