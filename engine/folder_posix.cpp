#include "engine/folder_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "core/text.h"
#include "engine/file_io_posix.h"

namespace brisvel {
namespace {

// An open folder. A folder that may be searched but not read (mode 311, say) is held by an
// O_PATH descriptor: its entries can still be looked up, opened and made, but not listed.
class PosixFolderHandle final : public FolderHandle {
 public:
  PosixFolderHandle(int fd, bool listable) : fd(fd), listable(listable) {}
  ~PosixFolderHandle() override { close(fd); }

  const int fd;
  const bool listable;
  // A listing after the first starts by going back to the first entry.
  std::atomic<bool> listed{false};
};

constexpr int kReadFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
constexpr int kSearchFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

Folder Held(int fd, bool listable, std::string path) {
  return Folder(std::move(path), std::make_shared<PosixFolderHandle>(fd, listable));
}

// Kernels before 5.6 and some sandboxes lack openat2; the walk then goes name by name.
std::atomic<bool> noOpenat2{false};

// `relative` below `at` opened with no link anywhere on the way; -1 with errno.
int OpenWithoutLinks(int at, const std::string& relative, int flags, bool nameByName) {
  if (!nameByName && !noOpenat2.load(std::memory_order_relaxed)) {
    struct open_how how = {};
    how.flags = static_cast<uint64_t>(flags | O_NOFOLLOW);
    how.resolve = RESOLVE_NO_SYMLINKS;
    const long fd = syscall(SYS_openat2, at, relative.c_str(), &how, sizeof how);
    if (fd >= 0 || (errno != ENOSYS && errno != EPERM)) return static_cast<int>(fd);
    noOpenat2.store(true, std::memory_order_relaxed);
  }
  // Name by name, each opened without following a link, each closed once the next is open.
  int current = at;
  for (size_t start = 0; start < relative.size();) {
    size_t end = relative.find(kPathSeparator, start);
    if (end == std::string::npos) end = relative.size();
    const bool last = end == relative.size();
    const std::string name = relative.substr(start, end - start);
    const int next = openat(current, name.c_str(), (last ? flags : kSearchFlags) | O_NOFOLLOW);
    const int error = errno;
    if (current != at) close(current);
    if (next < 0) {
      errno = error;
      return -1;
    }
    current = next;
    start = end + 1;
  }
  return current;
}

class DescriptorListing final : public FolderListing {
 public:
  DescriptorListing(int fd, bool owned, bool rewind) : fd_(fd), owned_(owned) {
    if (rewind && lseek(fd_, 0, SEEK_SET) != 0) error_ = errno;
  }
  ~DescriptorListing() override {
    if (owned_) close(fd_);
  }

  bool Next(FolderEntry& entry) override {
    for (;;) {
      if (offset_ >= filled_ && !Refill()) return false;
      const auto* record = reinterpret_cast<const struct dirent64*>(buffer_.get() + offset_);
      offset_ += record->d_reclen;
      const char* name = record->d_name;
      if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
      entry.name.assign(name);
      Classify(record->d_type, name, entry);
      return true;
    }
  }

  int Error() const override { return error_; }

 private:
  // As much as glibc's readdir asks for at once.
  static constexpr size_t kBufferSize = 32 << 10;

  bool Refill() {
    if (error_ != 0 || ended_) return false;
    for (;;) {
      const ssize_t count = getdents64(fd_, buffer_.get(), kBufferSize);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) error_ = errno;
      if (count <= 0) {
        ended_ = true;
        return false;
      }
      filled_ = static_cast<size_t>(count);
      offset_ = 0;
      return true;
    }
  }

  // The directory entry's own type answers without a look-up except for links and file
  // systems that do not fill it in.
  void Classify(unsigned char type, const char* name, FolderEntry& entry) const {
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

  void ClassifyByLookUp(const char* name, FolderEntry& entry) const {
    struct stat info;
    if (fstatat(fd_, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
      entry.kind = EntryKind::kOther;  // gone since it was listed, or not reachable
    } else if (S_ISLNK(info.st_mode)) {
      ClassifyLink(name, entry);
    } else {
      entry.kind = S_ISREG(info.st_mode)   ? EntryKind::kFile
                   : S_ISDIR(info.st_mode) ? EntryKind::kFolder
                                           : EntryKind::kOther;
    }
  }

  // A link counts as the file it leads to; one that leads anywhere else is never entered.
  void ClassifyLink(const char* name, FolderEntry& entry) const {
    struct stat target;
    bool toFile = fstatat(fd_, name, &target, 0) == 0 && S_ISREG(target.st_mode);
    entry.kind = toFile ? EntryKind::kFile : EntryKind::kLink;
    entry.isLink = true;
  }

  const int fd_;
  const bool owned_;
  std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
  size_t filled_ = 0;
  size_t offset_ = 0;
  int error_ = 0;
  bool ended_ = false;
};

PosixFolderHandle* HandleOf(const Folder& folder) {
  return static_cast<PosixFolderHandle*>(folder.Handle());
}

}  // namespace

int DescriptorOf(const Folder& folder) {
  const PosixFolderHandle* handle = HandleOf(folder);
  return handle != nullptr ? handle->fd : -1;
}

Folder OpenFolderAtPath(const std::string& path) {
  if (path.empty()) return Folder::NotOpened(ENOENT);
  int fd = open(path.c_str(), kReadFlags);
  bool listable = true;
  if (fd < 0 && errno == EACCES) {
    fd = open(path.c_str(), kSearchFlags);
    listable = false;
  }
  if (fd < 0) return Folder::NotOpened(errno);
  return Held(fd, listable, WithTrailingSeparator(path));
}

Folder OpenFolderBelow(const Folder& parent, const std::string& relativeText, bool nameByName) {
  if (!parent) return Folder::NotOpened(parent.Error() != 0 ? parent.Error() : EBADF);
  const std::string relative(WithoutTrailingSeparators(relativeText));
  if (relative.empty() || relative == "/") return parent;
  const int at = DescriptorOf(parent);
  int fd = OpenWithoutLinks(at, relative, kReadFlags, nameByName);
  bool listable = true;
  if (fd < 0 && errno == EACCES) {
    fd = OpenWithoutLinks(at, relative, kSearchFlags, nameByName);
    listable = false;
  }
  if (fd < 0) return Folder::NotOpened(errno);
  return Held(fd, listable, parent.Path() + relative + kPathSeparator);
}

std::unique_ptr<FolderListing> ListOpenFolder(const Folder& folder) {
  PosixFolderHandle* handle = HandleOf(folder);
  if (handle == nullptr) return NoListing(EBADF);
  if (!handle->listable) return NoListing(EACCES);
  const bool again = handle->listed.exchange(true, std::memory_order_relaxed);
  return std::make_unique<DescriptorListing>(handle->fd, false, again);
}

std::unique_ptr<FolderListing> ListDescriptor(int fd, bool owned) {
  return std::make_unique<DescriptorListing>(fd, owned, false);
}

}  // namespace brisvel
