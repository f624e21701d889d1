// The desktop backend on Qt Widgets. Windows and controls are built at the given client
// positions and sizes; user actions become events that WaitEvent hands out in order. Only the
// GUI thread calls it (app/ui/desktop_ui.h).
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>

#include "app/ui/desktop_ui.h"

class QEventLoop;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace brisvel {

class QtRowModel;

class QtUi : public DesktopUi {
 public:
  // Runs a modal dialog and returns its result. Tests swap in one that fills the dialog in
  // and answers without showing it.
  using DialogRunner = std::function<int(QDialog&)>;

  // Needs a QApplication; call on its thread.
  QtUi();
  ~QtUi() override;

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

  void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

  // The widgets behind the numbers, for tests and screenshots; null when never created.
  QWidget* Window(int window) const;
  QWidget* Control(int window, int control) const;
  QMenu* Menu(int menu) const;
  QSystemTrayIcon* TrayIcon() const { return tray_.get(); }

 protected:
  void DrawBar(int window, int control, int maximum, int value) override;

 private:
  void Raise(const UiEvent& event);
  void ConnectControl(int window, int id, ControlKind kind, QWidget* widget);
  QtRowModel* Rows(int window, int control) const;
  int RunDialog(QDialog& dialog);

  QObject context_;  // lives on the GUI thread; receives the widgets' signals
  QTimer periodicTimer_;
  std::function<void()> periodicWork_;
  std::map<int, std::unique_ptr<QWidget>> windows_;
  std::map<std::pair<int, int>, QPointer<QWidget>> controls_;
  std::map<std::pair<int, int>, QtRowModel*> models_;
  std::map<int, std::unique_ptr<QMenu>> menus_;
  std::unique_ptr<QSystemTrayIcon> tray_;
  std::deque<UiEvent> events_;
  QEventLoop* waiting_ = nullptr;
  // Set while a key pressed in an open list or menu is handled: it picks or dismisses an item,
  // even once the list has closed, and is never the window's shortcut.
  bool popupKeyPressed_ = false;
  DialogRunner runDialog_;
};

}  // namespace brisvel
