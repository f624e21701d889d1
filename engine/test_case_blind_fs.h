// A file system for tests that acts as a drive that ignores letter case below `root` and keeps
// the spelling a name was made with: each part of a path below `root` finds an existing entry
// in any letter case. Linux tests run on such a drive through it; Windows drives are so.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/case_folding.h"
#include "core/test_folder.h"
#include "engine/test_faulty_fs.h"

namespace brisvel {

class CaseBlindFileSystem : public FaultyFileSystem {
 public:
  explicit CaseBlindFileSystem(std::string root)
      : FaultyFileSystem(RealFileSystem()), root_(std::move(root)) {}
  int64_t FileSize(const std::string& path) override { return Inner::FileSize(Fold(path)); }
  FileFacts Facts(const std::string& path) override { return Inner::Facts(Fold(path)); }
  FileFacts EntryFacts(const std::string& path) override { return Inner::EntryFacts(Fold(path)); }
  PathState Lookup(const std::string& path) override { return Inner::Lookup(Fold(path)); }
  std::optional<FileStamp> Stamp(const std::string& path, Links links) override {
    return Inner::Stamp(Fold(path), links);
  }
  bool CopyFile(const std::string& from, const std::string& to,
                const CopyControl& control) override {
    return Inner::CopyFile(from, Fold(to), control);
  }
  std::optional<uint32_t> Crc32(const std::string& path) override {
    return Inner::Crc32(Fold(path));
  }
  std::optional<std::string> Md5(const std::string& path) override {
    return Inner::Md5(Fold(path));
  }
  bool CreateFolder(const std::string& path) override { return Inner::CreateFolder(Fold(path)); }
  bool CreateEmptyFile(const std::string& path) override {
    return Inner::CreateEmptyFile(Fold(path));
  }
  bool DeleteFile(const std::string& path) override { return Inner::DeleteFile(Fold(path)); }
  std::unique_ptr<FolderListing> List(const std::string& path) override {
    return Inner::List(Fold(path));
  }

  // Open folders are their paths here, and every call on them goes through the folding
  // above.
  using Base = FileSystem;
  Folder OpenFolder(const std::string& path) override { return Base::OpenFolder(path); }
  Folder OpenFolderIn(const Folder& parent, const std::string& relative) override {
    return Base::OpenFolderIn(parent, relative);
  }
  std::unique_ptr<FolderListing> ListFolder(const Folder& folder) override {
    return Base::ListFolder(folder);
  }
  FileFacts FactsIn(const Folder& folder, const std::string& name, Links links,
                    Dates dates) override {
    return Base::FactsIn(folder, name, links, dates);
  }
  PathState LookupIn(const Folder& folder, const std::string& name) override {
    return Base::LookupIn(folder, name);
  }
  std::optional<FileStamp> StampIn(const Folder& folder, const std::string& name,
                                   Links links) override {
    return Base::StampIn(folder, name, links);
  }
  Status CreateFolderIn(const Folder& folder, const std::string& name) override {
    return Base::CreateFolderIn(folder, name);
  }
  Status DeleteFileIn(const Folder& folder, const std::string& name) override {
    return Base::DeleteFileIn(folder, name);
  }
  Status RemoveFolderIn(const Folder& folder, const std::string& name) override {
    return Base::RemoveFolderIn(folder, name);
  }
  Status CopyFileIn(const FilePair& pair, const CopyControl& control) override {
    return Base::CopyFileIn(pair, control);
  }
  std::pair<std::optional<uint32_t>, std::optional<uint32_t>> Crc32PairIn(
      const FilePair& pair) override {
    return Base::Crc32PairIn(pair);
  }
  std::pair<std::optional<std::string>, std::optional<std::string>> Md5PairIn(
      const FilePair& pair) override {
    return Base::Md5PairIn(pair);
  }
  Sameness SameContentsIn(const FilePair& pair) override { return Base::SameContentsIn(pair); }

 private:
  using Inner = FaultyFileSystem;
  std::string Fold(const std::string& path) const {
    if (path.rfind(root_, 0) != 0) return path;
    std::string folded = root_;
    size_t start = root_.size();
    while (start < path.size()) {
      size_t end = std::min(path.find(kPathSeparator, start), path.size());
      std::string part = path.substr(start, end - start);
      std::error_code error;
      for (const auto& entry : std::filesystem::directory_iterator(FsPath(folded), error)) {
        const std::string name = Utf8Of(entry.path().filename());
        if (EqualIgnoringCase(name, part)) part = name;
      }
      folded += part + (end < path.size() ? std::string(1, kPathSeparator) : "");
      start = end + 1;
    }
    return folded;
  }
  const std::string root_;
};

}  // namespace brisvel
