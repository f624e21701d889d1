// The message boxes and dialogs of the Windows backend: the system's own boxes, folder
// chooser and file dialogs, and a small text-input dialog of the program's own.

#include <vector>

#include "app/win32/ui_win32.h"
#include "core/wide_text_win32.h"

namespace brisvel {
namespace {

UINT IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return MB_ICONINFORMATION;
    case MessageIcon::kQuestion:
      return MB_ICONQUESTION;
    case MessageIcon::kError:
      return MB_ICONERROR;
    case MessageIcon::kWarning:
    case MessageIcon::kExclamation:
      return MB_ICONEXCLAMATION;
  }
  return 0;
}

UINT ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
      return MB_OK;
    case MessageButtons::kYesNo:
      return MB_YESNO;
    case MessageButtons::kOkCancel:
      return MB_OKCANCEL;
  }
  return MB_OK;
}

MessageAnswer AnswerOf(int result, MessageButtons buttons) {
  switch (result) {
    case IDOK:
      return MessageAnswer::kOk;
    case IDYES:
      return MessageAnswer::kYes;
    case IDNO:
      return MessageAnswer::kNo;
    case IDCANCEL:
      return MessageAnswer::kCancel;
    default:
      return DeclinedAnswer(buttons);
  }
}

// Starts the folder chooser at the folder it was given.
int CALLBACK SelectStart(HWND dialog, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start != 0) {
    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
  }
  return 0;
}

// "Caption\0pattern\0...\0\0", as the file dialogs take their filters.
std::wstring FilterList(const FileDialogRequest& request) {
  std::wstring list;
  for (const auto& [caption, pattern] : request.filters) {
    list += Wide(caption) + L'\0' + Wide(pattern) + L'\0';
  }
  return list + L'\0';
}

}  // namespace

// Boxes and dialogs are owned by the program's window the user works in, and are modal to it:
// the active one, else the progress window or the main window, whichever is shown. With none
// shown they have no owner, in nobody's way.
HWND Win32Ui::DialogOwner() const {
  HWND active = GetActiveWindow();
  for (const auto& [id, window] : windows_) {
    if (window == active) return window;
  }
  for (int id : {kProgressWindow, kMainWindow}) {
    HWND window = Window(id);
    if (window != nullptr && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

MessageAnswer Win32Ui::ShowMessage(const std::string& title, const std::string& text,
                                   MessageIcon icon, MessageButtons buttons) {
  HWND owner = DialogOwner();
  const int result = MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(),
                                 IconOf(icon) | ButtonsOf(buttons) | MB_SETFOREGROUND |
                                     (owner == nullptr ? MB_TASKMODAL : 0));
  return AnswerOf(result, buttons);
}

std::optional<std::string> Win32Ui::ChooseFolder(const std::string& title,
                                                 const std::string& start) {
  const std::wstring caption = Wide(title);
  const std::wstring startFolder = WidePath(start);
  BROWSEINFOW browse{};
  browse.hwndOwner = DialogOwner();
  browse.lpszTitle = caption.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  browse.lpfn = SelectStart;
  browse.lParam = startFolder.empty() ? 0 : reinterpret_cast<LPARAM>(startFolder.c_str());
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  std::optional<std::string> folder;
  if (chosen != nullptr) {
    std::vector<wchar_t> path(32768, L'\0');
    if (SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()),
                              GPFIDL_DEFAULT)) {
      folder = Utf8(path.data());
      if (!folder->ends_with('\\')) *folder += '\\';
    }
    CoTaskMemFree(chosen);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return folder;
}

std::optional<FileChoice> Win32Ui::ChooseFile(const FileDialogRequest& request) {
  const std::wstring filters = FilterList(request);
  const std::wstring title = Wide(request.title);
  const std::wstring folder = WidePath(request.folder);
  std::vector<wchar_t> name(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = DialogOwner();
  dialog.lpstrFilter = request.filters.empty() ? nullptr : filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  // The program replaces a chosen file without asking, as saving the job list should.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                 (request.save ? 0 : OFN_FILEMUSTEXIST);
  const BOOL chosen = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  const int index = dialog.nFilterIndex > 0 ? static_cast<int>(dialog.nFilterIndex) - 1 : 0;
  return FileChoice{Utf8(name.data()), index};
}

}  // namespace brisvel
