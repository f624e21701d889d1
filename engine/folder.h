// A folder that a walk has opened once and names its entries relative to. On Linux the
// folder itself is held open: it stays the folder that was opened, and checked, even when a
// folder on its path is swapped for a link afterwards, and the kernel does not walk its path
// again for every entry. Where the file system works by path (Windows, tests' fakes), it is
// the folder's path alone.
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace brisvel {

// The file system's own hold on an open folder (a descriptor on Linux). Only the file system
// that opened it looks inside.
class FolderHandle {
 public:
  virtual ~FolderHandle() = default;
};

// Copies of a Folder share one open folder, which closes with the last of them: a copy under
// way keeps its folders open while the walk goes on.
class Folder {
 public:
  // A folder that is not open, with no reason known.
  Folder() = default;
  // An open folder at `path` (ending in a separator); `handle` may be null where the file
  // system works by path.
  Folder(std::string path, std::shared_ptr<FolderHandle> handle)
      : path_(std::move(path)), handle_(std::move(handle)), open_(true) {}

  // A folder that could not be opened because of `error` (an errno value).
  static Folder NotOpened(int error) {
    Folder folder;
    folder.error_ = error;
    return folder;
  }

  bool IsOpen() const { return open_; }
  explicit operator bool() const { return open_; }
  // Why the folder is not open; 0 while it is.
  int Error() const { return error_; }
  // The folder's path with its final separator ("" when it is not open).
  const std::string& Path() const { return path_; }
  FolderHandle* Handle() const { return handle_.get(); }

 private:
  std::string path_;
  std::shared_ptr<FolderHandle> handle_;
  int error_ = 0;
  bool open_ = false;
};

// A file of the source and its place in the backup: one name in two open folders. The
// source's entry is read through a final link (a link to a file is backed up as the file);
// the backup's never is.
struct FilePair {
  const Folder& source;
  const Folder& backup;
  const std::string& name;

  std::string SourcePath() const { return source.Path() + name; }
  std::string BackupPath() const { return backup.Path() + name; }
};

}  // namespace brisvel
