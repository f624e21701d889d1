// The file system through the wide Win32 calls. Paths are UTF-8 inside the program and
// UTF-16 at the call, with the long-path prefix where a path needs it.
#include "engine/fs_win32.h"

#include <atomic>
#include <string>

#include "core/text.h"
#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "engine/checksum.h"
#include "engine/file_io_win32.h"
#include "engine/sidekick.h"

namespace brisvel {
namespace {

// 100-nanosecond ticks between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpochTicks = 116444736000000000LL;
constexpr int64_t kTicksPerSecond = 10000000LL;

int64_t Ticks(const FILETIME& time) {
  return static_cast<int64_t>((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

// `time` (UTC) moved by the local UTC offset in force at that time, as seconds since 1970;
// 0 when it cannot be converted.
int64_t LocalSeconds(const FILETIME& time) {
  SYSTEMTIME utc;
  SYSTEMTIME local;
  FILETIME shifted;
  if (!FileTimeToSystemTime(&time, &utc) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
      !SystemTimeToFileTime(&local, &shifted)) {
    return 0;
  }
  return (Ticks(shifted) - kEpochTicks) / kTicksPerSecond;
}

bool IsFolder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A symbolic link or a junction; other reparse points (cloud placeholders, deduplicated
// files) are ordinary files and folders to a backup.
bool IsLinkTag(DWORD tag) {
  return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT;
}

// "C:" or "C:\": a drive given by its letter.
bool IsDrive(std::string_view path) {
  return (path.size() == 2 || path.size() == 3) && path[1] == ':' &&
         (path.size() == 2 || IsPathSeparator(path[2]));
}

// `path` without trailing separators, keeping the separator of a drive's root ("C:\").
std::string WithoutTrailing(std::string_view path) {
  size_t end = path.size();
  while (end > 1 && IsPathSeparator(path[end - 1])) --end;
  if (end == 2 && path.size() > 2 && path[1] == ':') ++end;
  return std::string(path.substr(0, end));
}

FileFacts FactsOfPath(const std::string& path) {
  if (path.empty()) return {};
  if (IsDrive(path)) {
    const std::wstring root = Wide(path.substr(0, 2)) + L"\\";
    return {GetDriveTypeW(root.c_str()) > DRIVE_NO_ROOT_DIR ? kIsFolder : kNothingThere, 0};
  }
  const std::string trimmed = WithoutTrailing(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WidePath(trimmed).c_str(), GetFileExInfoStandard, &data)) {
    // A share's root ("\\server\share") answers only to the attribute call.
    const bool share =
        trimmed.size() > 2 && IsPathSeparator(trimmed[0]) && IsPathSeparator(trimmed[1]);
    const DWORD attributes =
        share ? GetFileAttributesW(WidePath(trimmed).c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes != INVALID_FILE_ATTRIBUTES && IsFolder(attributes)) return {kIsFolder, 0};
    return {};
  }
  const int64_t localDate = LocalSeconds(data.ftLastWriteTime);
  if (IsFolder(data.dwFileAttributes)) return {kIsFolder, localDate};
  return {static_cast<int64_t>((uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow),
          localDate};
}

class Win32Listing final : public FolderListing {
 public:
  Win32Listing(HANDLE find, const WIN32_FIND_DATAW& first) : find_(find), data_(first) {}
  ~Win32Listing() override { FindClose(find_); }

  bool Next(FolderEntry& entry) override {
    for (;;) {
      if (!pending_ && !FindNextFileW(find_, &data_)) return false;
      pending_ = false;
      const std::wstring_view name(data_.cFileName);
      if (name == L"." || name == L"..") continue;
      entry.name = Utf8(name);
      Classify(entry);
      return true;
    }
  }

 private:
  void Classify(FolderEntry& entry) const {
    const DWORD attributes = data_.dwFileAttributes;
    entry.isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsLinkTag(data_.dwReserved0);
    if (IsFolder(attributes)) {
      // A link to a folder is never entered.
      entry.kind = entry.isLink ? EntryKind::kLink : EntryKind::kFolder;
    } else if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
      entry.kind = EntryKind::kOther;
    } else {
      entry.kind = EntryKind::kFile;
    }
  }

  HANDLE find_;
  WIN32_FIND_DATAW data_;
  bool pending_ = true;  // the entry that FindFirstFileExW returned
};

// Holds a destination through a handle of the folder opened with the right to add files,
// a right it does not share: a second run's same open fails with a sharing violation, while
// everyone's listing, creating, renaming and deleting inside the folder go on, since none
// of those open the folder itself for that right.
class Win32FolderLock final : public FolderLock {
 public:
  explicit Win32FolderLock(HANDLE folder) : folder_(folder) {}

 private:
  UniqueHandle folder_;
};

class Win32FileSystem final : public FileSystem {
 public:
  explicit Win32FileSystem(Win32FsSeams seams) : seams_(seams) {}

  int64_t FileSize(const std::string& path) override { return FactsOfPath(path).size; }

  int64_t FileDate(const std::string& path) override {
    if (IsDrive(path)) return 0;
    return FactsOfPath(path).localDate;
  }

  FileFacts Facts(const std::string& path) override { return FactsOfPath(path); }

  PathState Lookup(const std::string& path) override {
    const DWORD attributes = GetFileAttributesW(WidePath(WithoutTrailing(path)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                     error == ERROR_INVALID_NAME
                 ? PathState::kMissing
                 : PathState::kUnknown;
    }
    // A link to a folder counts as a file: it is removed, never entered.
    if (IsFolder(attributes) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      return PathState::kFolder;
    }
    return PathState::kFile;
  }

  std::optional<FileStamp> Stamp(const std::string& path, Links links) override {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS |
                        (links == Links::kEntryItself ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    UniqueHandle file(CreateFileW(WidePath(path).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    FileStamp stamp;
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        !StampOf(file.get(), stamp)) {
      return std::nullopt;
    }
    return stamp;
  }

  using FileSystem::CopyFile;
  bool CopyFile(const std::string& from, const std::string& to,
                const CopyControl& control) override {
    return CopyFileSafely(from, to, seams_, control);
  }

  // Every copy is flushed to the disk before it replaces the old one, so there is nothing
  // left to write here.
  bool SyncFolder(const std::string&) override { return true; }

  std::unique_ptr<FolderLock> LockFolder(const std::string& folder) override {
    HANDLE handle = CreateFileW(WidePath(WithoutTrailing(folder)).c_str(), FILE_ADD_FILE,
                                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_SHARING_VIOLATION) return nullptr;
      handle = nullptr;  // a folder this user may not add to: the run reports its own errors
    }
    return std::make_unique<Win32FolderLock>(handle);
  }

  // The same right to add files, shared with everyone: refused only while a run's lock,
  // which shares it with no one, holds the folder; several runs asking at once do not
  // disturb each other.
  bool HeldByARun(const Folder& folder) override {
    if (!folder) return false;
    UniqueHandle handle(CreateFileW(WidePath(WithoutTrailing(folder.Path())).c_str(), FILE_ADD_FILE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !handle.valid() && GetLastError() == ERROR_SHARING_VIOLATION;
  }

  bool CreateEmptyFile(const std::string& path) override {
    UniqueHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() || FailWithLastError();
  }

  bool DeleteFile(const std::string& path) override {
    return DeleteFileW(WidePath(path).c_str()) != 0 || FailWithLastError();
  }

  bool CreateFolder(const std::string& path) override {
    // Windows drops trailing blanks from names itself; they are removed first, with the
    // separators, so that the folder made is the folder named.
    size_t end = path.size();
    while (end > 0 && (path[end - 1] == ' ' || IsPathSeparator(path[end - 1]))) --end;
    if (end == 0) return false;
    return CreateDirectoryW(WidePath(path.substr(0, end)).c_str(), nullptr) != 0 ||
           FailWithLastError();
  }

  bool RemoveFolder(const std::string& path) override {
    return RemoveDirectoryW(WidePath(WithoutTrailing(path)).c_str()) != 0 || FailWithLastError();
  }

  std::unique_ptr<FolderListing> List(const std::string& folder) override {
    WIN32_FIND_DATAW first;
    const std::wstring pattern = WidePath(WithTrailingSeparator(folder) + "*");
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &first, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
      FailWithLastError();
      return nullptr;
    }
    return std::make_unique<Win32Listing>(find, first);
  }

  std::optional<uint32_t> Crc32(const std::string& path) override {
    Crc32Sum sum;
    bool ok = ReadWholeFile(path, seams_, [&](const char* data, size_t size) {
      sum.Add(data, size);
      return true;
    });
    if (!ok) return std::nullopt;
    return sum.Value();
  }

  std::optional<std::string> Md5(const std::string& path) override {
    thread_local Md5Sum sum;
    if (!sum.Reset()) return std::nullopt;
    bool ok = ReadWholeFile(path, seams_,
                            [&](const char* data, size_t size) { return sum.Add(data, size); });
    std::string digest = sum.HexDigest();
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
  const Win32FsSeams seams_;
  Sidekick sidekick_;
};

}  // namespace

std::unique_ptr<FileSystem> NewWin32FileSystem(Win32FsSeams seams) {
  return std::make_unique<Win32FileSystem>(seams);
}

FileSystem& RealFileSystem() {
  static Win32FileSystem fileSystem{Win32FsSeams{}};
  return fileSystem;
}

}  // namespace brisvel
