#include "app/stop_signal_ui.h"

#include <gtest/gtest.h>

#include "app/ui/test_ui.h"

namespace brisvel {
namespace {

// Each stop signal reaches the program once, before the events the windows hold: Ctrl+C in the
// terminal is the progress window's Escape, which presses STOP.
TEST(StopSignalUi, EachSignalArrivesOnceAheadOfTheWindowsEvents) {
  FakeUi windows;
  int signals = 0;
  StopSignalUi ui(windows, kConsoleStopEvent, [&] { return signals; });
  windows.Click(kProgressWindow, kLogButton);
  signals = 2;
  const UiEvent escape{kProgressWindow, kEscapeKey, EventType::kMenuItem};
  EXPECT_EQ(ui.WaitEvent(std::chrono::milliseconds(0)), escape);
  EXPECT_EQ(ui.WaitEvent(std::chrono::milliseconds(0)), escape);
  EXPECT_EQ(ui.WaitEvent(std::chrono::milliseconds(0)),
            (UiEvent{kProgressWindow, kLogButton, EventType::kClick}));
  EXPECT_FALSE(ui.WaitEvent(std::chrono::milliseconds(0)));
}

}  // namespace
}  // namespace brisvel
