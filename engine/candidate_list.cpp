#include "engine/candidate_list.h"

namespace brisvel {

void CandidateList::BeginFolder(const std::string& relativeFolder) {
  if (folders_.empty() || folders_.back() != relativeFolder) folders_.push_back(relativeFolder);
}

void CandidateList::Add(const std::string& name) {
  if (folders_.empty()) folders_.emplace_back();
  files_.push_back({static_cast<uint32_t>(folders_.size() - 1), name});
}

void CandidateList::Clear() {
  folders_.clear();
  files_.clear();
  folders_.shrink_to_fit();
  files_.shrink_to_fit();
}

}  // namespace brisvel
