// The files a scan found, in the order it met them, as paths relative to the source folder.
// Each folder's relative path is stored once, however many files it holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brisvel {

class CandidateList {
 public:
  // Starts a new folder; the files added next belong to it.
  void BeginFolder(const std::string& relativeFolder);
  // Adds a file of the folder begun last.
  void Add(const std::string& name);

  size_t Size() const { return files_.size(); }
  bool Empty() const { return files_.empty(); }
  void Clear();

  // The relative folder (ending in a separator, "" for the top) of entry `i`.
  const std::string& Folder(size_t i) const { return folders_[files_[i].folder]; }
  const std::string& Name(size_t i) const { return files_[i].name; }
  // Folder(i) + Name(i).
  std::string Path(size_t i) const { return Folder(i) + Name(i); }

 private:
  struct File {
    uint32_t folder;
    std::string name;
  };
  std::vector<std::string> folders_;
  std::vector<File> files_;
};

}  // namespace brisvel
