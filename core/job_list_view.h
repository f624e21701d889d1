// What the job model needs from the window that shows the job list: the rows with their
// check boxes, the "Run in Tray" box, the "When Finished:" list, the settings panel and
// message boxes. The main window implements it; without a window a plain model does.
#pragma once

#include <string>

#include "core/message.h"

namespace brisvel {

class JobListView {
 public:
  virtual ~JobListView() = default;

  // Empties the job rows and the source and destination fields.
  virtual void ClearJobRows() = 0;
  virtual void AddJobRow(int position, const std::string& name, bool checked) = 0;
  virtual void SelectJobRow(int position) = 0;
  virtual bool RowChecked(int position) = 0;

  virtual void SetRunInTray(bool checked) = 0;
  virtual bool RunInTray() = 0;
  virtual void SetFinishChoice(int action) = 0;
  virtual int FinishChoice() = 0;

  // Shows the current job in the settings panel.
  virtual void RefreshSettingsPanel() = 0;
  virtual void FocusSourceField() = 0;

  virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
};

}  // namespace brisvel
