// The desktop backend on the native Windows controls. Windows and controls are built at the
// given client positions and sizes, scaled for the screen's DPI; user actions become events
// that WaitEvent hands out in order. Only the GUI thread calls it (app/ui/desktop_ui.h); its
// periodic work runs on a timer, which also fires inside modal loops (message boxes, dialogs,
// menus).
#pragma once

#include "core/windows_win32.h"
// The headers below need the definitions above.
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <uxtheme.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/ui/desktop_ui.h"

namespace brisvel {

class Win32Ui : public DesktopUi {
 public:
  // Call on the thread that will run the windows.
  Win32Ui();
  ~Win32Ui() override;

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

  void InsertRows(int window, int control, int64_t index, std::vector<NewRow> rows) override;
  void SetRowText(int window, int control, int row, const std::string& text) override;
  void SetRowChecked(int window, int control, int row, bool checked) override;
  bool RowChecked(int window, int control, int row) override;
  void DeleteRow(int window, int control, int row) override;
  void ClearRows(int window, int control) override;
  int RowCount(int window, int control) override;
  void SelectRow(int window, int control, int row) override;
  int SelectedRow(int window, int control) override;
  void FitColumn(int window, int control) override;

  void SetProgressColour(int window, int control, Colour colour) override;

  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& start) override;
  std::optional<FileChoice> ChooseFile(const FileDialogRequest& request) override;
  std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override;

  void CreatePopupMenu(int menu, const std::vector<MenuItem>& items) override;
  void SetMenuItemEnabled(int menu, int item, bool enabled) override;
  void ShowPopupMenu(int menu) override;

  void ShowTrayIcon(const std::string& tip) override;
  void SetTrayTip(const std::string& tip) override;
  void RemoveTrayIcon() override;
  bool TrayAvailable() override;

  std::optional<UiEvent> WaitEvent(std::chrono::milliseconds timeout) override;
  void Flush() override {}
  void SetPeriodicWork(std::function<void()> work) override { periodicWork_ = std::move(work); }
  void Wake() override;

  // The handles behind the numbers, for tests and screenshots; null when never created.
  HWND Window(int window) const;
  HWND Control(int window, int control) const;

  // Called with the text-input dialog and its field once the dialog is shown: a test fills
  // the field in and presses a button through it.
  using InputDialogHook = std::function<void(HWND dialog, HWND field)>;
  void SetInputDialogHook(InputDialogHook hook) { inputShown_ = std::move(hook); }

  // Device pixels for `logical` pixels of the layout at the screen's DPI.
  int Scaled(int logical) const { return MulDiv(logical, dpi_, kBaseDpi); }
  // The same for a window, which may have moved to a screen of another DPI.
  int ScaledFor(int window, int logical) const { return MulDiv(logical, DpiOf(window), kBaseDpi); }

 protected:
  void DrawBar(int window, int control, int maximum, int value) override;

 private:
  static constexpr int kBaseDpi = 96;

  struct Placed {
    HWND handle = nullptr;
    ControlKind kind = ControlKind::kText;
    int window = 0;
    int id = 0;
    Rect rect;  // layout pixels
  };
  // A row of a report list view, whose rows the view asks for as it draws them.
  struct LogRow {
    std::wstring text;
    COLORREF colour = 0;
  };

  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleNotify(const NMHDR& header);
  void HandleCommand(HWND from, int code);
  LRESULT DrawLogRow(NMLVCUSTOMDRAW& draw);
  void RaiseIfKeyMovedRow(HWND view, int rowBefore);
  bool HandleShortcut(const MSG& message);
  void DispatchWaiting();
  void Raise(const UiEvent& event);

  HWND MakeControl(HWND parent, const ControlLayout& layout);
  // Moves and sizes a control for a window at `dpi`.
  void PlaceControl(const Placed& control, int dpi);
  // Lays a window out again for the DPI of the screen it was moved to.
  void ChangeDpi(HWND window, int dpi, const RECT& suggested);
  int DpiOf(int window) const;
  HFONT FontFor(int dpi);
  // A child control at `rect` (layout pixels) in the backend's font.
  HWND MakeChild(HWND parent, const wchar_t* windowClass, const std::wstring& caption, DWORD style,
                 const Rect& rect, int id, DWORD extendedStyle);
  void PlaceListView(HWND view, const ControlLayout& layout);
  const Placed* Find(int window, int control) const;
  const Placed* FindHandle(HWND handle) const;
  std::vector<LogRow>* LogRows(int window, int control);
  void InsertCheckRow(HWND view, int row, const std::wstring& text);
  HWND TrayIconOwner() const;
  HWND DialogOwner() const;

  HWND messages_ = nullptr;  // a message-only window: timer, wake-ups, tray clicks
  HFONT font_ = nullptr;     // the message font at the DPI the program started with
  int dpi_ = kBaseDpi;
  std::map<int, int> windowDpi_;  // windows moved to a screen of another DPI
  std::map<int, HFONT> fonts_;    // the message font at those DPIs
  std::map<int, HWND> windows_;
  std::map<std::pair<int, int>, Placed> controls_;
  std::map<std::pair<int, int>, std::vector<LogRow>> logRows_;
  std::map<int, std::map<UINT, int>> shortcuts_;  // window -> virtual key -> menu event
  std::map<int, HMENU> menus_;
  std::map<HWND, HWND> lastFocus_;  // window -> its control that had the keyboard
  HWND trayOwner_ = nullptr;        // while the tray icon is shown
  std::deque<UiEvent> events_;
  // Set while the program itself changes a field: only typing raises a text-changed event.
  int settingText_ = 0;
  InputDialogHook inputShown_;
  std::function<void()> periodicWork_;
};

}  // namespace brisvel
