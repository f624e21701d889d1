// The files a scan found, in the order it met them, as paths relative to the source folder.
// Kept compact, since a run holds one entry per file of the source: each folder's relative
// path is stored once, and each name as only the part that differs from the name before it
// (names in one folder often begin alike), with no per-name pointer. The list is read from
// the start with a Reader.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brisvel {

class CandidateList {
 public:
  // Starts a new folder; the files added next belong to it.
  void BeginFolder(const std::string& relativeFolder);
  // Adds a file of the folder begun last (of "" when none was begun).
  void Add(std::string_view name);

  size_t Size() const { return count_; }
  bool Empty() const { return count_ == 0; }
  void Clear();

  // Reads the candidates in order. Several readers may read at once, on different threads,
  // while the list does not change.
  class Reader {
   public:
    explicit Reader(const CandidateList& list) : list_(list) {}
    // Moves to the next candidate; false after the last one.
    bool Next();
    // The position of the current candidate in the list.
    size_t Index() const { return index_ - 1; }
    // The current candidate's relative folder (ending in a separator, "" for the top).
    const std::string& Folder() const { return list_.folders_[folder_ - 1].relative; }
    // True when the current candidate is the first of its folder.
    bool FirstOfFolder() const { return firstOfFolder_; }
    const std::string& Name() const { return name_; }
    // Folder() + Name().
    std::string Path() const { return Folder() + name_; }

   private:
    const CandidateList& list_;
    size_t index_ = 0;
    size_t folder_ = 0;  // one past the current folder's position
    size_t block_ = 0;
    size_t offset_ = 0;
    std::string name_;
    bool firstOfFolder_ = false;
  };

 private:
  struct FolderStart {
    std::string relative;
    size_t first;  // index of its first candidate
  };

  // Blocks of encoded names, filled one after the other and never moved.
  static constexpr size_t kBlockSize = 64 << 10;

  void Put(size_t value);

  std::vector<FolderStart> folders_;
  std::vector<std::unique_ptr<uint8_t[]>> blocks_;
  std::vector<size_t> blockEnds_;  // the bytes used of each block but the last
  size_t used_ = kBlockSize;       // of the last block
  size_t count_ = 0;
  std::string previous_;  // the name added last, of the current folder
};

}  // namespace brisvel
