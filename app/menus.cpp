#include "app/menus.h"

#include "app/ui/control_ids.h"
#include "app/version.h"
#include "core/message.h"

namespace brisvel {

std::string AboutText() {
  return std::string("Brisvel\nVersion ") + kVersionNumber +
         "\nWritten by the Brisvel developers\n\n"
         "This software uses the Expat XML library:\nhttps://libexpat.github.io/";
}

static void Call(const std::function<void()>& action) {
  if (action) action();
}

void HandleMenuItem(int item, Ui& ui, JobCommands& commands, const HelpActions& help) {
  switch (item) {
    case kAddJobItem:
      commands.Add();
      break;
    case kRenameItem:
      commands.Rename();
      break;
    case kDeleteItem:
      commands.Delete();
      break;
    case kClearAllItem:
      commands.ClearAll();
      break;
    case kWebPageItem:
      Call(help.openWebPage);
      break;
    case kCheckUpdatesItem:
      if (help.networkAvailable) Call(help.checkForUpdates);
      break;
    case kAssociateItem:
      Call(help.associateJobFiles);
      break;
    case kAboutItem:
      ui.ShowMessage(kMessageTitle, AboutText(), MessageIcon::kInformation, MessageButtons::kOk);
      break;
    default:
      break;
  }
}

}  // namespace brisvel
