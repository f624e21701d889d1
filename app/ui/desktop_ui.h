// A desktop backend: windows drawn by a toolkit that only one thread may touch, the GUI thread
// that opened it. Nothing but that thread calls it; HandOverUi (app/ui/hand_over_ui.h) stands
// in front of it for the program, whose run writes the progress window from other threads.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/ui/ui.h"

namespace brisvel {

// How often a desktop runs its periodic work.
inline constexpr std::chrono::milliseconds kPeriodicWorkInterval{50};

// A list row to insert.
struct NewRow {
  std::string text;
  Colour colour;
};

class DesktopUi : public Ui {
 public:
  // Inserts `rows` before `index` of a list view (clamped to the list) in one step.
  virtual void InsertRows(int window, int control, int64_t index, std::vector<NewRow> rows) = 0;
  void InsertRow(int window, int control, int64_t index, const std::string& text,
                 Colour colour) final;

  // Runs `work` on the GUI thread every kPeriodicWorkInterval and soon after each Wake(),
  // also while a message box, a dialog or a menu waits for the user. Null stops it.
  virtual void SetPeriodicWork(std::function<void()> work) = 0;
  // Any thread: asks for the periodic work to run soon. A backend whose timer serves well
  // enough does nothing.
  virtual void Wake() {}

  // A bar keeps its 64-bit range and value here, so the order in which the two are set never
  // clamps one against the other; the toolkit's bar gets them scaled to its int range.
  void SetProgressMax(int window, int control, int64_t maximum) final;
  void SetProgressValue(int window, int control, int64_t value) final;

 protected:
  virtual void DrawBar(int window, int control, int maximum, int value) = 0;

 private:
  struct Bar {
    int64_t maximum = 1;
    int64_t value = 0;
  };
  void ShowBar(int window, int control);

  std::map<std::pair<int, int>, Bar> bars_;
};

}  // namespace brisvel
