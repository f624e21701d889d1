// The commands that change the job list as a whole: add, rename, delete, clear all, load and
// save. Each keeps the list, its rows in the main window and the settings panel in step; the
// list always holds at least one job.
#pragma once

#include <string>

#include "app/main_window_view.h"
#include "app/ui/ui.h"
#include "core/job_list.h"
#include "core/run_settings.h"

namespace brisvel {

class JobCommands {
 public:
  JobCommands(Ui& ui, JobList& jobs, RunSettings& settings, MainWindowView& view)
      : ui_(ui), jobs_(jobs), settings_(settings), view_(view) {}

  // The folder the Load Jobs and Save Jobs dialogs open in; set to the folder of every file
  // chosen there.
  void SetLastFolder(const std::string& folder) { lastFolder_ = folder; }
  const std::string& LastFolder() const { return lastFolder_; }

  // A click on the job list: when the selected row is not the shown one, its job becomes
  // current, takes its enabled flag from the row's check box and is shown.
  void ShowSelectedRow();

  void Add();
  // Asks for a new name for the selected row's job; blanks only or cancel change nothing.
  void Rename();
  // Removes the selected row's job, unless it is the only one.
  void Delete();
  // Replaces the list by one default job, without asking.
  void ClearAll();
  void Load();
  void Save();
  // The job file loaded or saved last in this session; "" before the first.
  const std::string& LastJobFile() const { return lastJobFile_; }

 private:
  std::optional<FileChoice> ChooseJobFile(const char* title, bool save);

  Ui& ui_;
  JobList& jobs_;
  RunSettings& settings_;
  MainWindowView& view_;
  std::string lastFolder_;
  std::string lastJobFile_;
};

}  // namespace brisvel
