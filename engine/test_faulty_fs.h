// A file system for tests that passes every call on to another one, except the calls a test
// has chosen to fail. It lets tests running as root see the failures a real disk gives
// ordinary users: files that cannot be copied, deleted or read, and look-ups that fail. Each
// chosen failure gives EACCES as its reason, as a refused permission does. Failures are
// chosen by whole path, and the calls on open folders fail for the same paths; the folders
// themselves are the other file system's.
#pragma once

#include <cerrno>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "core/text.h"
#include "engine/fs.h"

namespace brisvel {

class FaultyFileSystem : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& inner) : inner_(inner) {}

  // CopyFile fails, touching nothing, when `path` is its source or its destination.
  void FailCopy(const std::string& path) { copies_.insert(path); }
  void FailDelete(const std::string& path) { deletes_.insert(path); }
  // MoveFileIn of the entry at `path` fails.
  void FailMove(const std::string& path) { moves_.insert(path); }
  void FailCreateFolder(const std::string& path) { creates_.insert(path); }
  void FailRemoveFolder(const std::string& path) { removes_.insert(path); }
  void FailList(const std::string& path) { lists_.insert(path); }
  // Crc32 and Md5 of `path` give nullopt, and SameContentsIn of it finds it unreadable, as
  // for a file that cannot be read.
  void FailChecksums(const std::string& path) { checksums_.insert(path); }
  // Lookup of `path` gives kUnknown, as when a folder on the way denies access.
  void FailLookup(const std::string& path) { lookups_.insert(path); }
  // SyncFolder of `folder` fails, as on a drive that reports a write error.
  void FailSync(const std::string& folder) { syncs_.insert(folder); }
  // Called before each copy starts; a test acts there as a user would meanwhile.
  std::function<void(const std::string& from)> beforeCopy;

  // Every SyncFolder and DeleteFile (or DeleteFileIn) so far, in order, as "sync FOLDER" and
  // "delete PATH". Read it once the run is over.
  const std::vector<std::string>& Journal() const { return journal_; }

  int64_t FileSize(const std::string& path) override { return inner_.FileSize(path); }
  int64_t FileDate(const std::string& path) override { return inner_.FileDate(path); }
  FileFacts Facts(const std::string& path) override { return inner_.Facts(path); }

  PathState Lookup(const std::string& path) override {
    return lookups_.count(path) ? PathState::kUnknown : inner_.Lookup(path);
  }
  FileFacts EntryFacts(const std::string& path) override { return inner_.EntryFacts(path); }
  std::optional<FileStamp> Stamp(const std::string& path, Links links) override {
    return inner_.Stamp(path, links);
  }
  using FileSystem::CopyFile;
  bool CopyFile(const std::string& from, const std::string& to,
                const CopyControl& control) override {
    if (beforeCopy) beforeCopy(from);
    if (copies_.count(from) || copies_.count(to)) return Refused();
    return inner_.CopyFile(from, to, control);
  }
  bool SyncFolder(const std::string& folder) override {
    Note("sync " + folder);
    return syncs_.count(folder) ? Refused() : inner_.SyncFolder(folder);
  }
  bool CreateEmptyFile(const std::string& path) override { return inner_.CreateEmptyFile(path); }
  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override {
    return inner_.LockFolder(folder);
  }
  bool HeldByARun(const Folder& folder) override { return inner_.HeldByARun(folder); }
  bool DeleteFile(const std::string& path) override {
    Note("delete " + path);
    return deletes_.count(path) ? Refused() : inner_.DeleteFile(path);
  }
  bool CreateFolder(const std::string& path) override {
    return creates_.count(path) ? Refused() : inner_.CreateFolder(path);
  }
  bool RemoveFolder(const std::string& path) override {
    return removes_.count(path) ? Refused() : inner_.RemoveFolder(path);
  }
  std::unique_ptr<FolderListing> List(const std::string& folder) override {
    if (!lists_.count(folder)) return inner_.List(folder);
    Refused();
    return nullptr;
  }
  std::optional<uint32_t> Crc32(const std::string& path) override {
    if (checksums_.count(path)) return std::nullopt;
    return inner_.Crc32(path);
  }
  std::optional<std::string> Md5(const std::string& path) override {
    if (checksums_.count(path)) return std::nullopt;
    return inner_.Md5(path);
  }

  Folder OpenFolder(const std::string& path) override { return inner_.OpenFolder(path); }
  Folder OpenFolderIn(const Folder& parent, const std::string& relative) override {
    return inner_.OpenFolderIn(parent, relative);
  }
  std::unique_ptr<FolderListing> ListFolder(const Folder& folder) override {
    if (!lists_.count(folder.Path())) return inner_.ListFolder(folder);
    return NoListing(EACCES);
  }
  FileFacts FactsIn(const Folder& folder, const std::string& name, Links links,
                    Dates dates) override {
    return inner_.FactsIn(folder, name, links, dates);
  }
  PathState LookupIn(const Folder& folder, const std::string& name) override {
    return lookups_.count(folder.Path() + name) ? PathState::kUnknown
                                                : inner_.LookupIn(folder, name);
  }
  std::optional<FileStamp> StampIn(const Folder& folder, const std::string& name,
                                   Links links) override {
    return inner_.StampIn(folder, name, links);
  }
  Status CreateFolderIn(const Folder& folder, const std::string& name) override {
    if (creates_.count(folder.Path() + name + kPathSeparator)) return Status::Failure(EACCES);
    return inner_.CreateFolderIn(folder, name);
  }
  Status DeleteFileIn(const Folder& folder, const std::string& name) override {
    Note("delete " + folder.Path() + name);
    if (deletes_.count(folder.Path() + name)) return Status::Failure(EACCES);
    return inner_.DeleteFileIn(folder, name);
  }
  Status RemoveFolderIn(const Folder& folder, const std::string& name) override {
    if (removes_.count(folder.Path() + name + kPathSeparator)) return Status::Failure(EACCES);
    return inner_.RemoveFolderIn(folder, name);
  }
  Status MoveFileIn(const Folder& from, const std::string& name, const Folder& to,
                    const std::string& newName) override {
    if (moves_.count(from.Path() + name)) return Status::Failure(EACCES);
    return inner_.MoveFileIn(from, name, to, newName);
  }
  Status CopyFileIn(const FilePair& pair, const CopyControl& control) override {
    const std::string from = pair.SourcePath();
    if (beforeCopy) beforeCopy(from);
    if (copies_.count(from) || copies_.count(pair.BackupPath())) return Status::Failure(EACCES);
    return inner_.CopyFileIn(pair, control);
  }
  std::pair<std::optional<uint32_t>, std::optional<uint32_t>> Crc32PairIn(
      const FilePair& pair) override {
    auto sums = inner_.Crc32PairIn(pair);
    if (checksums_.count(pair.SourcePath())) sums.first.reset();
    if (checksums_.count(pair.BackupPath())) sums.second.reset();
    return sums;
  }
  std::pair<std::optional<std::string>, std::optional<std::string>> Md5PairIn(
      const FilePair& pair) override {
    auto sums = inner_.Md5PairIn(pair);
    if (checksums_.count(pair.SourcePath())) sums.first.reset();
    if (checksums_.count(pair.BackupPath())) sums.second.reset();
    return sums;
  }
  Sameness SameContentsIn(const FilePair& pair) override {
    if (checksums_.count(pair.SourcePath()) || checksums_.count(pair.BackupPath())) {
      return Sameness::kUnreadable;
    }
    return inner_.SameContentsIn(pair);
  }
  Status OpenForAppendIn(const Folder& folder, const std::string& name,
                         std::unique_ptr<AppendFile>& file) override {
    return inner_.OpenForAppendIn(folder, name, file);
  }
  std::optional<std::string> RealPath(const std::string& path) override {
    return inner_.RealPath(path);
  }
  bool SameFolder(const std::string& a, const std::string& b) override {
    return inner_.SameFolder(a, b);
  }

 private:
  // A Move flushes on a thread of its own while the run deletes.
  void Note(std::string event) {
    std::lock_guard<std::mutex> lock(journalMutex_);
    journal_.push_back(std::move(event));
  }

  static bool Refused() {
    errno = EACCES;
    return false;
  }

  FileSystem& inner_;
  std::set<std::string> copies_, deletes_, creates_, removes_, lists_, checksums_, lookups_, syncs_,
      moves_;
  std::mutex journalMutex_;
  std::vector<std::string> journal_;
};

}  // namespace brisvel
