#include "engine/candidate_list.h"

#include <algorithm>
#include <cstring>

namespace brisvel {
namespace {

// Numbers are written seven bits to a byte, the high bit set on every byte but the last.
constexpr size_t kMaxNumberBytes = 10;

size_t SharedPrefix(std::string_view a, std::string_view b) {
  const size_t most = std::min(a.size(), b.size());
  size_t shared = 0;
  while (shared < most && a[shared] == b[shared]) ++shared;
  return shared;
}

size_t Get(const uint8_t* data, size_t& offset) {
  size_t value = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t byte = data[offset++];
    value |= static_cast<size_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return value;
  }
}

}  // namespace

void CandidateList::BeginFolder(const std::string& relativeFolder) {
  if (!folders_.empty() && folders_.back().relative == relativeFolder) return;
  // A folder begun without a file takes no place.
  if (!folders_.empty() && folders_.back().first == count_) folders_.pop_back();
  folders_.push_back({relativeFolder, count_});
  previous_.clear();
}

void CandidateList::Add(std::string_view name) {
  if (folders_.empty()) folders_.push_back({std::string(), 0});
  const size_t shared = SharedPrefix(previous_, name);
  const size_t rest = name.size() - shared;
  if (used_ + 2 * kMaxNumberBytes + rest > kBlockSize) {
    if (!blocks_.empty()) blockEnds_.push_back(used_);
    blocks_.push_back(std::make_unique_for_overwrite<uint8_t[]>(
        std::max(kBlockSize, rest + 2 * kMaxNumberBytes)));
    used_ = 0;
  }
  Put(shared);
  Put(rest);
  std::memcpy(blocks_.back().get() + used_, name.data() + shared, rest);
  used_ += rest;
  previous_.assign(name);
  ++count_;
}

void CandidateList::Put(size_t value) {
  uint8_t* block = blocks_.back().get();
  while (value >= 0x80) {
    block[used_++] = static_cast<uint8_t>(value | 0x80);
    value >>= 7;
  }
  block[used_++] = static_cast<uint8_t>(value);
}

void CandidateList::Clear() {
  *this = CandidateList();
}

bool CandidateList::Reader::Next() {
  if (index_ >= list_.count_) return false;
  firstOfFolder_ = false;
  while (folder_ < list_.folders_.size() && list_.folders_[folder_].first <= index_) {
    ++folder_;
    firstOfFolder_ = true;
  }
  const size_t end = block_ < list_.blockEnds_.size() ? list_.blockEnds_[block_] : list_.used_;
  if (offset_ >= end) {
    ++block_;
    offset_ = 0;
  }
  const uint8_t* data = list_.blocks_[block_].get();
  const size_t shared = Get(data, offset_);
  const size_t rest = Get(data, offset_);
  name_.resize(shared);
  name_.append(reinterpret_cast<const char*>(data + offset_), rest);
  offset_ += rest;
  ++index_;
  return true;
}

}  // namespace brisvel
