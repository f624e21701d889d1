// The fail-safe copy: the data go to a fresh temporary file beside the destination, which
// takes the source's last-write time and attributes and replaces the old copy only once all
// of that succeeded. Any failure removes the temporary file, so the old copy stays as it was.
// A source whose size or last-write time changes while it is copied makes the copy fail.

#include <atomic>
#include <string>

#include "core/case_folding.h"
#include "core/text.h"
#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "engine/copies_in_flight.h"
#include "engine/file_io_win32.h"
#include "engine/leftovers.h"

namespace brisvel {
namespace {

// The attributes a copy takes over from its source.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

int64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return static_cast<int64_t>((uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
}

bool SameState(const BY_HANDLE_FILE_INFORMATION& before, const BY_HANDLE_FILE_INFORMATION& after) {
  return SizeOf(before) == SizeOf(after) &&
         CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime) == 0;
}

// A new temporary file in `folder`; its name goes to `name`. Only the right to delete it is
// shared, so that a second Ctrl+C can remove it while the copy still writes.
HANDLE CreateTemporary(const std::string& folder, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + std::string(kCopyPrefix) + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(counter++);
    HANDLE file = CreateFileW(WidePath(name).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// Copies all data; true when exactly `expected` bytes were there.
bool CopyData(HANDLE in, HANDLE out, int64_t expected, const Win32FsSeams& seams,
              const CopyControl& control) {
  char* buffer = ThreadReadBuffer();
  int64_t copied = 0;
  for (;;) {
    if (control.interrupted && control.interrupted()) return false;
    int64_t count = ReadBlock(in, buffer, kIoBlockSize, copied, seams);
    if (count < 0) return false;
    if (count == 0) return copied == expected;
    if (!WriteBlock(out, buffer, static_cast<size_t>(count), copied, seams)) return false;
    copied += count;
    if (copied > expected) return false;
  }
}

bool FillTemporary(HANDLE in, HANDLE out, const BY_HANDLE_FILE_INFORMATION& source,
                   const Win32FsSeams& seams, const CopyControl& control) {
  if (!CopyData(in, out, SizeOf(source), seams, control)) return false;
  BY_HANDLE_FILE_INFORMATION after;
  if (!GetFileInformationByHandle(in, &after) || !SameState(source, after)) return false;
  // On the disk before it replaces the old copy: a Move deletes the source next.
  return SetFileTime(out, nullptr, nullptr, &source.ftLastWriteTime) != 0 &&
         FlushFileBuffers(out) != 0;
}

// A copy that replaced an old one spelt in other letter case (the source was renamed so)
// takes the source's spelling, as a fresh copy would. Where the rename cannot be made, the
// old spelling stays: the drive finds the file under either.
void TakeSpelling(const std::string& to) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(WidePath(to).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FindClose(search);
  const std::string stored = Utf8(found.cFileName);
  // Only another spelling of the same name: a match through the short 8.3 name stays as it is.
  const std::string wanted = FilePart(to);
  if (stored == wanted || !EqualIgnoringCase(stored, wanted)) return;
  MoveFileExW(WidePath(FolderPart(to) + stored).c_str(), WidePath(to).c_str(),
              MOVEFILE_WRITE_THROUGH);
}

// Renames `temporary` over `to`. The old copy's read-only attribute would refuse the
// replacement; it is the run's own copy, so the attribute is lifted for the rename and put
// back when the rename fails.
bool ReplaceWith(const std::wstring& temporary, const std::string& to) {
  const std::wstring wideTo = WidePath(to);
  const DWORD old = GetFileAttributesW(wideTo.c_str());
  const bool readOnly = old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                        (old & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) SetFileAttributesW(wideTo.c_str(), old & ~FILE_ATTRIBUTE_READONLY);
  if (MoveFileExW(temporary.c_str(), wideTo.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    if (old != INVALID_FILE_ATTRIBUTES) TakeSpelling(to);
    return true;
  }
  if (readOnly) SetFileAttributesW(wideTo.c_str(), old);
  return false;
}

}  // namespace

bool CopyFileSafely(const std::string& from, const std::string& to, const Win32FsSeams& seams,
                    const CopyControl& control) {
  UniqueHandle in(OpenForReading(from));
  BY_HANDLE_FILE_INFORMATION source;
  FileStamp stamp;
  if (!in.valid() || !GetFileInformationByHandle(in.get(), &source) || !StampOf(in.get(), stamp)) {
    return FailWithLastError();
  }

  std::string temporary;
  UniqueHandle out(CreateTemporary(FolderPart(to), temporary));
  if (!out.valid()) return FailWithLastError();
  const int slot = RecordCopyInFlight(kWholePath, temporary.c_str());
  const std::wstring wideTemporary = WidePath(temporary);
  bool ok = FillTemporary(in.get(), out.get(), source, seams, control);
  ok = out.Close() && ok;
  const DWORD attributes = source.dwFileAttributes & kCopiedAttributes;
  ok = ok && SetFileAttributesW(wideTemporary.c_str(),
                                attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL);
  ok = ok && ReplaceWith(wideTemporary, to);
  if (ok && control.copiedFrom != nullptr) *control.copiedFrom = stamp;
  if (!ok) {
    FailWithLastError();
    SetFileAttributesW(wideTemporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(wideTemporary.c_str());
  }
  ForgetCopyInFlight(slot);
  return ok;
}

}  // namespace brisvel
