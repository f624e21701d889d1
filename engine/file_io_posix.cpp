#include "engine/file_io_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "core/text.h"

namespace brisvel {
namespace {}  // namespace

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

int OpenForReading(const FileAt& file) {
  // O_NONBLOCK keeps a pipe put in place of a file from hanging the run; regular files
  // ignore it.
  return openat(file.folder, file.name,
                O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | file.extraFlags);
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

Sameness SameBytes(const FileAt& first, const FileAt& second) {
  UniqueFd a(OpenForReading(first));
  UniqueFd b(OpenForReading(second));
  struct stat infoA;
  struct stat infoB;
  if (!a.valid() || !b.valid() || fstat(a.get(), &infoA) != 0 || fstat(b.get(), &infoB) != 0 ||
      !S_ISREG(infoA.st_mode) || !S_ISREG(infoB.st_mode)) {
    return Sameness::kUnreadable;
  }
  if (infoA.st_size != infoB.st_size) return Sameness::kDifferent;
  char* bufferA = ThreadReadBuffer();
  thread_local std::unique_ptr<char[]> bufferB =
      std::make_unique_for_overwrite<char[]>(kSumBlockSize);
  const PosixFsSeams noSeams;
  for (int64_t done = 0;;) {
    // A short read from one side is made up by further reads, so that the blocks line up.
    int64_t count = ReadBlock(a.get(), bufferA, kSumBlockSize, done, noSeams);
    if (count < 0) return Sameness::kUnreadable;
    int64_t matched = 0;
    while (matched < count) {
      int64_t part = ReadBlock(b.get(), bufferB.get(), static_cast<size_t>(count - matched),
                               done + matched, noSeams);
      if (part < 0) return Sameness::kUnreadable;
      if (part == 0 || std::memcmp(bufferA + matched, bufferB.get(), part) != 0) {
        return Sameness::kDifferent;
      }
      matched += part;
    }
    if (count == 0) {
      char extra;
      const ssize_t more = read(b.get(), &extra, 1);
      if (more < 0) return Sameness::kUnreadable;
      return more == 0 ? Sameness::kSame : Sameness::kDifferent;
    }
    done += count;
  }
}

}  // namespace brisvel
