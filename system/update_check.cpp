#include "system/update_check.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "core/xml_reader.h"
#include "system/network.h"
#include "system/open_target.h"

namespace brisvel {

UpdateSources DefaultUpdateSources() {
  UpdateSources sources;
  sources.networkAvailable = NetworkAvailable();
  sources.secondaryUrl = kSecondaryUpdateUrl;
  sources.primaryUrl = kPrimaryUpdateUrl;
  sources.temporaryPath = TemporaryFilePath();
  sources.openWebPage = [] { OpenTarget(kProductWebPage); };
  return sources;
}

int ReadReleaseNumber(const std::string& text) {
  size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return 0;
  bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(value * 10 + (text[i] - '0'), kLimit);
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(std::min<int64_t>(value, std::numeric_limits<int>::max()));
}

static std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Tells the user what the information file says, offering the web page for a newer release.
static void ReportRelease(const XmlElement& root, const MessagePrompt& prompt,
                          const UpdateSources& sources) {
  std::string version = Trimmed(root.Attribute("version"));
  if (!version.empty()) version = " (" + version + ")";
  if (ReadReleaseNumber(root.Attribute("release")) <= kReleaseNumber) {
    prompt("This version is up to date.", MessageIcon::kInformation, false);
    return;
  }
  std::string question =
      "A new version of Brisvel" + version + " is available.\nDo you want to visit our webpage?";
  if (prompt(question, MessageIcon::kQuestion, true) == MessageAnswer::kYes) {
    sources.openWebPage();
  }
}

void CheckForUpdates(const MessagePrompt& prompt, const UpdateSources& sources) {
  if (!sources.networkAvailable) return;
  const std::string& path = sources.temporaryPath;
  if (!DownloadFile(sources.secondaryUrl, path, sources.limits) &&
      !DownloadFile(sources.primaryUrl, path, sources.limits)) {
    prompt("Could not contact server!", MessageIcon::kWarning, false);
    return;
  }
  XmlDocument document;
  if (ReadXmlFile(path, document) == XmlFileResult::kRead && document.complete &&
      document.hasRoot) {
    ReportRelease(document.root, prompt, sources);
  } else {
    prompt("No updates found.", MessageIcon::kWarning, false);
  }
  // Removes the file itself, never what a link in its place would point to.
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

void CheckForUpdates(const MessagePrompt& prompt) {
  CheckForUpdates(prompt, DefaultUpdateSources());
}

}  // namespace brisvel
