// Feeds arbitrary bytes to the job-file reader and checks what must hold for every input:
// no crash, hang or unbounded memory (the sanitizers and libFuzzer watch those), the same
// document however the input is split into pieces, a job list and view that agree, and a
// saved list that reads back as the same jobs.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/job_document.h"
#include "core/job_file.h"
#include "core/test_job_list_view.h"
#include "core/text.h"
#include "core/xml_reader.h"

namespace brisvel {
namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "job file fuzzer: %s\n", what);
  std::abort();
}

XmlDocument Read(std::string_view text, size_t pieceSize) {
  XmlDocument document;
  XmlReader reader(document);
  Check(reader.Ok(), "no parser");
  for (size_t at = 0; at < text.size(); at += pieceSize) reader.Feed(text.substr(at, pieceSize));
  reader.Finish();
  return document;
}

bool SameElement(const XmlElement& a, const XmlElement& b) {
  return a.name == b.name && a.attributes == b.attributes;
}

bool SameDocument(const XmlDocument& a, const XmlDocument& b) {
  if (a.hasRoot != b.hasRoot || a.complete != b.complete) return false;
  if (a.children.size() != b.children.size()) return false;
  if (a.hasRoot && !SameElement(a.root, b.root)) return false;
  for (size_t i = 0; i < a.children.size(); ++i) {
    if (!SameElement(a.children[i], b.children[i])) return false;
  }
  return true;
}

void CheckListMatchesView(const JobList& jobs, const FakeJobListView& view) {
  Check(!jobs.Empty(), "an empty list after a load");
  Check(static_cast<size_t>(jobs.Count()) == view.rows.size(), "rows and jobs differ in number");
  for (int i = 0; i < jobs.Count(); ++i) {
    const BackupJob& job = jobs.At(i);
    Check(view.rows[i].name == job.name, "a row shows another name");
    Check(view.rows[i].checked == job.Has(kEnabled), "a check box disagrees with its job");
    Check(!job.name.empty(), "a job without a name");
    Check(job.source.empty() || EndsWithSeparator(job.source), "a source without separator");
    Check(job.compareMethod <= kCompareMd5, "a compare method out of range");
  }
}

// Saving drops double quotes from the texts; everything else must come back.
std::string Unquoted(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c != '"') result += c;
  }
  return result;
}

bool SameText(const std::string& original, const std::string& loaded) {
  return Unquoted(original) == loaded;
}

bool SameJob(const BackupJob& a, const BackupJob& b) {
  std::string name = Unquoted(a.name);
  return (name.empty() ? kNewJobName : name) == b.name && SameText(a.source, b.source) &&
         SameText(a.destination, b.destination) &&
         (a.flags & ~kAutomaticName) == (b.flags & ~kAutomaticName) &&
         a.compareMethod == b.compareMethod && SameText(a.logFile, b.logFile) &&
         SameText(a.filter, b.filter) && a.needsDrive == b.needsDrive &&
         a.keepVersions == b.keepVersions && a.keepRuns == b.keepRuns &&
         a.keepDays == b.keepDays && a.maxDelete == b.maxDelete && SameText(a.exclude, b.exclude) &&
         // A version folder whose double quotes, dropped on saving, leave a ".." is refused
         // when read back, and old versions go to the default folder: never outside.
         (SameText(a.versionFolder, b.versionFolder) || b.versionFolder.empty());
}

// The one message a loaded file may bring: some of its jobs' settings could not be used
// and are off.
bool OnlySettingProblems(const FakeJobListView& view) {
  return view.messages.size() == 1 &&
         view.messages[0].text.starts_with("Some settings of this job file cannot be used:");
}

void CheckRoundTrip(const JobList& jobs, const RunSettings& settings) {
  std::string saved = JobFileText(jobs, settings);
  XmlDocument document = Read(saved, saved.size() + 1);
  Check(document.complete, "a saved list is not well-formed");
  JobList again;
  RunSettings againSettings;
  FakeJobListView view;
  Check(ApplyJobDocument(document, again, againSettings, view) == 1, "a saved list lost its jobs");
  Check(again.Count() == jobs.Count(), "a saved list changed its length");
  for (int i = 0; i < jobs.Count(); ++i) Check(SameJob(jobs.At(i), again.At(i)), "a job changed");
  Check(againSettings.hiddenRun == settings.hiddenRun, "the hidden run changed");
  Check(againSettings.finishAction == settings.finishAction, "the finish action changed");
}

}  // namespace
}  // namespace brisvel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brisvel;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  XmlDocument whole = Read(text, size + 1);
  Check(SameDocument(whole, Read(text, 1 + size % 13)), "pieces changed the document");

  JobList jobs;
  RunSettings settings;
  FakeJobListView view;
  int result = ApplyJobDocument(whole, jobs, settings, view);
  Check(view.refreshCount >= 1, "the settings panel was not refreshed");
  if (!view.messages.empty() && view.messages[0].text == "Not a valid Brisvel file!") {
    Check(result == 0 && jobs.Empty() && view.rows.empty(), "a rejected file changed the list");
    return 0;
  }
  CheckListMatchesView(jobs, view);
  Check((result == 1) == (view.messages.empty() || (result == 1 && OnlySettingProblems(view))),
        "a message that does not fit the result");
  if (result == 1) CheckRoundTrip(jobs, settings);
  return 0;
}
