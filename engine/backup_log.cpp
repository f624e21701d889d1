#include "engine/backup_log.h"

#include <cerrno>
#include <cstdio>

#include "core/open_file.h"
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

bool BackupLog::Open(const std::string& path) {
  Close();
  lost_ = false;
  writeError_ = 0;
  // Binary, so that every line ends in exactly CR LF whatever the platform.
  file_ = OpenFile(path, "ab");
  return file_ != nullptr;
}

void BackupLog::WriteLine(const std::string& text) {
  if (file_ == nullptr) return;
  const std::string printable = PrintableText(text);
  if (std::fwrite(printable.data(), 1, printable.size(), file_) != printable.size() ||
      std::fwrite("\r\n", 1, 2, file_) != 2) {
    NoteFailure();
  }
}

bool BackupLog::Close() {
  if (file_ == nullptr) return !lost_;
  // Buffered lines reach the drive only now, so a full drive often shows up here.
  if (std::fflush(file_) != 0) NoteFailure();
  if (std::fclose(file_) != 0) NoteFailure();
  file_ = nullptr;
  return !lost_;
}

void BackupLog::NoteFailure() {
  if (!lost_) writeError_ = errno;
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
