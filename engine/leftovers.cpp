#include "engine/leftovers.h"

#include <memory>
#include <vector>

namespace brisvel {

void RemoveLeftovers(FileSystem& fs, const std::string& folder, std::string_view prefix) {
  std::vector<std::string> found;
  if (std::unique_ptr<FolderListing> listing = fs.List(folder)) {
    FolderEntry entry;
    while (listing->Next(entry)) {
      if (entry.kind != EntryKind::kFolder && entry.name.starts_with(prefix)) {
        found.push_back(entry.name);
      }
    }
  }
  for (const std::string& name : found) fs.DeleteFile(folder + name);
}

}  // namespace brisvel
