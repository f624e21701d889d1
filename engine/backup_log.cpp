#include "engine/backup_log.h"

#include <cstdio>

#include "core/text.h"
#include "engine/local_clock.h"

namespace brisvel {
namespace {

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

const char* CompareWord(uint8_t method) {
  switch (method) {
    case kCompareCrc32:
      return " CRC32";
    case kCompareMd5:
      return " MD5";
    case kCompareDate:
      return " Date";
    default:
      return " FileSize";
  }
}

}  // namespace

Status BackupLog::Open(FileSystem& fs, const Folder& folder, const std::string& name) {
  Close();
  lost_ = false;
  writeError_ = 0;
  return fs.OpenForAppendIn(folder, name, file_);
}

Status BackupLog::Open(FileSystem& fs, const std::string& path) {
  const std::string folderPart = FolderPart(path);
  const Folder folder = fs.OpenFolder(folderPart.empty() ? "." : folderPart);
  if (!folder) return Status::Failure(folder.Error());
  return Open(fs, folder, FilePart(path));
}

void BackupLog::WriteLine(const std::string& text) {
  if (file_ == nullptr) return;
  // Every line ends in exactly CR LF, whatever the platform.
  const Status status = file_->Append(PrintableText(text) + "\r\n");
  if (!status.ok()) NoteFailure(status);
}

bool BackupLog::Close() {
  if (file_ == nullptr) return !lost_;
  // Held-back lines reach the drive only now, so a full drive often shows up here.
  const Status status = file_->Close();
  if (!status.ok()) NoteFailure(status);
  file_.reset();
  return !lost_;
}

void BackupLog::NoteFailure(const Status& status) {
  if (!lost_) writeError_ = status.error();
  lost_ = true;
}

void BackupLog::WriteHeader(const BackupJob& job, std::time_t now, bool filterInForce) {
  WriteLine("Brisvel Backup Job '" + job.name + "'");
  WriteLine(RunAtLine(now));
  WriteLine(OptionsLine(job));
  if (filterInForce) WriteLine("File Filter: " + job.filter);
}

std::string RunAtLine(std::time_t now) {
  const std::tm local = LocalCalendarTime(now);
  char year[16];
  std::snprintf(year, sizeof year, "%04d", local.tm_year + 1900);
  return "Run at " + TwoDigits(local.tm_hour) + ":" + TwoDigits(local.tm_min) + " on " +
         TwoDigits(local.tm_mon + 1) + "/" + TwoDigits(local.tm_mday) + "/" + year;
}

std::string OptionsLine(const BackupJob& job) {
  std::string line = "Options:";
  if (job.Has(kIncludeSubFolders)) line += " Recursive";
  if (job.Has(kMoveInsteadOfCopy)) line += " Move";
  if (job.Has(kDeleteOrphans)) line += " Orphans";
  return line + CompareWord(job.compareMethod);
}

}  // namespace brisvel
