#include "app/ui/update_queue.h"

#include <map>
#include <tuple>

namespace brisvel {

std::vector<bool> ReplacedUpdates(const std::vector<UpdateQueue::Update>& batch) {
  std::vector<bool> replaced(batch.size(), false);
  std::map<std::tuple<int, int, int>, size_t> latest;
  for (size_t i = batch.size(); i-- > 0;) {
    const UpdateQueue::Update& update = batch[i];
    if (update.replaceKey == 0) continue;
    const auto key = std::make_tuple(update.replaceKey, update.window, update.control);
    replaced[i] = !latest.emplace(key, i).second;
  }
  return replaced;
}

std::vector<UpdateQueue::Update*> ConsecutiveRows(std::vector<UpdateQueue::Update>& batch,
                                                  size_t position, std::vector<bool>& done) {
  const UpdateQueue::Update& first = batch[position];
  std::vector<UpdateQueue::Update*> rows;
  int64_t next = first.index;
  for (size_t i = position; i < batch.size(); ++i) {
    UpdateQueue::Update& update = batch[i];
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
