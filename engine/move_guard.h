// The last look before a Move deletes a source: the source goes only when the destination
// holds a complete copy of exactly its present contents and the two are not one file.
#pragma once

#include <optional>
#include <string>

#include "engine/fs.h"

namespace brisvel {

enum class MoveVerdict {
  kDelete,          // the source may go
  kChanged,         // the source is no longer what was copied or compared
  kSameFile,        // source and backup are one file under two names
  kContentsDiffer,  // the backup holds other bytes than the source
  kUnreadable,      // the source or the backup could not be read to compare them
  kNoPlainCopy,     // the backup is missing, a link or not a regular file
};

// For the source of `pair` that was just copied: `copiedFrom` is its stamp when the copy
// read it.
MoveVerdict JudgeCopiedMove(FileSystem& fs, const FilePair& pair, const FileStamp& copiedFrom);

// For the source of `pair` that the compare method judged unchanged: `judged` is its stamp
// from before the comparison. With `compareContents` (verdicts that do not rest on the
// bytes), the bytes must match too.
MoveVerdict JudgeUnchangedMove(FileSystem& fs, const FilePair& pair,
                               const std::optional<FileStamp>& judged, bool compareContents);

// The row text for a source that stays, e.g. "Not moved a.txt: ...".
std::string NotMovedRow(const std::string& relative, MoveVerdict verdict);

}  // namespace brisvel
