#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/test_folder_posix.h"
#include "system/program_path.h"
#include "system/schedule.h"
#include "system/schedule_store.h"
#include "system/systemd_units.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;
using Words = std::vector<std::string>;

// Every entry under `folder`, with the target of each link: shows what was written.
std::string Tree(const std::string& folder) {
  std::set<std::string> entries;
  std::error_code error;
  for (const auto& entry : stdfs::recursive_directory_iterator(folder, error)) {
    std::string line = entry.path().string().substr(folder.size());
    if (entry.is_symlink()) line += " -> " + stdfs::read_symlink(entry.path()).string();
    entries.insert(line);
  }
  std::string tree;
  for (const std::string& line : entries) tree += line + "\n";
  return tree;
}

// A user's configuration folder and a systemctl that writes down how it was called and
// answers as a user manager would (`answers`) or as one that is not there.
class ScheduleOnLinux : public ::testing::Test {
 protected:
  ScheduleOnLinux()
      : path_("PATH", folder_ / "bin"),
        config_("XDG_CONFIG_HOME", folder_ / "config"),
        data_("XDG_DATA_HOME", folder_ / "data") {
    WriteFile(folder_ / "src/a.txt", "a");
    WriteFile(folder_ / "jobs.jbs", "<brisvel><job name=\"J\" copyfrom=\"" + (folder_ / "src") +
                                        "\" copyto=\"" + (folder_ / "dst") + "\"/></brisvel>");
    // Somebody else's units, which must stay as they are.
    WriteFile(units_ + "/other.timer", "[Timer]\nOnCalendar=daily\n");
    stdfs::create_directories(units_ + "/timers.target.wants");
    stdfs::create_symlink("../other.timer", units_ + "/timers.target.wants/other.timer");
  }
  void Systemctl(bool answers) {
    WriteScript(folder_ / "bin/systemctl", "echo \"$*\" >> '" + (folder_ / "calls") + "'\nexit " +
                                               (answers ? "0" : "1") + "\n");
  }
  ScheduleOutcome Command(const Words& words) {
    std::filesystem::remove(folder_ / "calls");
    return ScheduleCommand(words, RunningProgramPath());
  }
  std::string Calls() { return ReadFile(folder_ / "calls"); }
  std::string Unit(const std::string& suffix) { return ReadFile(units_ + "/" + base_ + suffix); }

  // systemd's own check of the units, where systemd-analyze is installed; it needs no manager.
  void ExpectSystemdAccepts(const Words& units) {
    if (!stdfs::exists("/usr/bin/systemd-analyze")) return;
    stdfs::create_directory(folder_ / "runtime");
    std::string command =
        "XDG_RUNTIME_DIR='" + (folder_ / "runtime") + "' /usr/bin/systemd-analyze --user verify";
    for (const std::string& unit : units) command += " '" + units_ + "/" + unit + "'";
    EXPECT_EQ(std::system((command + " > '" + (folder_ / "verify") + "' 2>&1").c_str()), 0);
    EXPECT_EQ(ReadFile(folder_ / "verify"), "");
  }

  TestFolder folder_;
  ScopedEnv path_;
  ScopedEnv config_;
  ScopedEnv data_;
  const std::string units_ = folder_ / "config/systemd/user";
  const std::string base_ = ScheduleName(folder_ / "jobs.jbs");
};

// Without a user manager the units are written and the one command that enables them is
// named; "off" then removes exactly what the schedule and its enabling left, nothing else.
TEST_F(ScheduleOnLinux, WithoutAUserManagerTheUnitsWaitAndOffRemovesThemAll) {
  Systemctl(false);
  const std::string before = Tree(folder_ / "config");
  const ScheduleOutcome weekly = Command({folder_ / "jobs.jbs", "weekly", "Mon", "07:30"});
  EXPECT_TRUE(weekly.done);
  EXPECT_EQ(weekly.text, "Scheduled: " + (folder_ / "jobs.jbs") +
                             " runs every Monday at 07:30; a run missed while the computer is off "
                             "follows when it next starts.\nNo systemd user manager answers here, "
                             "so the schedule is written to " +
                             units_ +
                             " but not enabled. Enable it with: systemctl --user enable --now " +
                             base_ + ".timer");
  EXPECT_NE(Unit(".timer").find("\nOnCalendar=Mon *-*-* 07:30:00\nPersistent=true\n"),
            std::string::npos);
  EXPECT_NE(Unit(".service")
                .find("\nExecStart=\"" + RunningProgramPath() + "\" --scheduled \"" +
                      (folder_ / "jobs.jbs") + "\" silent\n"),
            std::string::npos);
  ExpectSystemdAccepts({base_ + ".service", base_ + ".timer"});
  EXPECT_EQ(Command({}).text, (folder_ / "jobs.jbs") + ": weekly monday 07:30");

  // What "systemctl --user enable" leaves, and what the timer's runs leave.
  stdfs::create_symlink(units_ + "/" + base_ + ".timer",
                        units_ + "/timers.target.wants/" + base_ + ".timer");
  const std::string stamp = folder_ / ("data/systemd/timers/stamp-" + base_ + ".timer");
  WriteFile(stamp, "");
  EXPECT_EQ(Command({folder_ / "jobs.jbs", "off"}).text,
            "Schedule removed: " + (folder_ / "jobs.jbs"));
  EXPECT_EQ(Tree(folder_ / "config"), before);
  EXPECT_FALSE(stdfs::exists(stamp));
  EXPECT_EQ(Command({folder_ / "jobs.jbs", "off"}).text,
            "No schedule for " + (folder_ / "jobs.jbs") + ".");
  EXPECT_EQ(Command({}).text, "No schedules.");
}

// With a user manager the timer is enabled and started; a new schedule replaces the old, and
// one that cannot be made leaves the old in place. A moved job file shows in the list.
TEST_F(ScheduleOnLinux, AUserManagerEnablesTheTimer) {
  Systemctl(true);
  EXPECT_EQ(Command({folder_ / "jobs.jbs", "daily", "8:05"}).text,
            "Scheduled: " + (folder_ / "jobs.jbs") +
                " runs daily at 08:05; a run missed while the computer is off follows when it "
                "next starts.");
  EXPECT_EQ(Calls(), "--user stop " + base_ + ".timer\n--user daemon-reload\n--user enable --now " +
                         base_ + ".timer\n");
  EXPECT_NE(Unit(".timer").find("\nOnCalendar=*-*-* 08:05:00\n"), std::string::npos);

  // The destination lies on the computer's own drive: no drive to wait for.
  const ScheduleOutcome connect = Command({folder_ / "jobs.jbs", "connect"});
  EXPECT_FALSE(connect.done);
  EXPECT_EQ(connect.text, "No destination of " + (folder_ / "jobs.jbs") +
                              " lies on a drive of its own that is connected now: connect the "
                              "backup drive and schedule again.");
  stdfs::rename(folder_ / "jobs.jbs", folder_ / "moved.jbs");
  EXPECT_EQ(Command({}).text, (folder_ / "jobs.jbs") + ": daily 08:05 (the job file is missing)");

  EXPECT_TRUE(Command({folder_ / "jobs.jbs", "off"}).done);
  EXPECT_EQ(Calls(), "--user stop " + base_ + ".timer\n--user daemon-reload\n");
  EXPECT_FALSE(stdfs::exists(units_ + "/" + base_ + ".service"));
}

// "connect": the service is wanted by the mount unit of the destination's drive, so that the
// user manager starts it once each time the drive appears. Needs the right to mount a test
// drive (CI runs as root), in a mount namespace of the test's own.
TEST_F(ScheduleOnLinux, ConnectRunsWhenTheDestinationsDriveIsMounted) {
  const std::string drive = folder_ / "my drive";
  stdfs::create_directories(drive);
  if (unshare(CLONE_NEWNS) != 0 ||
      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("brisvel-test-drive", drive.c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "mounting is refused here: " << std::strerror(errno);
  }
  WriteFile(folder_ / "jobs.jbs", "<brisvel><job name=\"J\" copyfrom=\"" + (folder_ / "src") +
                                      "\" copyto=\"" + drive + "/backup\"/></brisvel>");
  Systemctl(true);
  const ScheduleOutcome outcome = Command({folder_ / "jobs.jbs", "connect"});
  umount2(drive.c_str(), MNT_DETACH);
  EXPECT_EQ(outcome.text,
            "Scheduled: " + (folder_ / "jobs.jbs") + " runs whenever " + drive + " is mounted.");
  const std::string mountUnit = MountUnitName(drive);
  EXPECT_NE(mountUnit.find("-my\\x20drive.mount"), std::string::npos) << mountUnit;
  EXPECT_NE(Unit(".service").find("\nAfter=" + mountUnit + "\n"), std::string::npos);
  EXPECT_NE(Unit(".service").find("\n[Install]\nWantedBy=" + mountUnit + "\n"), std::string::npos);
  EXPECT_FALSE(stdfs::exists(units_ + "/" + base_ + ".timer"));
  EXPECT_EQ(Calls(), "--user stop " + base_ + ".timer\n--user daemon-reload\n--user enable " +
                         base_ + ".service\n");
  ExpectSystemdAccepts({base_ + ".service"});
  EXPECT_EQ(Command({}).text, (folder_ / "jobs.jbs") + ": connect " + drive);
}

}  // namespace
}  // namespace brisvel
