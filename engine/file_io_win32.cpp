#include "engine/file_io_win32.h"

#include <cerrno>
#include <memory>

#include "core/wide_text_win32.h"
#include "core/windows_win32.h"

namespace brisvel {

UniqueHandle::~UniqueHandle() {
  Close();
}

bool UniqueHandle::valid() const {
  return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
}

bool UniqueHandle::Close() {
  if (!valid()) return true;
  const bool closed = CloseHandle(handle_) != 0;
  handle_ = nullptr;
  return closed;
}

bool FailWithLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      errno = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
      errno = EACCES;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      errno = EEXIST;
      break;
    case ERROR_DIR_NOT_EMPTY:
      errno = ENOTEMPTY;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      errno = EBUSY;
      break;
    case ERROR_FILENAME_EXCED_RANGE:
      errno = ENAMETOOLONG;
      break;
    case ERROR_NOT_SAME_DEVICE:
      errno = EXDEV;
      break;
    default:
      errno = EIO;
      break;
  }
  return false;
}

void* OpenForReading(const std::string& path) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  // Only regular files are read: a folder, a console or a pipe is refused.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return nullptr;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    CloseHandle(file);
    return nullptr;
  }
  return file;
}

bool StampOf(void* file, FileStamp& stamp) {
  BY_HANDLE_FILE_INFORMATION info;
  FILE_BASIC_INFO basic;
  if (!GetFileInformationByHandle(file, &info) ||
      !GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
    return false;
  }
  // 100-nanosecond ticks since 1601; only differences and equality matter here.
  stamp.size = static_cast<int64_t>((uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
  stamp.modifiedNs = basic.LastWriteTime.QuadPart * 100;
  stamp.changedNs = basic.ChangeTime.QuadPart * 100;
  stamp.device = info.dwVolumeSerialNumber;
  stamp.inode = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return true;
}

char* ThreadReadBuffer() {
  thread_local std::unique_ptr<char[]> buffer =
      std::make_unique_for_overwrite<char[]>(kIoBlockSize);
  return buffer.get();
}

int64_t ReadBlock(void* file, char* buffer, size_t size, int64_t done, const Win32FsSeams& seams) {
  if (seams.readFailsAfter >= 0 && done >= seams.readFailsAfter) {
    SetLastError(ERROR_READ_FAULT);
    return -1;
  }
  DWORD got = 0;
  if (!ReadFile(file, buffer, static_cast<DWORD>(size), &got, nullptr)) return -1;
  return got;
}

bool WriteBlock(void* file, const char* data, size_t size, int64_t done,
                const Win32FsSeams& seams) {
  while (size > 0) {
    if (seams.writeFailsAfter >= 0 && done >= seams.writeFailsAfter) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    DWORD written = 0;
    if (!WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) || written == 0) {
      return false;
    }
    data += written;
    size -= written;
    done += written;
  }
  return true;
}

}  // namespace brisvel
