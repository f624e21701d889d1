#include "engine/backup_drive.h"

#include "core/text.h"

namespace brisvel {
namespace {

// The folder that holds `folder`, ending in a separator; "" for a root.
std::string HoldingFolder(const std::string& folder) {
  size_t end = folder.size();
  while (end > 0 && IsAnySeparator(folder[end - 1])) --end;
  return FolderPart(std::string_view(folder).substr(0, end));
}

bool HoldsNothing(FileSystem& fs, const std::string& folder) {
  std::unique_ptr<FolderListing> listing = fs.List(folder);
  FolderEntry entry;
  return listing != nullptr && !listing->Next(entry);
}

bool OnComputersOwnDrive(uint64_t drive, const std::vector<std::string>& computerFolders) {
  for (const std::string& folder : computerFolders) {
    if (DriveOf(folder) == drive) return true;
  }
  return false;
}

}  // namespace

bool BackupDriveConnected(FileSystem& fs, const std::string& destination,
                          const std::vector<std::string>& computerFolders) {
  if (fs.FileSize(destination) == kNothingThere) return false;
  const std::string holder = HoldingFolder(destination);
  if (holder.empty()) return true;
  const std::optional<uint64_t> drive = DriveOf(destination);
  if (!drive || DriveOf(holder) != drive) return true;
  if (!HoldsNothing(fs, destination)) return true;
  return !OnComputersOwnDrive(*drive, computerFolders);
}

}  // namespace brisvel
