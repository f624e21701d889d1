#include "engine/sidekick.h"

#include <system_error>

namespace brisvel {

Sidekick::~Sidekick() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void Sidekick::RunTasks(Task beside, Task here) {
  if (!Claim()) {
    here();
    beside();
    return;
  }
  {
    std::lock_guard lock(mutex_);
    task_ = beside;
    hasTask_ = true;
  }
  wake_.notify_one();
  here();
  {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return !hasTask_; });
  }
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
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return hasTask_ || stopping_; });
    if (!hasTask_) return;
    Task task = task_;
    lock.unlock();
    task();
    lock.lock();
    hasTask_ = false;
    done_.notify_one();
  }
}

}  // namespace brisvel
