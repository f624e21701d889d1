// The window updates that the run's threads ask for, kept in call order until the GUI thread
// takes them as one batch.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/colour.h"

namespace brisvel {

class UpdateQueue {
 public:
  struct Update {
    int window = 0;
    int control = 0;
    // A list row to insert at `index`; otherwise `apply` does the update.
    bool row = false;
    int64_t index = 0;
    std::string text;
    Colour colour;
    std::function<void()> apply;
    // Non-zero for updates that a later one with the same key and control replaces
    // completely (a caption, a bar's value): only the last of a batch is applied.
    int replaceKey = 0;
    // Set where the update's effect does not depend on its order among the others either (a
    // bar's value, a label's caption): a later one then takes its place in the queue at
    // once, so a run that reports every file queues one update, not one per file.
    bool anywhere = false;

    // `control` is -1 for an update of the window itself.
    static Update Call(int window, int control, std::function<void()> apply) {
      Update update;
      update.window = window;
      update.control = control;
      update.apply = std::move(apply);
      return update;
    }
    static Update Replacing(int key, int window, int control, std::function<void()> apply) {
      Update update = Call(window, control, std::move(apply));
      update.replaceKey = key;
      return update;
    }
    static Update Anywhere(int key, int window, int control, std::function<void()> apply) {
      Update update = Replacing(key, window, control, std::move(apply));
      update.anywhere = true;
      return update;
    }
    static Update Row(int window, int control, int64_t index, std::string text, Colour colour) {
      Update update;
      update.row = true;
      update.window = window;
      update.control = control;
      update.index = index;
      update.text = std::move(text);
      update.colour = colour;
      return update;
    }
  };

  void Push(Update update) {
    std::lock_guard lock(mutex_);
    if (update.anywhere) {
      const auto [slot, fresh] = anywhere_.try_emplace(
          std::make_tuple(update.replaceKey, update.window, update.control), updates_.size());
      if (!fresh) {
        updates_[slot->second] = std::move(update);
        return;
      }
    }
    updates_.push_back(std::move(update));
  }

  std::vector<Update> Take() {
    std::lock_guard lock(mutex_);
    anywhere_.clear();
    return std::exchange(updates_, {});
  }

 private:
  std::mutex mutex_;
  std::vector<Update> updates_;
  // Where each queued order-free update stands in `updates_`.
  std::map<std::tuple<int, int, int>, size_t> anywhere_;
};

// Marks the updates of `batch` that a later update replaces, so that applying the rest in
// order ends in the same state.
std::vector<bool> ReplacedUpdates(const std::vector<UpdateQueue::Update>& batch);

// The rows of `batch` from `position` on that go into the same list as the first, at the
// indexes following its own, in order; anything else done to that list ends them. Each one
// taken is marked done.
std::vector<UpdateQueue::Update*> ConsecutiveRows(std::vector<UpdateQueue::Update>& batch,
                                                  size_t position, std::vector<bool>& done);

}  // namespace brisvel
