#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <thread>

#include "system/desktop_notification.h"

namespace brisvel {
namespace {

constexpr UINT kIconMessage = WM_APP + 1;
// The longest a balloon keeps the program alive; the system shows it for less.
constexpr UINT kLongestShowMs = 15000;
constexpr const wchar_t* kWindowClass = L"BrisvelNotice";

std::thread& BalloonThread() {
  static std::thread thread;
  return thread;
}

LRESULT CALLBACK NoticeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    PostQuitMessage(0);
    return 0;
  }
  if (message == kIconMessage) {
    const UINT event = static_cast<UINT>(lParam);
    if (event == NIN_BALLOONTIMEOUT || event == NIN_BALLOONUSERCLICK || event == NIN_BALLOONHIDE) {
      PostQuitMessage(0);
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Copies `text` into a fixed field of `room` characters, cut short where it does not fit
// (never between the two halves of a character outside the basic plane).
template <size_t room>
void CopyInto(wchar_t (&field)[room], const std::wstring& text) {
  size_t length = text.size() < room - 1 ? text.size() : room - 1;
  if (length < text.size() && length > 0 && IS_HIGH_SURROGATE(text[length - 1])) --length;
  text.copy(field, length);
  field[length] = L'\0';
}

// Shows the balloon from an icon of its own and keeps both until the balloon goes.
void ShowBalloon(const std::wstring& title, const std::wstring& text) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = NoticeWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassW(&windowClass);  // fails harmlessly when an earlier notice registered it
  HWND window = CreateWindowExW(0, kWindowClass, L"Brisvel", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr);
  if (window == nullptr) return;
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof(icon);
  icon.hWnd = window;
  icon.uID = 1;
  icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE | NIF_INFO;
  icon.uCallbackMessage = kIconMessage;
  icon.hIcon = LoadIconW(nullptr, IDI_WARNING);
  CopyInto(icon.szTip, L"Brisvel");
  CopyInto(icon.szInfoTitle, title);
  CopyInto(icon.szInfo, text);
  icon.dwInfoFlags = NIIF_WARNING;
  if (Shell_NotifyIconW(NIM_ADD, &icon)) {
    SetTimer(window, 1, kLongestShowMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    Shell_NotifyIconW(NIM_DELETE, &icon);
  }
  DestroyWindow(window);
}

}  // namespace

bool ShowDesktopNotification(const std::string& summary, const std::string& body) {
  FinishDesktopNotifications();  // one balloon at a time
  BalloonThread() = std::thread(ShowBalloon, Wide(summary), Wide(body));
  return true;
}

void FinishDesktopNotifications() {
  if (BalloonThread().joinable()) BalloonThread().join();
}

}  // namespace brisvel
