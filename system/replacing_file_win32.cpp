#include <atomic>

#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "core/write_all.h"
#include "system/replacing_file.h"

namespace brisvel {

struct ReplacingFileState {
  std::string path;
  std::wstring fresh;
  HANDLE file = INVALID_HANDLE_VALUE;
};

ReplacingFile::ReplacingFile() : state_(std::make_unique<ReplacingFileState>()) {}

ReplacingFile::~ReplacingFile() {
  if (state_->file == INVALID_HANDLE_VALUE) return;
  CloseHandle(state_->file);
  DeleteFileW(state_->fresh.c_str());
}

// Nothing there, or a plain file: a link or a folder at `path` is never replaced.
static bool IsAbsentOrRegular(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

bool ReplacingFile::Open(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  if (state_->file != INVALID_HANDLE_VALUE || !IsAbsentOrRegular(path)) return false;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring fresh = WidePath(path + "." + std::to_string(GetCurrentProcessId()) + "-" +
                                        std::to_string(counter++));
    // CREATE_NEW: nothing planted under the fresh name is opened.
    HANDLE file = CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return false;
    }
    state_->path = path;
    state_->fresh = fresh;
    state_->file = file;
    return true;
  }
  return false;
}

bool ReplacingFile::Write(std::string_view bytes) {
  return WriteAll(state_->file, bytes);
}

bool ReplacingFile::Commit() {
  if (state_->file == INVALID_HANDLE_VALUE) return false;
  // Checked once more: a link planted meanwhile is not replaced either.
  bool ok = CloseHandle(state_->file) && IsAbsentOrRegular(state_->path) &&
            MoveFileExW(state_->fresh.c_str(), WidePath(state_->path).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(state_->fresh.c_str());
  state_->file = INVALID_HANDLE_VALUE;
  return ok;
}

}  // namespace brisvel
