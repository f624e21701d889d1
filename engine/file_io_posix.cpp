#include "engine/file_io_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "core/text.h"

namespace brisvel {

UniqueFd::~UniqueFd() {
  Close();
}

bool UniqueFd::Close() {
  if (fd_ < 0) return true;
  // Linux releases the descriptor even when close fails, so it is never retried.
  int result = close(fd_);
  fd_ = -1;
  return result == 0;
}

std::string_view WithoutTrailingSeparators(std::string_view path) {
  size_t end = path.size();
  while (end > 1 && path[end - 1] == kPathSeparator) --end;
  return path.substr(0, end);
}

int OpenForReading(const char* path) {
  // O_NONBLOCK keeps a pipe put in place of a file from hanging the run; regular files
  // ignore it.
  return open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
}

void AdviseSequential(int fd, int64_t size) {
  if (size > static_cast<int64_t>(kIoBlockSize)) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

char* ThreadReadBuffer() {
  thread_local std::unique_ptr<char[]> buffer =
      std::make_unique_for_overwrite<char[]>(kIoBlockSize);
  return buffer.get();
}

int64_t ReadBlock(int fd, char* buffer, size_t size, int64_t done, const PosixFsSeams& seams) {
  if (seams.readFailsAfter >= 0 && done >= seams.readFailsAfter) {
    errno = EIO;
    return -1;
  }
  for (;;) {
    ssize_t count = read(fd, buffer, size);
    if (count >= 0 || errno != EINTR) return count;
  }
}

bool WriteBlock(int fd, const char* data, size_t size, int64_t done, const PosixFsSeams& seams) {
  while (size > 0) {
    if (seams.writeFailsAfter >= 0 && done >= seams.writeFailsAfter) {
      errno = ENOSPC;
      return false;
    }
    ssize_t count = write(fd, data, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    data += count;
    size -= static_cast<size_t>(count);
    done += count;
  }
  return true;
}

}  // namespace brisvel
