#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "core/atomic_file.h"
#include "system/run_tool.h"
#include "system/schedule_store.h"
#include "system/systemd_units.h"
#include "system/xdg_folder.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

// Where systemd looks for the user's own units; "" when neither variable names a folder.
std::string UnitFolder() {
  const std::string config = XdgFolder("XDG_CONFIG_HOME", "/.config");
  return config.empty() ? "" : config + "/systemd/user";
}

constexpr const char* kNoUnitFolder =
    "Neither XDG_CONFIG_HOME nor HOME names a folder, so the schedule has nowhere to go.";

bool Systemctl(std::vector<std::string> words) {
  words.insert(words.begin(), {"systemctl", "--user"});
  return RunTool(words);
}

// A field of /proc/self/mountinfo with its octal escapes ("\040" for a blank) undone.
std::string MountField(const std::string& field) {
  std::string text;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3') {
      text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

bool Inside(const std::string& path, const std::string& folder) {
  return folder == "/" || path == folder || path.starts_with(folder + "/");
}

// The folder on which the file system that holds `path` is mounted: the innermost mount
// around the path with its links resolved (the part that exists).
std::string MountPointOf(const std::string& path) {
  std::error_code error;
  const std::string real = stdfs::weakly_canonical(path, error).string();
  if (error) return "/";
  std::ifstream mounts("/proc/self/mountinfo");
  std::string best = "/";
  for (std::string line; std::getline(mounts, line);) {
    // id, parent, device, root, mount point, ...
    size_t start = 0;
    for (int field = 0; field < 4 && start != std::string::npos; ++field) {
      start = line.find(' ', start);
      if (start != std::string::npos) ++start;
    }
    if (start == std::string::npos) continue;
    const std::string mountPoint = MountField(line.substr(start, line.find(' ', start) - start));
    if (Inside(real, mountPoint) && mountPoint.size() > best.size()) best = mountPoint;
  }
  return best;
}

// The mount points of the drives that hold the destinations, other than the computer's own
// drives (the root's and the home folder's), which never come and go.
std::vector<std::string> BackupDrives(const std::vector<std::string>& destinations) {
  std::set<std::string> own{"/"};
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    own.insert(MountPointOf(home));
  }
  std::vector<std::string> drives;
  for (const std::string& destination : destinations) {
    const std::string drive = MountPointOf(destination);
    if (!own.count(drive) && std::find(drives.begin(), drives.end(), drive) == drives.end()) {
      drives.push_back(drive);
    }
  }
  return drives;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Removes the links that enabling made to the units `names` (in the folders "*.wants" and
// "*.requires"), and such a folder when nothing else is left in it.
void RemoveEnableLinks(const std::string& folder, const std::set<std::string>& names) {
  std::error_code error;
  for (const stdfs::directory_entry& entry : stdfs::directory_iterator(folder, error)) {
    const std::string linkFolder = entry.path().string();
    if (!linkFolder.ends_with(".wants") && !linkFolder.ends_with(".requires")) continue;
    if (!entry.is_directory(error) || entry.is_symlink(error)) continue;
    for (const std::string& name : names) {
      const stdfs::path link = entry.path() / name;
      if (stdfs::is_symlink(stdfs::symlink_status(link, error))) stdfs::remove(link, error);
    }
    if (stdfs::is_empty(entry.path(), error)) stdfs::remove(entry.path(), error);
  }
}

// Removes `folder` and the folder above it when they are empty.
void RemoveEmptyFolders(const std::string& folder) {
  std::error_code error;
  const stdfs::path path(folder);
  if (stdfs::is_empty(path, error) && stdfs::remove(path, error)) {
    if (stdfs::is_empty(path.parent_path(), error)) stdfs::remove(path.parent_path(), error);
  }
}

// Removes the units of `base` and their links; true when there was anything to remove.
bool RemoveUnits(const std::string& folder, const std::string& base) {
  const std::string service = base + ".service";
  const std::string timer = base + ".timer";
  Systemctl({"stop", timer});  // a backup under way is left to finish
  RemoveEnableLinks(folder, {service, timer});
  std::error_code error;
  bool removed = stdfs::remove(folder + "/" + service, error);
  removed = stdfs::remove(folder + "/" + timer, error) || removed;
  RemoveEmptyFolders(folder);
  // The time of the timer's last run, which systemd keeps for Persistent=true: left behind,
  // it would make the same schedule made again later start a run at once.
  const std::string data = XdgFolder("XDG_DATA_HOME", "/.local/share");
  if (!data.empty()) stdfs::remove(data + "/systemd/timers/stamp-" + timer, error);
  return removed;
}

bool WriteUnit(const std::string& path, const std::string& text, std::string* fault) {
  std::error_code error;
  stdfs::create_directories(stdfs::path(path).parent_path(), error);
  if (WriteFileAtomically(path, text)) return true;
  *fault = "Couldn't write " + path + ": " + std::strerror(errno);
  return false;
}

}  // namespace

ScheduleOutcome StoreSchedule(const ScheduledJob& job) {
  const std::string folder = UnitFolder();
  if (folder.empty()) return {false, kNoUnitFolder};
  const bool onConnect = job.schedule.kind == Schedule::Kind::kConnect;
  const std::vector<std::string> drives =
      onConnect ? BackupDrives(job.destinations) : std::vector<std::string>{};
  if (onConnect && drives.empty()) {
    return {false, "No destination of " + job.jobFile +
                       " lies on a drive of its own that is connected now: connect the backup "
                       "drive and schedule again."};
  }
  const std::string base = ScheduleName(job.jobFile);
  RemoveUnits(folder, base);
  std::string fault;
  if (!WriteUnit(folder + "/" + base + ".service", ServiceUnitText(job, drives), &fault) ||
      (!onConnect && !WriteUnit(folder + "/" + base + ".timer", TimerUnitText(job), &fault))) {
    RemoveUnits(folder, base);
    return {false, fault};
  }
  std::string when;
  for (const std::string& drive : drives) when += (when.empty() ? "" : " or ") + drive;
  std::string text = ScheduledText(job, when);
  const std::vector<std::string> enable =
      onConnect ? std::vector<std::string>{"enable", base + ".service"}
                : std::vector<std::string>{"enable", "--now", base + ".timer"};
  if (!Systemctl({"daemon-reload"})) {
    std::string command = "systemctl --user";
    for (const std::string& word : enable) command += " " + word;
    text += "\nNo systemd user manager answers here, so the schedule is written to " + folder +
            " but not enabled. Enable it with: " + command;
  } else if (!Systemctl(enable)) {
    text += "\nsystemctl could not enable " + base + "; see: systemctl --user status " + base;
    return {false, text};
  }
  return {true, text};
}

ScheduleOutcome RemoveStoredSchedule(const std::string& jobFile) {
  const std::string folder = UnitFolder();
  if (folder.empty()) return {false, kNoUnitFolder};
  const bool removed = RemoveUnits(folder, ScheduleName(jobFile));
  Systemctl({"daemon-reload"});
  return {true, removed ? "Schedule removed: " + jobFile : "No schedule for " + jobFile + "."};
}

ScheduleOutcome ListSchedules() {
  const std::string folder = UnitFolder();
  if (folder.empty()) return {false, kNoUnitFolder};
  std::set<std::string> lines;
  std::error_code error;
  for (const stdfs::directory_entry& entry : stdfs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("brisvel-") || !name.ends_with(".service")) continue;
    const std::optional<UnitSchedule> unit = ReadServiceUnit(ReadWhole(entry.path().string()));
    if (!unit) continue;
    const bool gone = !stdfs::exists(unit->jobFile, error);
    lines.insert(unit->jobFile + ": " + unit->words + (gone ? " (the job file is missing)" : ""));
  }
  if (lines.empty()) return {true, "No schedules."};
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return {true, text};
}

}  // namespace brisvel
