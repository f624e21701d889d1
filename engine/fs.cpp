#include "engine/fs.h"

#include <cerrno>
#include <cstdio>

#include "core/open_file.h"
#include "core/text.h"
#include "engine/real_path.h"

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

std::unique_ptr<FolderLock> FileSystem::LockFolder(const std::string&) {
  return std::make_unique<FolderLock>();
}

bool FileSystem::HeldByARun(const Folder&) {
  return false;
}

std::pair<std::optional<uint32_t>, std::optional<uint32_t>> FileSystem::Crc32Pair(
    const std::string& first, const std::string& second) {
  return {Crc32(first), Crc32(second)};
}

std::pair<std::optional<std::string>, std::optional<std::string>> FileSystem::Md5Pair(
    const std::string& first, const std::string& second) {
  return {Md5(first), Md5(second)};
}

std::optional<std::string> FileSystem::RealPath(const std::string& path) {
  return RealPathOnDisk(path);
}

bool FileSystem::SameFolder(const std::string& a, const std::string& b) {
  return SameFolderOnDisk(a, b);
}

// The defaults of the walk by open folder: a Folder is its path, and every call goes to the
// path call of the same meaning.

namespace {

// The reason the path call just made left behind; some reason even when it left none.
Status LastFailure() {
  return Status::Failure(errno != 0 ? errno : EIO);
}

Status Outcome(bool ok) {
  return ok ? Status() : LastFailure();
}

// A C stream in append mode.
class StdioAppendFile final : public AppendFile {
 public:
  explicit StdioAppendFile(std::FILE* file) : file_(file) {}
  ~StdioAppendFile() override {
    if (file_ != nullptr) std::fclose(file_);
  }
  Status Append(std::string_view data) override {
    if (std::fwrite(data.data(), 1, data.size(), file_) == data.size()) return Status();
    return LastFailure();
  }
  Status Close() override {
    Status status = Outcome(std::fflush(file_) == 0);
    if (std::fclose(file_) != 0 && status.ok()) status = LastFailure();
    file_ = nullptr;
    return status;
  }

 private:
  std::FILE* file_;
};

}  // namespace

std::unique_ptr<FolderListing> NoListing(int error) {
  class Ended final : public FolderListing {
   public:
    explicit Ended(int error) : error_(error) {}
    bool Next(FolderEntry&) override { return false; }
    int Error() const override { return error_; }

   private:
    const int error_;
  };
  return std::make_unique<Ended>(error);
}

Folder FileSystem::OpenFolder(const std::string& path) {
  const int64_t size = path.empty() ? kNothingThere : FileSize(path);
  if (size == kIsFolder) return Folder(WithTrailingSeparator(path), nullptr);
  return Folder::NotOpened(size == kNothingThere ? ENOENT : ENOTDIR);
}

Folder FileSystem::OpenFolderIn(const Folder& parent, const std::string& relative) {
  if (!parent) return Folder::NotOpened(parent.Error() != 0 ? parent.Error() : EBADF);
  std::string path = parent.Path();
  // Each part must be a folder itself, not a link to one.
  for (size_t start = 0; start < relative.size();) {
    size_t end = start;
    while (end < relative.size() && !IsPathSeparator(relative[end])) ++end;
    if (end == start) {  // a repeated or final separator
      ++start;
      continue;
    }
    path.append(relative, start, end - start);
    switch (Lookup(path)) {
      case PathState::kFolder:
        break;
      case PathState::kMissing:
        return Folder::NotOpened(ENOENT);
      case PathState::kFile:
        return Folder::NotOpened(EntryFacts(path).kind == EntryKind::kLink ? ELOOP : ENOTDIR);
      case PathState::kUnknown:
        return Folder::NotOpened(EACCES);
    }
    path += kPathSeparator;
    start = end + 1;
  }
  return Folder(path, nullptr);
}

std::unique_ptr<FolderListing> FileSystem::ListFolder(const Folder& folder) {
  errno = 0;
  std::unique_ptr<FolderListing> listing = folder ? List(folder.Path()) : nullptr;
  if (!listing) return NoListing(LastFailure().error());
  return listing;
}

FileFacts FileSystem::FactsIn(const Folder& folder, const std::string& name, Links links, Dates) {
  const std::string path = folder.Path() + name;
  return links == Links::kFollow ? Facts(path) : EntryFacts(path);
}

PathState FileSystem::LookupIn(const Folder& folder, const std::string& name) {
  return Lookup(folder.Path() + name);
}

std::optional<FileStamp> FileSystem::StampIn(const Folder& folder, const std::string& name,
                                             Links links) {
  return Stamp(folder.Path() + name, links);
}

Status FileSystem::CreateFolderIn(const Folder& folder, const std::string& name) {
  errno = 0;
  return Outcome(CreateFolder(folder.Path() + name + kPathSeparator));
}

Status FileSystem::DeleteFileIn(const Folder& folder, const std::string& name) {
  errno = 0;
  return Outcome(DeleteFile(folder.Path() + name));
}

Status FileSystem::RemoveFolderIn(const Folder& folder, const std::string& name) {
  errno = 0;
  return Outcome(RemoveFolder(folder.Path() + name + kPathSeparator));
}

Status FileSystem::CopyFileIn(const FilePair& pair, const CopyControl& control) {
  errno = 0;
  if (CopyFile(pair.SourcePath(), pair.BackupPath(), control)) return Status();
  return Status::Failure(errno);  // 0 stays 0: no call failed
}

std::pair<std::optional<uint32_t>, std::optional<uint32_t>> FileSystem::Crc32PairIn(
    const FilePair& pair) {
  return Crc32Pair(pair.SourcePath(), pair.BackupPath());
}

std::pair<std::optional<std::string>, std::optional<std::string>> FileSystem::Md5PairIn(
    const FilePair& pair) {
  return Md5Pair(pair.SourcePath(), pair.BackupPath());
}

Sameness FileSystem::SameContentsIn(const FilePair& pair) {
  auto [source, backup] = Md5PairIn(pair);
  if (!source || !backup) return Sameness::kUnreadable;
  return *source == *backup ? Sameness::kSame : Sameness::kDifferent;
}

Status FileSystem::OpenForAppendIn(const Folder& folder, const std::string& name,
                                   std::unique_ptr<AppendFile>& file) {
  errno = 0;
  // Binary, so that what is written is what lands in the file, whatever the platform.
  std::FILE* stream = OpenFile(folder.Path() + name, "ab");
  if (stream == nullptr) return LastFailure();
  file = std::make_unique<StdioAppendFile>(stream);
  return Status();
}

}  // namespace brisvel
