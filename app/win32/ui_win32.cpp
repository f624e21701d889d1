#include "app/win32/ui_win32.h"

#include <algorithm>

#include "core/wide_text_win32.h"

namespace brisvel {
namespace {

constexpr wchar_t kWindowClass[] = L"BrisvelWindow";
constexpr UINT kPeriodicTimer = 1;
constexpr UINT kWakeMessage = WM_APP;
constexpr UINT kTrayMessage = WM_APP + 1;
// Posted when a key reaches the job list, with the list and the row selected before the key.
constexpr UINT kListKeyMessage = WM_APP + 2;
constexpr UINT kTrayIcon = 0;
// Menu item commands are the item numbers plus one: TrackPopupMenu answers 0 for "nothing".
constexpr UINT kFirstMenuCommand = 1;

DWORD StyleOf(const WindowLayout& layout) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  if (layout.minimiseBox) style |= WS_MINIMIZEBOX;
  return style;
}

// The outer size of a window of `style` whose client area is `width` x `height`.
SIZE OuterSize(DWORD style, DWORD extendedStyle, int width, int height) {
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

// Added to a virtual key for a shortcut that is pressed together with Ctrl.
constexpr UINT kWithControl = 0x10000;

UINT VirtualKeyOf(ShortcutKey key) {
  switch (key) {
    case ShortcutKey::kReturn:
      return VK_RETURN;
    case ShortcutKey::kEscape:
      return VK_ESCAPE;
    case ShortcutKey::kF1:
      return VK_F1;
    case ShortcutKey::kCtrlO:
      return 'O' | kWithControl;
  }
  return 0;
}

// A drop-down list that is open owns the keys: Return there picks an item.
bool InOpenDropDown(HWND focus) {
  for (HWND at = focus; at != nullptr; at = GetParent(at)) {
    wchar_t name[32] = {};
    GetClassNameW(at, name, 32);
    if (lstrcmpiW(name, L"ComboBox") == 0) return SendMessageW(at, CB_GETDROPPEDSTATE, 0, 0);
  }
  return false;
}

HFONT MessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

void RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when a second backend registers again
}

NOTIFYICONDATAW TrayData(HWND owner, const std::string& tip) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner;
  data.uID = kTrayIcon;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  lstrcpynW(data.szTip, Wide(tip).c_str(), ARRAYSIZE(data.szTip));
  return data;
}

// Sent to every top-level window when the task bar starts again (Explorer crashed or was
// restarted); the new one knows no icon.
UINT TaskbarCreated() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace

Win32Ui::Win32Ui() {
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterWindowClass(WindowProcedure);
  dpi_ = ScreenDpi();
  font_ = MessageFont();
  messages_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), this);
  SetTimer(messages_, kPeriodicTimer, static_cast<UINT>(kPeriodicWorkInterval.count()), nullptr);
}

Win32Ui::~Win32Ui() {
  RemoveTrayIcon();
  KillTimer(messages_, kPeriodicTimer);
  for (auto& [id, menu] : menus_) DestroyMenu(menu);
  for (auto& [id, window] : windows_) DestroyWindow(window);
  DestroyWindow(messages_);
  DeleteObject(font_);
  for (auto& [dpi, font] : fonts_) DeleteObject(font);
}

LRESULT CALLBACK Win32Ui::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* ui = reinterpret_cast<Win32Ui*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (ui == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return ui->Handle(hwnd, message, wParam, lParam);
}

LRESULT Win32Ui::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
    case kWakeMessage:
      if (periodicWork_) periodicWork_();
      return 0;
    case WM_COMMAND:
      if (lParam != 0) HandleCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return HandleNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_ACTIVATE:
      // A window that comes back to the front gives the keyboard back to the control that
      // had it; a control the program has just given the keyboard keeps it. A window shown
      // for the first time gives it to no control, as the system does: a key typed into
      // the shutdown countdown as it appears must not press "Shutdown".
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd, focus)) lastFocus_[hwnd] = focus;
        return 0;
      }
      if (HWND now = GetFocus(); now != nullptr && IsChild(hwnd, now)) return 0;
      if (HWND focus = lastFocus_[hwnd]; focus != nullptr && IsWindowEnabled(focus)) {
        ::SetFocus(focus);
        return 0;
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_DPICHANGED:
      ChangeDpi(hwnd, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      for (const auto& [id, window] : windows_) {
        if (window == hwnd) Raise({id, 0, EventType::kCloseRequest});
      }
      return 0;
    case kListKeyMessage:
      RaiseIfKeyMovedRow(reinterpret_cast<HWND>(wParam), static_cast<int>(lParam));
      return 0;
    case kTrayMessage:
      // A double click first reports single clicks: those do nothing.
      if (LOWORD(lParam) == WM_LBUTTONDBLCLK || LOWORD(lParam) == WM_RBUTTONDOWN) {
        Raise({kMainWindow, 0, EventType::kTrayActivate});
      }
      return 0;
    default:
      if (message == TaskbarCreated() && trayOwner_ != nullptr) {
        NOTIFYICONDATAW data = TrayData(trayOwner_, "");
        data.uFlags = NIF_ICON | NIF_MESSAGE;
        Shell_NotifyIconW(NIM_ADD, &data);
      }
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void Win32Ui::HandleCommand(HWND from, int code) {
  const Placed* control = FindHandle(from);
  if (control == nullptr) return;
  auto raise = [&](EventType type) { Raise({control->window, control->id, type}); };
  switch (control->kind) {
    case ControlKind::kButton:
    case ControlKind::kDefaultButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
      if (code == BN_CLICKED) raise(EventType::kClick);
      break;
    case ControlKind::kEdit:
      // Only the user's typing: a field the program fills raises nothing.
      if (code == EN_CHANGE && settingText_ == 0) raise(EventType::kTextChanged);
      break;
    case ControlKind::kEditableCombo:
      if (code == CBN_EDITCHANGE) raise(EventType::kComboTextTyped);
      [[fallthrough]];
    case ControlKind::kDropDownList:
      if (code == CBN_SELCHANGE) raise(EventType::kSelectionChange);
      break;
    default:
      break;
  }
}

LRESULT Win32Ui::HandleNotify(const NMHDR& header) {
  const Placed* control = FindHandle(header.hwndFrom);
  if (control == nullptr) return 0;
  if (control->kind == ControlKind::kReportListView) {
    if (header.code == NM_CUSTOMDRAW) {
      return DrawLogRow(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
    }
    if (header.code == LVN_GETDISPINFOW) {
      auto& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item;
      const std::vector<LogRow>* rows = LogRows(control->window, control->id);
      if ((item.mask & LVIF_TEXT) != 0 && rows != nullptr && item.iItem >= 0 &&
          static_cast<size_t>(item.iItem) < rows->size()) {
        lstrcpynW(item.pszText, (*rows)[item.iItem].text.c_str(), item.cchTextMax);
      }
    }
    return 0;
  }
  if (control->kind != ControlKind::kCheckListView) return 0;
  // The program reads the rows when it takes the event, after the view has finished with the
  // click (a click on a row's box has toggled it by then).
  if (header.code == NM_CLICK) Raise({control->window, control->id, EventType::kClick});
  // The view moves its selection after this notice: the row is compared once it has.
  if (header.code == LVN_KEYDOWN) {
    PostMessageW(GetParent(header.hwndFrom), kListKeyMessage,
                 reinterpret_cast<WPARAM>(header.hwndFrom),
                 ListView_GetNextItem(header.hwndFrom, -1, LVNI_SELECTED));
  }
  if (header.code == NM_DBLCLK) Raise({control->window, control->id, EventType::kDoubleClick});
  if (header.code == NM_RCLICK) {
    Raise({control->window, control->id, EventType::kSelectionChange});
  }
  return 0;
}

// A row reached with the arrow keys is shown like a clicked one; otherwise the panel would
// show, and take edits for, a job whose row is not the highlighted one.
void Win32Ui::RaiseIfKeyMovedRow(HWND view, int rowBefore) {
  const Placed* control = FindHandle(view);
  if (control == nullptr || ListView_GetNextItem(view, -1, LVNI_SELECTED) == rowBefore) return;
  Raise({control->window, control->id, EventType::kClick});
}

LRESULT Win32Ui::DrawLogRow(NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const Placed* control = FindHandle(draw.nmcd.hdr.hwndFrom);
  const std::vector<LogRow>* rows = LogRows(control->window, control->id);
  const size_t row = draw.nmcd.dwItemSpec;
  if (rows != nullptr && row < rows->size()) draw.clrText = (*rows)[row].colour;
  draw.clrTextBk = RGB(255, 255, 255);
  return CDRF_NEWFONT;
}

void Win32Ui::Raise(const UiEvent& event) {
  events_.push_back(event);
}

bool Win32Ui::HandleShortcut(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  for (const auto& [id, window] : windows_) {
    if (window != root) continue;
    if (message.wParam == VK_TAB) return IsDialogMessageW(root, const_cast<MSG*>(&message));
    const auto keys = shortcuts_.find(id);
    if (keys == shortcuts_.end()) return false;
    const UINT pressed = static_cast<UINT>(message.wParam);
    auto key = keys->second.end();
    if (GetKeyState(VK_CONTROL) < 0) key = keys->second.find(pressed | kWithControl);
    if (key == keys->second.end()) key = keys->second.find(pressed);
    if (key == keys->second.end() || InOpenDropDown(GetFocus())) return false;
    Raise({id, key->second, EventType::kMenuItem});
    return true;
  }
  return false;
}

void Win32Ui::DispatchWaiting() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (HandleShortcut(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::optional<UiEvent> Win32Ui::WaitEvent(std::chrono::milliseconds timeout) {
  DispatchWaiting();
  if (events_.empty() && timeout.count() > 0) {
    // Sleeps until a message arrives or the time is up; never spins.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(timeout.count()), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    DispatchWaiting();
  }
  if (events_.empty()) return std::nullopt;
  const UiEvent event = events_.front();
  events_.pop_front();
  return event;
}

void Win32Ui::Wake() {
  PostMessageW(messages_, kWakeMessage, 0, 0);
}

bool Win32Ui::CreateWindow(const WindowLayout& layout) {
  const DWORD style = StyleOf(layout);
  const DWORD extendedStyle = layout.alwaysOnTop ? WS_EX_TOPMOST : 0;
  const SIZE size = OuterSize(style, extendedStyle, Scaled(layout.width), Scaled(layout.height));
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int x = area.left + (area.right - area.left - size.cx) / 2;
  const int y = area.top + (area.bottom - area.top - size.cy) / 2;
  HWND window =
      CreateWindowExW(extendedStyle, kWindowClass, Wide(layout.title).c_str(), style, x, y,
                      size.cx, size.cy, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (window == nullptr) return false;
  windows_[layout.id] = window;
  return true;
}

void Win32Ui::AddShortcut(int window, ShortcutKey key, int menuEvent) {
  shortcuts_[window][VirtualKeyOf(key)] = menuEvent;
}

void Win32Ui::ShowWindow(int window, bool visible) {
  if (HWND shown = Window(window)) ::ShowWindow(shown, visible ? SW_SHOW : SW_HIDE);
}

bool Win32Ui::WindowVisible(int window) {
  HWND shown = Window(window);
  return shown != nullptr && IsWindowVisible(shown) != FALSE;
}

void Win32Ui::MinimiseWindow(int window) {
  if (HWND shown = Window(window)) ::ShowWindow(shown, SW_SHOWMINNOACTIVE);
}

void Win32Ui::ActivateWindow(int window) {
  HWND shown = Window(window);
  if (shown == nullptr) return;
  if (IsIconic(shown)) ::ShowWindow(shown, SW_RESTORE);
  SetForegroundWindow(shown);
}

void Win32Ui::ResizeWindow(int window, int width, int height) {
  HWND shown = Window(window);
  if (shown == nullptr) return;
  const SIZE size = OuterSize(static_cast<DWORD>(GetWindowLongPtrW(shown, GWL_STYLE)),
                              static_cast<DWORD>(GetWindowLongPtrW(shown, GWL_EXSTYLE)),
                              ScaledFor(window, width), ScaledFor(window, height));
  SetWindowPos(shown, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The progress window grows downwards when its log is shown; on a small or scaled screen
  // its bottom, with the totals, would go below the work area. It moves up (and left) as far
  // as it needs, never past the area's top, so that its title bar stays in reach.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  RECT frame;
  if (!GetWindowRect(shown, &frame) ||
      !GetMonitorInfoW(MonitorFromWindow(shown, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return;
  }
  const RECT& area = monitor.rcWork;
  const LONG x = std::max(area.left, std::min(frame.left, area.right - size.cx));
  const LONG y = std::max(area.top, std::min(frame.top, area.bottom - size.cy));
  if (x != frame.left || y != frame.top) {
    SetWindowPos(shown, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32Ui::SetTitle(int window, const std::string& title) {
  if (HWND shown = Window(window)) SetWindowTextW(shown, Wide(title).c_str());
}

void Win32Ui::SetText(int window, int control, const std::string& text) {
  const Placed* placed = Find(window, control);
  if (placed == nullptr || placed->kind == ControlKind::kDropDownList) return;
  ++settingText_;
  SetWindowTextW(placed->handle, Wide(text).c_str());
  --settingText_;
}

std::string Win32Ui::Text(int window, int control) {
  HWND handle = Control(window, control);
  if (handle == nullptr) return std::string();
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(handle, text.data(), text.size())));
  return Utf8(text);
}

void Win32Ui::SetChecked(int window, int control, bool checked) {
  if (HWND box = Control(window, control)) {
    SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

bool Win32Ui::Checked(int window, int control) {
  HWND box = Control(window, control);
  return box != nullptr && SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Ui::SetSelection(int window, int control, int index) {
  if (HWND combo = Control(window, control)) {
    ++settingText_;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    --settingText_;
  }
}

int Win32Ui::Selection(int window, int control) {
  HWND combo = Control(window, control);
  return combo != nullptr ? static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)) : -1;
}

void Win32Ui::SetEnabled(int window, int control, bool enabled) {
  if (HWND handle = Control(window, control)) EnableWindow(handle, enabled);
}

bool Win32Ui::Enabled(int window, int control) {
  HWND handle = Control(window, control);
  return handle != nullptr && IsWindowEnabled(handle) != FALSE;
}

void Win32Ui::SetFocus(int window, int control) {
  if (HWND handle = Control(window, control)) ::SetFocus(handle);
}

void Win32Ui::CreatePopupMenu(int menu, const std::vector<MenuItem>& items) {
  HMENU created = ::CreatePopupMenu();
  for (const MenuItem& item : items) {
    if (item.id < 0) {
      AppendMenuW(created, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(created, MF_STRING, kFirstMenuCommand + item.id, Wide(item.caption).c_str());
    }
  }
  if (menus_.count(menu) > 0) DestroyMenu(menus_[menu]);
  menus_[menu] = created;
}

void Win32Ui::SetMenuItemEnabled(int menu, int item, bool enabled) {
  const auto found = menus_.find(menu);
  if (found == menus_.end()) return;
  EnableMenuItem(found->second, kFirstMenuCommand + item,
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// The menu runs its own loop until an item is chosen or the menu closes; the chosen item then
// arrives as an event like every other.
void Win32Ui::ShowPopupMenu(int menu) {
  const auto found = menus_.find(menu);
  HWND owner = Window(kMainWindow);
  if (found == menus_.end() || owner == nullptr) return;
  POINT mouse{};
  GetCursorPos(&mouse);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  const UINT chosen =
      TrackPopupMenu(found->second, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, mouse.x,
                     mouse.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
  if (chosen >= kFirstMenuCommand) {
    Raise({kMainWindow, static_cast<int>(chosen - kFirstMenuCommand), EventType::kMenuItem});
  }
}

void Win32Ui::ShowTrayIcon(const std::string& tip) {
  if (trayOwner_ != nullptr) {
    NOTIFYICONDATAW data = TrayData(trayOwner_, tip);
    Shell_NotifyIconW(NIM_MODIFY, &data);
    return;
  }
  NOTIFYICONDATAW data = TrayData(TrayIconOwner(), tip);
  if (Shell_NotifyIconW(NIM_ADD, &data)) trayOwner_ = data.hWnd;
}

void Win32Ui::SetTrayTip(const std::string& tip) {
  if (trayOwner_ == nullptr) return;
  NOTIFYICONDATAW data = TrayData(trayOwner_, tip);
  data.uFlags = NIF_TIP;
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Win32Ui::RemoveTrayIcon() {
  if (trayOwner_ == nullptr) return;
  NOTIFYICONDATAW data = TrayData(trayOwner_, "");
  data.uFlags = 0;
  Shell_NotifyIconW(NIM_DELETE, &data);
  trayOwner_ = nullptr;
}

bool Win32Ui::TrayAvailable() {
  return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
}

// The tray icon belongs to the main window, or to the backend's own message window before
// there is one.
HWND Win32Ui::TrayIconOwner() const {
  HWND main = Window(kMainWindow);
  return main != nullptr ? main : messages_;
}

HWND Win32Ui::Window(int window) const {
  const auto found = windows_.find(window);
  return found != windows_.end() ? found->second : nullptr;
}

HWND Win32Ui::Control(int window, int control) const {
  const Placed* placed = Find(window, control);
  return placed != nullptr ? placed->handle : nullptr;
}

const Win32Ui::Placed* Win32Ui::Find(int window, int control) const {
  const auto found = controls_.find({window, control});
  return found != controls_.end() ? &found->second : nullptr;
}

const Win32Ui::Placed* Win32Ui::FindHandle(HWND handle) const {
  for (const auto& [key, placed] : controls_) {
    if (placed.handle == handle) return &placed;
  }
  return nullptr;
}

}  // namespace brisvel
