#include "engine/candidate_list.h"

namespace brisvel {

void CandidateList::BeginFolder(const std::string& relativeFolder) {
  if (folders_.empty() || folders_.back() != relativeFolder) folders_.push_back(relativeFolder);
}

void CandidateList::Add(std::string_view name) {
  if (folders_.empty()) folders_.emplace_back();
  folderOf_.push_back(static_cast<uint32_t>(folders_.size() - 1));
  nameStarts_.push_back(names_.size());
  names_ += name;
}

std::string_view CandidateList::Name(size_t i) const {
  const uint64_t start = nameStarts_[i];
  const uint64_t end = i + 1 < nameStarts_.size() ? nameStarts_[i + 1] : names_.size();
  return std::string_view(names_).substr(start, end - start);
}

std::string CandidateList::Path(size_t i) const {
  std::string path = Folder(i);
  path += Name(i);
  return path;
}

void CandidateList::Clear() {
  folders_ = {};
  folderOf_ = {};
  nameStarts_ = {};
  names_ = {};
}

}  // namespace brisvel
