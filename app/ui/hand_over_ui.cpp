#include "app/ui/hand_over_ui.h"

namespace brisvel {
namespace {

// Keys of the updates a later one of the same kind replaces.
enum ReplaceKey : int {
  kCaption = 1,
  kBarMaximum,
  kBarValue,
  kBarColour,
  kTrayTip,
  kColumnFit,
};

}  // namespace

HandOverUi::HandOverUi(DesktopUi& desktop)
    : desktop_(desktop), guiThread_(std::this_thread::get_id()) {
  desktop_.SetPeriodicWork([this] { ApplyPending(); });
}

HandOverUi::~HandOverUi() {
  desktop_.SetPeriodicWork(nullptr);
}

void HandOverUi::Change(Update update) {
  if (!OnGuiThread()) {
    pending_.Push(std::move(update));
    return;
  }
  ApplyPending();
  update.apply();
}

void HandOverUi::ApplyPending() {
  if (applying_) return;  // a dialog opened by an update runs the periodic work inside it
  applying_ = true;
  std::vector<Update> batch = pending_.Take();
  std::vector<bool> done = ReplacedUpdates(batch);
  for (size_t position = 0; position < batch.size(); ++position) {
    if (done[position]) continue;
    if (batch[position].row) {
      ApplyRows(batch, position, done);
    } else {
      batch[position].apply();
    }
  }
  applying_ = false;
}

void HandOverUi::ApplyRows(std::vector<Update>& batch, size_t position, std::vector<bool>& done) {
  const Update& first = batch[position];
  std::vector<NewRow> rows;
  for (Update* row : ConsecutiveRows(batch, position, done)) {
    rows.push_back({std::move(row->text), row->colour});
  }
  desktop_.InsertRows(first.window, first.control, first.index, std::move(rows));
}

std::optional<UiEvent> HandOverUi::WaitEvent(std::chrono::milliseconds timeout) {
  ApplyPending();
  std::optional<UiEvent> event = desktop_.WaitEvent(timeout);
  ApplyPending();
  return event;
}

void HandOverUi::Flush() {
  OnGui([&] { desktop_.Flush(); });
}

bool HandOverUi::CreateWindow(const WindowLayout& layout) {
  return OnGui([&] { return desktop_.CreateWindow(layout); });
}

void HandOverUi::AddControl(int window, const ControlLayout& layout) {
  if (layout.kind == ControlKind::kText || layout.kind == ControlKind::kCentredText) {
    labels_.insert({window, layout.id});
  }
  OnGui([&] { desktop_.AddControl(window, layout); });
}

void HandOverUi::AddShortcut(int window, ShortcutKey key, int menuEvent) {
  OnGui([&] { desktop_.AddShortcut(window, key, menuEvent); });
}

void HandOverUi::ShowWindow(int window, bool visible) {
  Change(Update::Call(window, -1, [=, this] { desktop_.ShowWindow(window, visible); }));
}

bool HandOverUi::WindowVisible(int window) {
  return OnGui([&] { return desktop_.WindowVisible(window); });
}

void HandOverUi::ActivateWindow(int window) {
  Change(Update::Call(window, -1, [=, this] { desktop_.ActivateWindow(window); }));
}

void HandOverUi::MinimiseWindow(int window) {
  Change(Update::Call(window, -1, [=, this] { desktop_.MinimiseWindow(window); }));
}

void HandOverUi::ResizeWindow(int window, int width, int height) {
  Change(
      Update::Call(window, -1, [=, this] { desktop_.ResizeWindow(window, width, height); }));
}

void HandOverUi::SetTitle(int window, const std::string& title) {
  Change(Update::Call(window, -1, [=, this] { desktop_.SetTitle(window, title); }));
}

void HandOverUi::SetText(int window, int control, const std::string& text) {
  auto apply = [=, this] { desktop_.SetText(window, control, text); };
  // A label's caption is the label's alone; a combo box's text also depends on its selection.
  Change(labels_.count({window, control}) > 0
             ? Update::Anywhere(kCaption, window, control, apply)
             : Update::Replacing(kCaption, window, control, apply));
}

std::string HandOverUi::Text(int window, int control) {
  return OnGui([&] { return desktop_.Text(window, control); });
}

void HandOverUi::SetChecked(int window, int control, bool checked) {
  Change(Update::Call(window, control,
                      [=, this] { desktop_.SetChecked(window, control, checked); }));
}

bool HandOverUi::Checked(int window, int control) {
  return OnGui([&] { return desktop_.Checked(window, control); });
}

void HandOverUi::SetSelection(int window, int control, int index) {
  Change(Update::Call(window, control,
                      [=, this] { desktop_.SetSelection(window, control, index); }));
}

int HandOverUi::Selection(int window, int control) {
  return OnGui([&] { return desktop_.Selection(window, control); });
}

void HandOverUi::SetEnabled(int window, int control, bool enabled) {
  Change(Update::Call(window, control,
                      [=, this] { desktop_.SetEnabled(window, control, enabled); }));
}

bool HandOverUi::Enabled(int window, int control) {
  return OnGui([&] { return desktop_.Enabled(window, control); });
}

void HandOverUi::SetFocus(int window, int control) {
  Change(Update::Call(window, control, [=, this] { desktop_.SetFocus(window, control); }));
}

void HandOverUi::InsertRow(int window, int control, int64_t index, const std::string& text,
                           Colour colour) {
  if (!OnGuiThread()) {
    pending_.Push(Update::Row(window, control, index, text, colour));
    return;
  }
  ApplyPending();
  desktop_.InsertRow(window, control, index, text, colour);
}

void HandOverUi::SetRowText(int window, int control, int row, const std::string& text) {
  Change(Update::Call(window, control,
                      [=, this] { desktop_.SetRowText(window, control, row, text); }));
}

void HandOverUi::SetRowChecked(int window, int control, int row, bool checked) {
  Change(Update::Call(window, control,
                      [=, this] { desktop_.SetRowChecked(window, control, row, checked); }));
}

bool HandOverUi::RowChecked(int window, int control, int row) {
  return OnGui([&] { return desktop_.RowChecked(window, control, row); });
}

void HandOverUi::DeleteRow(int window, int control, int row) {
  Change(Update::Call(window, control, [=, this] { desktop_.DeleteRow(window, control, row); }));
}

void HandOverUi::ClearRows(int window, int control) {
  Change(Update::Call(window, control, [=, this] { desktop_.ClearRows(window, control); }));
}

int HandOverUi::RowCount(int window, int control) {
  return OnGui([&] { return desktop_.RowCount(window, control); });
}

void HandOverUi::SelectRow(int window, int control, int row) {
  Change(Update::Call(window, control, [=, this] { desktop_.SelectRow(window, control, row); }));
}

int HandOverUi::SelectedRow(int window, int control) {
  return OnGui([&] { return desktop_.SelectedRow(window, control); });
}

void HandOverUi::FitColumn(int window, int control) {
  Change(Update::Replacing(kColumnFit, window, control,
                           [=, this] { desktop_.FitColumn(window, control); }));
}

void HandOverUi::SetProgressMax(int window, int control, int64_t maximum) {
  Change(Update::Replacing(kBarMaximum, window, control,
                           [=, this] { desktop_.SetProgressMax(window, control, maximum); }));
}

void HandOverUi::SetProgressValue(int window, int control, int64_t value) {
  Change(Update::Replacing(kBarValue, window, control,
                           [=, this] { desktop_.SetProgressValue(window, control, value); }));
}

void HandOverUi::SetProgressColour(int window, int control, Colour colour) {
  Change(Update::Anywhere(kBarColour, window, control,
                          [=, this] { desktop_.SetProgressColour(window, control, colour); }));
}

MessageAnswer HandOverUi::ShowMessage(const std::string& title, const std::string& text,
                                      MessageIcon icon, MessageButtons buttons) {
  return OnGui([&] { return desktop_.ShowMessage(title, text, icon, buttons); });
}

std::optional<std::string> HandOverUi::ChooseFolder(const std::string& title,
                                                    const std::string& start) {
  return OnGui([&] { return desktop_.ChooseFolder(title, start); });
}

std::optional<FileChoice> HandOverUi::ChooseFile(const FileDialogRequest& request) {
  return OnGui([&] { return desktop_.ChooseFile(request); });
}

std::optional<std::string> HandOverUi::AskText(const std::string& title,
                                               const std::string& prompt,
                                               const std::string& initial) {
  return OnGui([&] { return desktop_.AskText(title, prompt, initial); });
}

void HandOverUi::CreatePopupMenu(int menu, const std::vector<MenuItem>& items) {
  OnGui([&] { desktop_.CreatePopupMenu(menu, items); });
}

void HandOverUi::SetMenuItemEnabled(int menu, int item, bool enabled) {
  OnGui([&] { desktop_.SetMenuItemEnabled(menu, item, enabled); });
}

void HandOverUi::ShowPopupMenu(int menu) {
  OnGui([&] { desktop_.ShowPopupMenu(menu); });
}

void HandOverUi::ShowTrayIcon(const std::string& tip) {
  OnGui([&] { desktop_.ShowTrayIcon(tip); });
}

void HandOverUi::SetTrayTip(const std::string& tip) {
  Change(Update::Anywhere(kTrayTip, -1, -1, [=, this] { desktop_.SetTrayTip(tip); }));
}

void HandOverUi::RemoveTrayIcon() {
  OnGui([&] { desktop_.RemoveTrayIcon(); });
}

bool HandOverUi::TrayAvailable() {
  return OnGui([&] { return desktop_.TrayAvailable(); });
}

}  // namespace brisvel
