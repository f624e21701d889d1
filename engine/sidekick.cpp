#include "engine/sidekick.h"

#include <chrono>
#include <system_error>

#include "engine/atomic_wait.h"

namespace brisvel {
namespace {

// How long a side keeps watching for the other before it sleeps. Waking a sleeping thread
// takes tens of microseconds on a virtual machine, as long as reading a small file; the two
// halves of a pair usually end within that time of each other and the next pair follows as
// soon, so a short watch saves two wake-ups per pair. It yields the processor meanwhile.
constexpr auto kWatch = std::chrono::microseconds(200);

// Returns once `state` holds something other than `value`.
void AwaitChange(const std::atomic<int>& state, int value) {
  const auto until = std::chrono::steady_clock::now() + kWatch;
  while (state.load(std::memory_order_acquire) == value) {
    if (std::chrono::steady_clock::now() < until) {
      std::this_thread::yield();
    } else {
      AtomicWait(state, value);
    }
  }
}

}  // namespace

Sidekick::~Sidekick() {
  if (!thread_.joinable()) return;
  state_.store(kStopping, std::memory_order_release);
  AtomicWakeAll(state_);
  thread_.join();
}

void Sidekick::RunTasks(Task beside, Task here) {
  if (!Claim()) {
    here();
    beside();
    return;
  }
  task_ = beside;
  state_.store(kBusy, std::memory_order_release);
  AtomicWakeAll(state_);
  here();
  AwaitChange(state_, kBusy);
  claimed_.store(false, std::memory_order_release);
}

bool Sidekick::Claim() {
  if (claimed_.exchange(true, std::memory_order_acquire)) return false;
  if (thread_.joinable()) return true;
  try {
    thread_ = std::thread([this] { Serve(); });
    return true;
  } catch (const std::system_error&) {
    // Out of threads: the work still gets done, only not side by side.
    claimed_.store(false, std::memory_order_release);
    return false;
  }
}

void Sidekick::Serve() {
  for (;;) {
    AwaitChange(state_, kIdle);
    if (state_.load(std::memory_order_acquire) == kStopping) return;
    task_();
    state_.store(kIdle, std::memory_order_release);
    AtomicWakeAll(state_);
  }
}

}  // namespace brisvel
