#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "engine/backup_drive.h"

namespace brisvel {
namespace {

std::string Variable(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD size = GetEnvironmentVariableW(name, value, 1024);
  if (size == 0 || size >= 1024) return "";
  return Utf8(std::wstring(value, size));
}

}  // namespace

std::vector<std::string> ComputerFolders() {
  std::vector<std::string> folders;
  const std::string systemDrive = Variable(L"SystemDrive");  // "C:"
  if (!systemDrive.empty()) folders.push_back(systemDrive + "\\");
  const std::string profile = Variable(L"USERPROFILE");
  if (!profile.empty()) folders.push_back(profile);
  return folders;
}

// The serial number of the volume, the same for every folder on it.
std::optional<uint64_t> DriveOf(const std::string& path) {
  HANDLE file =
      CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return info.dwVolumeSerialNumber;
}

}  // namespace brisvel
