// A Ui that keeps the state of every window, control, menu and the tray icon in memory, so
// that what the program sets it can read back. The terminal backend and the test fake build
// on it. Thread-safe: one lock guards the state.
#pragma once

#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/ui/ui.h"

namespace brisvel {

class ModelUi : public Ui {
 public:
  struct Row {
    std::string text;
    Colour colour;
    bool checked = false;
  };

  bool CreateWindow(const WindowLayout& layout) override;
  void AddControl(int window, const ControlLayout& layout) override;
  void AddShortcut(int window, ShortcutKey key, int menuEvent) override;
  void ShowWindow(int window, bool visible) override;
  bool WindowVisible(int window) override;
  void ActivateWindow(int window) override;
  void MinimiseWindow(int window) override;
  void ResizeWindow(int window, int width, int height) override;
  void SetTitle(int window, const std::string& title) override;

  void SetText(int window, int control, const std::string& text) override;
  std::string Text(int window, int control) override;
  void SetChecked(int window, int control, bool checked) override;
  bool Checked(int window, int control) override;
  void SetSelection(int window, int control, int index) override;
  int Selection(int window, int control) override;
  void SetEnabled(int window, int control, bool enabled) override;
  bool Enabled(int window, int control) override;
  void SetFocus(int window, int control) override;

  void InsertRow(int window, int control, int64_t index, const std::string& text,
                 Colour colour) override;
  void SetRowText(int window, int control, int row, const std::string& text) override;
  void SetRowChecked(int window, int control, int row, bool checked) override;
  bool RowChecked(int window, int control, int row) override;
  void DeleteRow(int window, int control, int row) override;
  void ClearRows(int window, int control) override;
  int RowCount(int window, int control) override;
  void SelectRow(int window, int control, int row) override;
  int SelectedRow(int window, int control) override;
  void FitColumn(int window, int control) override;

  void SetProgressMax(int window, int control, int64_t maximum) override;
  void SetProgressValue(int window, int control, int64_t value) override;
  void SetProgressColour(int window, int control, Colour colour) override;

  void CreatePopupMenu(int menu, const std::vector<MenuItem>& items) override;
  void SetMenuItemEnabled(int menu, int item, bool enabled) override;
  void ShowPopupMenu(int menu) override;

  void ShowTrayIcon(const std::string& tip) override;
  void SetTrayTip(const std::string& tip) override;
  void RemoveTrayIcon() override;

  // Read-backs that the Ui interface has no need for, used by backends and tests.
  std::vector<Row> Rows(int window, int control);
  std::pair<int64_t, int64_t> Progress(int window, int control);  // value, maximum
  Colour ProgressColour(int window, int control);
  std::pair<int, int> WindowSize(int window);
  std::string WindowTitle(int window);
  bool WindowMinimised(int window);
  std::pair<int, int> Focus();
  bool MenuItemEnabled(int menu, int item);
  bool TrayIconShown();
  std::string TrayTip();
  // How many calls named a window or control that was never created: always a fault.
  int StrayCalls();

 protected:
  struct Control {
    ControlKind kind = ControlKind::kText;
    std::string text;
    std::vector<std::string> items;
    bool checked = false;
    int selection = -1;
    bool enabled = true;
    std::vector<Row> rows;
    int selectedRow = -1;
    int64_t progressMax = 1;
    int64_t progressValue = 0;
    Colour progressColour;
  };
  struct Window {
    WindowLayout layout;
    bool visible = false;
    int width = 0;
    int height = 0;
    bool minimised = false;
  };
  struct Menu {
    std::vector<MenuItem> items;
    std::map<int, bool> enabled;
  };

  // The control, or a scratch one (and a stray call counted) when it was never created.
  // The caller holds mutex_.
  Control& ControlAt(int window, int control);
  Window& WindowAt(int window);
  Row* RowAt(Control& control, int row);

  // Records a call as one line ("SetText 1 30 STOP") when recording is on. The caller holds
  // mutex_.
  template <typename... Parts>
  void Note(const char* call, const Parts&... parts) {
    if (!recording_) return;
    std::ostringstream line;
    line << call;
    ((line << ' ' << parts), ...);
    calls_.push_back(line.str());
  }

  std::mutex mutex_;
  bool recording_ = false;
  std::vector<std::string> calls_;

 private:
  std::map<int, Window> windows_;
  std::map<std::pair<int, int>, Control> controls_;
  std::map<int, Menu> menus_;
  Control scratchControl_;
  Window scratchWindow_;
  std::pair<int, int> focus_{-1, -1};
  bool trayShown_ = false;
  std::string trayTip_;
  int strayCalls_ = 0;
};

}  // namespace brisvel
