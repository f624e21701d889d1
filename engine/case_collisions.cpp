#include "engine/case_collisions.h"

#include <memory>
#include <utility>

#include "core/text.h"

namespace brisvel {

CaseCollisions::CaseCollisions(FileSystem& fs, std::string destination)
    : fs_(fs), destination_(std::move(destination)) {}

std::string CaseCollisions::Find(const std::string& relativeFolder, std::string_view name) {
  std::string path = relativeFolder + std::string(name);
  auto [taken, isNew] = taken_.emplace(ToLower(path), path);
  if (!isNew) return taken->second == path ? std::string() : taken->second;
  ListStored(relativeFolder);
  const auto stored = stored_.find(ToLower(name));
  if (stored == stored_.end() || stored->second == name) return {};
  // The destination already holds this place under another spelling, which keeps it.
  taken->second = relativeFolder + stored->second;
  return taken->second;
}

void CaseCollisions::ListStored(const std::string& relativeFolder) {
  if (listed_ && storedFolder_ == relativeFolder) return;
  listed_ = true;
  storedFolder_ = relativeFolder;
  stored_.clear();
  std::unique_ptr<FolderListing> listing = fs_.List(destination_ + relativeFolder);
  FolderEntry entry;
  while (listing && listing->Next(entry)) {
    std::string folded = ToLower(entry.name);
    stored_.emplace(std::move(folded), std::move(entry.name));
  }
}

}  // namespace brisvel
