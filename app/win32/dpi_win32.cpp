// The Windows backend on screens of different DPI: a window moved to another screen is laid
// out again at that screen's scale, with the message font at that size.
#include "app/win32/ui_win32.h"

namespace brisvel {

int Win32Ui::DpiOf(int window) const {
  const auto found = windowDpi_.find(window);
  return found != windowDpi_.end() ? found->second : dpi_;
}

HFONT Win32Ui::FontFor(int dpi) {
  if (dpi == dpi_) return font_;
  HFONT& font = fonts_[dpi];
  if (font == nullptr) {
    LOGFONTW shape{};
    GetObjectW(font_, sizeof(shape), &shape);
    shape.lfHeight = MulDiv(shape.lfHeight, dpi, dpi_);
    shape.lfWidth = MulDiv(shape.lfWidth, dpi, dpi_);
    font = CreateFontIndirectW(&shape);
  }
  return font;
}

void Win32Ui::ChangeDpi(HWND window, int dpi, const RECT& suggested) {
  int id = -1;
  for (const auto& [number, handle] : windows_) {
    if (handle == window) id = number;
  }
  if (id < 0 || dpi <= 0) return;
  const int old = DpiOf(id);
  windowDpi_[id] = dpi;
  const HFONT font = FontFor(dpi);
  for (const auto& [key, control] : controls_) {
    if (control.window != id) continue;
    SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    PlaceControl(control, dpi);
    if (control.kind == ControlKind::kCheckListView ||
        control.kind == ControlKind::kReportListView) {
      const int width = static_cast<int>(SendMessageW(control.handle, LVM_GETCOLUMNWIDTH, 0, 0));
      SendMessageW(control.handle, LVM_SETCOLUMNWIDTH, 0, MulDiv(width, dpi, old));
    }
  }
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace brisvel
