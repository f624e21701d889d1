// What a run does to its progress window. The run driver and the scans call these from the
// worker thread; the application implements them over its windows (or the console).
#pragma once

#include <cstdint>
#include <string>

#include "engine/colour.h"

namespace brisvel {

class ProgressView {
 public:
  virtual ~ProgressView() = default;

  virtual void SetJobLine(const std::string& text) = 0;
  virtual void SetStatus(const std::string& text) = 0;

  virtual void SetProgressMax(int64_t maximum) = 0;
  virtual void SetProgressValue(int64_t value) = 0;
  virtual void SetBarColour(Colour colour) = 0;

  // Inserts a log row at `index` in `colour` and scrolls it into view.
  virtual void AddRow(int64_t index, const std::string& text, Colour colour) = 0;
  // Sizes the log column to its contents and header.
  virtual void FitLogColumn() = 0;

  virtual void SetTrayTip(const std::string& text) = 0;

  virtual void EnableFinishChoice(bool enabled) = 0;
  virtual void SelectFinishChoice(int action) = 0;

  // The STOP button becomes "OK"; the window is shown and activated.
  virtual void WaitForOk() = 0;

  // The main window shows the current job again (folders may have gained a separator).
  virtual void RefreshSettingsPanel() = 0;
};

}  // namespace brisvel
