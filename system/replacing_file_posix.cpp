#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/write_all.h"
#include "system/replacing_file.h"

namespace brisvel {

struct ReplacingFileState {
  std::string path;
  std::string fresh;
  int fd = -1;
};

ReplacingFile::ReplacingFile() : state_(std::make_unique<ReplacingFileState>()) {}

ReplacingFile::~ReplacingFile() {
  if (state_->fd < 0) return;
  close(state_->fd);
  unlink(state_->fresh.c_str());
}

static bool IsAbsentOrRegular(const std::string& path) {
  struct stat facts;
  if (lstat(path.c_str(), &facts) != 0) return errno == ENOENT;
  return S_ISREG(facts.st_mode);
}

bool ReplacingFile::Open(const std::string& path) {
  if (state_->fd >= 0 || !IsAbsentOrRegular(path)) return false;
  std::string fresh = path + ".XXXXXX";
  // mkstemp makes the file with O_EXCL and mode 0600: nothing planted is opened.
  int fd = mkostemp(fresh.data(), O_CLOEXEC);
  if (fd < 0) return false;
  state_->path = path;
  state_->fresh = fresh;
  state_->fd = fd;
  return true;
}

bool ReplacingFile::Write(std::string_view bytes) {
  return WriteAll(state_->fd, bytes);
}

bool ReplacingFile::Commit() {
  if (state_->fd < 0) return false;
  // Checked once more: a link planted meanwhile is not replaced either.
  bool ok = close(state_->fd) == 0 && IsAbsentOrRegular(state_->path) &&
            rename(state_->fresh.c_str(), state_->path.c_str()) == 0;
  if (!ok) unlink(state_->fresh.c_str());
  state_->fd = -1;
  return ok;
}

}  // namespace brisvel
