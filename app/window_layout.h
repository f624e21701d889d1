// Creates the windows with their controls and shortcuts, the two pop-up menus and the
// tray icon, all hidden until the program shows them.
#pragma once

#include "app/ui/ui.h"

namespace brisvel {

// Each returns false when the window could not be created.
bool CreateMainWindow(Ui& ui);
bool CreateProgressWindow(Ui& ui);
bool CreateShutdownWindow(Ui& ui);
bool CreateJobOptionsWindow(Ui& ui);
bool CreateScheduleWindow(Ui& ui);

// The job menu and the help menu; "Check for Updates" is greyed without a network.
void CreateMenus(Ui& ui, bool networkAvailable);

inline constexpr const char* kProgressTitle = "Brisvel";
inline constexpr const char* kPreviewTitle = "Brisvel - Preview";

inline constexpr int kProgressWidth = 260;
inline constexpr int kProgressShortHeight = 140;
inline constexpr int kProgressTallHeight = 330;

}  // namespace brisvel
