#include "engine/destination_facts.h"

#include <algorithm>

#include "engine/atomic_wait.h"

namespace brisvel {

DestinationFacts::DestinationFacts(FileSystem& fs, Folder destination,
                                   const CandidateList& candidates, Dates dates)
    : fs_(fs),
      destination_(std::move(destination)),
      candidates_(candidates),
      dates_(dates),
      facts_(std::min(candidates.Size(), kWindow)) {
  thread_ = std::thread([this] { LookUpAll(); });
}

DestinationFacts::~DestinationFacts() {
  stop_.store(true, std::memory_order_relaxed);
  consumed_.store(candidates_.Size() + kWindow, std::memory_order_release);
  AtomicWakeAll(consumed_);
  thread_.join();
}

void DestinationFacts::LookUpAll() {
  Folder folder;
  CandidateList::Reader reader(candidates_);
  while (!stop_.load(std::memory_order_relaxed) && reader.Next()) {
    const size_t i = reader.Index();
    // Wait while the slot still holds facts the loop has not taken.
    size_t consumed = consumed_.load(std::memory_order_acquire);
    while (i >= consumed + kWindow) {
      AtomicWait(consumed_, consumed);
      consumed = consumed_.load(std::memory_order_acquire);
    }
    if (reader.FirstOfFolder()) {
      // A folder that cannot be opened holds nothing of the backup: its candidates find
      // nothing there.
      folder = fs_.OpenFolderIn(destination_, reader.Folder());
    }
    facts_[i % kWindow] =
        folder ? fs_.FactsIn(folder, reader.Name(), Links::kEntryItself, dates_) : FileFacts{};
    ready_.store(i + 1, std::memory_order_release);
    AtomicWakeAll(ready_);
  }
}

FileFacts DestinationFacts::At(size_t index) {
  size_t ready = ready_.load(std::memory_order_acquire);
  while (ready <= index) {
    AtomicWait(ready_, ready);
    ready = ready_.load(std::memory_order_acquire);
  }
  const FileFacts facts = facts_[index % kWindow];
  // Handing slots back in batches keeps the loop from waking the thread for every file.
  if ((index + 1) % 1024 == 0 || index + 1 == candidates_.Size()) {
    consumed_.store(index + 1, std::memory_order_release);
    AtomicWakeAll(consumed_);
  }
  return facts;
}

}  // namespace brisvel
