// The log file's writes on Linux: lines gather in a buffer and go to the file in large
// writes, so a run of many changes costs few system calls.
#pragma once

#include <memory>

#include "engine/fs.h"

namespace brisvel {

// An AppendFile over the descriptor `fd`, which it owns.
std::unique_ptr<AppendFile> NewPosixAppendFile(int fd);

}  // namespace brisvel
