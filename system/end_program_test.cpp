#include "system/end_program.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <vector>

namespace brisvel {
namespace {

// A clock that moves only when the code under test sleeps.
class FakeClock : public Clock {
 public:
  explicit FakeClock(uint32_t start = 1000) : now(start) {}
  uint32_t TickCount() override { return now; }
  void Sleep(int milliseconds) override {
    now += static_cast<uint32_t>(milliseconds);
    slept += milliseconds;
  }
  uint32_t now;
  int64_t slept = 0;
};

// Windows whose user acts at chosen times (milliseconds after the countdown began).
class FakeWindows : public EndProgramWindows {
 public:
  explicit FakeWindows(FakeClock& clock) : clock_(clock) {}

  void HideProgramWindows() override { calls.push_back("hide windows"); }
  void DiscardPendingEvents() override { ++discards; }
  void ShowShutdownWindow() override {
    shownAt = clock_.now;
    calls.push_back("show shutdown");
  }
  void HideShutdownWindow() override { calls.push_back("hide shutdown"); }
  void SetShutdownCaption(const std::string& caption) override { captions.push_back(caption); }
  std::optional<ShutdownInput> NextInput() override {
    auto next = inputs.begin();
    if (next == inputs.end() || clock_.now - shownAt < next->first) return std::nullopt;
    ShutdownInput input = next->second;
    inputs.erase(next);
    return input;
  }

  std::multimap<uint32_t, ShutdownInput> inputs;
  std::vector<std::string> calls;
  std::vector<std::string> captions;
  int discards = 0;

 private:
  FakeClock& clock_;
  uint32_t shownAt = 0;
};

struct Ending {
  FakeClock clock;
  FakeWindows windows{clock};
  int stopRequests = 0;
  int runPollsLeft = 0;
  int powerOffs = 0;
  ProgramEnd end{windows, clock, [this] { ++stopRequests; }, [this] { return runPollsLeft-- > 0; },
                 [this] { ++powerOffs; }};
};

TEST(ShutdownCountdown, LeftAloneCountsThirtyDownToOneAndPowersOff) {
  Ending ending;
  EXPECT_TRUE(EndProgram(ending.end, true));
  EXPECT_EQ(ending.powerOffs, 1);
  std::vector<std::string> expected = {"Shutdown (31)"};
  for (int n = 31; n >= 1; --n) expected.push_back(ShutdownCaption(n));
  EXPECT_EQ(ending.windows.captions, expected);
  // The call comes once thirty seconds have passed, not before.
  EXPECT_GT(ending.clock.slept, 30000);
  EXPECT_LE(ending.clock.slept, 30000 + 20);
  EXPECT_EQ(ending.windows.calls.back(), "hide shutdown");
}

TEST(ShutdownCountdown, EveryWayOfSayingNoEndsWithoutPowerOff) {
  for (ShutdownInput no :
       {ShutdownInput::kCancel, ShutdownInput::kEscape, ShutdownInput::kCloseRequest}) {
    Ending ending;
    ending.windows.inputs.insert({5000, ShutdownInput::kOther});
    ending.windows.inputs.insert({12000, no});
    EXPECT_FALSE(EndProgram(ending.end, true));
    EXPECT_EQ(ending.powerOffs, 0);
    EXPECT_EQ(ending.windows.captions.back(), "Shutdown (19)");
    EXPECT_EQ(ending.windows.calls.back(), "hide shutdown");
  }
}

TEST(ShutdownCountdown, ShutdownNowDoesNotWaitForTheCount) {
  Ending ending;
  ending.windows.inputs.insert({3000, ShutdownInput::kShutdownNow});
  EXPECT_TRUE(EndProgram(ending.end, true));
  EXPECT_EQ(ending.powerOffs, 1);
  EXPECT_LE(ending.clock.slept, 3020);
}

TEST(ShutdownCountdown, RunningOutOfTimeOverridesACancelOfTheSamePass) {
  Ending ending;
  ending.windows.inputs.insert({30010, ShutdownInput::kCancel});
  EXPECT_TRUE(EndProgram(ending.end, true));
  EXPECT_EQ(ending.powerOffs, 1);
}

TEST(ShutdownCountdown, SurvivesTheTickCounterWrappingAround) {
  Ending ending;
  ending.clock.now = 0xFFFFFFFFu - 10000;
  EXPECT_TRUE(EndProgram(ending.end, true));
  EXPECT_EQ(ending.windows.captions.size(), 32u);
  EXPECT_GT(ending.clock.slept, 30000);
  EXPECT_LE(ending.clock.slept, 30000 + 20);
}

TEST(EndProgram, WithoutShutdownEndsWithoutTheWindow) {
  Ending ending;
  EXPECT_FALSE(EndProgram(ending.end, false));
  EXPECT_EQ(ending.windows.calls, std::vector<std::string>{"hide windows"});
  EXPECT_EQ(ending.stopRequests, 1);
  EXPECT_EQ(ending.powerOffs, 0);
}

TEST(EndProgram, StopsARunningWorkerAndWaitsForItFirst) {
  Ending ending;
  ending.runPollsLeft = 3;
  ending.windows.inputs.insert({0, ShutdownInput::kCancel});
  EXPECT_FALSE(EndProgram(ending.end, true));
  EXPECT_EQ(ending.stopRequests, 1);
  // Three polls of 50 ms each, the windows served in between; only then the countdown.
  EXPECT_EQ(ending.windows.discards, 3);
  EXPECT_EQ(ending.windows.calls,
            (std::vector<std::string>{"hide windows", "show shutdown", "hide shutdown"}));
  EXPECT_EQ(ending.clock.slept, 150);
}

}  // namespace
}  // namespace brisvel
