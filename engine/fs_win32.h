// The Windows file system with seams for tests: failures that cannot be provoked on a real
// disk on demand (a read error, a full disk).
#pragma once

#include <cstdint>
#include <memory>

#include "engine/fs.h"

namespace brisvel {

struct Win32FsSeams {
  // Reads of file data fail once this many bytes of the file were read (-1: never).
  int64_t readFailsAfter = -1;
  // Writes of copied data fail once this many bytes were written (-1: never).
  int64_t writeFailsAfter = -1;
};

// A file system like RealFileSystem() with the given seams.
std::unique_ptr<FileSystem> NewWin32FileSystem(Win32FsSeams seams);

}  // namespace brisvel
