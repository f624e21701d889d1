// The window system as the program sees it: windows and controls addressed by small fixed
// numbers, and every user action reported as an event (window, control or menu item, type).
// The program's logic is written once against this interface; each backend (the terminal in
// app/console, the desktops in app/qt and app/win32, a fake for tests) implements it.
//
// The program calls it from its window thread, and the run's worker thread writes the
// progress window through it: the Ui the program uses takes calls from any thread. The
// desktops' toolkits take them only on their own thread; HandOverUi (app/ui/hand_over_ui.h)
// carries the others over to it, keeping their order.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "engine/colour.h"

namespace brisvel {

enum WindowId : int {
  kMainWindow = 0,
  kProgressWindow = 1,
  kShutdownWindow = 2,
  kJobOptionsWindow = 3,
  kScheduleWindow = 4,
};

enum class ControlKind {
  kFrame,
  kText,
  kCentredText,
  kButton,
  kDefaultButton,
  kCheckBox,
  kOptionButton,
  kEdit,
  kEditableCombo,
  kDropDownList,
  kCheckListView,   // one column, no header, a check box per row, single selection
  kReportListView,  // one column with a header; rows carry a text colour
  kProgressBar,
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct WindowLayout {
  int id = 0;
  std::string title;
  int width = 0;  // client area
  int height = 0;
  bool minimiseBox = false;
  bool alwaysOnTop = false;
};

struct ControlLayout {
  int id = 0;
  ControlKind kind = ControlKind::kText;
  std::string caption;  // a report list view's column title
  Rect rect;
  std::vector<std::string> items;  // combo boxes and drop-down lists
  int columnWidth = 0;             // list views: the width of their one column
};

// Event types. The control types carry the program's fixed numbers.
enum class EventType : int {
  kClick = 0,
  kSelectionChange = 1,  // also a right click on a list view
  kDoubleClick = 2,
  kComboTextTyped = 5,
  kTextChanged = 768,
  kMenuItem = 1000,      // `id` is the menu item or shortcut event number
  kCloseRequest = 1001,  // the window's close box or Alt+F4; `id` is unused
  kTrayActivate = 1002,  // left double click or right press on the tray icon
};

struct UiEvent {
  int window = 0;
  int id = 0;  // control or menu item
  EventType type = EventType::kClick;
  bool operator==(const UiEvent&) const = default;
};

enum class MessageButtons { kOk, kYesNo, kOkCancel };

// The answer of somebody who declines: OK where that is the only button, No to an offer,
// Cancel to a question.
inline MessageAnswer DeclinedAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
      return MessageAnswer::kOk;
    case MessageButtons::kYesNo:
      return MessageAnswer::kNo;
    case MessageButtons::kOkCancel:
      return MessageAnswer::kCancel;
  }
  return MessageAnswer::kCancel;
}

enum class ShortcutKey { kReturn, kEscape, kF1, kCtrlO };

// A menu item; id -1 is a separator.
struct MenuItem {
  int id = -1;
  std::string caption;
};

struct FileDialogRequest {
  std::string title;
  std::string folder;
  // Caption and pattern pairs, for example {"Brisvel Job File", "*.jbs"}.
  std::vector<std::pair<std::string, std::string>> filters;
  bool save = false;  // the file need not exist; its folder must
};

struct FileChoice {
  std::string path;
  int filterIndex = 0;  // the filter in use when the file was chosen; 0 is the first
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Windows, created hidden and centred. CreateWindow returns false when the window cannot
  // be made (a fatal error for the program).
  virtual bool CreateWindow(const WindowLayout& layout) = 0;
  virtual void AddControl(int window, const ControlLayout& layout) = 0;
  virtual void AddShortcut(int window, ShortcutKey key, int menuEvent) = 0;
  virtual void ShowWindow(int window, bool visible) = 0;
  virtual bool WindowVisible(int window) = 0;
  // Brings a shown window to the front, restoring it when it is minimised.
  virtual void ActivateWindow(int window) = 0;
  // Shows the window minimised: reachable from the task bar, in nobody's way. Where the
  // desktop has no notification area, this is where a hidden run's window goes. A backend
  // that cannot minimise shows the window.
  virtual void MinimiseWindow(int window) { ShowWindow(window, true); }
  // Changes the client size; the position stays.
  virtual void ResizeWindow(int window, int width, int height) = 0;
  // Changes the title bar's text.
  virtual void SetTitle(int window, const std::string& title) = 0;

  // Controls. Texts are captions, field contents or a combo box's edit text.
  virtual void SetText(int window, int control, const std::string& text) = 0;
  virtual std::string Text(int window, int control) = 0;
  virtual void SetChecked(int window, int control, bool checked) = 0;
  virtual bool Checked(int window, int control) = 0;
  // The selected item of a combo box or drop-down list; -1 for none.
  virtual void SetSelection(int window, int control, int index) = 0;
  virtual int Selection(int window, int control) = 0;
  virtual void SetEnabled(int window, int control, bool enabled) = 0;
  virtual bool Enabled(int window, int control) = 0;
  virtual void SetFocus(int window, int control) = 0;

  // List views. InsertRow scrolls the new row into view.
  virtual void InsertRow(int window, int control, int64_t index, const std::string& text,
                         Colour colour) = 0;
  virtual void SetRowText(int window, int control, int row, const std::string& text) = 0;
  virtual void SetRowChecked(int window, int control, int row, bool checked) = 0;
  virtual bool RowChecked(int window, int control, int row) = 0;
  virtual void DeleteRow(int window, int control, int row) = 0;
  virtual void ClearRows(int window, int control) = 0;
  virtual int RowCount(int window, int control) = 0;
  virtual void SelectRow(int window, int control, int row) = 0;
  // The selected row, or -1.
  virtual int SelectedRow(int window, int control) = 0;
  // Sizes the column to its contents and its title.
  virtual void FitColumn(int window, int control) = 0;

  // Progress bars: the range is 0..maximum.
  virtual void SetProgressMax(int window, int control, int64_t maximum) = 0;
  virtual void SetProgressValue(int window, int control, int64_t value) = 0;
  virtual void SetProgressColour(int window, int control, Colour colour) = 0;

  // Boxes and dialogs wait for the user; they return what was answered or chosen.
  virtual MessageAnswer ShowMessage(const std::string& title, const std::string& text,
                                    MessageIcon icon, MessageButtons buttons) = 0;
  // A chosen folder always ends in the path separator.
  virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                  const std::string& start) = 0;
  virtual std::optional<FileChoice> ChooseFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                             const std::string& initial) = 0;

  // Pop-up menus. ShowPopupMenu opens the menu at the mouse over the main window and returns
  // at once; a chosen item arrives as a kMenuItem event of the main window.
  virtual void CreatePopupMenu(int menu, const std::vector<MenuItem>& items) = 0;
  virtual void SetMenuItemEnabled(int menu, int item, bool enabled) = 0;
  virtual void ShowPopupMenu(int menu) = 0;

  // The notification-area icon.
  virtual void ShowTrayIcon(const std::string& tip) = 0;
  virtual void SetTrayTip(const std::string& tip) = 0;
  virtual void RemoveTrayIcon() = 0;
  // False where the desktop has no notification area: an icon there could never be clicked,
  // so a hidden run must stay reachable some other way.
  virtual bool TrayAvailable() { return true; }

  // The next event, waiting at most `timeout` for one; nullopt when none came.
  virtual std::optional<UiEvent> WaitEvent(std::chrono::milliseconds timeout) = 0;

  // Writes out whatever the backend still holds back; called once, as the program ends.
  virtual void Flush() = 0;
};

}  // namespace brisvel
