#include "engine/job_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/test_folder.h"
#include "core/text.h"
#include "engine/test_faulty_fs.h"
#include "engine/recording_progress_view.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;

void WriteFile(const stdfs::path& path, const std::string& content) {
  stdfs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const stdfs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// A progress view that presses STOP when a row or status starting with a given text appears.
class StoppingView : public RecordingProgressView {
 public:
  StoppingView(SharedRunState& state, std::string trigger)
      : state_(state), trigger_(std::move(trigger)) {}
  void AddRow(int64_t index, const std::string& text, Colour colour) override {
    RecordingProgressView::AddRow(index, text, colour);
    StopOn(text);
  }
  void SetStatus(const std::string& text) override {
    RecordingProgressView::SetStatus(text);
    StopOn(text);
  }

 private:
  void StopOn(const std::string& text) {
    if (text.rfind(trigger_, 0) == 0) state_.cancel = 1;
  }
  SharedRunState& state_;
  std::string trigger_;
};

class RunTest : public ::testing::Test {
 protected:
  RunTest() {
    root_ = folder_.Path();
    source_ = root_ / "src";
    destination_ = root_ / "dst";
    stdfs::create_directories(source_);
    state_.runState = kRunning;
  }

  BackupJob& AddJob(const std::string& name, uint8_t flags) {
    BackupJob job = DefaultJob();
    job.name = name;
    job.source = source_.string();
    job.destination = destination_.string();
    job.flags = flags | kEnabled;
    return jobs_.Append(job);
  }

  void Run(ProgressView& view, FileSystem& fs) {
    RunEnvironment env{jobs_,
                       settings_,
                       state_,
                       view,
                       fs,
                       [this](const std::string& folder) { opened_.push_back(folder); },
                       [] { return std::time_t{1700000000}; }};
    env.computerFolders = computerFolders_;
    JobRunner(env);
    drivesNotConnected_ = env.drivesNotConnected;
  }
  void Run() { Run(view_, RealFileSystem()); }

  TestFolder folder_;
  stdfs::path root_;
  stdfs::path source_;
  stdfs::path destination_;
  JobList jobs_;
  RunSettings settings_;
  SharedRunState state_;
  RecordingProgressView view_;
  std::vector<std::string> opened_;
  std::vector<std::string> computerFolders_ = ComputerFolders();
  std::vector<std::string> drivesNotConnected_;
};

using Rows = std::vector<std::string>;

TEST_F(RunTest, JobWithoutFilesLogsItsPhasesAndTheSummary) {
  AddJob("Photos", 0);
  Run();
  EXPECT_EQ(view_.Texts(),
            (Rows{"Running 'Photos'...", "Scanning for new files...", "No files found.", "",
                  "Copied 0 total files.", "Finished all jobs."}));
  EXPECT_EQ(view_.ColourOf("Scanning for new files..."), kGrey);
  for (size_t i = 0; i < view_.rows.size(); ++i) EXPECT_EQ(view_.rows[i].index, (int64_t)i);
  EXPECT_EQ(state_.runState, kFinished);
  EXPECT_EQ(state_.finishRequest, kExitRequest);
  EXPECT_FALSE(view_.waitingForOk);
  EXPECT_EQ(view_.jobLine, "Jobs Complete");
  EXPECT_EQ(view_.barColour, kBarBlue);
  EXPECT_EQ(view_.status, "");
  EXPECT_EQ(view_.trayTip, "Brisvel");
  EXPECT_FALSE(view_.finishEnabled);
  // The folders gained their final separator and the main window was told.
  EXPECT_TRUE(EndsWithSeparator(jobs_.At(0).source));
  EXPECT_TRUE(EndsWithSeparator(jobs_.At(0).destination));
  EXPECT_EQ(view_.refreshCount, 1);
}

TEST_F(RunTest, CopiesNewFilesIntoTheDestinationAndItsLogFile) {
  WriteFile(source_ / "a.txt", "alpha");
  WriteFile(source_ / "sub" / "b.txt", "beta");
  BackupJob& job = AddJob("Docs", kIncludeSubFolders | kUpdateLogFile);
  job.logFile = "backup.log";
  Run();
  EXPECT_EQ(ReadFile(destination_ / "a.txt"), "alpha");
  EXPECT_EQ(ReadFile(destination_ / "sub" / "b.txt"), "beta");
  EXPECT_EQ(view_.ColourOf("Copied a.txt"), kGreen);
  EXPECT_EQ(view_.ColourOf(NativePath("Copied sub/b.txt")), kGreen);
  Rows texts = view_.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Found 2 files."), texts.end());
  EXPECT_EQ(texts.back(), "Finished all jobs.");
  EXPECT_EQ(state_.copiedTotal, 2);

  std::string log = ReadFile(destination_ / "backup.log");
  EXPECT_EQ(log.rfind("Brisvel Backup Job 'Docs'\r\n", 0), 0u) << log;
  EXPECT_NE(log.find("Options: Recursive FileSize\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" . Copied: a.txt\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(NativePath(" . Copied: sub/b.txt\r\n")), std::string::npos) << log;
  EXPECT_EQ(log.substr(log.size() - 4), "\r\n\r\n");
}

TEST_F(RunTest, SecondRunCopiesOnlyWhatChanged) {
  WriteFile(source_ / "same.txt", "same");
  WriteFile(source_ / "grows.txt", "v1");
  AddJob("Job", 0);
  Run();
  WriteFile(source_ / "grows.txt", "version 2");
  RecordingProgressView second;
  state_.copiedTotal = 0;
  state_.logRow = 0;
  Run(second, RealFileSystem());
  EXPECT_EQ(second.Texts(),
            (Rows{"Running 'Job'...", "Scanning for new files...", "Copied grows.txt",
                  "Found 2 files.", "", "Copied 1 total file.", "Finished all jobs."}));
  EXPECT_EQ(ReadFile(destination_ / "grows.txt"), "version 2");
}

TEST_F(RunTest, MoveEmptiesTheSourceAndDeletesUnchangedFilesWithoutARow) {
  WriteFile(source_ / "keep" / "new.txt", "new");
  WriteFile(source_ / "old.txt", "old");
  WriteFile(destination_ / "old.txt", "old");
  AddJob("Move", kIncludeSubFolders | kMoveInsteadOfCopy);
  Run();
  EXPECT_EQ(ReadFile(destination_ / "keep" / "new.txt"), "new");
  EXPECT_EQ(ReadFile(destination_ / "old.txt"), "old");
  EXPECT_EQ(view_.ColourOf(NativePath("Moved keep/new.txt")), kGreen);
  Rows texts = view_.Texts();
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                          [](const std::string& t) { return t.find("old.txt") != t.npos; }),
            0);
  EXPECT_FALSE(stdfs::exists(source_ / "old.txt"));
  EXPECT_FALSE(stdfs::exists(source_ / "keep"));
  EXPECT_EQ(state_.copiedTotal, 1);
}

TEST_F(RunTest, MoveThatCannotDeleteTheSourceReportsACopy) {
  WriteFile(source_ / "stuck.txt", "data");
  AddJob("Move", kMoveInsteadOfCopy | kUpdateLogFile).logFile = "run.log";
  FaultyFileSystem fs(RealFileSystem());
  fs.FailDelete((source_ / "stuck.txt").string());
  Run(view_, fs);
  EXPECT_EQ(view_.ColourOf("Copied stuck.txt"), kOlive);
  EXPECT_EQ(state_.errorCount, 0);
  EXPECT_TRUE(stdfs::exists(source_ / "stuck.txt"));
  EXPECT_NE(ReadFile(destination_ / "run.log").find(" . Copied: stuck.txt"), std::string::npos);
}

TEST_F(RunTest, FailedCopyIsAnErrorThatKeepsTheWindowOpen) {
  WriteFile(source_ / "bad.txt", "bad");
  WriteFile(source_ / "good.txt", "good");
  AddJob("Job", kUpdateLogFile).logFile = "backup.log";
  settings_.finishAction = kFinishExit;
  FaultyFileSystem fs(RealFileSystem());
  fs.FailCopy((source_ / "bad.txt").string());
  Run(view_, fs);
  EXPECT_EQ(view_.ColourOf("Couldn't copy bad.txt: Permission denied"), kRed);
  EXPECT_EQ(ReadFile(destination_ / "good.txt"), "good");
  Rows texts = view_.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "1 error encountered."), texts.end());
  EXPECT_EQ(view_.status, "1 Error (See Log)");
  EXPECT_EQ(view_.barColour, kBarRed);
  EXPECT_EQ(view_.finishChoice, kFinishReturn);
  EXPECT_EQ(settings_.finishAction, kFinishReturn);
  EXPECT_TRUE(view_.waitingForOk);
  EXPECT_EQ(state_.finishRequest, kNoRequest);
  // Failures are not written to the log file.
  EXPECT_EQ(ReadFile(destination_ / "backup.log").find("bad.txt"), std::string::npos);
}

TEST_F(RunTest, DestinationThatCannotBeCreatedSkipsTheJob) {
  WriteFile(root_ / "file", "x");
  WriteFile(source_ / "a.txt", "a");
  BackupJob& job = AddJob("Job", kOpenFolderWhenDone);
  job.destination = (root_ / "file" / "dst/").string();
  Run();
  EXPECT_EQ(view_.ColourOf("Cannot create " + job.destination), kRed);
  EXPECT_EQ(view_.Texts()[2], "");
  EXPECT_EQ(state_.errorCount, 1);
  EXPECT_EQ(view_.status, "1 Error (See Log)");
}

// A log that cannot be written is an error, and a job file can never make the log land
// outside the destination; the jobs still copy their files.
TEST_F(RunTest, LogFileThatCannotBeWrittenHereIsAnError) {
  WriteFile(source_ / "a.txt", "a");
  AddJob("Missing folder", kUpdateLogFile).logFile = "nosuchdir/x";
  AddJob("Climbs out", kUpdateLogFile).logFile = "../x/y";
  AddJob("Absolute", kUpdateLogFile).logFile = (root_ / "abs.log").string();
  AddJob("Back and forth", kUpdateLogFile).logFile = "sub/../..x.log";
  AddJob("Named like a leftover", kUpdateLogFile).logFile = ".brisvel-copy-log";
  Run();
  const std::string destination = jobs_.At(0).destination;
  for (const std::string& row :
       {"Couldn't open log file " + destination + "nosuchdir/x: No such file or directory",
        std::string("Log file must lie inside the destination folder: ../x/y"),
        "Log file must lie inside the destination folder: " + (root_ / "abs.log").string(),
        std::string("Log file must lie inside the destination folder: sub/../..x.log"),
        "Couldn't open log file " + destination +
            ".brisvel-copy-log: names beginning with .brisvel-copy- are the program's own"}) {
    EXPECT_EQ(view_.ColourOf(row), kRed) << row;
  }
  EXPECT_EQ(state_.errorCount, 5);
  EXPECT_EQ(state_.copiedTotal, 1);
  EXPECT_FALSE(stdfs::exists(root_ / "x") || stdfs::exists(root_ / "abs.log"));
  EXPECT_EQ(view_.status, "5 Errors (See Log)");
}

// A job that needs its drive writes nothing, not even its destination folder or log, while
// the drive is away: no folder at all, or the bare empty folder a drive is mounted on, on the
// computer's own drive (here the test's folder). The next job still runs.
TEST_F(RunTest, AJobWhoseDriveIsAwayIsSkippedWithoutWritingAnything) {
  WriteFile(source_ / "a.txt", "a");
  const std::string driveFolder = (root_ / "drive" / "").string();
  BackupJob& drive = AddJob("Drive", kUpdateLogFile | kOpenFolderWhenDone);
  drive.needsDrive = true;
  drive.destination = driveFolder;
  AddJob("Plain", 0).destination = (root_ / "plain").string();
  computerFolders_ = {root_.string()};
  Run();
  EXPECT_EQ(view_.Texts(),
            (Rows{"Running 'Drive'...", "Backup drive not connected: " + driveFolder, "",
                  "Running 'Plain'...", "Scanning for new files...", "Copied a.txt",
                  "Found 1 file.", "", "Copied 1 total file.", "Finished all jobs."}));
  EXPECT_EQ(view_.ColourOf("Backup drive not connected: " + driveFolder), kBlack);
  EXPECT_FALSE(stdfs::exists(root_ / "drive"));
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(drivesNotConnected_, (Rows{driveFolder}));
  EXPECT_EQ(state_.jobsRun, 1);
  EXPECT_EQ(state_.errorCount, 0);

  stdfs::create_directory(root_ / "drive");
  jobs_.At(1).Set(kEnabled, false);
  Run();
  EXPECT_TRUE(stdfs::is_empty(root_ / "drive"));
  EXPECT_EQ(state_.jobsRun, 0);
  EXPECT_EQ(state_.finishRequest, kExitRequest);
}

// An empty folder on a drive that is not the computer's own is a fresh backup drive, and a
// folder that holds anything is where earlier runs wrote: both run.
TEST_F(RunTest, AJobFindsItsDriveInAFreshFolderOnAnotherDriveOrInAFilledOne) {
  WriteFile(source_ / "a.txt", "a");
  stdfs::create_directories(destination_);
  AddJob("Drive", 0).needsDrive = true;
  computerFolders_ = {};
  Run();
  EXPECT_EQ(ReadFile(destination_ / "a.txt"), "a");

  computerFolders_ = {root_.string()};
  WriteFile(source_ / "b.txt", "b");
  Run();
  EXPECT_EQ(ReadFile(destination_ / "b.txt"), "b");
  EXPECT_TRUE(drivesNotConnected_.empty());
}

TEST_F(RunTest, DisabledJobsAndJobsWithoutFoldersProduceNoJobRows) {
  AddJob("Off", 0).flags = 0;
  BackupJob& empty = AddJob("Empty", 0);
  empty.source.clear();
  Run();
  EXPECT_EQ(view_.Texts(), (Rows{"", "Copied 0 total files.", "Finished all jobs."}));
}

// One run works in a tree of folders. A run does not start inside a folder that another run
// holds; a run around another leaves that run's folder alone, deleting and copying nothing
// there; a folder whose run is gone (its marker stays, its lock is free) blocks nothing.
TEST_F(RunTest, NestedRunsLeaveEachOthersFoldersAlone) {
  WriteFile(source_ / "a.txt", "a");
  WriteFile(source_ / "inner" / "b.txt", "b");
  WriteFile(destination_ / "inner" / "moved.txt", "the only copy");
  WriteFile(destination_ / "inner" / ".brisvel-run-0123456789abcdef", "");
  WriteFile(destination_ / "gone" / ".brisvel-run-fedcba9876543210", "");
  BackupJob& job = AddJob("Job", kDeleteOrphans | kIncludeSubFolders);
  const std::string dst = WithTrailingSeparator(destination_.string());
  const std::string inner = dst + "inner" + kPathSeparator;
  const auto rowEndingIn = [&](const std::string& end) {
    for (const std::string& row : view_.Texts()) {
      if (row.size() >= end.size() && row.ends_with(end)) return row;
    }
    return std::string();
  };
  {
    std::unique_ptr<FolderLock> aroundRun = RealFileSystem().LockFolder(dst);
    job.destination = inner;
    Run();
    const std::string refused = rowEndingIn(", which contains " + inner + ", job skipped");
    EXPECT_TRUE(refused.starts_with("Another run is using ")) << refused;
    EXPECT_EQ(view_.ColourOf(refused), kRed);
    EXPECT_FALSE(stdfs::exists(destination_ / "inner" / "b.txt"));
  }
  job.destination = dst;
  view_.rows.clear();
  state_.errorCount = 0;
  {
    std::unique_ptr<FolderLock> innerRun = RealFileSystem().LockFolder(inner);
    Run();
    const Rows rows = view_.Texts();
    const std::string kept = NativePath("Orphans are kept in inner/: another run is using it.");
    EXPECT_NE(std::find(rows.begin(), rows.end(), kept), rows.end());
    const std::string skipped = "Another run is using " + inner + ", folder skipped";
    EXPECT_EQ(view_.ColourOf(skipped), kRed);
    EXPECT_EQ(state_.errorCount, 1);
    EXPECT_EQ(ReadFile(destination_ / "a.txt"), "a");
    EXPECT_FALSE(stdfs::exists(destination_ / "gone"));
    EXPECT_EQ(ReadFile(destination_ / "inner" / "moved.txt"), "the only copy");
    EXPECT_FALSE(stdfs::exists(destination_ / "inner" / "b.txt"));
  }
  // Once the inner run has ended, its folder is the job's like any other.
  view_.rows.clear();
  state_.errorCount = 0;
  Run();
  EXPECT_EQ(state_.errorCount, 0);
  EXPECT_EQ(ReadFile(destination_ / "inner" / "b.txt"), "b");
  EXPECT_FALSE(stdfs::exists(destination_ / "inner" / "moved.txt"));
}

TEST_F(RunTest, LongJobNamesAreShortenedInTheJobLineOnly) {
  const std::string name24 = "abcdefghijklmnopqrstuvwx";
  const std::string name25 = name24 + "y";
  AddJob(name24, 0);
  AddJob(name25, 0);
  Run();
  EXPECT_EQ(view_.trayTips[0], "Brisvel\nRunning '" + name24 + "'...");
  EXPECT_EQ(view_.trayTips[1], "Brisvel\nRunning '" + name24 + "...'");
  EXPECT_EQ(view_.Texts()[4], "Running '" + name25 + "'...");
}

TEST_F(RunTest, NamesAreMeasuredInLettersNotBytes) {
  const std::string letters20 =
      "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
      "abcdefghijklmno";  // 20 letters in 25 bytes
  AddJob(letters20, 0);
  Run();
  EXPECT_EQ(view_.trayTips[0], "Brisvel\nRunning '" + letters20 + "'...");
}

TEST_F(RunTest, OpensTheDestinationWhenDone) {
  AddJob("Job", kOpenFolderWhenDone);
  Run();
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], jobs_.At(0).destination);
}

TEST_F(RunTest, StopBeforeTheFirstJobRunsNothing) {
  AddJob("Job", 0);
  state_.cancel = 1;
  Run();
  EXPECT_EQ(view_.Texts(), (Rows{"Copied 0 total files.", "Job(s) cancelled."}));
  EXPECT_EQ(view_.status, "Cancelled by User");
  EXPECT_EQ(settings_.finishAction, kFinishReturn);
  EXPECT_TRUE(view_.waitingForOk);
}

TEST_F(RunTest, StopDuringTheScanEndsTheRunWithoutTheJobsClosingSteps) {
  WriteFile(source_ / "a.txt", "a");
  AddJob("Job", kOpenFolderWhenDone);
  AddJob("Second", 0);
  StoppingView view(state_, "Found 1 file");
  Run(view, RealFileSystem());
  EXPECT_EQ(view.Texts(), (Rows{"Running 'Job'...", "Scanning for new files...",
                                "Copied 0 total files.", "Job(s) cancelled."}));
  EXPECT_TRUE(opened_.empty());
  EXPECT_FALSE(stdfs::exists(destination_ / "a.txt"));
}

TEST_F(RunTest, StopDuringTheCopyLoopStillClosesTheJob) {
  const int files = 300;
  for (int i = 0; i < files; ++i) WriteFile(source_ / ("f" + std::to_string(i)), "x");
  AddJob("Job", kOpenFolderWhenDone | kUpdateLogFile).logFile = "backup.log";
  StoppingView view(state_, "Copied ");
  Run(view, RealFileSystem());
  // Copies already under way when STOP came may finish; no new one starts, and every copy
  // that happened has its row.
  Rows texts = view.Texts();
  const int64_t copied = state_.copiedTotal;
  EXPECT_GE(copied, 1);
  EXPECT_LT(copied, files);
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                          [](const std::string& t) { return t.rfind("Copied f", 0) == 0; }),
            copied);
  int64_t inBackup = 0;
  for (int i = 0; i < files; ++i)
    inBackup += stdfs::exists(destination_ / ("f" + std::to_string(i)));
  EXPECT_EQ(inBackup, copied);
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[texts.size() - 4], "Found 300 files.");
  EXPECT_EQ(texts[texts.size() - 3], "");
  EXPECT_EQ(texts[texts.size() - 2],
            "Copied " + std::to_string(copied) + " total file" + (copied == 1 ? "." : "s."));
  EXPECT_EQ(texts.back(), "Job(s) cancelled.");
  EXPECT_TRUE(opened_.empty());
  std::string log = ReadFile(destination_ / "backup.log");
  EXPECT_EQ(log.substr(log.size() - 4), "\r\n\r\n");
}

// While a long copy is under way, the status names that file, not the ones queued after it.
TEST_F(RunTest, StatusNamesTheFileBeingCopied) {
  for (const char* name : {"a.bin", "b.txt", "c.txt"}) WriteFile(source_ / name, name);
  AddJob("Job", 0);
  // The scan takes the files in listing order: the first one listed is copied first.
  const std::string slowName = stdfs::directory_iterator(source_)->path().filename().string();
  struct LockedView : RecordingProgressView {
    void SetStatus(const std::string& text) override {
      std::lock_guard lock(mutex);
      RecordingProgressView::SetStatus(text);
    }
    std::string Status() {
      std::lock_guard lock(mutex);
      return status;
    }
    std::mutex mutex;
  } view;
  // The copy of the first file ends only once the two after it are done, and notes the
  // status it saw meanwhile.
  struct SlowFirstCopy : FaultyFileSystem {
    SlowFirstCopy(LockedView& view, std::string slowName)
        : FaultyFileSystem(RealFileSystem()), view(view), slowName(std::move(slowName)) {}
    Status CopyFileIn(const FilePair& pair, const CopyControl& control) override {
      if (pair.name != slowName) {
        const Status copied = FaultyFileSystem::CopyFileIn(pair, control);
        std::lock_guard lock(mutex);
        ++othersDone;
        done.notify_all();
        return copied;
      }
      std::unique_lock lock(mutex);
      done.wait(lock, [this] { return othersDone == 2; });
      statusDuringCopy = view.Status();
      return FaultyFileSystem::CopyFileIn(pair, control);
    }
    LockedView& view;
    const std::string slowName;
    std::mutex mutex;
    std::condition_variable done;
    int othersDone = 0;
    std::string statusDuringCopy;
  } fs(view, slowName);
  Run(view, fs);
  EXPECT_EQ(fs.statusDuringCopy, "Copying '" + slowName + "'...");
  EXPECT_EQ(state_.copiedTotal, 3);
}

// The end of a run: (cancelled, finish action, log shown, error) -> waits for OK, or which
// request the main loop gets.
struct EndCase {
  bool cancelled;
  int finish;
  bool logShown;
  bool error;
  bool waitsForOk;
  int request;
};

class RunEndTest : public RunTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(RunEndTest, DecidesBetweenOkAndTheFinishRequest) {
  const EndCase& c = GetParam();
  WriteFile(source_ / "a.txt", "a");
  AddJob("Job", 0);
  settings_.finishAction = c.finish;
  state_.logShown = c.logShown;
  FaultyFileSystem fs(RealFileSystem());
  if (c.error) fs.FailCopy((source_ / "a.txt").string());
  StoppingView view(state_, c.cancelled ? "Found " : "\x01never");
  Run(view, fs);
  EXPECT_EQ(view.waitingForOk, c.waitsForOk);
  EXPECT_EQ(state_.finishRequest, c.request);
  EXPECT_EQ(state_.runState, kFinished);
}

INSTANTIATE_TEST_SUITE_P(
    Decisions, RunEndTest,
    ::testing::Values(EndCase{false, kFinishExit, false, false, false, kExitRequest},
                      EndCase{false, kFinishExit, true, false, true, kNoRequest},
                      EndCase{false, kFinishExit, false, true, true, kNoRequest},
                      EndCase{false, kFinishReturn, false, false, true, kNoRequest},
                      EndCase{false, kFinishShutdown, false, false, false, kShutdownRequest},
                      EndCase{false, kFinishShutdown, true, true, false, kShutdownRequest},
                      EndCase{true, kFinishShutdown, false, false, true, kNoRequest},
                      EndCase{true, kFinishExit, false, false, true, kNoRequest}));

}  // namespace
}  // namespace brisvel
