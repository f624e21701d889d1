// The fail-safe copy: the data go to a fresh temporary file beside the destination, which
// takes the source's permission bits and last-write time and replaces the old copy only once
// all of that succeeded. Any failure removes the temporary file, so the old copy stays as it
// was. Where no copy is there yet, the temporary file has no name at all (O_TMPFILE) and is
// linked in place once complete: nothing half-made ever carries a name, a killed run leaves
// nothing behind, and the file system makes one entry instead of making and renaming one.
//
// A source that changes while it is copied makes the copy fail: its size, last-write and
// change times and identity are read before and after, and the bytes copied must match. A
// copy that succeeds is therefore never cut short, padded or mixed from two versions, and it
// carries the last-write time the data had. (The change time catches a rewrite that puts
// the old last-write time back.)

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <random>
#include <string>

#include "core/text.h"
#include "engine/copies_in_flight.h"
#include "engine/file_io_posix.h"
#include "engine/leftovers.h"

namespace brisvel {
namespace {

// Bytes to ask for next: one more than the source should still hold, so that both its end
// and its growth show up; never more than a large chunk.
size_t NextRequest(int64_t expected, int64_t copied, size_t chunk) {
  return static_cast<size_t>(std::min<int64_t>(expected - copied + 1, static_cast<int64_t>(chunk)));
}

bool CopyUnsupported(int error) {
  return error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL;
}

enum class Outcome { kDone, kFailed, kUnsupported };

bool Interrupted(const CopyControl& control) {
  return control.interrupted && control.interrupted();
}

// Copies inside the kernel: no pass through user space, and file systems that can share
// blocks clone them. Goes on from the descriptors' current offsets. Chunks are small enough
// that a STOP is seen within a fraction of a second.
Outcome CopyInKernel(int in, int out, int64_t expected, int64_t& copied, const PosixFsSeams& seams,
                     const CopyControl& control) {
  constexpr size_t kChunk = size_t{64} << 20;
  while (copied <= expected) {
    if (Interrupted(control)) return Outcome::kFailed;
    ssize_t count =
        copy_file_range(in, nullptr, out, nullptr, NextRequest(expected, copied, kChunk), 0);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return CopyUnsupported(errno) ? Outcome::kUnsupported : Outcome::kFailed;
    // Some pseudo file systems report 0 instead of an error; reading tells the true end.
    if (count == 0) return copied < expected ? Outcome::kUnsupported : Outcome::kDone;
    copied += count;
    if (seams.afterCopyBlock) seams.afterCopyBlock();
  }
  return Outcome::kDone;
}

bool CopyThroughBuffer(int in, int out, int64_t expected, int64_t& copied,
                       const PosixFsSeams& seams, const CopyControl& control) {
  char* buffer = ThreadReadBuffer();
  while (copied <= expected) {
    if (Interrupted(control)) return false;
    int64_t count =
        ReadBlock(in, buffer, NextRequest(expected, copied, kIoBlockSize), copied, seams);
    if (count < 0) return false;
    if (count == 0) return true;
    if (!WriteBlock(out, buffer, static_cast<size_t>(count), copied, seams)) return false;
    copied += count;
    if (seams.afterCopyBlock) seams.afterCopyBlock();
  }
  return true;
}

// Copies the data of `in` to `out`; true when exactly `expected` bytes were there.
bool CopyData(int in, int out, int64_t expected, const PosixFsSeams& seams,
              const CopyControl& control) {
  int64_t copied = 0;
  Outcome outcome = Outcome::kUnsupported;
  if (!seams.ForceUserSpaceCopy()) {
    outcome = CopyInKernel(in, out, expected, copied, seams, control);
  }
  if (outcome == Outcome::kFailed) return false;
  if (outcome == Outcome::kUnsupported) {
    errno = 0;  // the kernel's refusal is no reason for a failure of the copy through the buffer
    if (!CopyThroughBuffer(in, out, expected, copied, seams, control)) return false;
  }
  return copied == expected;
}

// The answers of a drive that keeps no permission bits: FAT and exFAT refuse them, some
// FUSE drives do not implement the call at all.
bool KeepsNoPermissionBits(int error) {
  return error == EPERM || error == EOPNOTSUPP || error == ENOSYS;
}

int ChangeMode(int fd, mode_t mode, const PosixFsSeams& seams) {
  if (seams.chmodError != 0) {
    errno = seams.chmodError;
    return -1;
  }
  return fchmod(fd, mode);
}

// Gives the copy the source's permission bits and times. Set-user-ID, set-group-ID and
// sticky bits are left out: the copy belongs to whoever runs the backup, often root. On a
// drive that keeps no permission bits the copy is still good.
bool TakeOverAttributes(int out, const struct stat& source, const PosixFsSeams& seams) {
  if (ChangeMode(out, source.st_mode & 0777, seams) != 0 && !KeepsNoPermissionBits(errno)) {
    return false;
  }
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  return futimens(out, times) == 0;
}

// Writes everything into the open temporary file `out`; false on any failure, with errno
// set by the call that failed, or 0 when no call did (the source changed meanwhile, or the
// copy was broken off).
bool FillTemporary(int in, int out, const struct stat& source, const PosixFsSeams& seams,
                   const CopyControl& control) {
  SparseOutcome sparse = SparseOutcome::kUnsupported;
  if (HasHoles(source)) sparse = CopySparse(in, out, source.st_size, seams);
  if (sparse == SparseOutcome::kFailed) return false;
  if (sparse == SparseOutcome::kUnsupported) {
    errno = 0;
    if (!CopyData(in, out, source.st_size, seams, control)) return false;
  }
  struct stat after;
  if (fstat(in, &after) != 0) return false;
  if (StampOf(source) != StampOf(after)) {
    errno = 0;
    return false;
  }
  return TakeOverAttributes(out, source, seams);
}

// A fresh temporary file in the folder open as `into`, named like the leftovers a later run
// removes; -1 with errno when none can be made. Never opened through a link.
int MakeTemporary(int into, std::string& name) {
  thread_local std::mt19937_64 random{std::random_device{}()};
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = kCopyPrefix;
    for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    const int fd = openat(into, name.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Gives the file `fd`, made without a name, the name `name` in the folder `into`; false with
// errno (EEXIST when the name is taken). Without the right to link by descriptor (root has
// it), the link goes through the descriptor's entry in /proc.
bool LinkUnnamed(int fd, int into, const std::string& name) {
  if (linkat(fd, "", into, name.c_str(), AT_EMPTY_PATH) == 0) return true;
  if (errno != EPERM && errno != ENOENT) return false;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return linkat(AT_FDCWD, self.c_str(), into, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// Once a file without a name could not be made or linked, every later copy takes a named
// temporary file.
std::atomic<bool> unnamedFailed{false};

enum class Unnamed { kCopied, kFailed, kTryNamed };

// The copy into a file without a name, linked as `name` once complete. kTryNamed, with the
// source to be read again from its start, where that cannot be done here: the file system
// cannot, or the name was taken meanwhile.
Unnamed CopyUnnamed(int in, const struct stat& source, int into, const std::string& name,
                    const PosixFsSeams& seams, const CopyControl& control) {
  if (unnamedFailed.load(std::memory_order_relaxed)) {
    return Unnamed::kTryNamed;
  }
  UniqueFd out(openat(into, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0600));
  if (!out.valid()) {
    // Also after a real failure: the named temporary file then gives its reason.
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) unnamedFailed.store(true);
    return Unnamed::kTryNamed;
  }
  if (!FillTemporary(in, out.get(), source, seams, control)) return Unnamed::kFailed;
  if (!LinkUnnamed(out.get(), into, name)) {
    if (errno != EEXIST) unnamedFailed.store(true);
    return lseek(in, 0, SEEK_SET) == 0 ? Unnamed::kTryNamed : Unnamed::kFailed;
  }
  // A write error that shows only now leaves nothing behind: the name was free before.
  if (!out.Close()) {
    const int error = errno;
    unlinkat(into, name.c_str(), 0);
    errno = error;
    return Unnamed::kFailed;
  }
  return Unnamed::kCopied;
}

}  // namespace

Status CopyFileSafely(const FileAt& from, int into, const std::string& name,
                      const PosixFsSeams& seams, const CopyControl& control) {
  errno = 0;  // stays 0 for failures of no call: a source that is no regular file
  UniqueFd in(OpenForReading(from));
  struct stat source;
  if (!in.valid() || fstat(in.get(), &source) != 0 || !S_ISREG(source.st_mode)) {
    return Status::Failure(errno);
  }
  AdviseSequential(in.get(), source.st_size);

  if (control.backupMissing) {
    switch (CopyUnnamed(in.get(), source, into, name, seams, control)) {
      case Unnamed::kCopied:
        if (control.copiedFrom != nullptr) *control.copiedFrom = *StampOf(source);
        return Status();
      case Unnamed::kFailed:
        return Status::Failure(errno);
      case Unnamed::kTryNamed:
        errno = 0;
        break;
    }
  }

  std::string temporary;
  UniqueFd out(MakeTemporary(into, temporary));
  if (!out.valid()) return Status::Failure(errno);
  const int slot = RecordCopyInFlight(into, temporary.c_str());
  bool ok = FillTemporary(in.get(), out.get(), source, seams, control);
  ok = out.Close() && ok;
  ok = ok && renameat(into, temporary.c_str(), into, name.c_str()) == 0;
  const int error = ok ? 0 : errno;
  if (!ok) unlinkat(into, temporary.c_str(), 0);
  ForgetCopyInFlight(slot);
  if (!ok) return Status::Failure(error);
  if (control.copiedFrom != nullptr) *control.copiedFrom = *StampOf(source);
  return Status();
}

}  // namespace brisvel
