// The main window's events: the job list, the settings panel (every change is written into
// the current job at once), "Run Jobs" and its Return key, Load and Save, the "?" button and
// F1 (the manual). The pop-up menus' items are the menus' own (app/menus.h).
#pragma once

#include <functional>

#include "app/job_commands.h"
#include "app/main_window_view.h"
#include "app/ui/ui.h"
#include "core/job_list.h"
#include "core/run_settings.h"

namespace brisvel {

class MainWindow {
 public:
  struct Actions {
    std::function<void()> startRun;      // after the checks before a run
    std::function<void()> openManual;    // F1
    std::function<void()> startPreview;  // after the same checks
    std::function<void()> openJobOptions;
  };

  MainWindow(Ui& ui, JobList& jobs, RunSettings& settings, MainWindowView& view,
             JobCommands& commands, Actions actions)
      : ui_(ui),
        jobs_(jobs),
        settings_(settings),
        view_(view),
        commands_(commands),
        actions_(std::move(actions)) {}

  // Handles an event of the main window's controls and shortcuts; others are ignored.
  void Handle(const UiEvent& event);

 private:
  struct ControlAction;
  static const ControlAction kControlActions[];

  void HandleControl(int control, EventType type, BackupJob& job);
  void HandleJobList(EventType type);
  void HandleShortcut(int menuEvent);
  void ChooseSource(BackupJob& job);
  void ChooseDestination(BackupJob& job);
  void TakeFolders(BackupJob& job);
  void TakeOptions(BackupJob& job, int clicked);
  void TakeExtensionGroup(BackupJob& job);
  void TakeCompareMethod(BackupJob& job);
  void RunJobs();
  void PreviewJobs();

  Ui& ui_;
  JobList& jobs_;
  RunSettings& settings_;
  MainWindowView& view_;
  JobCommands& commands_;
  Actions actions_;
};

}  // namespace brisvel
