#include "engine/destination_claim.h"

#include <cstdio>
#include <random>

#include "engine/leftovers.h"

namespace brisvel {
namespace {

std::string ToUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Lower-case letters and digits, so that its upper-case spelling differs.
std::string UniqueMarkerName() {
  std::random_device random;
  char digits[17];
  std::snprintf(digits, sizeof digits, "%08x%08x", random(), random());
  return std::string(kMarkerPrefix) + digits;
}

}  // namespace

DestinationClaim::DestinationClaim(FileSystem& fs, const std::string& destination)
    : fs_(fs), destination_(destination), lock_(fs.LockFolder(destination)) {
  if (!lock_) return;
  killedRuns_ = FindLeftovers(fs_, fs_.OpenFolder(destination_), kMarkerPrefix);
  std::string marker = UniqueMarkerName();
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

void DestinationClaim::ForgetKilledRuns() {
  for (const std::string& name : killedRuns_) fs_.DeleteFile(destination_ + name);
  killedRuns_.clear();
}

bool HoldsMarker(FileSystem& fs, const std::string& folder, const std::string& marker) {
  return !marker.empty() && fs.Lookup(folder + marker) == PathState::kFile;
}

}  // namespace brisvel
