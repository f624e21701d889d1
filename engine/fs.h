// The file-system services a run rests on. The engine reaches the disk only through
// FileSystem, so tests can put a fake or a fault injector in its place.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/folder.h"
#include "engine/status.h"

namespace brisvel {

// Results of FileSize other than a size.
inline constexpr int64_t kNothingThere = -1;
inline constexpr int64_t kIsFolder = -2;

enum class EntryKind : uint8_t {
  kFile,    // a regular file, or a symbolic link that leads to one
  kFolder,  // a real folder (a link to a folder is kLink: scans never enter it)
  kLink,    // a symbolic link that leads to no regular file
  kOther,   // devices, pipes, sockets: never backed up
};

struct FolderEntry {
  std::string name;  // never "." or ".."
  EntryKind kind = EntryKind::kFile;
  bool isLink = false;  // the entry itself is a symbolic link
};

// An open folder listing. Several may be open at once, of different folders.
class FolderListing {
 public:
  virtual ~FolderListing() = default;
  // The next entry in the order the file system returns them; false at the end.
  virtual bool Next(FolderEntry& entry) = 0;
  // Once Next has said false: why the listing ended before its last entry, or 0 when it
  // reached it.
  virtual int Error() const { return 0; }
};

// What a path definitely is. kUnknown means it could not be found out (no permission, I/O
// error): callers that delete must treat it as existing.
enum class PathState : uint8_t { kMissing, kFile, kFolder, kUnknown };

// Size and date of a path from one metadata look-up, with the meanings of FileSize and
// FileDate.
struct FileFacts {
  int64_t size = kNothingThere;
  int64_t localDate = 0;
  EntryKind kind = EntryKind::kFile;  // meaningful only when something is there
};

// One state of a file: while its stamp stays the same, a copy made in that state still holds
// exactly the file's contents. Device and inode tell whether two paths are one file.
struct FileStamp {
  int64_t size = 0;
  int64_t modifiedNs = 0;
  int64_t changedNs = 0;
  uint64_t device = 0;
  uint64_t inode = 0;

  bool operator==(const FileStamp&) const = default;
  bool SameFile(const FileStamp& other) const {
    return device == other.device && inode == other.inode;
  }
};

// Whether a look-up follows a final symbolic link or describes the entry itself.
enum class Links : uint8_t { kFollow, kEntryItself };

// Whether a look-up of facts gives the last-write date, which costs a conversion to local
// time; without it, FileFacts::localDate stays 0.
enum class Dates : uint8_t { kWithout, kWith };

// How a copy may be stopped, and what it reports.
struct CopyControl {
  // Asked between blocks of data: true stops the copy, which then fails.
  std::function<bool()> interrupted;
  // Receives the source's stamp from the moment the copy read it (set only on success).
  FileStamp* copiedFrom = nullptr;
  // The backup held nothing of this name when the copy was decided, so the copy may be put
  // in place without a temporary name. Whatever appeared there meanwhile is still replaced
  // only the usual way.
  bool backupMissing = false;
};

// What a comparison of two files' bytes found.
enum class Sameness : uint8_t { kSame, kDifferent, kUnreadable };

// A file open for appending. Writes may be held back until Close.
class AppendFile {
 public:
  virtual ~AppendFile() = default;
  virtual Status Append(std::string_view data) = 0;
  // Writes out what was held back and closes the file.
  virtual Status Close() = 0;
};

// Held while a run works in a destination folder; releases it when destroyed.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

// Errors: calls that return a Status, a Folder or a listing carry the reason for a failure
// with them, and the engine takes reasons only from those. The others return only whether
// they failed; they leave the platform's error number in errno, which only this class's own
// defaults read, right after the call.
//
// Threads: one run calls its FileSystem from several threads at once: the run's worker
// (scans, comparisons, deletions), the copy workers (CopyFileIn), the destination look-ahead
// (OpenFolderIn, FactsIn) and the checksum helper (Crc32 and Md5 of the second file of a
// pair). So every member may run concurrently with any other, on different paths, and an
// implementation keeps no unguarded mutable state. A Folder may serve several threads at
// once, but only one listing of it may be open at a time; a FolderListing serves only the
// thread that opened it.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Size of the file at `path` (following links); kNothingThere when nothing is there (also
  // for an empty path), kIsFolder for a folder. Trailing separators are ignored.
  virtual int64_t FileSize(const std::string& path) = 0;

  // Last-write time shifted to local time, as seconds since 1970-01-01 00:00:00 of that
  // local time; 0 when it cannot be read.
  virtual int64_t FileDate(const std::string& path) = 0;

  // FileSize and FileDate of `path` together, from one look-up.
  virtual FileFacts Facts(const std::string& path) = 0;

  // Facts of the entry at `path` itself: a final link is not followed and has kind kLink.
  virtual FileFacts EntryFacts(const std::string& path) { return Facts(path); }

  // What is at `path` itself, without following a final link (a link counts as kFile).
  virtual PathState Lookup(const std::string& path) = 0;

  // The stamp of the regular file at `path`; nullopt when there is none (with kEntryItself,
  // also when `path` is a link).
  virtual std::optional<FileStamp> Stamp(const std::string& path, Links links) = 0;

  // Copies `from` onto `to`, replacing an existing file only once the copy is complete: a
  // failed copy leaves the old `to` as it was and no temporary file behind. The copy takes
  // the source's last-write time and permission bits. A source that changes while it is
  // read makes the copy fail. True on success.
  virtual bool CopyFile(const std::string& from, const std::string& to,
                        const CopyControl& control) = 0;
  bool CopyFile(const std::string& from, const std::string& to) {
    return CopyFile(from, to, CopyControl{});
  }

  // Writes everything written so far on the file system that holds `folder` to stable
  // storage. True on success.
  virtual bool SyncFolder(const std::string& folder) = 0;

  // Creates an empty file at `path`; fails when anything is there already.
  virtual bool CreateEmptyFile(const std::string& path) = 0;

  // Takes the run lock of `folder` without waiting; nullptr while another holder has it. A
  // folder whose file system cannot lock gets a lock that holds nothing.
  virtual std::unique_ptr<FolderLock> LockFolder(const std::string& folder);

  // True when a run holds the lock of the open `folder` right now. Asking keeps nothing,
  // yet for that instant a run that starts in the folder finds it busy. False where locks
  // cannot be asked about (a folder that may be searched but not read, a file system that
  // cannot lock).
  virtual bool HeldByARun(const Folder& folder);

  // Removes the file (or link itself) at `path`. True on success.
  virtual bool DeleteFile(const std::string& path) = 0;

  // Creates the last folder of `path` after removing trailing separators (trailing blanks
  // belong to the name where the platform allows them). True when it was created.
  virtual bool CreateFolder(const std::string& path) = 0;

  // Removes the empty folder at `path`. True on success.
  virtual bool RemoveFolder(const std::string& path) = 0;

  // Opens the listing of `folder`; nullptr when it cannot be opened.
  virtual std::unique_ptr<FolderListing> List(const std::string& folder) = 0;

  // CRC-32 of the whole file; nullopt when it cannot be read to the end.
  virtual std::optional<uint32_t> Crc32(const std::string& path) = 0;

  // MD5 of the whole file as 32 lower-case hexadecimal characters; nullopt when it cannot
  // be read to the end.
  virtual std::optional<std::string> Md5(const std::string& path) = 0;

  // Crc32 of `first` and of `second`. The machine's own file system reads both at once.
  virtual std::pair<std::optional<uint32_t>, std::optional<uint32_t>> Crc32Pair(
      const std::string& first, const std::string& second);

  // Md5 of `first` and of `second`. The machine's own file system reads both at once.
  virtual std::pair<std::optional<std::string>, std::optional<std::string>> Md5Pair(
      const std::string& first, const std::string& second);

  // `path` with every link, ".", ".." and repeated separator resolved, and no final
  // separator (except for the root); nullopt when it cannot be resolved.
  virtual std::optional<std::string> RealPath(const std::string& path);

  // True when `a` and `b` both exist and are the same folder on disk.
  virtual bool SameFolder(const std::string& a, const std::string& b);

  // Walks by open folder. The walks open the job's folders once, by the paths the user gave
  // (OpenFolder), and reach everything below them from there (the calls ending in In), never
  // through a link inside. Each has a default that works by path through the calls above,
  // for file systems that have nothing better.

  // Opens the folder at `path`, following links on the way: a job's own folder is where the
  // user's text leads. Not open, with the reason, when there is no folder there.
  virtual Folder OpenFolder(const std::string& path);

  // Opens the folder at `relative` below `parent`: names joined by separators, with or
  // without a final one ("" for `parent` itself). Never through a link: a link anywhere on
  // the way fails it (ELOOP or ENOTDIR).
  virtual Folder OpenFolderIn(const Folder& parent, const std::string& relative);

  // The entries of `folder`. Never null: a folder that cannot be read gives a listing that
  // ends at once, with the reason in its Error().
  virtual std::unique_ptr<FolderListing> ListFolder(const Folder& folder);

  // Facts (with or without the date), Lookup and Stamp of the entry `name` of `folder`.
  virtual FileFacts FactsIn(const Folder& folder, const std::string& name, Links links,
                            Dates dates);
  virtual PathState LookupIn(const Folder& folder, const std::string& name);
  virtual std::optional<FileStamp> StampIn(const Folder& folder, const std::string& name,
                                           Links links);

  // CreateFolder, DeleteFile and RemoveFolder of the entry `name` of `folder`.
  virtual Status CreateFolderIn(const Folder& folder, const std::string& name);
  virtual Status DeleteFileIn(const Folder& folder, const std::string& name);
  virtual Status RemoveFolderIn(const Folder& folder, const std::string& name);

  // CopyFile of the pair's source file onto its place in the backup. The temporary file is
  // made in the backup's open folder and renamed over the old copy there.
  virtual Status CopyFileIn(const FilePair& pair, const CopyControl& control);

  // Crc32Pair and Md5Pair of the pair's two files.
  virtual std::pair<std::optional<uint32_t>, std::optional<uint32_t>> Crc32PairIn(
      const FilePair& pair);
  virtual std::pair<std::optional<std::string>, std::optional<std::string>> Md5PairIn(
      const FilePair& pair);

  // Whether both files of the pair are regular files that can be read in full and hold the
  // same bytes.
  virtual Sameness SameContentsIn(const FilePair& pair);

  // Opens the file `name` of `folder` for appending, creating it when it is missing; never
  // through a link.
  virtual Status OpenForAppendIn(const Folder& folder, const std::string& name,
                                 std::unique_ptr<AppendFile>& file);
};

// A listing that ends at once, with `error` as the reason.
std::unique_ptr<FolderListing> NoListing(int error);

// The machine's own file system.
FileSystem& RealFileSystem();

// Creates every missing folder along `folder`, from the top down. 1 when the folder exists
// afterwards, else 0.
int EnsureFolderPath(FileSystem& fs, const std::string& folder);

// Removes `folder` when it holds no entry; a folder that cannot be listed is left alone.
void RemoveFolderIfEmpty(FileSystem& fs, const std::string& folder);

}  // namespace brisvel
