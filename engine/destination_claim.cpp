#include "engine/destination_claim.h"

#include <cstdio>
#include <optional>
#include <random>
#include <string_view>
#include <utility>

#include "core/text.h"
#include "engine/leftovers.h"

namespace brisvel {
namespace {

std::string ToUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Ends the marker of a run that writes in its top folder only. Markers without it, those of
// earlier versions too, may have had sub-folders.
constexpr std::string_view kTopFolderOnly = "-top";

// Lower-case letters and digits, so that its upper-case spelling differs.
std::string UniqueMarkerName(DestinationClaim::Reach reach) {
  std::random_device random;
  char digits[17];
  std::snprintf(digits, sizeof digits, "%08x%08x", random(), random());
  std::string name = std::string(kMarkerPrefix) + digits;
  if (reach == DestinationClaim::Reach::kTopFolder) name += kTopFolderOnly;
  return name;
}

// The folder that holds `folder`, with its final separator; "" above the root.
std::string ParentOf(std::string folder) {
  while (!folder.empty() && IsPathSeparator(folder.back())) folder.pop_back();
  return FolderPart(folder);
}

// The nearest folder around `destination` that a run holds; "" when there is none. Asked by
// the destination's real path, so that the folders around it on disk are found whatever
// links led to it; the lock belongs to the folder itself, so a run that holds it under
// another name (a bind mount) is found too.
std::string HeldFolderAround(FileSystem& fs, const std::string& destination) {
  const std::optional<std::string> real = fs.RealPath(destination);
  if (!real) return "";
  for (std::string folder = ParentOf(*real); !folder.empty(); folder = ParentOf(folder)) {
    if (fs.HeldByARun(fs.OpenFolder(folder))) return folder;
  }
  return "";
}

}  // namespace

DestinationClaim::DestinationClaim(FileSystem& fs, const std::string& destination, Reach reach)
    : fs_(fs), destination_(destination), lock_(fs.LockFolder(destination)) {
  if (!lock_) return;
  // Asked once this run's lock is taken: of two runs that start in nested folders at once,
  // the inner one finds the outer's lock, or the outer's walk finds the inner's.
  holderAround_ = HeldFolderAround(fs_, destination_);
  if (!holderAround_.empty()) {
    lock_.reset();
    status_ = Status::kBusyAround;
    return;
  }
  killedRuns_ = FindLeftovers(fs_, fs_.OpenFolder(destination_), kMarkerPrefix);
  std::string marker = UniqueMarkerName(reach);
  if (!fs_.CreateEmptyFile(destination_ + marker)) {
    status_ = Status::kUnwritable;
    return;
  }
  marker_ = std::move(marker);
  status_ = Status::kHeld;
  ignoresCase_ = fs_.Lookup(destination_ + ToUpper(marker_)) == PathState::kFile;
}

DestinationClaim::~DestinationClaim() {
  if (!marker_.empty()) fs_.DeleteFile(destination_ + marker_);
}

void DestinationClaim::ForgetKilledRuns(Reach tidied) {
  std::vector<std::string> stay;
  for (const std::string& name : killedRuns_) {
    if (tidied == Reach::kSubFolders || name.ends_with(kTopFolderOnly)) {
      fs_.DeleteFile(destination_ + name);
    } else {
      stay.push_back(name);
    }
  }
  killedRuns_ = std::move(stay);
}

bool HoldsMarker(FileSystem& fs, const std::string& folder, const std::string& marker) {
  return !marker.empty() && fs.Lookup(folder + marker) == PathState::kFile;
}

}  // namespace brisvel
