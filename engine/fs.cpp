#include "engine/fs.h"

#include <cerrno>

#include "core/text.h"

namespace brisvel {

int EnsureFolderPath(FileSystem& fs, const std::string& folder) {
  if (folder.empty()) return 0;
  std::string path = WithTrailingSeparator(folder);
  if (fs.FileSize(path) == kIsFolder) return 1;
  if (fs.CreateFolder(path)) return 1;
  // The parent is missing too: make it first, then try once more. The parent is always
  // shorter than `path`, so the descent ends.
  std::string parent = FolderPart(std::string_view(path).substr(0, path.size() - 1));
  if (EnsureFolderPath(fs, parent) == 0) return 0;
  return fs.CreateFolder(path) ? 1 : 0;
}

void RemoveFolderIfEmpty(FileSystem& fs, const std::string& folder) {
  std::unique_ptr<FolderListing> listing = fs.List(folder);
  if (!listing) return;
  FolderEntry entry;
  bool empty = !listing->Next(entry);
  listing.reset();  // closed before the folder goes
  if (empty) fs.RemoveFolder(folder);
}

namespace {

// Facts by whole paths, for file systems that know no better way.
class PathFolderFacts final : public FolderFacts {
 public:
  PathFolderFacts(FileSystem& fs, const std::string& folder, Links links)
      : fs_(fs), path_(folder), links_(links) {}
  FileFacts Of(const std::string& name) override {
    path_.resize(folderLength_);
    path_ += name;
    return links_ == Links::kFollow ? fs_.Facts(path_) : fs_.EntryFacts(path_);
  }

 private:
  FileSystem& fs_;
  std::string path_;
  const size_t folderLength_ = path_.size();
  const Links links_;
};

}  // namespace

std::unique_ptr<FolderFacts> FileSystem::FactsIn(const std::string& folder) {
  return std::make_unique<PathFolderFacts>(*this, folder, Links::kFollow);
}

std::unique_ptr<FolderFacts> FileSystem::EntryFactsIn(const std::string& folder) {
  return std::make_unique<PathFolderFacts>(*this, folder, Links::kEntryItself);
}

bool FileSystem::SameContents(const std::string& first, const std::string& second) {
  auto [a, b] = Md5Pair(first, second);
  if (!a || !b) {
    if (errno == 0) errno = EIO;  // unreadable, whatever the failing call said
    return false;
  }
  errno = 0;
  return *a == *b;
}

std::unique_ptr<FolderLock> FileSystem::LockFolder(const std::string&) {
  return std::make_unique<FolderLock>();
}

std::pair<std::optional<uint32_t>, std::optional<uint32_t>> FileSystem::Crc32Pair(
    const std::string& first, const std::string& second) {
  return {Crc32(first), Crc32(second)};
}

std::pair<std::optional<std::string>, std::optional<std::string>> FileSystem::Md5Pair(
    const std::string& first, const std::string& second) {
  return {Md5(first), Md5(second)};
}

}  // namespace brisvel
