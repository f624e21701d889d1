// The shutdown window and the hiding of the other windows, over the window-system seam, as
// ending the program needs them.
#pragma once

#include "app/ui/ui.h"
#include "system/end_program.h"

namespace brisvel {

class ShutdownWindow : public EndProgramWindows {
 public:
  explicit ShutdownWindow(Ui& ui) : ui_(ui) {}

  void HideProgramWindows() override;
  void DiscardPendingEvents() override;
  void ShowShutdownWindow() override;
  void HideShutdownWindow() override;
  void SetShutdownCaption(const std::string& caption) override;
  std::optional<ShutdownInput> NextInput() override;

 private:
  Ui& ui_;
};

// What an event means to the countdown. Events are not told apart by window.
ShutdownInput ClassifyShutdownEvent(const UiEvent& event);

}  // namespace brisvel
