#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>

#include "app/stop_signals.h"
#include "core/test_folder.h"
#include "engine/fs_posix.h"

namespace brisvel {
namespace {

// Ctrl+C, a service manager's SIGTERM and a closed terminal's SIGHUP all press STOP.
TEST(StopSignals, FirstSignalStopsARunningRun) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_EXIT(
        {
          std::atomic<int32_t> cancel{0};
          std::atomic<int32_t> runState{2};
          InstallStopSignals(&cancel, &runState);
          raise(signal);
          _exit(cancel == 1 && StopSignalCount() == 1 ? 7 : 8);
        },
        ::testing::ExitedWithCode(7), "");
  }
}

// A second signal during a copy ends the program at once, but not before the copy's
// temporary file is gone; the old copy stays.
TEST(StopSignals, SecondSignalRemovesTheCopiesInFlight) {
  TestFolder folder;
  WriteFile(folder / "from", std::string(3 << 20, 'x'));
  WriteFile(folder / "to", "previous backup");
  EXPECT_EXIT(
      {
        std::atomic<int32_t> cancel{0};
        std::atomic<int32_t> runState{2};
        InstallStopSignals(&cancel, &runState);
        PosixFsSeams seams;
        seams.readFailsAfter = INT64_MAX;  // copies in blocks, with a pause after the first
        seams.afterCopyBlock = [] {
          raise(SIGTERM);
          raise(SIGTERM);
        };
        NewPosixFileSystem(seams)->CopyFile(folder / "from", folder / "to");
        _exit(8);
      },
      ::testing::ExitedWithCode(130), "");
  EXPECT_EQ(folder.Names(), "from|to");
  EXPECT_EQ(ReadFile(folder / "to"), "previous backup");
}

TEST(StopSignals, FirstCtrlCAfterTheRunLeavesTheCancelFlag) {
  EXPECT_EXIT(
      {
        std::atomic<int32_t> cancel{0};
        std::atomic<int32_t> runState{1};
        InstallStopSignals(&cancel, &runState);
        raise(SIGINT);
        _exit(cancel == 0 && StopSignalCount() == 1 ? 7 : 8);
      },
      ::testing::ExitedWithCode(7), "");
}

TEST(StopSignals, SecondCtrlCEndsAtOnceWith130) {
  EXPECT_EXIT(
      {
        std::atomic<int32_t> cancel{0};
        std::atomic<int32_t> runState{2};
        InstallStopSignals(&cancel, &runState);
        raise(SIGINT);
        raise(SIGINT);
        _exit(0);
      },
      ::testing::ExitedWithCode(130), "");
}

TEST(StopSignals, AClosedPipeDoesNotKillTheProgram) {
  EXPECT_EXIT(
      {
        std::atomic<int32_t> cancel{0};
        std::atomic<int32_t> runState{2};
        InstallStopSignals(&cancel, &runState);
        raise(SIGPIPE);
        _exit(7);
      },
      ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace brisvel
