#include "app/ui/batched_ui.h"

namespace brisvel {

bool BatchedUi::Queued(UpdateQueue::Update update) {
  if (OnGuiThread()) {
    ApplyPending();
    return false;
  }
  pending_.Push(std::move(update));
  return true;
}

void BatchedUi::QueueOrInsertRow(UpdateQueue::Update row) {
  if (!OnGuiThread()) {
    pending_.Push(std::move(row));
    return;
  }
  ApplyPending();
  std::vector<UpdateQueue::Update> one{std::move(row)};
  std::vector<bool> done{false};
  ApplyRows(one, 0, done);
}

void BatchedUi::ApplyPending() {
  if (applying_) return;  // an update being applied calls back into this interface
  applying_ = true;
  std::vector<UpdateQueue::Update> batch = pending_.Take();
  std::vector<bool> done = ReplacedUpdates(batch);
  for (size_t position = 0; position < batch.size(); ++position) {
    if (done[position]) continue;
    if (batch[position].row) {
      ApplyRows(batch, position, done);
    } else {
      batch[position].apply();
    }
  }
  applying_ = false;
}

std::vector<const UpdateQueue::Update*> ConsecutiveRows(
    const std::vector<UpdateQueue::Update>& batch, size_t position, std::vector<bool>& done) {
  const UpdateQueue::Update& first = batch[position];
  std::vector<const UpdateQueue::Update*> rows;
  int64_t next = first.index;
  for (size_t i = position; i < batch.size(); ++i) {
    const UpdateQueue::Update& update = batch[i];
    const bool sameList = update.window == first.window && update.control == first.control;
    if (done[i] || !sameList) continue;
    if (!update.row || update.index != next) break;
    rows.push_back(&update);
    done[i] = true;
    ++next;
  }
  return rows;
}

}  // namespace brisvel
