#include "engine/scan.h"

namespace brisvel {
namespace {

// Checksums and hashes judge a file unchanged only when both sides could be read in full: a
// file that cannot be read must be copied (and the copy fail visibly), never taken as equal,
// or a Move would delete a source that was never backed up.
template <typename Sum>
bool DiffersOrUnreadable(const std::optional<Sum>& source, const std::optional<Sum>& destination) {
  return !source || !destination || *source != *destination;
}

}  // namespace

bool NeedsCopy(JobContext& context, const std::string& relativePath) {
  return NeedsCopy(context, relativePath,
                   context.fs.EntryFacts(context.job.destination + relativePath),
                   [&] { return context.fs.Facts(context.job.source + relativePath); });
}

bool NeedsCopy(JobContext& context, const std::string& relativePath,
               const FileFacts& destinationFacts, const std::function<FileFacts()>& sourceFacts) {
  if (destinationFacts.size == kNothingThere) return true;
  // A folder, pipe or link where the copy belongs is never an up-to-date copy, whatever its
  // size or date says.
  if (destinationFacts.kind != EntryKind::kFile) return true;
  switch (context.job.compareMethod) {
    case kCompareSize:
      return sourceFacts().size != destinationFacts.size;
    case kCompareDate:
      return destinationFacts.localDate < sourceFacts().localDate;
    case kCompareCrc32:
    case kCompareMd5:
      break;
    default:
      return false;
  }
  // Files of different sizes cannot hold the same content: no need to read them.
  if (sourceFacts().size != destinationFacts.size) return true;
  FileSystem& fs = context.fs;
  const std::string source = context.job.source + relativePath;
  const std::string destination = context.job.destination + relativePath;
  if (context.job.compareMethod == kCompareCrc32) {
    auto [sourceSum, destinationSum] = fs.Crc32Pair(source, destination);
    return DiffersOrUnreadable(sourceSum, destinationSum);
  }
  auto [sourceHash, destinationHash] = fs.Md5Pair(source, destination);
  return DiffersOrUnreadable(sourceHash, destinationHash);
}

}  // namespace brisvel
