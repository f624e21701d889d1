#include "engine/copies_in_flight.h"

#include <atomic>
#include <cstring>

namespace brisvel {
namespace {

// One slot per copy that can be under way at once, with room to spare.
constexpr int kSlots = 16;
// Longer paths are not recorded; their files are left to the clean-up of a later run.
constexpr size_t kMaxPath = 4096;
enum SlotState : int { kFree, kFilling, kRecorded };

// A signal handler may touch only lock-free atomics and plain memory that no one changes
// while it is marked recorded.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> states[kSlots];
int folders[kSlots];
char paths[kSlots][kMaxPath];

}  // namespace

int RecordCopyInFlight(int folder, const char* path) {
  const size_t length = std::strlen(path);
  if (length >= kMaxPath) return -1;
  for (int slot = 0; slot < kSlots; ++slot) {
    int expected = kFree;
    if (!states[slot].compare_exchange_strong(expected, kFilling)) continue;
    folders[slot] = folder;
    std::memcpy(paths[slot], path, length + 1);
    states[slot].store(kRecorded);
    return slot;
  }
  return -1;
}

void ForgetCopyInFlight(int slot) {
  if (slot >= 0) states[slot].store(kFree);
}

void RemoveCopiesInFlight() {
  for (int slot = 0; slot < kSlots; ++slot) {
    if (states[slot].load() == kRecorded) RemoveFileInFlight(folders[slot], paths[slot]);
  }
}

}  // namespace brisvel
