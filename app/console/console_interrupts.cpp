#include "app/console/console_interrupts.h"

#include "app/console/console_terminal.h"
#include "engine/copies_in_flight.h"
#include "engine/run_state.h"

namespace brisvel {
namespace {

static_assert(std::atomic<int32_t>::is_always_lock_free);
static_assert(std::atomic<std::atomic<int32_t>*>::is_always_lock_free);
std::atomic<int32_t> interrupts{0};
std::atomic<std::atomic<int32_t>*> cancelFlag{nullptr};
std::atomic<const std::atomic<int32_t>*> runStateFlag{nullptr};

}  // namespace

void SetInterruptTargets(std::atomic<int32_t>* cancel, const std::atomic<int32_t>* runState) {
  cancelFlag.store(cancel);
  runStateFlag.store(runState);
}

bool CountInterrupt() {
  if (interrupts.fetch_add(1) + 1 >= 2) {
    RemoveCopiesInFlight();
    return true;
  }
  std::atomic<int32_t>* cancel = cancelFlag.load();
  const std::atomic<int32_t>* runState = runStateFlag.load();
  if (cancel != nullptr && runState != nullptr && runState->load() == kRunning) cancel->store(1);
  return false;
}

int InterruptCount() {
  return interrupts.load();
}

}  // namespace brisvel
