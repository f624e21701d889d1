#include "engine/leftovers.h"

#include <memory>
#include <vector>

#include "core/text.h"

namespace brisvel {

std::vector<std::string> FindLeftovers(FileSystem& fs, const Folder& folder,
                                       std::string_view prefix) {
  std::vector<std::string> found;
  std::unique_ptr<FolderListing> listing = fs.ListFolder(folder);
  FolderEntry entry;
  while (listing->Next(entry)) {
    if (entry.kind != EntryKind::kFolder && entry.name.starts_with(prefix)) {
      found.push_back(entry.name);
    }
  }
  return found;
}

void RemoveLeftovers(FileSystem& fs, const Folder& folder, std::string_view prefix) {
  for (const std::string& name : FindLeftovers(fs, folder, prefix)) {
    (void)fs.DeleteFileIn(folder, name);  // one that stays is removed by a later run
  }
}

std::string_view LeftoverPrefixOf(const std::string& relativePath) {
  const std::string name = FilePart(relativePath);
  if (name.starts_with(kCopyPrefix)) return kCopyPrefix;
  const bool atTheTop = name.size() == relativePath.size();
  if (atTheTop && name.starts_with(kMarkerPrefix)) return kMarkerPrefix;
  return {};
}

std::string LeftoverNameReason(std::string_view prefix) {
  return "names beginning with " + std::string(prefix) + " are the program's own";
}

}  // namespace brisvel
