#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "app/console_terminal.h"

namespace brisvel {
namespace {

TEST(ConsoleSignals, FirstCtrlCStopsARunningRun) {
  EXPECT_EXIT(
      {
        std::atomic<int32_t> cancel{0};
        std::atomic<int32_t> runState{2};
        InstallConsoleSignals(&cancel, &runState);
        raise(SIGINT);
        _exit(cancel == 1 && InterruptCount() == 1 ? 7 : 8);
      },
      ::testing::ExitedWithCode(7), "");
}

TEST(ConsoleSignals, FirstCtrlCAfterTheRunLeavesTheCancelFlag) {
  EXPECT_EXIT(
      {
        std::atomic<int32_t> cancel{0};
        std::atomic<int32_t> runState{1};
        InstallConsoleSignals(&cancel, &runState);
        raise(SIGINT);
        _exit(cancel == 0 && InterruptCount() == 1 ? 7 : 8);
      },
      ::testing::ExitedWithCode(7), "");
}

TEST(ConsoleSignals, SecondCtrlCEndsAtOnceWith130) {
  EXPECT_EXIT(
      {
        std::atomic<int32_t> cancel{0};
        std::atomic<int32_t> runState{2};
        InstallConsoleSignals(&cancel, &runState);
        raise(SIGINT);
        raise(SIGINT);
        _exit(0);
      },
      ::testing::ExitedWithCode(130), "");
}

TEST(ConsoleSignals, AClosedPipeDoesNotKillTheProgram) {
  EXPECT_EXIT(
      {
        std::atomic<int32_t> cancel{0};
        std::atomic<int32_t> runState{2};
        InstallConsoleSignals(&cancel, &runState);
        raise(SIGPIPE);
        _exit(7);
      },
      ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace brisvel
