#include "engine/move_guard.h"

namespace brisvel {

MoveVerdict JudgeCopiedMove(FileSystem& fs, const FilePair& pair, const FileStamp& copiedFrom) {
  const std::optional<FileStamp> copy = fs.StampIn(pair.backup, pair.name, Links::kEntryItself);
  if (!copy || copy->size != copiedFrom.size) return MoveVerdict::kNoPlainCopy;
  const std::optional<FileStamp> now = fs.StampIn(pair.source, pair.name, Links::kFollow);
  if (now && now->SameFile(*copy)) return MoveVerdict::kSameFile;
  if (!now || *now != copiedFrom) return MoveVerdict::kChanged;
  return MoveVerdict::kDelete;
}

MoveVerdict JudgeUnchangedMove(FileSystem& fs, const FilePair& pair,
                               const std::optional<FileStamp>& judged, bool compareContents) {
  const std::optional<FileStamp> copy = fs.StampIn(pair.backup, pair.name, Links::kEntryItself);
  if (!copy) return MoveVerdict::kNoPlainCopy;
  if (!judged) return MoveVerdict::kChanged;
  if (judged->SameFile(*copy)) return MoveVerdict::kSameFile;
  if (judged->size != copy->size) return MoveVerdict::kContentsDiffer;
  if (compareContents) {
    switch (fs.SameContentsIn(pair)) {
      case Sameness::kSame:
        break;
      case Sameness::kDifferent:
        return MoveVerdict::kContentsDiffer;
      case Sameness::kUnreadable:
        return MoveVerdict::kUnreadable;
    }
  }
  // Looked up again only now, after the bytes were compared.
  const std::optional<FileStamp> now = fs.StampIn(pair.source, pair.name, Links::kFollow);
  if (!now || *now != *judged) return MoveVerdict::kChanged;
  return MoveVerdict::kDelete;
}

std::string NotMovedRow(const std::string& relative, MoveVerdict verdict) {
  std::string reason;
  switch (verdict) {
    case MoveVerdict::kChanged:
      reason = "it changed while it was being moved";
      break;
    case MoveVerdict::kSameFile:
      reason = "the source and the backup are the same file";
      break;
    case MoveVerdict::kContentsDiffer:
      reason = "its contents differ from the backup's";
      break;
    case MoveVerdict::kUnreadable:
      reason = "it or its backup could not be read to compare them";
      break;
    case MoveVerdict::kNoPlainCopy:
    case MoveVerdict::kDelete:
      reason = "the backup is not a plain file";
      break;
  }
  return "Not moved " + relative + ": " + reason;
}

}  // namespace brisvel
