// The fixed numbers of the controls, menus and menu events the shell refers to by name.
#pragma once

namespace brisvel {

// Main window.
enum MainControl : int {
  kJobList = 1,
  kAddButton = 2,
  kDeleteButton = 3,
  kSourceField = 6,
  kSourceBrowse = 7,
  kDestinationField = 9,
  kDestinationBrowse = 10,
  kAllTypesOption = 12,
  kSpecificTypesOption = 13,
  kExtensionCombo = 14,
  kSubFoldersBox = 15,
  kMoveBox = 16,
  kOrphansBox = 17,
  kLogBox = 18,
  kRunInTrayBox = 19,
  kOpenFolderBox = 20,
  kLogFileField = 21,
  kCompareList = 22,
  kRunJobsButton = 23,
  kLoadJobsButton = 24,
  kSaveJobsButton = 25,
  kWhenFinishedList = 27,
  kHelpButton = 28,
};

// Progress window.
enum ProgressControl : int {
  kJobLine = 30,
  kProgressBar = 31,
  kStatusLine = 32,
  kFinishList = 33,
  kStopButton = 34,
  kLogButton = 35,
  kLogView = 37,
};

// Shutdown window.
enum ShutdownControl : int {
  kShutdownNotice = 38,
  kShutdownNowButton = 39,
  kShutdownCancelButton = 40,
};

// Job Options window.
enum JobOptionsControl : int {
  kKeepVersionsBox = 41,
  kVersionFolderField = 42,
  kVersionFolderBrowse = 43,
  kKeepRunsField = 44,
  kKeepDaysField = 45,
  kMaxDeleteField = 46,
  kExcludeField = 47,
  kNeedsDriveBox = 48,
  kOptionsOkButton = 49,
  kOptionsCancelButton = 50,
};

// Schedule window.
enum ScheduleControl : int {
  kScheduleFileLine = 61,
  kDailyOption = 62,
  kWeeklyOption = 63,
  kWeekdayList = 64,
  kConnectOption = 65,
  kNoScheduleOption = 66,
  kScheduleTimeField = 67,
  kScheduleOkButton = 68,
  kScheduleCancelButton = 69,
};

// Pop-up menus and the events of their items and of the keyboard shortcuts.
enum MenuId : int { kJobMenu = 2, kHelpMenu = 3 };
enum MenuEvent : int {
  kAddJobItem = 0,
  kRenameItem = 1,
  kDeleteItem = 2,
  kClearAllItem = 3,
  kWebPageItem = 4,
  kCheckUpdatesItem = 5,
  kAssociateItem = 6,
  kAboutItem = 7,
  kReturnKey = 8,
  kEscapeKey = 9,
  kF1Key = 10,
  kPreviewItem = 11,
  kJobOptionsItem = 12,
  kScheduleItem = 13,
};

}  // namespace brisvel
