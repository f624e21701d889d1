// The "Job Options" window: the current job's settings beyond the main window's options (old
// versions, a deletion limit, exclusions, a backup drive of its own). OK takes the fields into
// the job only when every one of them holds a value its setting can take; otherwise the user
// is told which field is wrong and the window stays open with what was typed. Cancel, Escape
// and the close box change nothing.
#pragma once

#include <string>

#include "app/ui/ui.h"
#include "core/backup_job.h"
#include "core/job_list.h"
#include "engine/fs.h"

namespace brisvel {

class JobOptionsWindow {
 public:
  JobOptionsWindow(Ui& ui, JobList& jobs, FileSystem& fs) : ui_(ui), jobs_(jobs), fs_(fs) {}

  // Fills the fields from the current job and shows the window.
  void Open();
  bool IsOpen() const { return open_; }
  // Handles an event of the window's controls, shortcuts or close box.
  void Handle(const UiEvent& event);

 private:
  // Reads the fields into `job`; returns what is wrong with the first field that holds a
  // value its setting cannot take, with that field's control in `field`, or "".
  std::string ReadFields(BackupJob& job, int& field);
  std::string VersionFolderProblem(const std::string& folder);
  void ChooseVersionFolder();
  void Accept();
  void Close();

  Ui& ui_;
  JobList& jobs_;
  FileSystem& fs_;
  bool open_ = false;
};

}  // namespace brisvel
