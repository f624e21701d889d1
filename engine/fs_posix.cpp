#include "engine/fs_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "core/text.h"
#include "engine/checksum.h"
#include "engine/file_io_posix.h"
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

class PosixListing final : public FolderListing {
 public:
  explicit PosixListing(DIR* dir) : dir_(dir) {}
  ~PosixListing() override { closedir(dir_); }

  bool Next(FolderEntry& entry) override {
    while (const dirent* found = readdir(dir_)) {
      const char* name = found->d_name;
      if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
      entry.name.assign(name);
      Classify(found->d_type, name, entry);
      return true;
    }
    return false;
  }

 private:
  // The directory entry's own type answers without a look-up except for links and file
  // systems that do not fill it in.
  void Classify(unsigned char type, const char* name, FolderEntry& entry) {
    entry.isLink = false;
    switch (type) {
      case DT_REG:
        entry.kind = EntryKind::kFile;
        return;
      case DT_DIR:
        entry.kind = EntryKind::kFolder;
        return;
      case DT_LNK:
        ClassifyLink(name, entry);
        return;
      case DT_UNKNOWN:
        ClassifyByLookUp(name, entry);
        return;
      default:
        entry.kind = EntryKind::kOther;
        return;
    }
  }

  void ClassifyByLookUp(const char* name, FolderEntry& entry) {
    struct stat info;
    if (fstatat(dirfd(dir_), name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
      entry.kind = EntryKind::kOther;  // gone since it was listed, or not reachable
    } else if (S_ISLNK(info.st_mode)) {
      ClassifyLink(name, entry);
    } else {
      entry.kind = KindOf(info.st_mode);
    }
  }

  // A link counts as the file it leads to; one that leads anywhere else is never entered.
  void ClassifyLink(const char* name, FolderEntry& entry) {
    struct stat target;
    bool toFile = fstatat(dirfd(dir_), name, &target, 0) == 0 && S_ISREG(target.st_mode);
    entry.kind = toFile ? EntryKind::kFile : EntryKind::kLink;
    entry.isLink = true;
  }

  DIR* dir_;
};

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

// Entries of one open folder, looked up relative to it, so that the folder's own path is not
// walked again for every entry.
class PosixFolderFacts final : public FolderFacts {
 public:
  PosixFolderFacts(int folder, Links links) : folder_(folder), flags_(StatFlags(links)) {}
  ~PosixFolderFacts() override { close(folder_); }
  FileFacts Of(const std::string& name) override {
    struct stat info;
    if (name.empty() || fstatat(folder_, name.c_str(), &info, flags_) != 0) return {};
    return FactsOf(info);
  }

 private:
  const int folder_;
  const int flags_;
};

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

// A folder that cannot be opened has no entries to look up.
class NoFolderFacts final : public FolderFacts {
 public:
  FileFacts Of(const std::string&) override { return {}; }
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

  std::unique_ptr<FolderFacts> FactsIn(const std::string& folder) override {
    return OpenFolderFacts(folder, Links::kFollow);
  }

  std::unique_ptr<FolderFacts> EntryFactsIn(const std::string& folder) override {
    return OpenFolderFacts(folder, Links::kEntryItself);
  }

  std::optional<FileStamp> Stamp(const std::string& path, Links links) override {
    struct stat info;
    if (fstatat(AT_FDCWD, path.c_str(), &info, StatFlags(links)) != 0) return std::nullopt;
    return StampOf(info);
  }

  bool SameContents(const std::string& first, const std::string& second) override {
    return SameBytes(first, second);
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
    return CopyFileSafely(from, to, seams_, control);
  }

  bool DeleteFile(const std::string& path) override { return unlink(path.c_str()) == 0; }

  bool CreateFolder(const std::string& path) override {
    std::string_view trimmed = WithoutTrailingSeparators(path);
    if (trimmed.empty()) return false;
    return mkdir(std::string(trimmed).c_str(), 0777) == 0;
  }

  bool RemoveFolder(const std::string& path) override { return rmdir(path.c_str()) == 0; }

  std::unique_ptr<FolderListing> List(const std::string& folder) override {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return nullptr;
    return std::make_unique<PosixListing>(dir);
  }

  std::optional<uint32_t> Crc32(const std::string& path) override {
    Crc32Sum sum;
    bool ok = ReadWholeFile(path, [&](const char* data, size_t size) {
      sum.Add(data, size);
      return true;
    });
    if (!ok) return std::nullopt;
    return sum.Value();
  }

  std::optional<std::string> Md5(const std::string& path) override {
    thread_local Md5Sum sum;
    if (!sum.Reset()) return std::nullopt;
    bool ok =
        ReadWholeFile(path, [&](const char* data, size_t size) { return sum.Add(data, size); });
    std::string digest = sum.HexDigest();  // also ends the digest after a failed read
    if (!ok || digest.empty()) return std::nullopt;
    return digest;
  }

  std::pair<std::optional<uint32_t>, std::optional<uint32_t>> Crc32Pair(
      const std::string& first, const std::string& second) override {
    return sidekick_.Both(first, second, [this](const std::string& path) { return Crc32(path); });
  }

  std::pair<std::optional<std::string>, std::optional<std::string>> Md5Pair(
      const std::string& first, const std::string& second) override {
    return sidekick_.Both(first, second, [this](const std::string& path) { return Md5(path); });
  }

 private:
  std::unique_ptr<FolderFacts> OpenFolderFacts(const std::string& folder, Links links) {
    int fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      // Only a folder that surely is not there may answer "nothing there" for every entry.
      if (errno == ENOENT || errno == ENOTDIR) return std::make_unique<NoFolderFacts>();
      return links == Links::kFollow ? FileSystem::FactsIn(folder)
                                     : FileSystem::EntryFactsIn(folder);
    }
    return std::make_unique<PosixFolderFacts>(fd, links);
  }

  // Feeds the whole regular file at `path` to `consume` in large blocks; false when it
  // cannot be opened or read to its end, or when `consume` refuses a block.
  template <typename Consume>
  bool ReadWholeFile(const std::string& path, Consume&& consume) {
    UniqueFd fd(OpenForReading(path.c_str()));
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
