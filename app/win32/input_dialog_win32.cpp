// The text-input dialog of the Windows backend ("Rename Job"): a prompt, a field and OK and
// Cancel, modal to the window it is shown over. Windows has no such box of its own.
#include "app/win32/ui_win32.h"
#include "core/wide_text_win32.h"

namespace brisvel {
namespace {

constexpr wchar_t kInputClass[] = L"BrisvelInput";
constexpr int kFieldId = 100;

// The dialog's client size and controls, in layout pixels.
constexpr int kWidth = 300;
constexpr int kHeight = 95;
constexpr Rect kPrompt{10, 10, 280, 17};
constexpr Rect kField{10, 30, 280, 20};
constexpr Rect kOk{130, 60, 75, 25};
constexpr Rect kCancel{215, 60, 75, 25};

struct InputState {
  std::optional<std::wstring> answer;
  bool done = false;
};

LRESULT CALLBACK InputProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  if (state == nullptr) return DefWindowProcW(dialog, message, wParam, lParam);
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    if (LOWORD(wParam) == IDOK) {
      HWND field = GetDlgItem(dialog, kFieldId);
      std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
      text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), text.size())));
      state->answer = std::move(text);
    }
    state->done = true;
    return 0;
  }
  if (message == WM_CLOSE) {
    state->done = true;
    return 0;
  }
  return DefWindowProcW(dialog, message, wParam, lParam);
}

void RegisterInputClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = InputProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kInputClass;
  RegisterClassExW(&windowClass);
}

}  // namespace

HWND Win32Ui::MakeChild(HWND parent, const wchar_t* windowClass, const std::wstring& caption,
                        DWORD style, const Rect& rect, int id, DWORD extendedStyle) {
  HWND child = CreateWindowExW(
      extendedStyle, windowClass, caption.c_str(), style | WS_CHILD | WS_VISIBLE, Scaled(rect.x),
      Scaled(rect.y), Scaled(rect.width), Scaled(rect.height), parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (child != nullptr) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return child;
}

std::optional<std::string> Win32Ui::AskText(const std::string& title, const std::string& prompt,
                                            const std::string& initial) {
  RegisterInputClass();
  InputState state;
  HWND owner = DialogOwner();  // the dialog opens centred over it
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  RECT frame{0, 0, Scaled(kWidth), Scaled(kHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
  RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner != nullptr) GetWindowRect(owner, &over);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HWND dialog = CreateWindowExW(WS_EX_DLGMODALFRAME, kInputClass, Wide(title).c_str(), style,
                                over.left + (over.right - over.left - width) / 2,
                                over.top + (over.bottom - over.top - height) / 2, width, height,
                                owner, nullptr, GetModuleHandleW(nullptr), &state);
  if (dialog == nullptr) return std::nullopt;
  MakeChild(dialog, L"STATIC", Wide(prompt), SS_LEFT | SS_NOPREFIX, kPrompt, -1, 0);
  HWND field = MakeChild(dialog, L"EDIT", Wide(initial), ES_AUTOHSCROLL | WS_TABSTOP, kField,
                         kFieldId, WS_EX_CLIENTEDGE);
  MakeChild(dialog, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, kOk, IDOK, 0);
  MakeChild(dialog, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, kCancel, IDCANCEL, 0);
  if (owner != nullptr) EnableWindow(owner, FALSE);
  ::ShowWindow(dialog, SW_SHOW);
  ::SetFocus(field);
  SendMessageW(field, EM_SETSEL, 0, -1);
  if (inputShown_) inputShown_(dialog, field);
  // The dialog's own loop; Return presses OK and Escape Cancel. The backend's timer and
  // wake-ups still reach its message window, so a run's updates go on meanwhile.
  MSG message;
  while (!state.done) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    if (IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (owner != nullptr) EnableWindow(owner, TRUE);
  DestroyWindow(dialog);
  if (owner != nullptr) SetActiveWindow(owner);
  if (!state.answer) return std::nullopt;
  return Utf8(*state.answer);
}

}  // namespace brisvel
