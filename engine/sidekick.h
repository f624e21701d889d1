// A helper thread that runs one task beside its caller, for work that splits into two
// halves of about the same size (such as reading two files at once).
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <utility>

namespace brisvel {

// Run hands one task to the helper thread, runs another on the calling thread and returns
// once both have finished. The thread starts at the first Run and lives until the Sidekick is
// destroyed, so each Run costs a wake-up, not a thread.
class Sidekick {
 public:
  Sidekick() = default;
  // Ends the helper thread. No Run may be in progress.
  ~Sidekick();
  Sidekick(const Sidekick&) = delete;
  Sidekick& operator=(const Sidekick&) = delete;

  // Runs `beside` on the helper thread while `here` runs on this one. When the helper is
  // already serving another caller (or its thread cannot be started), this caller runs both
  // itself, `here` first. The tasks share nothing through the Sidekick: each writes only its
  // own results, which the caller may read once Run has returned.
  template <typename Beside, typename Here>
  void Run(Beside&& beside, Here&& here) {
    RunTasks(TaskOf(beside), TaskOf(here));
  }

  // `sum` of two files at once, the second on the helper thread: each side has its own read
  // buffer and digest, and a failure on one side leaves the other's result alone.
  template <typename File, typename Sum>
  auto Both(const File& first, const File& second, Sum&& sum) {
    std::pair<decltype(sum(first)), decltype(sum(first))> results;
    Run([&] { results.second = sum(second); }, [&] { results.first = sum(first); });
    return results;
  }

 private:
  // A reference to a callable object that lives on the caller's stack for the whole Run.
  struct Task {
    void (*call)(void*) = nullptr;
    void* object = nullptr;
    void operator()() const { call(object); }
  };

  template <typename F>
  static Task TaskOf(F& f) {
    return {[](void* object) { (*static_cast<F*>(object))(); },
            const_cast<void*>(static_cast<const void*>(&f))};
  }

  enum State : int { kIdle, kBusy, kStopping };

  void RunTasks(Task beside, Task here);
  // Takes the helper for this caller, starting its thread on first use; false when another
  // caller has it or the thread cannot be started.
  bool Claim();
  void Serve();

  std::atomic<bool> claimed_{false};
  // kBusy from the moment the claimer has set task_ until the helper has finished it.
  std::atomic<int> state_{kIdle};
  Task task_;           // written by the claimer before state_ becomes kBusy
  std::thread thread_;  // started by the first claimer, joined by the destructor
};

}  // namespace brisvel
