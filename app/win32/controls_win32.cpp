// The controls of the Windows backend: one native control per kind, placed at its client
// position, and the list views and progress bars the program fills.

#include <algorithm>

#include "app/win32/ui_win32.h"
#include "core/wide_text_win32.h"

namespace brisvel {
namespace {

// Room a list column needs beside its text: the margins of the cell.
constexpr int kColumnMargin = 12;
// How much taller than its field a combo box is made, so its list has room to open.
constexpr int kDroppedListHeight = 160;

struct ClassAndStyle {
  const wchar_t* windowClass;
  DWORD style;
  DWORD extendedStyle;
};

ClassAndStyle ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kFrame:
      return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::kText:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::kCentredText:
      return {L"STATIC", SS_CENTER | SS_NOPREFIX, 0};
    case ControlKind::kButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::kDefaultButton:
      return {L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::kCheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::kOptionButton:
      return {L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
    case ControlKind::kEdit:
      return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::kEditableCombo:
      return {WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::kDropDownList:
      return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::kCheckListView:
      return {WC_LISTVIEWW,
              LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case ControlKind::kReportListView:
      // The rows live in the backend; the view asks for those it draws.
      return {WC_LISTVIEWW,
              LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | LVS_OWNERDATA |
                  WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case ControlKind::kProgressBar:
      return {PROGRESS_CLASSW, PBS_SMOOTH, WS_EX_STATICEDGE};
  }
  return {L"STATIC", 0, 0};
}

COLORREF ColourRef(Colour colour) {
  return RGB(colour.red, colour.green, colour.blue);
}

bool IsCombo(ControlKind kind) {
  return kind == ControlKind::kEditableCombo || kind == ControlKind::kDropDownList;
}

// The width of `text` in the view's font.
int TextWidth(HWND view, const std::wstring& text) {
  HDC dc = GetDC(view);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(view, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(view, dc);
  return size.cx;
}

}  // namespace

void Win32Ui::AddControl(int window, const ControlLayout& layout) {
  HWND parent = Window(window);
  if (parent == nullptr) return;
  HWND handle = MakeControl(parent, layout);
  if (handle == nullptr) return;
  const Placed& placed = controls_[{window, layout.id}] =
      Placed{handle, layout.kind, window, layout.id, layout.rect};
  PlaceControl(placed, DpiOf(window));
  if (layout.kind == ControlKind::kReportListView) logRows_[{window, layout.id}];
}

HWND Win32Ui::MakeControl(HWND parent, const ControlLayout& layout) {
  const ClassAndStyle made = ClassOf(layout.kind);
  Rect rect = layout.rect;
  if (IsCombo(layout.kind)) rect.height += kDroppedListHeight;
  const bool captioned = !IsCombo(layout.kind) && layout.kind != ControlKind::kCheckListView &&
                         layout.kind != ControlKind::kReportListView;
  HWND handle = MakeChild(parent, made.windowClass, captioned ? Wide(layout.caption) : L"",
                          made.style, rect, layout.id, made.extendedStyle);
  if (handle == nullptr) return nullptr;
  if (IsCombo(layout.kind)) {
    for (const std::string& item : layout.items) {
      SendMessageW(handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
  }
  if (layout.kind == ControlKind::kCheckListView || layout.kind == ControlKind::kReportListView) {
    PlaceListView(handle, layout);
  }
  if (layout.kind == ControlKind::kProgressBar) {
    // The bar's colour shows only when the theme does not draw it.
    SetWindowTheme(handle, L" ", L" ");
    SendMessageW(handle, PBM_SETRANGE32, 0, 1);
  }
  return handle;
}

void Win32Ui::PlaceListView(HWND view, const ControlLayout& layout) {
  const bool report = layout.kind == ControlKind::kReportListView;
  DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
  if (!report) extended |= LVS_EX_CHECKBOXES;
  SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  std::wstring title = Wide(layout.caption);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = Scaled(layout.columnWidth);
  column.pszText = title.data();
  SendMessageW(view, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  if (report) {
    SendMessageW(view, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));
    SendMessageW(view, LVM_SETTEXTBKCOLOR, 0, RGB(255, 255, 255));
  }
}

void Win32Ui::PlaceControl(const Placed& control, int dpi) {
  auto scaled = [dpi](int logical) { return MulDiv(logical, dpi, kBaseDpi); };
  const Rect& r = control.rect;
  const bool combo = IsCombo(control.kind);
  SetWindowPos(control.handle, nullptr, scaled(r.x), scaled(r.y), scaled(r.width),
               scaled(r.height + (combo ? kDroppedListHeight : 0)), SWP_NOZORDER | SWP_NOACTIVATE);
  if (combo) {
    // The closed box as high as the layout says, whatever the font would make it.
    const int frame = GetSystemMetrics(SM_CYEDGE) * 3;
    SendMessageW(control.handle, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                 std::max(scaled(r.height) - frame, 1));
  }
}

std::vector<Win32Ui::LogRow>* Win32Ui::LogRows(int window, int control) {
  const auto found = logRows_.find({window, control});
  return found != logRows_.end() ? &found->second : nullptr;
}

// A report view only learns its new row count, once; it scrolls only when it was at its
// bottom, so a user who scrolled up to read keeps his place.
void Win32Ui::InsertRows(int window, int control, int64_t index, std::vector<NewRow> rows) {
  const Placed* placed = Find(window, control);
  if (placed == nullptr || rows.empty()) return;
  HWND view = placed->handle;
  const int count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
  const int at = static_cast<int>(std::clamp<int64_t>(index, 0, count));
  const int added = static_cast<int>(rows.size());
  if (std::vector<LogRow>* logRows = LogRows(window, control)) {
    const int top = static_cast<int>(SendMessageW(view, LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageW(view, LVM_GETCOUNTPERPAGE, 0, 0));
    const bool atBottom = top + page >= count;
    std::vector<LogRow> fresh;
    fresh.reserve(rows.size());
    for (const NewRow& row : rows) fresh.push_back({Wide(row.text), ColourRef(row.colour)});
    logRows->insert(logRows->begin() + at, fresh.begin(), fresh.end());
    SendMessageW(view, LVM_SETITEMCOUNT, logRows->size(), LVSICF_NOSCROLL);
    if (atBottom) SendMessageW(view, LVM_ENSUREVISIBLE, at + added - 1, FALSE);
    return;
  }
  for (int i = 0; i < added; ++i) InsertCheckRow(view, at + i, Wide(rows[i].text));
  SendMessageW(view, LVM_ENSUREVISIBLE, at + added - 1, FALSE);
}

void Win32Ui::InsertCheckRow(HWND view, int row, const std::wstring& text) {
  std::wstring shown = text;
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = shown.data();
  SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void Win32Ui::SetRowText(int window, int control, int row, const std::string& text) {
  HWND view = Control(window, control);
  if (view == nullptr || row < 0) return;
  if (std::vector<LogRow>* rows = LogRows(window, control)) {
    if (static_cast<size_t>(row) >= rows->size()) return;
    (*rows)[row].text = Wide(text);
    SendMessageW(view, LVM_REDRAWITEMS, row, row);
    return;
  }
  std::wstring shown = Wide(text);
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = shown.data();
  SendMessageW(view, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void Win32Ui::SetRowChecked(int window, int control, int row, bool checked) {
  if (HWND view = Control(window, control)) ListView_SetCheckState(view, row, checked);
}

bool Win32Ui::RowChecked(int window, int control, int row) {
  HWND view = Control(window, control);
  return view != nullptr && ListView_GetCheckState(view, row) != FALSE;
}

void Win32Ui::DeleteRow(int window, int control, int row) {
  HWND view = Control(window, control);
  if (view == nullptr || row < 0) return;
  if (std::vector<LogRow>* rows = LogRows(window, control)) {
    if (static_cast<size_t>(row) >= rows->size()) return;
    rows->erase(rows->begin() + row);
    SendMessageW(view, LVM_SETITEMCOUNT, rows->size(), LVSICF_NOSCROLL);
    return;
  }
  SendMessageW(view, LVM_DELETEITEM, row, 0);
}

void Win32Ui::ClearRows(int window, int control) {
  HWND view = Control(window, control);
  if (view == nullptr) return;
  if (std::vector<LogRow>* rows = LogRows(window, control)) rows->clear();
  SendMessageW(view, LVM_DELETEALLITEMS, 0, 0);
}

int Win32Ui::RowCount(int window, int control) {
  HWND view = Control(window, control);
  return view != nullptr ? static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

void Win32Ui::SelectRow(int window, int control, int row) {
  HWND view = Control(window, control);
  if (view == nullptr) return;
  const int count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
  if (row < 0 || row >= count) {
    ListView_SetItemState(view, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    return;
  }
  ListView_SetItemState(view, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageW(view, LVM_ENSUREVISIBLE, row, FALSE);
}

int Win32Ui::SelectedRow(int window, int control) {
  HWND view = Control(window, control);
  if (view == nullptr) return -1;
  return static_cast<int>(
      SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// The widest of the title and the rows: a report view's rows are measured here, once per
// fit, only while the view holds few enough that this costs nothing noticeable; a longer
// log keeps the width it reached and widens for the newest rows.
void Win32Ui::FitColumn(int window, int control) {
  HWND view = Control(window, control);
  if (view == nullptr) return;
  const std::vector<LogRow>* rows = LogRows(window, control);
  if (rows == nullptr) {
    SendMessageW(view, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    return;
  }
  wchar_t title[64] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = 64;
  SendMessageW(view, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  int widest = std::max(TextWidth(view, title),
                        static_cast<int>(SendMessageW(view, LVM_GETCOLUMNWIDTH, 0, 0)) -
                            ScaledFor(window, kColumnMargin));
  constexpr size_t kMeasured = 200;
  const size_t from = rows->size() > kMeasured ? rows->size() - kMeasured : 0;
  for (size_t row = from; row < rows->size(); ++row) {
    widest = std::max(widest, TextWidth(view, (*rows)[row].text));
  }
  SendMessageW(view, LVM_SETCOLUMNWIDTH, 0, widest + ScaledFor(window, kColumnMargin));
}

void Win32Ui::DrawBar(int window, int control, int maximum, int value) {
  HWND bar = Control(window, control);
  if (bar == nullptr) return;
  SendMessageW(bar, PBM_SETRANGE32, 0, maximum);
  SendMessageW(bar, PBM_SETPOS, value, 0);
}

void Win32Ui::SetProgressColour(int window, int control, Colour colour) {
  if (HWND bar = Control(window, control)) {
    SendMessageW(bar, PBM_SETBARCOLOR, 0, ColourRef(colour));
  }
}

}  // namespace brisvel
