// The items of the two pop-up menus: the job menu of the job list and the help menu of the
// "?" button.
#pragma once

#include <functional>
#include <string>

#include "app/job_commands.h"
#include "app/ui/ui.h"

namespace brisvel {

// What the help menu's items do outside the job list.
struct HelpActions {
  std::function<void()> openWebPage;
  std::function<void()> checkForUpdates;
  std::function<void()> associateJobFiles;
  // Without a network "Check for Updates" is greyed and does nothing.
  bool networkAvailable = true;
};

// The About box's text.
std::string AboutText();

// Carries out menu item `item` of either menu; other numbers are ignored.
void HandleMenuItem(int item, Ui& ui, JobCommands& commands, const HelpActions& help);

}  // namespace brisvel
