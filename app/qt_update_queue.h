// The window updates that the run's worker thread asks for, kept in call order until the GUI
// thread takes them as one batch.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "engine/colour.h"

namespace brisvel {

class QtUpdateQueue {
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
    updates_.push_back(std::move(update));
  }

  std::vector<Update> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(updates_, {});
  }

 private:
  std::mutex mutex_;
  std::vector<Update> updates_;
};

// Marks the updates of `batch` that a later update replaces, so that applying the rest in
// order ends in the same state.
std::vector<bool> ReplacedUpdates(const std::vector<QtUpdateQueue::Update>& batch);

}  // namespace brisvel
