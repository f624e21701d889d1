// The files a scan found, in the order it met them, as paths relative to the source folder.
// Each folder's relative path is stored once, and the names share one block of text, so a
// million candidates take a few tens of megabytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brisvel {

class CandidateList {
 public:
  // Starts a new folder; the files added next belong to it.
  void BeginFolder(const std::string& relativeFolder);
  // Adds a file of the folder begun last.
  void Add(std::string_view name);

  size_t Size() const { return nameStarts_.size(); }
  bool Empty() const { return nameStarts_.empty(); }
  void Clear();

  // The relative folder (ending in a separator, "" for the top) of entry `i`.
  const std::string& Folder(size_t i) const { return folders_[folderOf_[i]]; }
  // The file name of entry `i`.
  std::string_view Name(size_t i) const;
  // Folder(i) + Name(i).
  std::string Path(size_t i) const;

 private:
  std::vector<std::string> folders_;
  std::vector<uint32_t> folderOf_;
  std::vector<uint64_t> nameStarts_;
  std::string names_;  // every name, one after the other
};

}  // namespace brisvel
