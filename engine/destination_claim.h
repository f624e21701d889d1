// A job's hold on its destination folder while it runs: the run lock, so that two runs never
// work in one destination at once, and a marker file with a name unique to the run, through
// which the job recognises its destination under any other name (a bind mount, another
// letter case on a drive that ignores case), where comparing inode numbers is not enough.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/fs.h"

namespace brisvel {

class DestinationClaim {
 public:
  // kBusyAround: a live run holds a folder around the destination (HolderAround()).
  enum class Status { kHeld, kBusy, kBusyAround, kUnwritable };

  // Which folders of the destination a run may write in: the marker says so, for the run
  // that finds it after this one was killed.
  enum class Reach { kTopFolder, kSubFolders };

  // Takes the lock of `destination` (ending in a separator), makes sure no live run holds a
  // folder around it, notes the markers that killed runs left there and places this run's
  // marker. One run works in a tree of folders: a run that starts inside it finds the lock
  // around it, and the walks of the run around leave alone a folder that another run holds.
  DestinationClaim(FileSystem& fs, const std::string& destination, Reach reach);
  // Removes the marker, then releases the lock.
  ~DestinationClaim();
  DestinationClaim(const DestinationClaim&) = delete;
  DestinationClaim& operator=(const DestinationClaim&) = delete;

  Status status() const { return status_; }
  // The folder, ending in a separator, that a live run holds around the destination; empty
  // unless kBusyAround.
  const std::string& HolderAround() const { return holderAround_; }
  // The marker's file name; empty unless held.
  const std::string& MarkerName() const { return marker_; }
  // True when the destination finds the marker under another letter case too.
  bool IgnoresCase() const { return ignoresCase_; }
  // True when temporary copies of an earlier run may be left in the destination's folders:
  // a run was killed before it could remove its marker, or this run has no marker, so that
  // its own end could not be told. A run that always looked would list every destination
  // folder once more.
  bool MayHoldLeftovers() const { return !killedRuns_.empty() || marker_.empty(); }
  // Removes the markers of the killed runs that could write only in the folders the job has
  // tidied: the top folder, or with kSubFolders every folder.
  void ForgetKilledRuns(Reach tidied);

 private:
  FileSystem& fs_;
  const std::string destination_;
  std::unique_ptr<FolderLock> lock_;
  std::string marker_;
  std::string holderAround_;
  std::vector<std::string> killedRuns_;  // their markers' names
  Status status_ = Status::kBusy;
  bool ignoresCase_ = false;
};

// True when `folder` (ending in a separator) holds the file `marker`: it is the folder in
// which the marker was placed, under whatever name.
bool HoldsMarker(FileSystem& fs, const std::string& folder, const std::string& marker);

}  // namespace brisvel
