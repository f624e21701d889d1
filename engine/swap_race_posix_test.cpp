// Someone who may write in the destination swaps one of its folders for a link to a folder
// elsewhere and back, again and again, while runs copy, move and delete orphans there. The
// runs may fail on that folder, but they never write, replace or delete anything through the
// link, and a Move never loses a file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "core/test_folder.h"
#include "engine/job_runner.h"
#include "engine/recording_progress_view.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;
using Files = std::map<std::string, std::string>;

constexpr int kFiles = 60;
constexpr int kRounds = 4;

// Every file below `folder`, by its path there, with its contents.
Files FilesIn(const std::string& folder) {
  Files files;
  for (const auto& entry : stdfs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    files[stdfs::relative(entry.path(), folder).string()] = ReadFile(entry.path().string());
  }
  return files;
}

std::string Numbered(const char* prefix, int i) {
  return prefix + std::to_string(100 + i).substr(1);
}

// Swaps `place` with a link to a folder elsewhere, parked at `parking`, as fast as it can,
// and puts the folder back when it stops. The swap is one exchange of two names, so the
// place never stands empty.
class Swapper {
 public:
  Swapper(std::string place, std::string parking)
      : place_(std::move(place)), parking_(std::move(parking)), thread_([this] { Swap(); }) {}
  ~Swapper() {
    stop_ = true;
    thread_.join();
  }
  int Swaps() const { return swaps_; }

 private:
  void Swap() {
    while (!stop_ || swaps_ % 2 != 0) {
      if (renameat2(AT_FDCWD, place_.c_str(), AT_FDCWD, parking_.c_str(), RENAME_EXCHANGE) != 0) {
        ADD_FAILURE() << "cannot swap: " << std::strerror(errno);
        return;
      }
      ++swaps_;
    }
  }

  const std::string place_;
  const std::string parking_;
  std::atomic<bool> stop_{false};
  std::atomic<int> swaps_{0};
  std::thread thread_;
};

class SwapRaceTest : public ::testing::Test {
 protected:
  SwapRaceTest() {
    for (int i = 0; i < kFiles; ++i) {
      WriteFile(outside_ + Numbered("f", i), "outside, like the source's file");
      WriteFile(outside_ + Numbered("o", i), "outside, like an orphan");
    }
    WriteFile(outside_ + "run.log", "outside, like the log");
    stdfs::create_directories(root_ / "parking");
    stdfs::create_directory_symlink(outside_, root_ / "parking/sub");
    outsideBefore_ = FilesIn(outside_);
  }

  // A backup of `source` into dst/ whose folder sub/ is swapped all the while.
  void RunSwapped(const std::string& source, uint8_t flags) {
    JobList jobs;
    BackupJob job = DefaultJob();
    job.name = "Job";
    job.source = source;
    job.destination = dst_;
    job.flags = flags | kEnabled | kIncludeSubFolders | kUpdateLogFile;
    job.logFile = "sub/run.log";
    jobs.Append(job);
    RunSettings settings;
    SharedRunState state;
    state.runState = kRunning;
    RecordingProgressView view;
    RunEnvironment env{jobs, settings, state, view, RealFileSystem(), nullptr};
    Swapper swapper(dst_ + "sub", root_ / "parking/sub");
    JobRunner(env);
  }

  TestFolder root_;
  const std::string outside_ = root_ / "outside/";
  const std::string dst_ = root_ / "dst/";
  Files outsideBefore_;
};

TEST_F(SwapRaceTest, NothingOutsideTheDestinationIsEverWrittenOrDeleted) {
  for (int round = 0; round < kRounds; ++round) {
    // Copies over an older backup, with orphans to delete.
    const std::string source = root_ / ("src" + std::to_string(round) + "/");
    for (int i = 0; i < kFiles; ++i) {
      WriteFile(source + "sub/" + Numbered("f", i), "round " + std::to_string(round));
      WriteFile(dst_ + "sub/" + Numbered("o", i), "an orphan");
    }
    RunSwapped(source, kDeleteOrphans);

    // Moves: every file ends up in the backup or stays in the source.
    const std::string moved = root_ / ("move" + std::to_string(round) + "/");
    Files sources;
    for (int i = 0; i < kFiles; ++i) {
      const std::string name = Numbered("f", i);
      sources[name] = "moved in round " + std::to_string(round) + " " + name;
      WriteFile(moved + "sub/" + name, sources[name]);
    }
    RunSwapped(moved, kMoveInsteadOfCopy);
    for (const auto& [name, contents] : sources) {
      const std::string left = moved + "sub/" + name;
      const std::string backup = dst_ + "sub/" + name;
      const bool kept = stdfs::exists(left) && ReadFile(left) == contents;
      const bool backedUp = stdfs::exists(backup) && ReadFile(backup) == contents;
      EXPECT_TRUE(kept || backedUp) << name << " was lost in round " << round;
    }
    ASSERT_EQ(FilesIn(outside_), outsideBefore_) << "round " << round;
  }
}

}  // namespace
}  // namespace brisvel
