// "Check for Updates": fetches the file that describes the newest release, compares its
// release number with ours and tells the user, offering the web page when ours is older.
#pragma once

#include <functional>
#include <string>

#include "system/download_file.h"
#include "system/message_prompt.h"

namespace brisvel {

// The program's own release number; only it takes part in the comparison.
inline constexpr int kReleaseNumber = 11;

inline constexpr const char* kSecondaryUpdateUrl =
    "http://updates.brisvel.example.net/release/brisvel.xml";
inline constexpr const char* kPrimaryUpdateUrl = "http://brisvel.example.org/brisvel/brisvel.xml";

// Where the check looks and what it uses; the program's own values come from
// DefaultUpdateSources(), tests point it elsewhere.
struct UpdateSources {
  bool networkAvailable = false;
  // Tried in this order; the second only when the first cannot be downloaded.
  std::string secondaryUrl;
  std::string primaryUrl;
  std::string temporaryPath;
  DownloadLimits limits;
  // The whole check, both downloads together, ends after this long.
  int deadlineMs = 30'000;
  // Opens the product web page.
  std::function<void()> openWebPage;
};

// What the caller does while the check runs on a thread of its own: called again and again
// until the check is done, each call waiting a little (for the windows' events, say).
// Returning false gives the check up: it ends without a message, leaving no file behind.
// Without one, the caller's thread simply waits.
using UpdateWait = std::function<bool()>;

// The temporary folder ($TMPDIR when it is an absolute path, else /tmp; on Windows the
// user's temporary folder) followed by "brisvel.tmp", computed on first use and kept for the
// life of the program.
const std::string& TemporaryFilePath();

UpdateSources DefaultUpdateSources();

// The release number of an information file: leading spaces and tabs skipped, an optional
// sign, digits up to the first non-digit; 0 without digits; held to the 32-bit range.
int ReadReleaseNumber(const std::string& text);

// Downloads and reads the information file on a thread of its own while `wait` keeps the
// caller's windows answering, then tells the user on the caller's thread.
void CheckForUpdates(const MessagePrompt& prompt, const UpdateWait& wait);
void CheckForUpdates(const MessagePrompt& prompt, const UpdateSources& sources,
                     const UpdateWait& wait);

}  // namespace brisvel
