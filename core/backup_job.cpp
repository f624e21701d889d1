#include "core/backup_job.h"

#include "core/text.h"

namespace brisvel {

BackupJob DefaultJob() {
  BackupJob job;
  job.name = kNewJobName;
  job.flags = kIncludeSubFolders | kEnabled | kAutomaticName;
  job.compareMethod = kCompareSize;
  job.logFile = kDefaultLogFile;
  return job;
}

BackupJob CommandLineJob(const std::string& source, const std::string& destination) {
  BackupJob job = DefaultJob();
  job.source = WithTrailingSeparator(source);
  job.destination = WithTrailingSeparator(destination);
  job.flags = kEnabled | kAutomaticName;
  return job;
}

bool RenameJob(BackupJob& job, const std::string& typed) {
  std::string name = Trim(typed);
  if (name.empty()) return false;
  job.name = name;
  job.Set(kAutomaticName, false);
  return true;
}

bool ApplyAutomaticName(BackupJob& job, const std::string& chosenFolder) {
  if (!job.Has(kAutomaticName)) return false;
  std::string folder = chosenFolder;
  if (EndsWithSeparator(folder)) folder.pop_back();
  std::string name = Trim(FilePart(folder));
  if (name.empty()) return false;  // a root folder has no last name to take
  job.name = name;
  return true;
}

}  // namespace brisvel
