#include "system/end_program.h"

#include <cstdint>

namespace brisvel {

static constexpr int kWorkerPollMs = 50;
static constexpr int kCountdownPollMs = 20;

std::string ShutdownCaption(int seconds) {
  return "Shutdown (" + std::to_string(seconds) + ")";
}

// Takes the pending events of one pass; returns the outcome they decide, if any.
static std::optional<bool> DecisionFromEvents(EndProgramWindows& windows) {
  while (std::optional<ShutdownInput> input = windows.NextInput()) {
    switch (*input) {
      case ShutdownInput::kShutdownNow:
        return true;
      case ShutdownInput::kCloseRequest:
      case ShutdownInput::kCancel:
      case ShutdownInput::kEscape:
        return false;
      case ShutdownInput::kOther:
        break;
    }
  }
  return std::nullopt;
}

bool CountDownToShutdown(EndProgramWindows& windows, Clock& clock) {
  windows.ShowShutdownWindow();
  const uint32_t deadline = clock.TickCount() + kShutdownDelayMs;
  windows.SetShutdownCaption(ShutdownCaption(kShutdownDelayMs / 1000 + 1));
  int lastShown = 0;
  std::optional<bool> shutDown;
  while (!shutDown) {
    shutDown = DecisionFromEvents(windows);
    // The tick counter wraps around; the signed difference stays right across the wrap.
    const int32_t remaining = static_cast<int32_t>(deadline - clock.TickCount());
    if (remaining < 0) {
      shutDown = true;  // running out of time overrides the events of the same pass
    } else if (remaining / 1000 + 1 != lastShown) {
      lastShown = remaining / 1000 + 1;
      windows.SetShutdownCaption(ShutdownCaption(lastShown));
    }
    if (!shutDown) clock.Sleep(kCountdownPollMs);
  }
  windows.HideShutdownWindow();
  return *shutDown;
}

bool EndProgram(ProgramEnd& end, bool shutdown) {
  end.windows.HideProgramWindows();
  end.stopRun();
  while (end.runGoing()) {
    end.windows.DiscardPendingEvents();
    end.clock.Sleep(kWorkerPollMs);
  }
  if (!shutdown || !CountDownToShutdown(end.windows, end.clock)) return false;
  end.powerOff();
  return true;
}

}  // namespace brisvel
