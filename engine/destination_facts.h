// Looks up the destination's facts for every candidate (of the entries themselves: a link is
// never followed) on a second thread, ahead of the copy loop, so that the two trees are
// looked up at the same time. Each destination folder is opened below the destination
// folder, never through a link, and its entries are looked up by name. The copy loop still
// decides in list order; it only waits when it catches up with the look-ups. The thread
// stays at most a fixed number of entries ahead, so memory does not grow with the number of
// files.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "engine/candidate_list.h"
#include "engine/fs.h"

namespace brisvel {

class DestinationFacts {
 public:
  // Starts looking up each candidate's entry below `destination`, with or without its date.
  // `candidates` must not change while this object lives.
  DestinationFacts(FileSystem& fs, Folder destination, const CandidateList& candidates,
                   Dates dates);
  // Stops the look-ups and waits for the thread.
  ~DestinationFacts();
  DestinationFacts(const DestinationFacts&) = delete;
  DestinationFacts& operator=(const DestinationFacts&) = delete;

  // The facts of candidate `index`, waiting for them when they are not there yet. Indexes
  // must be asked for in increasing order.
  FileFacts At(size_t index);

  // How far the look-ups may run ahead of the loop.
  static constexpr size_t kWindow = 1 << 12;

 private:
  void LookUpAll();

  FileSystem& fs_;
  const Folder destination_;
  const CandidateList& candidates_;
  const Dates dates_;
  std::vector<FileFacts> facts_;
  std::atomic<size_t> ready_{0};     // entries looked up
  std::atomic<size_t> consumed_{0};  // entries the loop is done with
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace brisvel
