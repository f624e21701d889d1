// Low-level helpers shared by the Windows file system: an owned handle, the per-thread read
// buffer and reads and writes that honour the test seams.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/fs_win32.h"

namespace brisvel {

// Files are read and copied in blocks of this size.
inline constexpr size_t kIoBlockSize = size_t{1} << 20;

// A file handle closed when it goes out of scope; holds the handle as an opaque pointer so
// that this header needs no <windows.h>.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(void* handle) : handle_(handle) {}
  ~UniqueHandle();
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  void* get() const { return handle_; }
  bool valid() const;
  // Closes now; false when closing reported an error.
  bool Close();

 private:
  void* handle_ = nullptr;
};

// Leaves in errno the POSIX number that comes nearest to the calling thread's last Windows
// error, for the reason a row gives; returns false, for use in a failing return.
bool FailWithLastError();

// Opens a file for reading, letting others read, write and delete it meanwhile.
void* OpenForReading(const std::string& path);

// One reusable block of kIoBlockSize bytes for the calling thread.
char* ThreadReadBuffer();

// Reads up to `size` bytes; `done` is how many bytes of the file were read before. Returns
// the count, 0 at the end, -1 on error.
int64_t ReadBlock(void* file, char* buffer, size_t size, int64_t done, const Win32FsSeams& seams);

// Writes all `size` bytes; `done` is how many were written before. False on error.
bool WriteBlock(void* file, const char* data, size_t size, int64_t done, const Win32FsSeams& seams);

// Feeds the whole regular file at `path` to `consume`, block by block; false when it cannot
// be opened or read to its end, or when `consume` refuses a block.
template <typename Consume>
bool ReadWholeFile(const std::string& path, const Win32FsSeams& seams, Consume&& consume) {
  UniqueHandle file(OpenForReading(path));
  if (!file.valid()) return false;
  char* buffer = ThreadReadBuffer();
  for (int64_t done = 0;;) {
    int64_t count = ReadBlock(file.get(), buffer, kIoBlockSize, done, seams);
    if (count <= 0) return count == 0;
    if (!consume(buffer, static_cast<size_t>(count))) return false;
    done += count;
  }
}

// The stamp of the open file `file` (a handle); false when it cannot be read.
bool StampOf(void* file, FileStamp& stamp);

// The fail-safe copy behind FileSystem::CopyFile.
bool CopyFileSafely(const std::string& from, const std::string& to, const Win32FsSeams& seams,
                    const CopyControl& control);

}  // namespace brisvel
