#include "app/shutdown_window.h"

#include "app/ui/control_ids.h"

namespace brisvel {

static constexpr std::chrono::milliseconds kNoWait{0};

void ShutdownWindow::HideProgramWindows() {
  ui_.ShowWindow(kMainWindow, false);
  ui_.ShowWindow(kProgressWindow, false);
}

void ShutdownWindow::DiscardPendingEvents() {
  while (ui_.WaitEvent(kNoWait)) {
  }
}

void ShutdownWindow::ShowShutdownWindow() {
  ui_.ShowWindow(kShutdownWindow, true);
  ui_.ActivateWindow(kShutdownWindow);
  // The countdown appears over whatever the user was typing into: a key meant for that must
  // cancel the power-off, never start it.
  ui_.SetFocus(kShutdownWindow, kShutdownCancelButton);
}

void ShutdownWindow::HideShutdownWindow() {
  ui_.ShowWindow(kShutdownWindow, false);
}

void ShutdownWindow::SetShutdownCaption(const std::string& caption) {
  ui_.SetText(kShutdownWindow, kShutdownNowButton, caption);
}

std::optional<ShutdownInput> ShutdownWindow::NextInput() {
  std::optional<UiEvent> event = ui_.WaitEvent(kNoWait);
  if (!event) return std::nullopt;
  return ClassifyShutdownEvent(*event);
}

ShutdownInput ClassifyShutdownEvent(const UiEvent& event) {
  switch (event.type) {
    case EventType::kCloseRequest:
      return ShutdownInput::kCloseRequest;
    case EventType::kMenuItem:
      return event.id == kEscapeKey ? ShutdownInput::kEscape : ShutdownInput::kOther;
    case EventType::kClick:
      if (event.id == kShutdownNowButton) return ShutdownInput::kShutdownNow;
      if (event.id == kShutdownCancelButton) return ShutdownInput::kCancel;
      return ShutdownInput::kOther;
    default:
      return ShutdownInput::kOther;
  }
}

}  // namespace brisvel
