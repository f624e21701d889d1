// "Associate .jbs Files": makes the user's file manager open job files with this program,
// the way the platform looks that up (XDG files on Linux, the registry on Windows).
#pragma once

#include <string>

#include "system/message_prompt.h"

namespace brisvel {

inline constexpr const char* kJobFileMimeType = "application/x-brisvel-job";
inline constexpr const char* kDesktopEntryName = "brisvel.desktop";
// What the user is told afterwards, whatever succeeded.
inline constexpr const char* kAssociatedMessage = "All .jbs files should now open in Brisvel.";

// Linux: writes, for the current user, the MIME package that gives "*.jbs" our type (in
// $XDG_DATA_HOME/mime/packages), a desktop entry that starts `programPath` with the file (in
// $XDG_DATA_HOME/applications) and our entry as the type's default (in
// $XDG_CONFIG_HOME/mimeapps.list, every other line kept); refreshes the MIME and desktop
// databases when their tools are installed; then tells the user "All .jbs files should now
// open in Brisvel.", also when a step failed. Files that already hold the right text are left
// as they are, so running it twice leaves what running it once did.
void AssociateJobFiles(const std::string& programPath, const MessagePrompt& prompt);

// The desktop entry with an Exec line that starts `programPath` with one file.
std::string DesktopEntryFor(const std::string& programPath);

// `mimeapps` (the text of a mimeapps.list) with `desktopEntry` as the default application of
// `mimeType`, every other line kept.
std::string WithDefaultApplication(const std::string& mimeapps, const std::string& mimeType,
                                   const std::string& desktopEntry);

}  // namespace brisvel
