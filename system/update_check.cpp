#include "system/update_check.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

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

namespace {

using Steady = std::chrono::steady_clock;

// What the information file said, found on the check's own thread.
struct Finding {
  enum Kind { kNoContact, kNoUpdates, kRelease } kind = kNoContact;
  std::string version;  // decorated: " (1.05)", or empty
  int release = 0;
};

// The check's state, shared by the caller's thread and the check's thread, which may outlive
// the caller's wait when it hangs in a name look-up.
struct CheckState {
  explicit CheckState(const UpdateSources& sources) : sources(sources) {}
  const UpdateSources sources;
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable doneChanged;
  bool done = false;  // guarded by mutex
  Finding finding;    // written before done
};

Finding ReadInformationFile(const std::string& path) {
  XmlDocument document;
  Finding finding;
  finding.kind = Finding::kNoUpdates;
  if (ReadXmlFile(path, document) == XmlFileResult::kRead && document.complete &&
      document.hasRoot) {
    finding.kind = Finding::kRelease;
    finding.version = Trimmed(document.root.Attribute("version"));
    if (!finding.version.empty()) finding.version = " (" + finding.version + ")";
    finding.release = ReadReleaseNumber(document.root.Attribute("release"));
  }
  return finding;
}

Finding Fetch(const UpdateSources& sources, const DownloadLimits& limits) {
  const std::string& path = sources.temporaryPath;
  if (!DownloadFile(sources.secondaryUrl, path, limits) &&
      !DownloadFile(sources.primaryUrl, path, limits)) {
    return {};
  }
  Finding finding = ReadInformationFile(path);
  // Removes the file itself, never what a link in its place would point to.
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  return finding;
}

void RunCheck(const std::shared_ptr<CheckState>& state, Steady::time_point deadline) {
  DownloadLimits limits = state->sources.limits;
  limits.deadline = deadline;
  limits.stop = &state->stop;
  Finding finding = Fetch(state->sources, limits);
  std::lock_guard<std::mutex> lock(state->mutex);
  state->finding = std::move(finding);
  state->done = true;
  state->doneChanged.notify_all();
}

bool IsDone(CheckState& state) {
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.done;
}

// Ends the check's thread: a stopped download ends within a tenth of a second, but a name
// look-up or a connection under way cannot be broken off; such a thread is left to end by
// itself, and it writes no file once stopped.
void StopCheck(CheckState& state, std::thread& thread) {
  state.stop = true;
  std::unique_lock<std::mutex> lock(state.mutex);
  const bool ended =
      state.doneChanged.wait_for(lock, std::chrono::seconds(1), [&] { return state.done; });
  lock.unlock();
  if (ended) {
    thread.join();
  } else {
    thread.detach();
  }
}

enum class Waited { kDone, kGivenUp, kLate };

// Waits for the check's thread through `wait`, or without one on the thread's own signal.
Waited AwaitCheck(CheckState& state, const UpdateWait& wait, Steady::time_point lateAt) {
  if (!wait) {
    std::unique_lock<std::mutex> lock(state.mutex);
    const bool done = state.doneChanged.wait_until(lock, lateAt, [&] { return state.done; });
    return done ? Waited::kDone : Waited::kLate;
  }
  while (!IsDone(state)) {
    if (!wait()) return Waited::kGivenUp;
    if (Steady::now() >= lateAt) return Waited::kLate;
  }
  return Waited::kDone;
}

// Tells the user what the information file says, offering the web page for a newer release.
void Report(const Finding& finding, const MessagePrompt& prompt, const UpdateSources& sources) {
  if (finding.kind == Finding::kNoContact) {
    prompt("Could not contact server!", MessageIcon::kWarning, false);
  } else if (finding.kind == Finding::kNoUpdates) {
    prompt("No updates found.", MessageIcon::kWarning, false);
  } else if (finding.release <= kReleaseNumber) {
    prompt("This version is up to date.", MessageIcon::kInformation, false);
  } else {
    const std::string question = "A new version of Brisvel" + finding.version +
                                 " is available.\nDo you want to visit our webpage?";
    if (prompt(question, MessageIcon::kQuestion, true) == MessageAnswer::kYes) {
      sources.openWebPage();
    }
  }
}

}  // namespace

void CheckForUpdates(const MessagePrompt& prompt, const UpdateSources& sources,
                     const UpdateWait& wait) {
  if (!sources.networkAvailable) return;
  const Steady::time_point deadline = Steady::now() + std::chrono::milliseconds(sources.deadlineMs);
  auto state = std::make_shared<CheckState>(sources);
  std::thread thread([state, deadline] { RunCheck(state, deadline); });
  // The downloads end at the deadline by themselves; a name look-up that hangs does not.
  const Waited waited = AwaitCheck(*state, wait, deadline + std::chrono::seconds(1));
  if (waited == Waited::kDone) {
    thread.join();
  } else {
    StopCheck(*state, thread);
  }
  if (waited == Waited::kGivenUp) return;
  Report(waited == Waited::kDone ? state->finding : Finding{}, prompt, sources);
}

void CheckForUpdates(const MessagePrompt& prompt, const UpdateWait& wait) {
  CheckForUpdates(prompt, DefaultUpdateSources(), wait);
}

}  // namespace brisvel
