// The log file a job appends to in its destination folder: a header, one line per change,
// and an empty line, each ended by CR LF.
#pragma once

#include <ctime>
#include <memory>
#include <string>

#include "core/backup_job.h"
#include "engine/fs.h"

namespace brisvel {

class BackupLog {
 public:
  BackupLog() = default;
  BackupLog(const BackupLog&) = delete;
  BackupLog& operator=(const BackupLog&) = delete;
  ~BackupLog() { Close(); }

  // Opens the file `name` of `folder` for appending, creating it when missing, never
  // through a link. A failure gives the reason.
  Status Open(FileSystem& fs, const Folder& folder, const std::string& name);
  // The same for the file at `path`, whose folder is taken as the path names it.
  Status Open(FileSystem& fs, const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  // Writes `text`, its control characters shown as '?', and CR LF; does nothing while closed.
  void WriteLine(const std::string& text);
  // Flushes and closes; does nothing while closed. False when a line written since Open was
  // lost (a full drive, an I/O error), with the reason in WriteError.
  bool Close();
  // The error number of the first lost line; 0 when none was lost or no reason is known.
  int WriteError() const { return writeError_; }

  // Writes the job header: name, "Run at hh:ii on mm/dd/yyyy" of `now` in local time, the
  // options line and, when `filterInForce` is set, the "File Filter: " line.
  void WriteHeader(const BackupJob& job, std::time_t now, bool filterInForce);

 private:
  void NoteFailure(const Status& status);

  std::unique_ptr<AppendFile> file_;
  bool lost_ = false;
  int writeError_ = 0;
};

// The "Run at ..." line for `now` in local time.
std::string RunAtLine(std::time_t now);
// The "Options: ..." line of `job`.
std::string OptionsLine(const BackupJob& job);

}  // namespace brisvel
