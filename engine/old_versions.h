// The old versions a job keeps. A backup that a run replaces, or deletes as an orphan, is first
// moved into a folder of that run under the job's version folder, at the same place below it
// as in the destination. A run's folder is named after the run's start in local time
// ("2026-12-09 131500"); a run that starts within the same second as an earlier one gets a
// suffix ("2026-12-09 131500-2"), and the folder is made when the run keeps its first file,
// so two runs never share one. Everything is reached from open folders, never through a
// link, so nothing is ever written outside the version folder.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "core/backup_job.h"
#include "engine/fs.h"

namespace brisvel {

class OldVersions {
 public:
  // For `job`, whose folders end in a separator; `runStart` names the run's folder.
  OldVersions(FileSystem& fs, const BackupJob& job, std::time_t runStart);

  // The folder that holds the runs' folders, ending in a separator.
  const std::string& Root() const { return root_; }

  // Moves the entry `name` of `folder` (at `relative` below the destination) into this run's
  // folder, keeping its modified time: renamed on the same drive, else copied and then
  // removed. On failure the entry stays where it was and the reason is given.
  Status Keep(const Folder& folder, const std::string& relative, const std::string& name);

  // Moves the version of `name` kept by this run back to `folder`, when a copy meant to
  // replace it failed and left its place empty. True when it is back.
  bool PutBack(const Folder& folder, const std::string& relative, const std::string& name);

  // The name of this run's folder once it is made ("" before).
  const std::string& RunFolderName() const { return runName_; }

  // A run folder that retention removed, or failed to remove.
  struct Removal {
    std::string name;
    bool removed = false;
  };
  // Removes whole run folders: those beyond the last `keepRuns` (0: none), and those older
  // than `keepDays` days at `now` by the time in their names (0: none). Folders whose names
  // are not those of run folders are never touched.
  std::vector<Removal> RemoveExpired(int32_t keepRuns, int32_t keepDays, std::time_t now);

 private:
  Folder OpenRoot(bool create);
  Status MakeRunFolder();
  Folder RunSubFolder(const std::string& relative);

  FileSystem& fs_;
  const std::string destination_;
  std::string root_;
  std::optional<std::string> insideDestination_;  // the root below the destination
  const std::time_t runStart_;
  Folder rootFolder_;
  Folder runFolder_;
  std::string runName_;
  std::string openRelative_;  // of openSub_
  Folder openSub_;
};

// The folder that holds `job`'s old versions, ending in a separator: kDefaultVersionFolder in
// the destination unless the job names another (a relative one lies in the destination). It
// is the program's whether versions are on or not: a job that stopped keeping them still
// never backs up, counts or deletes the ones it kept.
std::string VersionFolderOf(const BackupJob& job);

// The time in a run folder's name as seconds of local time since 1970, and its suffix (1 when
// it has none); nullopt for any other name.
struct RunFolderTime {
  int64_t localSeconds = 0;
  int suffix = 1;
};
std::optional<RunFolderTime> ParseRunFolderName(const std::string& name);

// The name of a run's folder for `moment`, before any suffix.
std::string RunFolderName(std::time_t moment);

}  // namespace brisvel
