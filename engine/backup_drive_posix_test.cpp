#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/test_folder.h"
#include "engine/job_runner.h"
#include "engine/recording_progress_view.h"

namespace brisvel {
namespace {

// A small file system mounted for the test, in a mount namespace of the test's own so that
// nothing outside it ever sees the mount. Needs the right to mount (CI runs as root).
class TestDrive {
 public:
  explicit TestDrive(const std::string& at) : at_(at) {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("brisvel-test-drive", at.c_str(), "tmpfs", 0, "size=1m") != 0) {
      refusal_ = std::strerror(errno);
    }
  }
  ~TestDrive() { Remove(); }
  // Why the drive could not be mounted; "" when it is mounted.
  const std::string& Refusal() const { return refusal_; }
  void Remove() {
    if (refusal_.empty()) umount2(at_.c_str(), MNT_DETACH);
    refusal_ = "removed";
  }

 private:
  std::string at_;
  std::string refusal_;
};

struct DriveRun {
  JobList jobs;
  RunSettings settings;
  SharedRunState state;
  RecordingProgressView view;
  RunEnvironment env{jobs, settings, state, view, RealFileSystem(), nullptr};

  void Run() {
    state.runState = kRunning;
    JobRunner(env);
  }
};

// The first run onto a fresh, empty drive backs up; once the drive is gone its bare mount
// point, an empty folder on the computer's own drive, is never taken for it.
TEST(BackupDrive, AFreshDriveIsFilledAndItsBareMountPointNever) {
  TestFolder folder;
  WriteFile(folder / "src/a.txt", "a");
  std::filesystem::create_directory(folder / "drive");
  TestDrive drive(folder / "drive");
  if (!drive.Refusal().empty()) GTEST_SKIP() << "mounting is refused here: " << drive.Refusal();

  DriveRun run;
  BackupJob& job = run.jobs.Append(CommandLineJob(folder / "src", folder / "drive"));
  job.needsDrive = true;
  run.env.computerFolders = {folder.Path()};
  run.Run();
  EXPECT_EQ(ReadFile(folder / "drive/a.txt"), "a");
  EXPECT_EQ(run.state.jobsRun, 1);

  drive.Remove();
  run.Run();
  EXPECT_EQ(folder.Names("drive"), "");
  EXPECT_EQ(run.env.drivesNotConnected, std::vector<std::string>{folder / "drive/"});
  EXPECT_EQ(run.state.jobsRun, 0);
}

}  // namespace
}  // namespace brisvel
