// The part of a desktop backend that carries calls from the run's worker thread over to the
// GUI thread, whose toolkit is single-threaded.
//
// Calls that change the windows are queued and applied on the GUI thread in batches (by the
// backend's timer, and before the GUI thread does anything else through the interface), so
// the worker never waits for the windows and the GUI thread never sees a state older than
// what the worker has already asked for. Calls that read or ask the user wait for the GUI
// thread.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

#include "app/ui/ui.h"
#include "app/ui/update_queue.h"

namespace brisvel {

class BatchedUi : public Ui {
 protected:
  // Construct on the GUI thread.
  BatchedUi() : guiThread_(std::this_thread::get_id()) {}

  bool OnGuiThread() const { return std::this_thread::get_id() == guiThread_; }

  // From the worker: queues `update` and returns true. On the GUI thread: applies what is
  // queued and returns false, so the caller goes on directly.
  bool Queued(UpdateQueue::Update update);

  // Inserts a list row: from the worker through the queue, on the GUI thread at once.
  void QueueOrInsertRow(UpdateQueue::Update row);

  // Runs `work` on the GUI thread after everything queued, and returns its result. From
  // another thread the request joins the queue and the caller waits for the next batch;
  // only the standard library's locks pass the result, which the thread checkers see.
  template <typename Work>
  auto OnGui(Work work) -> decltype(work()) {
    if (OnGuiThread()) {
      ApplyPending();
      return work();
    }
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    auto answer = [&] {
      std::lock_guard lock(mutex);
      done = true;
      answered.notify_one();
    };
    auto wait = [&] {
      WakeGuiThread();
      std::unique_lock lock(mutex);
      answered.wait(lock, [&] { return done; });
    };
    if constexpr (std::is_void_v<decltype(work())>) {
      pending_.Push(UpdateQueue::Update::Call(-1, -1, [&] {
        work();
        answer();
      }));
      wait();
    } else {
      decltype(work()) result{};
      pending_.Push(UpdateQueue::Update::Call(-1, -1, [&] {
        result = work();
        answer();
      }));
      wait();
      return result;
    }
  }

  // Applies every queued update in order; the backend's timer calls it on the GUI thread.
  void ApplyPending();

  // Inserts the row at `position` of the batch, with as many of the rows after it as go into
  // the same list at the following indexes, and marks them done.
  virtual void ApplyRows(std::vector<UpdateQueue::Update>& batch, size_t position,
                         std::vector<bool>& done) = 0;

  // Asks the GUI thread to apply the queue soon: a worker waits for an answer. A backend
  // whose timer serves well enough leaves it empty.
  virtual void WakeGuiThread() {}

 private:
  std::thread::id guiThread_;
  UpdateQueue pending_;
  bool applying_ = false;
};

// The rows of `batch` from `position` on that go into the same list as the first, at the
// indexes following its own, in order; anything else done to that list ends them. Each one
// taken is marked done.
std::vector<const UpdateQueue::Update*> ConsecutiveRows(
    const std::vector<UpdateQueue::Update>& batch, size_t position, std::vector<bool>& done);

}  // namespace brisvel
