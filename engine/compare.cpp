#include "core/text.h"
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
  FileSystem& fs = context.fs;
  const std::string folder = FolderPart(relativePath);
  const std::string name = FilePart(relativePath);
  const Folder source = fs.OpenFolderIn(fs.OpenFolder(context.job.source), folder);
  const Folder backup = fs.OpenFolderIn(fs.OpenFolder(context.job.destination), folder);
  const Dates dates = context.job.compareMethod == kCompareDate ? Dates::kWith : Dates::kWithout;
  const FileFacts backupFacts =
      backup ? fs.FactsIn(backup, name, Links::kEntryItself, dates) : FileFacts{};
  return NeedsCopy(context, FilePair{source, backup, name}, backupFacts, [&] {
    return source ? fs.FactsIn(source, name, Links::kFollow, dates) : FileFacts{};
  });
}

bool NeedsCopy(JobContext& context, const FilePair& pair, const FileFacts& destinationFacts,
               const std::function<FileFacts()>& sourceFacts) {
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
  if (context.job.compareMethod == kCompareCrc32) {
    auto [sourceSum, destinationSum] = fs.Crc32PairIn(pair);
    return DiffersOrUnreadable(sourceSum, destinationSum);
  }
  auto [sourceHash, destinationHash] = fs.Md5PairIn(pair);
  return DiffersOrUnreadable(sourceHash, destinationHash);
}

}  // namespace brisvel
