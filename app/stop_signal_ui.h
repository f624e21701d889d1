// The stop signals as every backend hands them to the program: each one, once, as an event
// ahead of the window events.
#pragma once

#include <functional>

#include "app/stop_signals.h"
#include "app/ui/control_ids.h"
#include "app/ui/forwarding_ui.h"

namespace brisvel {

// In the terminal a stop signal is the progress window's Escape, which presses STOP.
inline constexpr UiEvent kConsoleStopEvent{kProgressWindow, kEscapeKey, EventType::kMenuItem};
// On the desktop it also asks the program to close, as the main window's close box does: an
// idle program ends, a shutdown countdown is cancelled, and during a run, which the signal
// has stopped already, the program ends once the run has.
inline constexpr UiEvent kDesktopStopEvent{kMainWindow, 0, EventType::kCloseRequest};

class StopSignalUi : public ForwardingUi {
 public:
  // `signalCount` tells how many stop signals came so far.
  StopSignalUi(Ui& inner, UiEvent stopEvent, std::function<int()> signalCount = StopSignalCount)
      : ForwardingUi(inner), stopEvent_(stopEvent), signalCount_(std::move(signalCount)) {}

  std::optional<UiEvent> WaitEvent(std::chrono::milliseconds timeout) override {
    if (signalCount_() > signalsDelivered_) {
      ++signalsDelivered_;
      return stopEvent_;
    }
    return ForwardingUi::WaitEvent(timeout);
  }

 private:
  const UiEvent stopEvent_;
  std::function<int()> signalCount_;
  int signalsDelivered_ = 0;
};

}  // namespace brisvel
