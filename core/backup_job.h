// One backup job: what to back up, where to, and how.
#pragma once

#include <cstdint>
#include <string>

namespace brisvel {

// Option bits of BackupJob::flags.
enum JobFlag : uint8_t {
  kIncludeSubFolders = 0x01,
  kMoveInsteadOfCopy = 0x02,
  kDeleteOrphans = 0x04,
  kUpdateLogFile = 0x08,
  kOpenFolderWhenDone = 0x10,
  kEnabled = 0x20,
  kUseFilter = 0x40,
  // While set, choosing a source folder renames the job after it. Never stored in job files.
  kAutomaticName = 0x80,
};

// How a run judges whether a file changed; the code is also the index of the compare list.
enum CompareMethod : uint8_t {
  kCompareSize = 0,
  kCompareDate = 1,
  kCompareCrc32 = 2,
  kCompareMd5 = 3,
};

// What happens when a run ends; the code is also the index of both finish lists.
enum FinishAction : int32_t {
  kFinishExit = 0,
  kFinishReturn = 1,
  kFinishShutdown = 2,
};

struct BackupJob {
  std::string name;
  std::string source;
  std::string destination;
  uint8_t flags = 0;
  uint8_t compareMethod = kCompareSize;
  std::string logFile;
  std::string filter;
  // The destination is a drive of its own: when it is not connected the job is skipped, and
  // its folder is never created (which would fill the drive that holds the mount point).
  bool needsDrive = false;

  bool Has(JobFlag flag) const { return (flags & flag) != 0; }
  void Set(JobFlag flag, bool on) {
    flags = static_cast<uint8_t>(on ? (flags | flag) : (flags & ~flag));
  }
};

inline constexpr const char* kNewJobName = "New Job";
inline constexpr const char* kDefaultLogFile = "backup.log";

// "New Job", no folders, sub-folders on, enabled, automatic name, file size, "backup.log".
BackupJob DefaultJob();

// The default job with the command line's folders (each given a final separator) and flags
// exactly enabled + automatic name, before any option word is applied.
BackupJob CommandLineJob(const std::string& source, const std::string& destination);

// Gives the job a name typed by the user: blanks around it are removed; an empty result
// changes nothing and returns false; otherwise the automatic name is turned off.
bool RenameJob(BackupJob& job, const std::string& typed);

// Called when a source folder was chosen: a job with the automatic name takes the folder's
// last name. Returns true when the name changed.
bool ApplyAutomaticName(BackupJob& job, const std::string& chosenFolder);

}  // namespace brisvel
