// Copies a file that has holes region by region, so that the copy keeps the holes: a
// virtual-disk image of 2 GB holding a few blocks of data stays a few blocks in the backup.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/file_io_posix.h"

namespace brisvel {
namespace {

// Copies `length` bytes from the current offsets. The kernel's copy is tried first; any error
// there hands the rest to reads and writes, which report real faults themselves.
bool CopyRegion(int in, int out, int64_t length, int64_t& done, const PosixFsSeams& seams) {
  bool inKernel = !seams.ForceUserSpaceCopy();
  char* buffer = inKernel ? nullptr : ThreadReadBuffer();
  while (length > 0) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(length, kIoBlockSize));
    int64_t count;
    if (inKernel) {
      count = copy_file_range(in, nullptr, out, nullptr, want, 0);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) {
        inKernel = false;
        buffer = ThreadReadBuffer();
        errno = 0;
        continue;
      }
    } else {
      count = ReadBlock(in, buffer, want, done, seams);
      if (count > 0 && !WriteBlock(out, buffer, static_cast<size_t>(count), done, seams)) {
        return false;
      }
    }
    if (count == 0) errno = 0;  // no call failed: the source shrank
    if (count <= 0) return false;
    length -= count;
    done += count;
    if (seams.afterCopyBlock) seams.afterCopyBlock();
  }
  return true;
}

}  // namespace

bool HasHoles(const struct stat& source) {
  return static_cast<int64_t>(source.st_blocks) * 512 < static_cast<int64_t>(source.st_size);
}

SparseOutcome CopySparse(int in, int out, int64_t size, const PosixFsSeams& seams) {
  int64_t done = 0;
  for (off_t at = 0; at < size;) {
    const off_t data = lseek(in, at, SEEK_DATA);
    if (data < 0 && errno == ENXIO) break;  // only a hole is left
    if (data < 0) return at == 0 ? SparseOutcome::kUnsupported : SparseOutcome::kFailed;
    const off_t hole = std::min<off_t>(lseek(in, data, SEEK_HOLE), size);
    if (hole < data || lseek(in, data, SEEK_SET) < 0 || lseek(out, data, SEEK_SET) < 0 ||
        !CopyRegion(in, out, hole - data, done, seams)) {
      return SparseOutcome::kFailed;
    }
    at = hole;
  }
  return ftruncate(out, size) == 0 ? SparseOutcome::kDone : SparseOutcome::kFailed;
}

}  // namespace brisvel
