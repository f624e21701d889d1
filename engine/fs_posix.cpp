#include "engine/fs_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "core/text.h"
#include "engine/append_file_posix.h"
#include "engine/checksum.h"
#include "engine/file_io_posix.h"
#include "engine/folder_posix.h"
#include "engine/sidekick.h"

namespace brisvel {
namespace {

// stat() of `path` with trailing separators ignored; false when it fails.
bool StatPath(const std::string& path, struct stat& info) {
  std::string_view trimmed = WithoutTrailingSeparators(path);
  if (trimmed.size() == path.size()) return stat(path.c_str(), &info) == 0;
  return stat(std::string(trimmed).c_str(), &info) == 0;
}

int64_t SizeOf(const struct stat& info) {
  return S_ISDIR(info.st_mode) ? kIsFolder : static_cast<int64_t>(info.st_size);
}

// `time` moved by the local UTC offset in force at that time; 0 when it cannot be converted.
int64_t LocalSeconds(time_t time) {
  struct tm local;
  if (localtime_r(&time, &local) == nullptr) return 0;
  return static_cast<int64_t>(time) + local.tm_gmtoff;
}

int64_t Nanoseconds(const struct timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

EntryKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return EntryKind::kFile;
  if (S_ISDIR(mode)) return EntryKind::kFolder;
  return EntryKind::kOther;
}

}  // namespace

std::optional<FileStamp> StampOf(const struct stat& info) {
  if (!S_ISREG(info.st_mode)) return std::nullopt;
  return FileStamp{static_cast<int64_t>(info.st_size), Nanoseconds(info.st_mtim),
                   Nanoseconds(info.st_ctim), static_cast<uint64_t>(info.st_dev),
                   static_cast<uint64_t>(info.st_ino)};
}

namespace {

FileFacts FactsOf(const struct stat& info) {
  const EntryKind kind = S_ISLNK(info.st_mode) ? EntryKind::kLink : KindOf(info.st_mode);
  return {SizeOf(info), LocalSeconds(info.st_mtim.tv_sec), kind};
}

int StatFlags(Links links) {
  return links == Links::kFollow ? 0 : AT_SYMLINK_NOFOLLOW;
}

// Holds the lock through its open descriptor of the folder.
class PosixFolderLock final : public FolderLock {
 public:
  explicit PosixFolderLock(int fd) : fd_(fd) {}
  ~PosixFolderLock() override {
    if (fd_ >= 0) close(fd_);
  }

 private:
  const int fd_;
};

class PosixFileSystem final : public FileSystem {
 public:
  explicit PosixFileSystem(PosixFsSeams seams) : seams_(std::move(seams)) {}

  int64_t FileSize(const std::string& path) override {
    struct stat info;
    if (path.empty() || !StatPath(path, info)) return kNothingThere;
    return SizeOf(info);
  }

  int64_t FileDate(const std::string& path) override {
    struct stat info;
    if (path.empty() || !StatPath(path, info)) return 0;
    return LocalSeconds(info.st_mtim.tv_sec);
  }

  FileFacts Facts(const std::string& path) override {
    struct stat info;
    if (path.empty() || !StatPath(path, info)) return {};
    return FactsOf(info);
  }

  FileFacts EntryFacts(const std::string& path) override {
    struct stat info;
    std::string trimmed(WithoutTrailingSeparators(path));
    if (path.empty() || lstat(trimmed.c_str(), &info) != 0) return {};
    return FactsOf(info);
  }

  std::optional<FileStamp> Stamp(const std::string& path, Links links) override {
    struct stat info;
    if (fstatat(AT_FDCWD, path.c_str(), &info, StatFlags(links)) != 0) return std::nullopt;
    return StampOf(info);
  }

  bool SyncFolder(const std::string& folder) override {
    UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.valid() && syncfs(fd.get()) == 0;
  }

  bool CreateEmptyFile(const std::string& path) override {
    UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    return fd.valid() && fd.Close();
  }

  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool held = errno == EWOULDBLOCK;
      close(fd);
      if (held) return nullptr;
      fd = -1;  // this file system cannot lock
    }
    return std::make_unique<PosixFolderLock>(fd);
  }

  // A shared lock is refused only while a run holds the folder's exclusive one; several
  // runs asking at once do not disturb each other.
  bool HeldByARun(const Folder& folder) override {
    const int fd = DescriptorOf(folder);
    if (fd < 0) return false;
    if (flock(fd, LOCK_SH | LOCK_NB) != 0) return errno == EWOULDBLOCK;
    flock(fd, LOCK_UN);
    return false;
  }

  PathState Lookup(const std::string& path) override {
    struct stat info;
    std::string trimmed(WithoutTrailingSeparators(path));
    if (lstat(trimmed.c_str(), &info) != 0) {
      return errno == ENOENT || errno == ENOTDIR ? PathState::kMissing : PathState::kUnknown;
    }
    return S_ISDIR(info.st_mode) ? PathState::kFolder : PathState::kFile;
  }

  bool CopyFile(const std::string& from, const std::string& to,
                const CopyControl& control) override {
    // The folders of a whole path are the caller's to choose: links on the way are followed.
    const std::string folder = FolderPart(to);
    UniqueFd into(folder.empty() ? -1 : open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.empty() && !into.valid()) return false;
    const Status copied =
        CopyFileSafely(FileAt{AT_FDCWD, from.c_str()}, into.valid() ? into.get() : AT_FDCWD,
                       FilePart(to), seams_, control);
    errno = copied.error();
    return copied.ok();
  }

  bool DeleteFile(const std::string& path) override { return unlink(path.c_str()) == 0; }

  bool CreateFolder(const std::string& path) override {
    std::string_view trimmed = WithoutTrailingSeparators(path);
    if (trimmed.empty()) return false;
    return mkdir(std::string(trimmed).c_str(), 0777) == 0;
  }

  bool RemoveFolder(const std::string& path) override { return rmdir(path.c_str()) == 0; }

  std::unique_ptr<FolderListing> List(const std::string& folder) override {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return ListDescriptor(fd, true);
  }

  std::optional<uint32_t> Crc32(const std::string& path) override {
    return Crc32Of(FileAt{AT_FDCWD, path.c_str()});
  }

  std::optional<std::string> Md5(const std::string& path) override {
    return Md5Of(FileAt{AT_FDCWD, path.c_str()});
  }

  std::pair<std::optional<uint32_t>, std::optional<uint32_t>> Crc32Pair(
      const std::string& first, const std::string& second) override {
    return sidekick_.Both(first, second, [this](const std::string& path) { return Crc32(path); });
  }

  std::pair<std::optional<std::string>, std::optional<std::string>> Md5Pair(
      const std::string& first, const std::string& second) override {
    return sidekick_.Both(first, second, [this](const std::string& path) { return Md5(path); });
  }

  Folder OpenFolder(const std::string& path) override { return OpenFolderAtPath(path); }

  Folder OpenFolderIn(const Folder& parent, const std::string& relative) override {
    return OpenFolderBelow(parent, relative, seams_.openNameByName);
  }

  std::unique_ptr<FolderListing> ListFolder(const Folder& folder) override {
    return ListOpenFolder(folder);
  }

  FileFacts FactsIn(const Folder& folder, const std::string& name, Links links,
                    Dates dates) override {
    // Only what is asked for: type and size, and the last-write time when dates are.
    const bool withDate = dates == Dates::kWith;
    struct statx info;
    if (statx(DescriptorOf(folder), name.c_str(), StatFlags(links) | AT_STATX_SYNC_AS_STAT,
              STATX_TYPE | STATX_SIZE | (withDate ? STATX_MTIME : 0), &info) != 0) {
      return {};
    }
    const mode_t mode = info.stx_mode;
    const EntryKind kind = S_ISLNK(mode) ? EntryKind::kLink : KindOf(mode);
    const int64_t date = withDate ? LocalSeconds(static_cast<time_t>(info.stx_mtime.tv_sec)) : 0;
    return {S_ISDIR(mode) ? kIsFolder : static_cast<int64_t>(info.stx_size), date, kind};
  }

  PathState LookupIn(const Folder& folder, const std::string& name) override {
    struct statx info;
    if (statx(DescriptorOf(folder), name.c_str(), AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT,
              STATX_TYPE, &info) != 0) {
      return errno == ENOENT || errno == ENOTDIR ? PathState::kMissing : PathState::kUnknown;
    }
    return S_ISDIR(info.stx_mode) ? PathState::kFolder : PathState::kFile;
  }

  std::optional<FileStamp> StampIn(const Folder& folder, const std::string& name,
                                   Links links) override {
    struct stat info;
    if (fstatat(DescriptorOf(folder), name.c_str(), &info, StatFlags(links)) != 0) {
      return std::nullopt;
    }
    return StampOf(info);
  }

  Status CreateFolderIn(const Folder& folder, const std::string& name) override {
    return Outcome(mkdirat(DescriptorOf(folder), name.c_str(), 0777) == 0);
  }

  Status DeleteFileIn(const Folder& folder, const std::string& name) override {
    return Outcome(unlinkat(DescriptorOf(folder), name.c_str(), 0) == 0);
  }

  Status RemoveFolderIn(const Folder& folder, const std::string& name) override {
    return Outcome(unlinkat(DescriptorOf(folder), name.c_str(), AT_REMOVEDIR) == 0);
  }

  Status CopyFileIn(const FilePair& pair, const CopyControl& control) override {
    return CopyFileSafely(SourceOf(pair), DescriptorOf(pair.backup), pair.name, seams_, control);
  }

  std::pair<std::optional<uint32_t>, std::optional<uint32_t>> Crc32PairIn(
      const FilePair& pair) override {
    return sidekick_.Both(SourceOf(pair), BackupOf(pair),
                          [this](const FileAt& file) { return Crc32Of(file); });
  }

  std::pair<std::optional<std::string>, std::optional<std::string>> Md5PairIn(
      const FilePair& pair) override {
    return sidekick_.Both(SourceOf(pair), BackupOf(pair),
                          [this](const FileAt& file) { return Md5Of(file); });
  }

  Sameness SameContentsIn(const FilePair& pair) override {
    return SameBytes(SourceOf(pair), BackupOf(pair));
  }

  Status OpenForAppendIn(const Folder& folder, const std::string& name,
                         std::unique_ptr<AppendFile>& file) override {
    // Never through a link. A pipe in its place is written to as before: the open waits for
    // its reader.
    const int fd = openat(DescriptorOf(folder), name.c_str(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return Status::Failure(errno);
    file = NewPosixAppendFile(fd);
    return Status();
  }

 private:
  static Status Outcome(bool ok) { return ok ? Status() : Status::Failure(errno); }

  // The pair's source file, read through a final link, and its backup, never.
  static FileAt SourceOf(const FilePair& pair) {
    return FileAt{DescriptorOf(pair.source), pair.name.c_str()};
  }
  static FileAt BackupOf(const FilePair& pair) {
    return FileAt{DescriptorOf(pair.backup), pair.name.c_str(), O_NOFOLLOW};
  }

  std::optional<uint32_t> Crc32Of(const FileAt& file) {
    Crc32Sum sum;
    bool ok = ReadWholeFile(file, [&](const char* data, size_t size) {
      sum.Add(data, size);
      return true;
    });
    if (!ok) return std::nullopt;
    return sum.Value();
  }

  std::optional<std::string> Md5Of(const FileAt& file) {
    thread_local Md5Sum sum;
    if (!sum.Reset()) return std::nullopt;
    bool ok =
        ReadWholeFile(file, [&](const char* data, size_t size) { return sum.Add(data, size); });
    std::string digest = sum.HexDigest();  // also ends the digest after a failed read
    if (!ok || digest.empty()) return std::nullopt;
    return digest;
  }

  // Feeds the whole regular file `file` to `consume` in large blocks; false when it
  // cannot be opened or read to its end, or when `consume` refuses a block.
  template <typename Consume>
  bool ReadWholeFile(const FileAt& file, Consume&& consume) {
    UniqueFd fd(OpenForReading(file));
    struct stat info;
    if (!fd.valid() || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    AdviseSequential(fd.get(), info.st_size);
    char* buffer = ThreadReadBuffer();
    for (int64_t done = 0;;) {
      int64_t count = ReadBlock(fd.get(), buffer, kSumBlockSize, done, seams_);
      if (count <= 0) return count == 0;
      if (!consume(buffer, static_cast<size_t>(count))) return false;
      done += count;
    }
  }

  const PosixFsSeams seams_;
  Sidekick sidekick_;
};

}  // namespace

std::unique_ptr<FileSystem> NewPosixFileSystem(PosixFsSeams seams) {
  return std::make_unique<PosixFileSystem>(std::move(seams));
}

FileSystem& RealFileSystem() {
  static PosixFileSystem fileSystem{PosixFsSeams{}};
  return fileSystem;
}

}  // namespace brisvel
