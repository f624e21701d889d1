// The one way out of the program: hide the windows, stop a run that is still going, and
// either end at once or count thirty seconds down in the shutdown window and power off.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "system/clock.h"

namespace brisvel {

// What the user did to the shutdown window, or to any other window while it counts down.
enum class ShutdownInput {
  kCloseRequest,  // a window's close box or Alt+F4
  kShutdownNow,   // the "Shutdown (N)" button
  kCancel,        // the "Cancel" button
  kEscape,        // the Escape shortcut (menu event 9)
  kOther,         // anything else; ignored
};

// What ending the program needs of the windows.
class EndProgramWindows {
 public:
  virtual ~EndProgramWindows() = default;
  // Hides the main window, then the progress window.
  virtual void HideProgramWindows() = 0;
  // Takes every pending window event without acting on it, so the windows stay responsive.
  virtual void DiscardPendingEvents() = 0;
  virtual void ShowShutdownWindow() = 0;
  virtual void HideShutdownWindow() = 0;
  virtual void SetShutdownCaption(const std::string& caption) = 0;
  // The next pending event of any window, without waiting; nullopt when there is none.
  virtual std::optional<ShutdownInput> NextInput() = 0;
};

struct ProgramEnd {
  EndProgramWindows& windows;
  Clock& clock;
  // Sets the run's stop request.
  std::function<void()> stopRun;
  // True while a run's worker is still going.
  std::function<bool()> runGoing;
  // Switches the computer off; its result is not examined.
  std::function<void()> powerOff;
};

inline constexpr int kShutdownDelayMs = 30000;

// "Shutdown (" + seconds + ")", the caption of the shutdown-now button.
std::string ShutdownCaption(int seconds);

// Shows the shutdown window and counts thirty seconds down in its button. True when the
// computer is to be shut down (the time ran out or the button was clicked), false when the
// user cancelled (the Cancel button, Escape, or closing a window).
bool CountDownToShutdown(EndProgramWindows& windows, Clock& clock);

// Does everything ending the program does before the process exits: hides the windows, sets
// the stop request, waits for a running worker (keeping the windows responsive), and with
// `shutdown` counts down and powers off. Returns true when power-off was asked for. The caller
// then cleans up and ends the process.
bool EndProgram(ProgramEnd& end, bool shutdown);

}  // namespace brisvel
