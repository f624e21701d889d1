#include "engine/old_versions.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "core/text.h"
#include "engine/excluded_folder.h"
#include "engine/local_clock.h"

namespace brisvel {
namespace {

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

int64_t LocalSecondsOf(const std::tm& time) {
  return DaysFromCivil(time.tm_year + 1900, time.tm_mon + 1, time.tm_mday) * 86400 +
         time.tm_hour * 3600 + time.tm_min * 60 + time.tm_sec;
}

// Removes the folder `name` of `parent` with everything in it, never through a link: a link
// inside is removed itself. True when the folder is gone.
bool RemoveTree(FileSystem& fs, const Folder& parent, const std::string& name) {
  const Folder folder = fs.OpenFolderIn(parent, name);
  if (!folder) return false;
  std::vector<std::string> files;
  std::vector<std::string> folders;
  {
    std::unique_ptr<FolderListing> listing = fs.ListFolder(folder);
    FolderEntry entry;
    while (listing->Next(entry)) {
      (entry.kind == EntryKind::kFolder ? folders : files).push_back(entry.name);
    }
    if (listing->Error() != 0) return false;
  }
  for (const std::string& file : files) (void)fs.DeleteFileIn(folder, file);
  for (const std::string& sub : folders) (void)RemoveTree(fs, folder, sub);
  return fs.RemoveFolderIn(parent, name).ok();
}

}  // namespace

std::string VersionFolderOf(const BackupJob& job) {
  const std::string& folder = job.versionFolder.empty() ? kDefaultVersionFolder : job.versionFolder;
  return WithTrailingSeparator(StaysInsideFolder(folder) ? job.destination + folder : folder);
}

std::string RunFolderName(std::time_t moment) {
  const std::tm time = LocalCalendarTime(moment);
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d%02d%02d", time.tm_year + 1900,
                time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  return text;
}

std::optional<RunFolderTime> ParseRunFolderName(const std::string& name) {
  // "YYYY-MM-DD HHMMSS", then "-N" for a later run of the same second.
  static constexpr std::string_view kShape = "0000-00-00 000000";
  if (name.size() < kShape.size()) return std::nullopt;
  for (size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = name[i] >= '0' && name[i] <= '9';
    if (kShape[i] == '0' ? !digit : name[i] != kShape[i]) return std::nullopt;
  }
  RunFolderTime parsed;
  if (name.size() > kShape.size()) {
    const std::string suffix = name.substr(kShape.size());
    if (suffix.size() < 2 || suffix.size() > 6 || suffix[0] != '-') return std::nullopt;
    parsed.suffix = 0;
    for (size_t i = 1; i < suffix.size(); ++i) {
      if (suffix[i] < '0' || suffix[i] > '9') return std::nullopt;
      parsed.suffix = parsed.suffix * 10 + (suffix[i] - '0');
    }
  }
  const auto number = [&](size_t at, size_t length) {
    return std::stoi(name.substr(at, length));
  };
  std::tm time{};
  time.tm_year = number(0, 4) - 1900;
  time.tm_mon = number(5, 2) - 1;
  time.tm_mday = number(8, 2);
  time.tm_hour = number(11, 2);
  time.tm_min = number(13, 2);
  time.tm_sec = number(15, 2);
  parsed.localSeconds = LocalSecondsOf(time);
  return parsed;
}

OldVersions::OldVersions(FileSystem& fs, const BackupJob& job, std::time_t runStart)
    : fs_(fs), destination_(job.destination), runStart_(runStart) {
  root_ = VersionFolderOf(job);
  insideDestination_ = RelativeInside(TidyPath(destination_), TidyPath(root_));
}

// The version folder, made when `create` and it is missing. Inside the destination it is
// opened, and made, one name at a time from the destination folder.
Folder OldVersions::OpenRoot(bool create) {
  if (rootFolder_) return rootFolder_;
  if (!insideDestination_) {
    if (create) (void)EnsureFolderPath(fs_, root_);
    rootFolder_ = fs_.OpenFolder(root_);
    return rootFolder_;
  }
  Folder folder = fs_.OpenFolder(destination_);
  const std::string& relative = *insideDestination_;
  size_t start = 0;
  while (folder && start < relative.size()) {
    const size_t end = relative.find(kPathSeparator, start);
    const std::string name = relative.substr(start, end - start);
    Folder next = fs_.OpenFolderIn(folder, name);
    if (!next && next.Error() == ENOENT && create) {
      const Status made = fs_.CreateFolderIn(folder, name);
      next = made.ok() || made.error() == EEXIST ? fs_.OpenFolderIn(folder, name)
                                                 : Folder::NotOpened(made.error());
    }
    folder = std::move(next);
    start = end + 1;
  }
  if (folder) rootFolder_ = folder;
  return folder;
}

// Makes this run's folder: named after the run's start, with the first free suffix. Made
// in one step each, so a name that another run took meanwhile is passed over.
Status OldVersions::MakeRunFolder() {
  const Folder root = OpenRoot(true);
  if (!root) return Status::Failure(root.Error());
  const std::string base = brisvel::RunFolderName(runStart_);
  for (int suffix = 1; suffix < 10000; ++suffix) {
    const std::string name = suffix == 1 ? base : base + "-" + std::to_string(suffix);
    const Status made = fs_.CreateFolderIn(root, name);
    if (!made.ok() && made.error() == EEXIST) continue;
    if (!made.ok()) return made;
    runFolder_ = fs_.OpenFolderIn(root, name);
    if (!runFolder_) return Status::Failure(runFolder_.Error());
    runName_ = name;
    return Status();
  }
  return Status::Failure(EEXIST);
}

// The folder at `relative` below this run's folder, made as needed.
Folder OldVersions::RunSubFolder(const std::string& relative) {
  if (relative.empty()) return runFolder_;
  if (openSub_ && openRelative_ == relative) return openSub_;
  Folder folder = runFolder_;
  size_t start = 0;
  while (folder && start < relative.size()) {
    const size_t end = relative.find(kPathSeparator, start);
    const std::string name = relative.substr(start, end - start);
    (void)fs_.CreateFolderIn(folder, name);  // there already, or the open below says why not
    folder = fs_.OpenFolderIn(folder, name);
    start = end + 1;
  }
  openRelative_ = relative;
  openSub_ = folder;
  return folder;
}

Status OldVersions::Keep(const Folder& folder, const std::string& relative,
                         const std::string& name) {
  if (!runFolder_) {
    if (const Status made = MakeRunFolder(); !made.ok()) return made;
  }
  const Folder target = RunSubFolder(relative);
  if (!target) return Status::Failure(target.Error());
  const Status moved = fs_.MoveFileIn(folder, name, target, name);
  if (moved.ok() || moved.error() != EXDEV) return moved;
  // Another drive: the copy keeps the modified time, and the file goes only once the copy
  // is complete.
  if (const Status copied = fs_.CopyFileIn(FilePair{folder, target, name}, CopyControl{});
      !copied.ok()) {
    return copied;
  }
  const Status removed = fs_.DeleteFileIn(folder, name);
  if (!removed.ok()) (void)fs_.DeleteFileIn(target, name);
  return removed;
}

bool OldVersions::PutBack(const Folder& folder, const std::string& relative,
                          const std::string& name) {
  const Folder kept = RunSubFolder(relative);
  if (!kept || fs_.LookupIn(folder, name) != PathState::kMissing) return false;
  const Status moved = fs_.MoveFileIn(kept, name, folder, name);
  if (moved.ok()) return true;
  if (moved.error() != EXDEV || !fs_.CopyFileIn(FilePair{kept, folder, name}, CopyControl{}).ok()) {
    return false;
  }
  (void)fs_.DeleteFileIn(kept, name);
  return true;
}

std::vector<OldVersions::Removal> OldVersions::RemoveExpired(int32_t keepRuns, int32_t keepDays,
                                                             std::time_t now) {
  std::vector<Removal> removals;
  if (keepRuns <= 0 && keepDays <= 0) return removals;
  const Folder root = OpenRoot(false);
  if (!root) return removals;
  struct Run {
    RunFolderTime time;
    std::string name;
  };
  std::vector<Run> runs;
  {
    std::unique_ptr<FolderListing> listing = fs_.ListFolder(root);
    FolderEntry entry;
    while (listing->Next(entry)) {
      if (entry.kind != EntryKind::kFolder) continue;
      if (const auto time = ParseRunFolderName(entry.name)) runs.push_back({*time, entry.name});
    }
  }
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
    if (a.time.localSeconds != b.time.localSeconds) return a.time.localSeconds < b.time.localSeconds;
    return a.time.suffix < b.time.suffix;
  });
  const int64_t oldest = LocalSecondsOf(LocalCalendarTime(now)) - int64_t{keepDays} * 86400;
  const size_t beyond =
      keepRuns > 0 && runs.size() > static_cast<size_t>(keepRuns) ? runs.size() - keepRuns : 0;
  for (size_t i = 0; i < runs.size(); ++i) {
    const bool tooMany = i < beyond;
    const bool tooOld = keepDays > 0 && runs[i].time.localSeconds < oldest;
    if (!tooMany && !tooOld) continue;
    removals.push_back({runs[i].name, RemoveTree(fs_, root, runs[i].name)});
  }
  return removals;
}

}  // namespace brisvel
