#include "app/stop_signals.h"

#include "engine/copies_in_flight.h"
#include "engine/run_state.h"

namespace brisvel {
namespace {

static_assert(std::atomic<int32_t>::is_always_lock_free);
static_assert(std::atomic<std::atomic<int32_t>*>::is_always_lock_free);
std::atomic<int32_t> signals{0};
std::atomic<std::atomic<int32_t>*> cancelFlag{nullptr};
std::atomic<const std::atomic<int32_t>*> runStateFlag{nullptr};

}  // namespace

void InstallStopSignals(std::atomic<int32_t>* cancel, const std::atomic<int32_t>* runState) {
  cancelFlag.store(cancel);
  runStateFlag.store(runState);
  InstallStopSignalHandlers();
}

bool CountStopSignal() {
  if (signals.fetch_add(1) + 1 >= 2) {
    RemoveCopiesInFlight();
    return true;
  }
  std::atomic<int32_t>* cancel = cancelFlag.load();
  const std::atomic<int32_t>* runState = runStateFlag.load();
  if (cancel != nullptr && runState != nullptr && runState->load() == kRunning) cancel->store(1);
  return false;
}

int StopSignalCount() {
  return signals.load();
}

}  // namespace brisvel
