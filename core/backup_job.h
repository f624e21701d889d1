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

// How many files one run's orphan pass may delete: a number of files, or a share of the files
// the destination holds. A pass that would delete more deletes none.
struct DeletionLimit {
  enum class Kind : uint8_t { kNone, kFiles, kPercent };
  Kind kind = Kind::kNone;
  int64_t value = 0;  // files, or percent from 0 to 100

  bool IsSet() const { return kind != Kind::kNone; }
  bool operator==(const DeletionLimit&) const = default;
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
  // Old versions: a backup that a run replaces or deletes as an orphan is first moved into a
  // folder of that run under `versionFolder` (empty: kDefaultVersionFolder inside the
  // destination; a relative path lies inside the destination).
  bool keepVersions = false;
  std::string versionFolder;
  int32_t keepRuns = 0;  // the version folders of the last N runs that kept something; 0: all
  int32_t keepDays = 0;  // version folders older than N days are removed; 0: never
  DeletionLimit maxDelete;
  // Patterns of paths a run leaves alone, separated by ';' (see SplitPatterns).
  std::string exclude;

  bool Has(JobFlag flag) const { return (flags & flag) != 0; }
  void Set(JobFlag flag, bool on) {
    flags = static_cast<uint8_t>(on ? (flags | flag) : (flags & ~flag));
  }
};

inline constexpr const char* kNewJobName = "New Job";
inline constexpr const char* kDefaultLogFile = "backup.log";
inline constexpr const char* kDefaultVersionFolder = ".brisvel-versions";

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
