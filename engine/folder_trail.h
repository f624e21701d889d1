// The open folders of a walk, from its top folder down to the folder it is in, each opened
// from the one above it and never through a link. A deep tree keeps only its lowest levels
// open, so no walk runs out of descriptors: a level closed on the way down is opened again
// from the nearest open level above it when the walk comes back up to it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/fs.h"

namespace brisvel {

class FolderTrail {
 public:
  // Levels below the top that stay open at most.
  static constexpr size_t kOpenLevels = 8;

  // Starts at `top`, which stays open for the whole walk.
  FolderTrail(FileSystem& fs, Folder top);

  // The folder the walk is in. Not open, with the reason, when it had to be opened again and
  // could not be.
  const Folder& Here();

  // The path of Here() below the top, ending in a separator; "" at the top.
  const std::string& Relative() const { return relative_; }

  // Goes down into the sub-folder `name` of Here(); when it cannot be opened, gives the
  // reason and stays where it was.
  Status Enter(const std::string& name);

  // Goes back up to the folder above. Not at the top.
  void Leave();

 private:
  struct Level {
    size_t relativeLength;  // of relative_ at this level
    Folder folder;          // closed while the walk is too far below it
  };

  FileSystem& fs_;
  std::vector<Level> levels_;
  std::string relative_;
};

}  // namespace brisvel
