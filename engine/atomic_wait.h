// Sleeping until an atomic value changes, and waking the sleepers. The standard library's
// atomic wait for Windows (GCC 12) can miss a wake-up and sleep for ever; there a condition
// variable, which cannot, takes its place. Elsewhere these are the atomic's own calls.
#pragma once

#include <atomic>

#ifdef _WIN32
#include <condition_variable>
#include <mutex>
#endif

namespace brisvel {

#ifdef _WIN32
struct AtomicWaiters {
  std::mutex mutex;
  std::condition_variable changed;
};

// One set of waiters for every atomic: a wake-up wakes all, and each checks its own value.
inline AtomicWaiters& Waiters() {
  static AtomicWaiters waiters;
  return waiters;
}

// Returns once `value` no longer holds `old` (or spuriously, like the atomic's wait).
template <typename T>
void AtomicWait(const std::atomic<T>& value, T old) {
  std::unique_lock<std::mutex> lock(Waiters().mutex);
  Waiters().changed.wait(lock, [&] { return value.load(std::memory_order_acquire) != old; });
}

// Wakes every AtomicWait on `value`; call after storing the new value.
template <typename T>
void AtomicWakeAll(std::atomic<T>&) {
  { std::lock_guard<std::mutex> lock(Waiters().mutex); }
  Waiters().changed.notify_all();
}
#else
template <typename T>
void AtomicWait(const std::atomic<T>& value, T old) {
  value.wait(old, std::memory_order_acquire);
}

template <typename T>
void AtomicWakeAll(std::atomic<T>& value) {
  value.notify_all();
}
#endif

}  // namespace brisvel
