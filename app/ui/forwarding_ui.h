// A Ui that hands every call to another one: the base of a Ui that changes a few calls of
// another and leaves the rest as they are.
#pragma once

#include "app/ui/ui.h"

namespace brisvel {

class ForwardingUi : public Ui {
 public:
  // `inner` must outlive this.
  explicit ForwardingUi(Ui& inner) : inner_(inner) {}

  bool CreateWindow(const WindowLayout& layout) override { return inner_.CreateWindow(layout); }
  void AddControl(int window, const ControlLayout& layout) override {
    inner_.AddControl(window, layout);
  }
  void AddShortcut(int window, ShortcutKey key, int menuEvent) override {
    inner_.AddShortcut(window, key, menuEvent);
  }
  void ShowWindow(int window, bool visible) override { inner_.ShowWindow(window, visible); }
  bool WindowVisible(int window) override { return inner_.WindowVisible(window); }
  void ActivateWindow(int window) override { inner_.ActivateWindow(window); }
  void MinimiseWindow(int window) override { inner_.MinimiseWindow(window); }
  void ResizeWindow(int window, int width, int height) override {
    inner_.ResizeWindow(window, width, height);
  }

  void SetTitle(int window, const std::string& title) override { inner_.SetTitle(window, title); }

  void SetText(int window, int control, const std::string& text) override {
    inner_.SetText(window, control, text);
  }
  std::string Text(int window, int control) override { return inner_.Text(window, control); }
  void SetChecked(int window, int control, bool checked) override {
    inner_.SetChecked(window, control, checked);
  }
  bool Checked(int window, int control) override { return inner_.Checked(window, control); }
  void SetSelection(int window, int control, int index) override {
    inner_.SetSelection(window, control, index);
  }
  int Selection(int window, int control) override { return inner_.Selection(window, control); }
  void SetEnabled(int window, int control, bool enabled) override {
    inner_.SetEnabled(window, control, enabled);
  }
  bool Enabled(int window, int control) override { return inner_.Enabled(window, control); }
  void SetFocus(int window, int control) override { inner_.SetFocus(window, control); }

  void InsertRow(int window, int control, int64_t index, const std::string& text,
                 Colour colour) override {
    inner_.InsertRow(window, control, index, text, colour);
  }
  void SetRowText(int window, int control, int row, const std::string& text) override {
    inner_.SetRowText(window, control, row, text);
  }
  void SetRowChecked(int window, int control, int row, bool checked) override {
    inner_.SetRowChecked(window, control, row, checked);
  }
  bool RowChecked(int window, int control, int row) override {
    return inner_.RowChecked(window, control, row);
  }
  void DeleteRow(int window, int control, int row) override {
    inner_.DeleteRow(window, control, row);
  }
  void ClearRows(int window, int control) override { inner_.ClearRows(window, control); }
  int RowCount(int window, int control) override { return inner_.RowCount(window, control); }
  void SelectRow(int window, int control, int row) override {
    inner_.SelectRow(window, control, row);
  }
  int SelectedRow(int window, int control) override { return inner_.SelectedRow(window, control); }
  void FitColumn(int window, int control) override { inner_.FitColumn(window, control); }

  void SetProgressMax(int window, int control, int64_t maximum) override {
    inner_.SetProgressMax(window, control, maximum);
  }
  void SetProgressValue(int window, int control, int64_t value) override {
    inner_.SetProgressValue(window, control, value);
  }
  void SetProgressColour(int window, int control, Colour colour) override {
    inner_.SetProgressColour(window, control, colour);
  }

  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    return inner_.ShowMessage(title, text, icon, buttons);
  }
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& start) override {
    return inner_.ChooseFolder(title, start);
  }
  std::optional<FileChoice> ChooseFile(const FileDialogRequest& request) override {
    return inner_.ChooseFile(request);
  }
  std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override {
    return inner_.AskText(title, prompt, initial);
  }

  void CreatePopupMenu(int menu, const std::vector<MenuItem>& items) override {
    inner_.CreatePopupMenu(menu, items);
  }
  void SetMenuItemEnabled(int menu, int item, bool enabled) override {
    inner_.SetMenuItemEnabled(menu, item, enabled);
  }
  void ShowPopupMenu(int menu) override { inner_.ShowPopupMenu(menu); }

  void ShowTrayIcon(const std::string& tip) override { inner_.ShowTrayIcon(tip); }
  void SetTrayTip(const std::string& tip) override { inner_.SetTrayTip(tip); }
  void RemoveTrayIcon() override { inner_.RemoveTrayIcon(); }
  bool TrayAvailable() override { return inner_.TrayAvailable(); }

  std::optional<UiEvent> WaitEvent(std::chrono::milliseconds timeout) override {
    return inner_.WaitEvent(timeout);
  }
  void Flush() override { inner_.Flush(); }

 private:
  Ui& inner_;
};

}  // namespace brisvel
