// The folder a walk of one job folder must leave alone because it is the job's other folder:
// the destination when it lies inside the source, or the source inside the destination.
#pragma once

#include <optional>
#include <string>

#include "engine/fs.h"

namespace brisvel {

class ExcludedFolder {
 public:
  // `other` as seen from a walk of `walked` (both folder texts of the job) on `fs`. Excludes
  // nothing when `other` lies outside `walked`.
  ExcludedFolder(FileSystem& fs, const std::string& walked, const std::string& other);

  // True when `other` is `walked` itself under another spelling: nothing may be walked.
  bool IsWholeWalk() const { return wholeWalk_; }

  // True when entry `name` of the walk's `relativeFolder` is the other folder, or the path
  // the other folder's text goes through. `walked` is the walk's top folder text.
  bool Matches(const std::string& walked, const std::string& relativeFolder,
               const std::string& name) const;

 private:
  FileSystem& fs_;
  std::string other_;
  std::string realRelative_;     // below the walked folder's real path, "" when not inside
  std::string textualRelative_;  // the same from the folder texts as written
  bool wholeWalk_ = false;
};

// `inner` relative to `outer`, both without a final separator, as "a/b/" ("" when they are
// equal); nullopt when `inner` does not lie inside `outer`.
std::optional<std::string> RelativeInside(const std::string& outer, const std::string& inner);

// `path` without repeated separators, "." parts and a final separator.
std::string TidyPath(const std::string& path);

}  // namespace brisvel
