#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "engine/real_path.h"

namespace brisvel {
namespace {

// Opens a file or folder only to ask about it; folders need the backup-semantics flag.
HANDLE OpenToAsk(const std::string& path) {
  return CreateFileW(WidePath(path).c_str(), 0,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The final path without the "\\?\" (or "\\?\UNC\") prefix that the system adds.
std::string WithoutPrefix(std::wstring path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) return Utf8(L"\\\\" + path.substr(8));
  if (path.starts_with(L"\\\\?\\")) return Utf8(path.substr(4));
  return Utf8(path);
}

}  // namespace

std::optional<std::string> RealPathOnDisk(const std::string& path) {
  if (path.empty()) return std::nullopt;
  HANDLE file = OpenToAsk(path);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::wstring buffer(1024, L'\0');
  DWORD size = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                         FILE_NAME_NORMALIZED);
  if (size >= buffer.size()) {
    buffer.resize(size + 1);
    size = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                     FILE_NAME_NORMALIZED);
  }
  CloseHandle(file);
  if (size == 0 || size >= buffer.size()) return std::nullopt;
  buffer.resize(size);
  std::string result = WithoutPrefix(buffer);
  // No final separator, except for a drive's root.
  if (result.size() > 3 && result.back() == '\\') result.pop_back();
  return result;
}

bool SameFolderOnDisk(const std::string& a, const std::string& b) {
  auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE file = OpenToAsk(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return ok;
  };
  BY_HANDLE_FILE_INFORMATION first;
  BY_HANDLE_FILE_INFORMATION second;
  if (!identity(a, first) || !identity(b, second)) return false;
  return (first.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace brisvel
