#include <atomic>
#include <string>

#include "core/atomic_file.h"
#include "core/text.h"
#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "core/write_all.h"

namespace brisvel {

// Creates a new, hidden file beside `target`; returns its handle (or INVALID_HANDLE_VALUE)
// and its name. The name starts like the target's, cut so that a long target name still
// leaves room.
static HANDLE CreateTemporary(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  std::string stem = FolderPart(target) + "." + FilePart(target).substr(0, 100) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = stem + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++) + ".tmp";
    HANDLE file = CreateFileW(WidePath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temporary;
  HANDLE file = CreateTemporary(path, temporary);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(file, bytes) && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  const std::wstring wideTemporary = WidePath(temporary);
  // The replaced file's read-only, hidden or system attributes would refuse the rename or
  // be lost; the new file takes the old one's attributes when it had any.
  const DWORD old = GetFileAttributesW(WidePath(path).c_str());
  if (ok && old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    SetFileAttributesW(wideTemporary.c_str(), old & ~FILE_ATTRIBUTE_READONLY);
  } else if (ok) {
    SetFileAttributesW(wideTemporary.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  ok = ok && MoveFileExW(wideTemporary.c_str(), WidePath(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(wideTemporary.c_str());
  return ok;
}

}  // namespace brisvel
