#include "app/ui/model_ui.h"

#include <algorithm>

namespace brisvel {

static std::string ColourText(Colour colour) {
  return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
         std::to_string(colour.blue);
}

ModelUi::Control& ModelUi::ControlAt(int window, int control) {
  auto found = controls_.find({window, control});
  if (found != controls_.end()) return found->second;
  ++strayCalls_;
  scratchControl_ = Control{};
  return scratchControl_;
}

ModelUi::Window& ModelUi::WindowAt(int window) {
  auto found = windows_.find(window);
  if (found != windows_.end()) return found->second;
  ++strayCalls_;
  scratchWindow_ = Window{};
  return scratchWindow_;
}

ModelUi::Row* ModelUi::RowAt(Control& control, int row) {
  if (row < 0 || row >= static_cast<int>(control.rows.size())) return nullptr;
  return &control.rows[row];
}

bool ModelUi::CreateWindow(const WindowLayout& layout) {
  std::lock_guard lock(mutex_);
  Note("CreateWindow", layout.id, layout.title);
  windows_[layout.id] = Window{layout, false, layout.width, layout.height};
  return true;
}

void ModelUi::AddControl(int window, const ControlLayout& layout) {
  std::lock_guard lock(mutex_);
  Note("AddControl", window, layout.id, layout.caption);
  if (windows_.count(window) == 0) ++strayCalls_;
  Control control;
  control.kind = layout.kind;
  if (layout.kind != ControlKind::kReportListView) control.text = layout.caption;
  control.items = layout.items;
  controls_[{window, layout.id}] = control;
}

void ModelUi::AddShortcut(int window, ShortcutKey key, int menuEvent) {
  std::lock_guard lock(mutex_);
  Note("AddShortcut", window, static_cast<int>(key), menuEvent);
  WindowAt(window);
}

void ModelUi::ShowWindow(int window, bool visible) {
  std::lock_guard lock(mutex_);
  Note("ShowWindow", window, visible);
  Window& shown = WindowAt(window);
  shown.visible = visible;
  shown.minimised = false;
}

bool ModelUi::WindowVisible(int window) {
  std::lock_guard lock(mutex_);
  return WindowAt(window).visible;
}

void ModelUi::ActivateWindow(int window) {
  std::lock_guard lock(mutex_);
  Note("ActivateWindow", window);
  WindowAt(window).minimised = false;
}

void ModelUi::MinimiseWindow(int window) {
  std::lock_guard lock(mutex_);
  Note("MinimiseWindow", window);
  Window& shown = WindowAt(window);
  shown.visible = true;
  shown.minimised = true;
}

void ModelUi::ResizeWindow(int window, int width, int height) {
  std::lock_guard lock(mutex_);
  Note("ResizeWindow", window, width, height);
  Window& shown = WindowAt(window);
  shown.width = width;
  shown.height = height;
}

void ModelUi::SetTitle(int window, const std::string& title) {
  std::lock_guard lock(mutex_);
  Note("SetTitle", window, title);
  WindowAt(window).layout.title = title;
}

void ModelUi::SetText(int window, int control, const std::string& text) {
  std::lock_guard lock(mutex_);
  Note("SetText", window, control, text);
  ControlAt(window, control).text = text;
}

std::string ModelUi::Text(int window, int control) {
  std::lock_guard lock(mutex_);
  return ControlAt(window, control).text;
}

void ModelUi::SetChecked(int window, int control, bool checked) {
  std::lock_guard lock(mutex_);
  Note("SetChecked", window, control, checked);
  ControlAt(window, control).checked = checked;
}

bool ModelUi::Checked(int window, int control) {
  std::lock_guard lock(mutex_);
  return ControlAt(window, control).checked;
}

void ModelUi::SetSelection(int window, int control, int index) {
  std::lock_guard lock(mutex_);
  Note("SetSelection", window, control, index);
  Control& list = ControlAt(window, control);
  list.selection = index;
  if (list.kind == ControlKind::kDropDownList && index >= 0 &&
      index < static_cast<int>(list.items.size())) {
    list.text = list.items[index];
  }
}

int ModelUi::Selection(int window, int control) {
  std::lock_guard lock(mutex_);
  return ControlAt(window, control).selection;
}

void ModelUi::SetEnabled(int window, int control, bool enabled) {
  std::lock_guard lock(mutex_);
  Note("SetEnabled", window, control, enabled);
  ControlAt(window, control).enabled = enabled;
}

bool ModelUi::Enabled(int window, int control) {
  std::lock_guard lock(mutex_);
  return ControlAt(window, control).enabled;
}

void ModelUi::SetFocus(int window, int control) {
  std::lock_guard lock(mutex_);
  Note("SetFocus", window, control);
  ControlAt(window, control);
  focus_ = {window, control};
}

void ModelUi::InsertRow(int window, int control, int64_t index, const std::string& text,
                        Colour colour) {
  std::lock_guard lock(mutex_);
  Note("InsertRow", window, control, index, ColourText(colour), text);
  std::vector<Row>& rows = ControlAt(window, control).rows;
  const int64_t at = std::clamp<int64_t>(index, 0, static_cast<int64_t>(rows.size()));
  rows.insert(rows.begin() + at, Row{text, colour, false});
}

void ModelUi::SetRowText(int window, int control, int row, const std::string& text) {
  std::lock_guard lock(mutex_);
  Note("SetRowText", window, control, row, text);
  if (Row* found = RowAt(ControlAt(window, control), row)) found->text = text;
}

void ModelUi::SetRowChecked(int window, int control, int row, bool checked) {
  std::lock_guard lock(mutex_);
  Note("SetRowChecked", window, control, row, checked);
  if (Row* found = RowAt(ControlAt(window, control), row)) found->checked = checked;
}

bool ModelUi::RowChecked(int window, int control, int row) {
  std::lock_guard lock(mutex_);
  Row* found = RowAt(ControlAt(window, control), row);
  return found != nullptr && found->checked;
}

void ModelUi::DeleteRow(int window, int control, int row) {
  std::lock_guard lock(mutex_);
  Note("DeleteRow", window, control, row);
  Control& list = ControlAt(window, control);
  if (RowAt(list, row) == nullptr) return;
  list.rows.erase(list.rows.begin() + row);
  if (list.selectedRow >= static_cast<int>(list.rows.size())) list.selectedRow = -1;
}

void ModelUi::ClearRows(int window, int control) {
  std::lock_guard lock(mutex_);
  Note("ClearRows", window, control);
  Control& list = ControlAt(window, control);
  list.rows.clear();
  list.selectedRow = -1;
}

int ModelUi::RowCount(int window, int control) {
  std::lock_guard lock(mutex_);
  return static_cast<int>(ControlAt(window, control).rows.size());
}

void ModelUi::SelectRow(int window, int control, int row) {
  std::lock_guard lock(mutex_);
  Note("SelectRow", window, control, row);
  Control& list = ControlAt(window, control);
  list.selectedRow = RowAt(list, row) != nullptr ? row : -1;
}

int ModelUi::SelectedRow(int window, int control) {
  std::lock_guard lock(mutex_);
  return ControlAt(window, control).selectedRow;
}

void ModelUi::FitColumn(int window, int control) {
  std::lock_guard lock(mutex_);
  Note("FitColumn", window, control);
  ControlAt(window, control);
}

void ModelUi::SetProgressMax(int window, int control, int64_t maximum) {
  std::lock_guard lock(mutex_);
  Note("SetProgressMax", window, control, maximum);
  ControlAt(window, control).progressMax = maximum;
}

void ModelUi::SetProgressValue(int window, int control, int64_t value) {
  std::lock_guard lock(mutex_);
  Note("SetProgressValue", window, control, value);
  ControlAt(window, control).progressValue = value;
}

void ModelUi::SetProgressColour(int window, int control, Colour colour) {
  std::lock_guard lock(mutex_);
  Note("SetProgressColour", window, control, ColourText(colour));
  ControlAt(window, control).progressColour = colour;
}

void ModelUi::CreatePopupMenu(int menu, const std::vector<MenuItem>& items) {
  std::lock_guard lock(mutex_);
  Note("CreatePopupMenu", menu, items.size());
  Menu& created = menus_[menu];
  created.items = items;
  for (const MenuItem& item : items) created.enabled[item.id] = true;
}

void ModelUi::SetMenuItemEnabled(int menu, int item, bool enabled) {
  std::lock_guard lock(mutex_);
  Note("SetMenuItemEnabled", menu, item, enabled);
  auto found = menus_.find(menu);
  if (found == menus_.end() || found->second.enabled.count(item) == 0) {
    ++strayCalls_;
    return;
  }
  found->second.enabled[item] = enabled;
}

void ModelUi::ShowPopupMenu(int menu) {
  std::lock_guard lock(mutex_);
  Note("ShowPopupMenu", menu);
  if (menus_.count(menu) == 0) ++strayCalls_;
}

void ModelUi::ShowTrayIcon(const std::string& tip) {
  std::lock_guard lock(mutex_);
  Note("ShowTrayIcon", tip);
  trayShown_ = true;
  trayTip_ = tip;
}

void ModelUi::SetTrayTip(const std::string& tip) {
  std::lock_guard lock(mutex_);
  Note("SetTrayTip", tip);
  trayTip_ = tip;
}

void ModelUi::RemoveTrayIcon() {
  std::lock_guard lock(mutex_);
  Note("RemoveTrayIcon");
  trayShown_ = false;
}

std::vector<ModelUi::Row> ModelUi::Rows(int window, int control) {
  std::lock_guard lock(mutex_);
  return ControlAt(window, control).rows;
}

std::pair<int64_t, int64_t> ModelUi::Progress(int window, int control) {
  std::lock_guard lock(mutex_);
  const Control& bar = ControlAt(window, control);
  return {bar.progressValue, bar.progressMax};
}

Colour ModelUi::ProgressColour(int window, int control) {
  std::lock_guard lock(mutex_);
  return ControlAt(window, control).progressColour;
}

std::pair<int, int> ModelUi::WindowSize(int window) {
  std::lock_guard lock(mutex_);
  const Window& shown = WindowAt(window);
  return {shown.width, shown.height};
}

std::string ModelUi::WindowTitle(int window) {
  std::lock_guard lock(mutex_);
  return WindowAt(window).layout.title;
}

bool ModelUi::WindowMinimised(int window) {
  std::lock_guard lock(mutex_);
  return WindowAt(window).minimised;
}

std::pair<int, int> ModelUi::Focus() {
  std::lock_guard lock(mutex_);
  return focus_;
}

bool ModelUi::MenuItemEnabled(int menu, int item) {
  std::lock_guard lock(mutex_);
  auto found = menus_.find(menu);
  return found != menus_.end() && found->second.enabled[item];
}

bool ModelUi::TrayIconShown() {
  std::lock_guard lock(mutex_);
  return trayShown_;
}

std::string ModelUi::TrayTip() {
  std::lock_guard lock(mutex_);
  return trayTip_;
}

int ModelUi::StrayCalls() {
  std::lock_guard lock(mutex_);
  return strayCalls_;
}

}  // namespace brisvel
