// The command line: the program's own options first, then one of the command forms, which
// decide whether a run starts at once or the main window opens.
#pragma once

#include <string>
#include <vector>

#include "core/job_list.h"
#include "core/job_list_view.h"
#include "core/run_settings.h"
#include "engine/fs.h"

namespace brisvel {

// "--console", "--help" and "--version", taken from the front of the arguments.
struct ProgramOptions {
  bool console = false;
  bool help = false;
  bool version = false;
  // "--scheduled": the run a schedule starts. Its job file must be there, and nobody is
  // there to see the main window or to read a message box.
  bool scheduled = false;
  std::vector<std::string> arguments;  // what follows them
};

ProgramOptions ReadProgramOptions(const std::vector<std::string>& arguments);

// The arguments of the command forms. Asking for one beyond the last gives "".
class Arguments {
 public:
  explicit Arguments(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}
  const std::string& operator[](size_t index) const;
  size_t Count() const { return arguments_.size(); }

 private:
  std::vector<std::string> arguments_;
};

enum class StartMode { kMainWindow, kRun };

struct StartDecision {
  StartMode mode = StartMode::kMainWindow;
  // For a terminal, which cannot show the main window instead: why nothing runs ("" when the
  // job-file loader has said so itself), and whether the usage line would help.
  std::string reason;
  bool showUsage = false;
  // What runs or would have run: the job file as given, or the one-off job.
  std::string runName;
  // Why it cannot run, as the notice of an unwatched run says it ("" when it runs).
  std::string failure;
  // "preview": the run only shows what it would do and changes nothing.
  bool preview = false;
};

// Reads the command forms into `jobs` and `settings`, showing them through `view`:
//  - JOBFILE [silent|tray] [shutdown]: an existing file of more than 0 bytes (tested first);
//    runs when the file loads and holds an enabled job with both folders;
//  - open|edit [JOBFILE]: loads the file when there is one; never runs;
//  - backup SRC DST [words]: one job; runs when SRC is a folder and DST is given;
//  - anything else: the main window with the default job.
// Whenever the main window is to be shown, the list holds at least one job. A `scheduled` run
// names a job file: anything else is a job file that was moved or removed.
StartDecision ReadCommandLine(const Arguments& arguments, JobList& jobs, RunSettings& settings,
                              JobListView& view, FileSystem& fs, bool scheduled = false);

// True for "schedule ...", unless the first argument names a job file (which comes first, as
// for every form).
bool IsScheduleCommand(const Arguments& arguments, FileSystem& fs);

// What the option words said beyond the job and the run settings.
struct OptionWordsResult {
  bool preview = false;
  // Why a value of a setting cannot be taken ("" when every value could); the run must not
  // go ahead without a setting the user asked for, such as a deletion limit.
  std::string problem;
};

// Applies the option words of the one-off job from argument `first` on. Keywords are compared
// in lower case; "log", "filter", "versionfolder", "keepruns", "keepdays", "maxdelete" and
// "exclude" take the next argument when it is not empty.
OptionWordsResult ApplyOptionWords(const Arguments& arguments, size_t first, BackupJob& job,
                                   RunSettings& settings);

}  // namespace brisvel
