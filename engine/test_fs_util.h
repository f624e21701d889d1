// A temporary folder for file-system tests whose paths end in a separator, as job folders
// do, removed with everything in it at the end.
#pragma once

#include <string>

#include "core/test_folder.h"

namespace brisvel {

class TempFolder {
 public:
  // The full path of `relative`; the folder itself, with its final separator, for "".
  std::string operator/(const std::string& relative) const { return path_ + relative; }

  void Write(const std::string& relative, const std::string& content) const {
    WriteFile(path_ + relative, content);
  }
  std::string Read(const std::string& relative) const { return ReadFile(path_ + relative); }
  // The names in `relative`, sorted, "." and ".." left out.
  std::string Names(const std::string& relative = "") const { return folder_.Names(relative); }

 private:
  TestFolder folder_;
  const std::string path_ = folder_.Path() + "/";
};

}  // namespace brisvel
