#include "app/progress_window.h"

#include "app/ui/control_ids.h"
#include "app/window_layout.h"

namespace brisvel {

void ProgressWindow::SetJobLine(const std::string& text) {
  ui_.SetText(kProgressWindow, kJobLine, text);
}

void ProgressWindow::SetStatus(const std::string& text) {
  ui_.SetText(kProgressWindow, kStatusLine, text);
}

void ProgressWindow::SetProgressMax(int64_t maximum) {
  ui_.SetProgressMax(kProgressWindow, kProgressBar, maximum);
}

void ProgressWindow::SetProgressValue(int64_t value) {
  ui_.SetProgressValue(kProgressWindow, kProgressBar, value);
}

void ProgressWindow::SetBarColour(Colour colour) {
  ui_.SetProgressColour(kProgressWindow, kProgressBar, colour);
}

void ProgressWindow::AddRow(int64_t index, const std::string& text, Colour colour) {
  ui_.InsertRow(kProgressWindow, kLogView, index, text, colour);
}

void ProgressWindow::FitLogColumn() {
  ui_.FitColumn(kProgressWindow, kLogView);
}

void ProgressWindow::SetTrayTip(const std::string& text) {
  ui_.SetTrayTip(text);
}

void ProgressWindow::EnableFinishChoice(bool enabled) {
  ui_.SetEnabled(kProgressWindow, kFinishList, enabled);
}

void ProgressWindow::SelectFinishChoice(int action) {
  ui_.SetSelection(kProgressWindow, kFinishList, action);
}

void ProgressWindow::WaitForOk() {
  ui_.SetText(kProgressWindow, kStopButton, "OK");
  ui_.ShowWindow(kProgressWindow, true);
  ui_.ActivateWindow(kProgressWindow);
  waitingForOk_ = true;
}

void ProgressWindow::RefreshSettingsPanel() {
  mainView_.RefreshSettingsPanel();
}

void ProgressWindow::PrepareRun(SharedRunState& state, int finishAction, bool hidden,
                                bool preview) {
  waitingForOk_ = false;
  ui_.SetTitle(kProgressWindow, preview ? kPreviewTitle : kProgressTitle);
  ui_.ResizeWindow(kProgressWindow, kProgressWidth, kProgressShortHeight);
  ui_.SetText(kProgressWindow, kLogButton, "Show Log");
  state.logShown = 0;
  ui_.ClearRows(kProgressWindow, kLogView);
  state.logRow = 0;
  SetJobLine("Loading Jobs...");
  SetProgressValue(0);
  SetStatus("");
  ui_.SetText(kProgressWindow, kStopButton, "STOP");
  SelectFinishChoice(finishAction);
  EnableFinishChoice(!preview);
  if (hidden) {
    Conceal();
  } else {
    ui_.ShowWindow(kProgressWindow, true);
  }
}

void ProgressWindow::Conceal() {
  if (ui_.TrayAvailable()) {
    ui_.ShowWindow(kProgressWindow, false);
  } else {
    ui_.MinimiseWindow(kProgressWindow);
  }
}

void ProgressWindow::ToggleLog(SharedRunState& state) {
  const bool show = state.logShown == 0;
  state.logShown = show ? 1 : 0;
  ui_.ResizeWindow(kProgressWindow, kProgressWidth,
                   show ? kProgressTallHeight : kProgressShortHeight);
  ui_.SetText(kProgressWindow, kLogButton, show ? "Hide Log" : "Show Log");
}

void ProgressWindow::Dismiss() {
  ui_.ShowWindow(kProgressWindow, false);
  ui_.ClearRows(kProgressWindow, kLogView);
}

}  // namespace brisvel
