// Low-level helpers shared by the POSIX file system: an owned descriptor, the per-thread read
// buffer and reads and writes that honour the test seams.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/fs_posix.h"

struct stat;

namespace brisvel {

// Files are read and copied in blocks of this size.
inline constexpr size_t kIoBlockSize = size_t{1} << 20;

// Checksums read in smaller blocks: a block then stays in the processor's cache from the read
// that fills it to the sum that reads it, which measured faster than whole read blocks.
inline constexpr size_t kSumBlockSize = size_t{256} << 10;
static_assert(kSumBlockSize <= kIoBlockSize, "read into the thread's read buffer");

// A file descriptor closed when it goes out of scope.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd();
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now; false when closing reported an error (on some file systems the last write
  // errors only show here).
  bool Close();

 private:
  int fd_ = -1;
};

// `path` without its trailing separators; a path made only of separators keeps one.
std::string_view WithoutTrailingSeparators(std::string_view path);

// A file named relative to an open folder: `name` in the folder open as `folder` (AT_FDCWD
// for a whole path), opened with `extraFlags` too (O_NOFOLLOW for an entry of the backup).
struct FileAt {
  int folder;
  const char* name;
  int extraFlags = 0;
};

// Opens a file for reading without blocking on pipes and devices; -1 on failure.
int OpenForReading(const FileAt& file);

// Tells the kernel that a file of `size` bytes will be read from start to end, so it reads
// ahead further. Small files skip the call: they fit in one block anyway.
void AdviseSequential(int fd, int64_t size);

// One reusable block of kIoBlockSize bytes for the calling thread.
char* ThreadReadBuffer();

// Reads up to `size` bytes; `done` is how many bytes of the file were read before. Returns
// the count, 0 at the end, -1 on error.
int64_t ReadBlock(int fd, char* buffer, size_t size, int64_t done, const PosixFsSeams& seams);

// Writes all `size` bytes; `done` is how many were written before. False on error.
bool WriteBlock(int fd, const char* data, size_t size, int64_t done, const PosixFsSeams& seams);

// True when the file takes less room on disk than its size: it has holes.
bool HasHoles(const struct stat& source);

enum class SparseOutcome { kDone, kFailed, kUnsupported };

// Copies the `size` bytes of `in` to the empty file `out` region by region, leaving holes
// where `in` has them. kUnsupported, with nothing written, where the file system cannot tell
// its holes.
SparseOutcome CopySparse(int in, int out, int64_t size, const PosixFsSeams& seams);

// The fail-safe copy behind FileSystem::CopyFile and CopyFileIn: `name` in the folder open
// as `into` receives the copy. A failure's reason is 0 when no call failed (the source
// changed while it was copied, is no regular file, or the copy was broken off).
Status CopyFileSafely(const FileAt& from, int into, const std::string& name,
                      const PosixFsSeams& seams, const CopyControl& control);

// The stamp of a regular file from its stat record; nullopt for anything else.
std::optional<FileStamp> StampOf(const struct stat& info);

// Whether both are regular files that can be read in full and hold the same bytes.
Sameness SameBytes(const FileAt& first, const FileAt& second);

}  // namespace brisvel
