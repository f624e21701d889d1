#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "core/atomic_file.h"
#include "core/text.h"
#include "core/write_all.h"

namespace brisvel {

// The file that a save replaces: the target of a symbolic link, otherwise `path` itself.
static std::string ReplacedPath(const std::string& path) {
  struct stat facts;
  if (lstat(path.c_str(), &facts) != 0 || !S_ISLNK(facts.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;  // a dangling link is replaced by the file
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// Creates a new, hidden file beside `target`; returns its descriptor (or -1) and its name.
// The name starts like the target's, cut so that a long target name still leaves room.
static int CreateTemporary(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  std::string stem = FolderPart(target) + "." + FilePart(target).substr(0, 100) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = stem + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Best effort: a file system without owners or modes, or a user without the right to give a
// file away, must not make the save fail.
static void KeepOwnerAndMode(const std::string& target, int fd) {
  struct stat facts;
  if (stat(target.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode)) return;
  int ignored = fchown(fd, facts.st_uid, facts.st_gid);
  ignored = fchmod(fd, facts.st_mode & 07777);
  (void)ignored;
}

// Makes the rename itself survive a crash. Not every file system can; that is no failure.
static void SyncFolder(const std::string& folder) {
  int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string target = ReplacedPath(path);
  std::string temporary;
  int fd = CreateTemporary(target, temporary);
  if (fd < 0) return false;
  KeepOwnerAndMode(target, fd);
  bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolder(FolderPart(target));
  return true;
}

}  // namespace brisvel
