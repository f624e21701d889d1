// A file system for tests that acts as a drive that ignores letter case below `root` and keeps
// the spelling a name was made with: each part of a path below `root` finds an existing entry
// in any letter case. Linux tests run on such a drive through it; Windows drives are so.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/case_folding.h"
#include "core/test_folder.h"
#include "engine/faulty_fs.h"

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
  bool SameContents(const std::string& a, const std::string& b) override {
    return Inner::SameContents(a, Fold(b));
  }
  bool CreateFolder(const std::string& path) override { return Inner::CreateFolder(Fold(path)); }
  bool CreateEmptyFile(const std::string& path) override {
    return Inner::CreateEmptyFile(Fold(path));
  }
  bool DeleteFile(const std::string& path) override { return Inner::DeleteFile(Fold(path)); }
  std::unique_ptr<FolderListing> List(const std::string& path) override {
    return Inner::List(Fold(path));
  }

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
