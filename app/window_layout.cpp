#include "app/window_layout.h"

#include "app/ui/control_ids.h"

namespace brisvel {
namespace {

using K = ControlKind;

void AddAll(Ui& ui, int window, const std::vector<ControlLayout>& controls) {
  for (const ControlLayout& control : controls) ui.AddControl(window, control);
}

std::vector<ControlLayout> MainControls() {
  return {
      {0, K::kFrame, "Backup Jobs", {10, 5, 150, 205}, {}},
      {kJobList, K::kCheckListView, "", {15, 23, 140, 160}, {}, 200},
      {kAddButton, K::kButton, "Add", {15, 183, 70, 20}, {}},
      {kDeleteButton, K::kButton, "Delete", {85, 183, 70, 20}, {}},
      {4, K::kFrame, "Job Settings", {170, 5, 320, 205}, {}},
      {5, K::kCentredText, "Backup:", {175, 26, 60, 17}, {}},
      {kSourceField, K::kEdit, "", {235, 23, 220, 20}, {}},
      {kSourceBrowse, K::kButton, "...", {460, 23, 20, 20}, {}},
      {8, K::kCentredText, "To:", {175, 46, 60, 17}, {}},
      {kDestinationField, K::kEdit, "", {235, 43, 220, 20}, {}},
      {kDestinationBrowse, K::kButton, "...", {460, 43, 20, 20}, {}},
      {kAllTypesOption, K::kOptionButton, "All File Types", {185, 70, 110, 20}, {}},
      {kSpecificTypesOption, K::kOptionButton, "Specific Types:", {185, 90, 110, 20}, {}},
      {kExtensionCombo,
       K::kEditableCombo,
       "",
       {295, 90, 185, 20},
       {" - Documents", " - Executables", " - Images", " - Audio", " - Video", " - Multimedia"}},
      {kSubFoldersBox, K::kCheckBox, "Include Sub-Folders", {185, 120, 140, 20}, {}},
      {kMoveBox, K::kCheckBox, "Move, instead of Copy", {185, 140, 130, 20}, {}},
      {kOrphansBox, K::kCheckBox, "Delete Orphan Files", {185, 160, 140, 20}, {}},
      {kOpenFolderBox, K::kCheckBox, "Open Folder when Done", {185, 180, 140, 20}, {}},
      {kLogBox, K::kCheckBox, "Update Log File:", {340, 120, 140, 20}, {}},
      {kLogFileField, K::kEdit, "", {340, 140, 140, 20}, {}},
      {11, K::kText, "File Compare Method:", {345, 163, 140, 17}, {}},
      {kCompareList,
       K::kDropDownList,
       "",
       {340, 180, 140, 20},
       {"File Size", "Modified Date", "CRC32 Checksum", "MD5 Hash"}},
      {kRunJobsButton, K::kDefaultButton, "Run Jobs", {40, 220, 90, 25}, {}},
      {kRunInTrayBox, K::kCheckBox, "Run in Tray", {45, 250, 85, 20}, {}},
      {kLoadJobsButton, K::kButton, "Load Jobs", {185, 222, 90, 20}, {}},
      {kSaveJobsButton, K::kButton, "Save Jobs", {185, 247, 90, 20}, {}},
      {26, K::kText, "When Finished:", {310, 228, 130, 17}, {}},
      {kWhenFinishedList,
       K::kDropDownList,
       "",
       {310, 247, 130, 20},
       {"Exit Program", "Return to Brisvel", "Shutdown Computer"}},
      {kHelpButton, K::kButton, "?", {480, 260, 20, 20}, {}},
  };
}

std::vector<ControlLayout> ProgressControls() {
  return {
      {29, K::kFrame, "", {5, 0, 250, 135}, {}},
      {kJobLine, K::kCentredText, "", {15, 13, 230, 17}, {}},
      {kProgressBar, K::kProgressBar, "", {15, 32, 230, 10}, {}},
      {kStatusLine, K::kCentredText, "", {15, 48, 230, 17}, {}},
      {kStopButton, K::kDefaultButton, "STOP", {20, 70, 100, 25}, {}},
      {kLogButton, K::kButton, "", {140, 70, 100, 25}, {}},
      {kFinishList,
       K::kDropDownList,
       "",
       {15, 105, 230, 20},
       {"Close when finished", "Open Brisvel when finished", "Shut down when finished"}},
      {36, K::kFrame, "", {5, 140, 250, 180}, {}},
      {kLogView, K::kReportListView, "Backup Log", {10, 155, 240, 160}, {}, 215},
  };
}

}  // namespace

bool CreateMainWindow(Ui& ui) {
  if (!ui.CreateWindow({kMainWindow, "Brisvel", 500, 280, true, false})) return false;
  AddAll(ui, kMainWindow, MainControls());
  ui.SetSelection(kMainWindow, kWhenFinishedList, 1);  // "Return to Brisvel"
  ui.AddShortcut(kMainWindow, ShortcutKey::kReturn, kReturnKey);
  ui.AddShortcut(kMainWindow, ShortcutKey::kEscape, kEscapeKey);
  ui.AddShortcut(kMainWindow, ShortcutKey::kF1, kF1Key);
  ui.AddShortcut(kMainWindow, ShortcutKey::kCtrlO, kJobOptionsItem);
  return true;
}

bool CreateProgressWindow(Ui& ui) {
  if (!ui.CreateWindow({kProgressWindow, kProgressTitle, kProgressWidth, kProgressShortHeight})) {
    return false;
  }
  ui.ResizeWindow(kProgressWindow, kProgressWidth, kProgressTallHeight);
  AddAll(ui, kProgressWindow, ProgressControls());
  ui.AddShortcut(kProgressWindow, ShortcutKey::kEscape, kEscapeKey);
  return true;
}

bool CreateShutdownWindow(Ui& ui) {
  if (!ui.CreateWindow({kShutdownWindow, "Brisvel - Shutdown", 260, 70, false, true})) {
    return false;
  }
  AddAll(ui, kShutdownWindow,
         {{kShutdownNotice,
           K::kCentredText,
           "Your computer will shut down soon:",
           {5, 8, 250, 17},
           {}},
          {kShutdownNowButton, K::kDefaultButton, "", {20, 30, 100, 25}, {}},
          {kShutdownCancelButton, K::kButton, "Cancel", {140, 30, 100, 25}, {}}});
  ui.AddShortcut(kShutdownWindow, ShortcutKey::kEscape, kEscapeKey);
  return true;
}

bool CreateJobOptionsWindow(Ui& ui) {
  if (!ui.CreateWindow({kJobOptionsWindow, "Brisvel - Job Options", 380, 293, false, true})) {
    return false;
  }
  AddAll(ui, kJobOptionsWindow,
         {
             {kKeepVersionsBox,
              K::kCheckBox,
              "Keep old versions of replaced and deleted files",
              {10, 10, 360, 20},
              {}},
             {51, K::kText, "Version folder:", {10, 38, 125, 17}, {}},
             {kVersionFolderField, K::kEdit, "", {140, 35, 205, 20}, {}},
             {kVersionFolderBrowse, K::kButton, "...", {350, 35, 20, 20}, {}},
             {52, K::kText, "Empty: .brisvel-versions in the destination", {140, 57, 230, 17}, {}},
             {53, K::kText, "Keep the last runs (0: all):", {10, 85, 205, 17}, {}},
             {kKeepRunsField, K::kEdit, "", {220, 82, 60, 20}, {}},
             {54, K::kText, "Remove versions older than (days):", {10, 110, 205, 17}, {}},
             {kKeepDaysField, K::kEdit, "", {220, 107, 60, 20}, {}},
             {55, K::kText, "(0: never)", {285, 110, 85, 17}, {}},
             {56, K::kText, "Deletion limit (files or %):", {10, 135, 205, 17}, {}},
             {kMaxDeleteField, K::kEdit, "", {220, 132, 60, 20}, {}},
             {57, K::kText, "(empty: none)", {285, 135, 85, 17}, {}},
             {58, K::kText, "Exclude (patterns separated by ;):", {10, 160, 360, 17}, {}},
             {kExcludeField, K::kEdit, "", {10, 178, 360, 20}, {}},
             {59,
              K::kText,
              "* and ? within a name, ** across folders, / at the end: folders only",
              {10, 200, 360, 17},
              {}},
             {kNeedsDriveBox,
              K::kCheckBox,
              "Skip the job while its backup drive is not connected",
              {10, 226, 360, 20},
              {}},
             {kOptionsOkButton, K::kDefaultButton, "OK", {190, 258, 85, 25}, {}},
             {kOptionsCancelButton, K::kButton, "Cancel", {285, 258, 85, 25}, {}},
         });
  ui.AddShortcut(kJobOptionsWindow, ShortcutKey::kReturn, kReturnKey);
  ui.AddShortcut(kJobOptionsWindow, ShortcutKey::kEscape, kEscapeKey);
  return true;
}

bool CreateScheduleWindow(Ui& ui) {
  if (!ui.CreateWindow({kScheduleWindow, "Brisvel - Schedule", 320, 170, false, true})) {
    return false;
  }
  AddAll(ui, kScheduleWindow,
         {
             {kScheduleFileLine, K::kText, "", {10, 8, 300, 17}, {}},
             {kDailyOption, K::kOptionButton, "Every day", {10, 30, 140, 20}, {}},
             {kWeeklyOption, K::kOptionButton, "Every week on", {10, 52, 140, 20}, {}},
             {kWeekdayList,
              K::kDropDownList,
              "",
              {155, 52, 155, 20},
              {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"}},
             {70, K::kText, "at (HH:MM):", {30, 78, 120, 17}, {}},
             {kScheduleTimeField, K::kEdit, "", {155, 75, 60, 20}, {}},
             {kConnectOption,
              K::kOptionButton,
              "When the backup drive is connected",
              {10, 100, 300, 20},
              {}},
             {kNoScheduleOption, K::kOptionButton, "No schedule", {10, 122, 300, 20}, {}},
             {kScheduleOkButton, K::kDefaultButton, "OK", {130, 142, 85, 25}, {}},
             {kScheduleCancelButton, K::kButton, "Cancel", {225, 142, 85, 25}, {}},
         });
  ui.AddShortcut(kScheduleWindow, ShortcutKey::kReturn, kReturnKey);
  ui.AddShortcut(kScheduleWindow, ShortcutKey::kEscape, kEscapeKey);
  return true;
}

void CreateMenus(Ui& ui, bool networkAvailable) {
  ui.CreatePopupMenu(kJobMenu, {{kAddJobItem, "Add Job"},
                                {kRenameItem, "Rename"},
                                {kJobOptionsItem, "Job Options...\tCtrl+O"},
                                {kPreviewItem, "Preview"},
                                {},
                                {kDeleteItem, "Delete"},
                                {kClearAllItem, "Clear All"}});
  ui.CreatePopupMenu(kHelpMenu, {{kWebPageItem, "Brisvel Webpage"},
                                 {},
                                 {kCheckUpdatesItem, "Check for Updates"},
                                 {kAssociateItem, "Associate .jbs Files"},
                                 {kScheduleItem, "Schedule..."},
                                 {},
                                 {kAboutItem, "About..."}});
  if (!networkAvailable) ui.SetMenuItemEnabled(kHelpMenu, kCheckUpdatesItem, false);
  // Until a job file is loaded or saved there is none to schedule.
  ui.SetMenuItemEnabled(kHelpMenu, kScheduleItem, false);
}

}  // namespace brisvel
