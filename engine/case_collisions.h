// On a destination that ignores letter case, source names that differ only in case land on
// one file there: copying the second would overwrite the first one's backup, and after a Move
// its only copy. The first name to reach a place keeps it: a name that meets another spelling
// earlier in the run is refused, and so is one that meets another spelling in the destination
// when that spelling is a source name of its own, or may be the only copy of a file that a
// Move took away. Otherwise the backup under another spelling is this very file, renamed only
// in letter case: it is compared and replaced as usual.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "core/backup_job.h"
#include "engine/fs.h"

namespace brisvel {

class CaseCollisions {
 public:
  // `job`'s folders end in a separator.
  CaseCollisions(FileSystem& fs, const BackupJob& job);

  // The relative path that `relativeFolder` + `name` would land on under another spelling;
  // empty when it may take its place. Letter case is Unicode's simple case folding.
  std::string Find(const std::string& relativeFolder, std::string_view name);

 private:
  // True when the destination's `storedName` is the backup of `relativeFolder` + a name that
  // differs from it only in letter case: no source name is spelt like it, and no Move took
  // away a file that it may be the only copy of.
  bool IsRenamedInCase(const std::string& relativeFolder, const std::string& storedName);
  // The names stored in the destination folder `relativeFolder`, by their folded spelling.
  void ListStored(const std::string& relativeFolder);
  // The names of the source folder `relativeFolder`, as they are spelt.
  void ListSource(const std::string& relativeFolder);

  FileSystem& fs_;
  const std::string source_;
  const std::string destination_;
  const bool move_;
  std::unordered_map<std::string, std::string> taken_;  // folded path -> path that has it
  std::string storedFolder_;
  bool listed_ = false;
  std::unordered_map<std::string, std::string> stored_;  // folded name -> name on disk
  std::string sourceFolder_;
  bool sourceListed_ = false;
  bool sourceReadable_ = false;
  std::unordered_set<std::string> sourceNames_;
};

}  // namespace brisvel
