// The POSIX file system with seams for tests: failures that a test running as root cannot
// provoke on a real disk (a read error, a full disk) and a file changing while it is copied.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/fs.h"

namespace brisvel {

struct PosixFsSeams {
  // Reads of file data fail with EIO once this many bytes of the file were read (-1: never).
  int64_t readFailsAfter = -1;
  // Writes of copied data fail with ENOSPC once this many bytes were written (-1: never).
  int64_t writeFailsAfter = -1;
  // fchmod of a copy fails with this errno (0: never).
  int chmodError = 0;
  // Called after each block a copy has written.
  std::function<void()> afterCopyBlock;
  // Folders below an open folder are opened name by name, as on kernels without openat2.
  bool openNameByName = false;

  bool ForceUserSpaceCopy() const { return readFailsAfter >= 0 || writeFailsAfter >= 0; }
};

// A file system like RealFileSystem() with the given seams.
std::unique_ptr<FileSystem> NewPosixFileSystem(PosixFsSeams seams);

}  // namespace brisvel
