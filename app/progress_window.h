// The progress window over the window-system seam: what a run shows while it goes (called
// from the worker thread), and the window's own changes made by the run starter and its
// buttons.
#pragma once

#include <atomic>

#include "app/main_window_view.h"
#include "app/ui/ui.h"
#include "engine/progress_view.h"
#include "engine/run_state.h"

namespace brisvel {

class ProgressWindow : public ProgressView {
 public:
  ProgressWindow(Ui& ui, MainWindowView& mainView) : ui_(ui), mainView_(mainView) {}

  void SetJobLine(const std::string& text) override;
  void SetStatus(const std::string& text) override;
  void SetProgressMax(int64_t maximum) override;
  void SetProgressValue(int64_t value) override;
  void SetBarColour(Colour colour) override;
  void AddRow(int64_t index, const std::string& text, Colour colour) override;
  void FitLogColumn() override;
  void SetTrayTip(const std::string& text) override;
  void EnableFinishChoice(bool enabled) override;
  void SelectFinishChoice(int action) override;
  void WaitForOk() override;
  void RefreshSettingsPanel() override;

  // Sets the window up for a new run: short form with "Show Log", an empty log, "Loading
  // Jobs...", an empty bar and status, "STOP", the finish choice selected and enabled; shown,
  // or concealed when the run is hidden. Clears the log-shown flag and the log row in `state`.
  // A preview says so in the title bar, and its finish choice is fixed.
  void PrepareRun(SharedRunState& state, int finishAction, bool hidden, bool preview = false);

  // "Show Log" / "Hide Log": toggles the tall form with the log view.
  void ToggleLog(SharedRunState& state);

  // Puts the window of a hidden run out of the way: hidden behind the tray icon, or
  // minimised where the desktop has no notification area, so that the run can always be
  // seen and stopped.
  void Conceal();

  // After OK: hides the window and empties its log.
  void Dismiss();

  // True once the run has asked the user for OK, until the next run starts.
  bool WaitingForOk() const { return waitingForOk_; }

 private:
  Ui& ui_;
  MainWindowView& mainView_;
  std::atomic<bool> waitingForOk_{false};
};

}  // namespace brisvel
