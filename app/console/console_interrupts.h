// What each Ctrl+C press does under the console backend (and, on POSIX, each SIGTERM and
// SIGHUP), shared by the platforms' handlers. A POSIX signal handler runs it, so it touches
// only lock-free atomics.
#pragma once

#include <atomic>
#include <cstdint>

namespace brisvel {

// The exit status of a program ended by a second press.
inline constexpr int kInterruptedExit = 130;

// The flags the first press acts on.
void SetInterruptTargets(std::atomic<int32_t>* cancel, const std::atomic<int32_t>* runState);

// Counts one press. The first sets the cancel flag when the run state reads running; a
// later one removes the temporary files of the copies in flight and answers true: the
// caller then ends the process at once with kInterruptedExit.
bool CountInterrupt();

}  // namespace brisvel
