// On a destination that ignores letter case, source names that differ only in case land on
// one file there: copying the second would overwrite the first one's backup, and after a Move
// its only copy. The first name to reach a place keeps it: a name that meets another spelling,
// earlier in the run or already in the destination, is refused.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/fs.h"

namespace brisvel {

class CaseCollisions {
 public:
  // `destination` ends in a separator.
  CaseCollisions(FileSystem& fs, std::string destination);

  // The relative path that `relativeFolder` + `name` would land on under another spelling;
  // empty when it lands on its own. Letter case here is that of ASCII letters.
  std::string Find(const std::string& relativeFolder, std::string_view name);

 private:
  // The names stored in the destination folder `relativeFolder`, by their folded spelling.
  void ListStored(const std::string& relativeFolder);

  FileSystem& fs_;
  const std::string destination_;
  std::unordered_map<std::string, std::string> taken_;  // folded path -> path that has it
  std::string storedFolder_;
  bool listed_ = false;
  std::unordered_map<std::string, std::string> stored_;  // folded name -> name on disk
};

}  // namespace brisvel
