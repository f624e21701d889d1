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

}  // namespace brisvel
