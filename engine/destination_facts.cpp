#include "engine/destination_facts.h"

namespace brisvel {

DestinationFacts::DestinationFacts(FileSystem& fs, const std::string& destination,
                                   const CandidateList& candidates)
    : fs_(fs), destination_(destination), candidates_(candidates), facts_(candidates.Size()) {
  thread_ = std::thread([this] { LookUpAll(); });
}

DestinationFacts::~DestinationFacts() {
  stop_.store(true, std::memory_order_relaxed);
  thread_.join();
}

void DestinationFacts::LookUpAll() {
  std::string path = destination_;
  const size_t base = path.size();
  for (size_t i = 0; i < facts_.size() && !stop_.load(std::memory_order_relaxed); ++i) {
    path.resize(base);
    path += candidates_.Folder(i);
    path += candidates_.Name(i);
    facts_[i] = fs_.Facts(path);
    ready_.store(i + 1, std::memory_order_release);
    ready_.notify_one();
  }
}

const FileFacts& DestinationFacts::At(size_t index) {
  size_t ready = ready_.load(std::memory_order_acquire);
  while (ready <= index) {
    ready_.wait(ready, std::memory_order_acquire);
    ready = ready_.load(std::memory_order_acquire);
  }
  return facts_[index];
}

}  // namespace brisvel
