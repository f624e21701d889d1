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
  std::unique_ptr<FolderFacts> folder;
  const std::string* folderName = nullptr;
  for (size_t i = 0; i < facts_.size() && !stop_.load(std::memory_order_relaxed); ++i) {
    if (folderName != &candidates_.Folder(i)) {
      folderName = &candidates_.Folder(i);
      folder = fs_.FactsIn(destination_ + *folderName);
    }
    facts_[i] = folder->Of(candidates_.Name(i));
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
