#include "engine/sidekick.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

namespace brisvel {
namespace {

using std::chrono::seconds;

// Waits until `flag` is set, for at most `limit`; true when it was set.
bool AwaitFlag(const std::atomic<bool>& flag, seconds limit = seconds(20)) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (!flag.load()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::yield();
  }
  return true;
}

// Each task waits for the other to have started: that only ends when they run side by side.
TEST(SidekickTest, RunsBothTasksAtOnceAndReturnsWhenBothAreDone) {
  Sidekick sidekick;
  std::atomic<bool> besideStarted = false, hereStarted = false;
  bool besideSawHere = false, hereSawBeside = false, besideFinished = false;
  sidekick.Run(
      [&] {
        besideStarted = true;
        besideSawHere = AwaitFlag(hereStarted);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        besideFinished = true;
      },
      [&] {
        hereStarted = true;
        hereSawBeside = AwaitFlag(besideStarted);
      });
  EXPECT_TRUE(besideSawHere);
  EXPECT_TRUE(hereSawBeside);
  EXPECT_TRUE(besideFinished);  // Run waited for the slower task
}

TEST(SidekickTest, KeepsOneHelperThreadAcrossRuns) {
  Sidekick sidekick;
  std::set<std::thread::id> helpers;
  for (int i = 0; i < 100; ++i) {
    std::thread::id helper;
    sidekick.Run([&] { helper = std::this_thread::get_id(); }, [] {});
    helpers.insert(helper);
  }
  ASSERT_EQ(helpers.size(), 1u);
  EXPECT_NE(*helpers.begin(), std::this_thread::get_id());
}

// Callers that find the helper busy run both tasks themselves; every task runs exactly once.
TEST(SidekickTest, ServesSeveralCallersAndNestedRuns) {
  Sidekick sidekick;
  std::atomic<int> besides = 0, heres = 0, nested = 0;
  std::vector<std::thread> callers;
  for (int c = 0; c < 4; ++c) {
    callers.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        sidekick.Run([&] { ++besides; },
                     [&] {
                       ++heres;
                       if (i % 50 == 0) sidekick.Run([&] { ++nested; }, [&] { ++nested; });
                     });
      }
    });
  }
  for (std::thread& caller : callers) caller.join();
  EXPECT_EQ(besides, 800);
  EXPECT_EQ(heres, 800);
  EXPECT_EQ(nested, 32);
}

TEST(SidekickTest, EndsCleanlyUsedOrNot) {
  { Sidekick unused; }
  int sum = 0;
  {
    Sidekick used;
    used.Run([&] { sum += 1; }, [] {});
  }
  EXPECT_EQ(sum, 1);
}

}  // namespace
}  // namespace brisvel
