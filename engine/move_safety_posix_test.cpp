// Move deletes a source only when the destination holds a durable copy of exactly its
// present contents, apart from the source; and the destination belongs to one run at a time,
// which never writes, compares or deletes through a link in it.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/test_folder_posix.h"
#include "engine/test_case_blind_fs.h"
#include "engine/test_faulty_fs.h"
#include "engine/job_runner.h"
#include "engine/recording_progress_view.h"

namespace brisvel {
namespace {

namespace stdfs = std::filesystem;
using Rows = std::vector<std::string>;

// The real disk, with a chance to act as a user would right before the batch of moves is
// flushed, that is after the copies were made and before any source goes.
class ActingFileSystem : public FaultyFileSystem {
 public:
  ActingFileSystem() : FaultyFileSystem(RealFileSystem()) {}
  bool SyncFolder(const std::string& folder) override {
    if (beforeSync) beforeSync();
    return FaultyFileSystem::SyncFolder(folder);
  }
  std::function<void()> beforeSync;
};

class MoveSafetyTest : public ::testing::Test {
 protected:
  MoveSafetyTest() {
    stdfs::create_directories(src_);
    stdfs::create_directories(dst_);
    state_.runState = kRunning;
  }

  BackupJob& AddJob(uint8_t flags, uint8_t method = kCompareSize) {
    BackupJob job = DefaultJob();
    job.name = "Job";
    job.source = src_;
    job.destination = dst_;
    job.flags = flags | kEnabled;
    job.compareMethod = method;
    return jobs_.Append(job);
  }
  void Run(FileSystem& fs) {
    RunEnvironment env{jobs_, settings_, state_, view_, fs, nullptr};
    JobRunner(env);
  }
  void Run() { Run(fs_); }
  bool Has(const std::string& row) const {
    const Rows texts = view_.Texts();
    return std::find(texts.begin(), texts.end(), row) != texts.end();
  }
  void ExpectErrorRow(const std::string& row) {
    EXPECT_TRUE(Has(row)) << row;
    EXPECT_EQ(view_.ColourOf(row), kRed) << row;
  }
  // Gives `path` a last-write time `seconds` after 2020-01-01.
  static void SetDate(const std::string& path, int seconds) {
    const struct timeval times[2] = {{1577836800 + seconds, 0}, {1577836800 + seconds, 0}};
    ASSERT_EQ(lutimes(path.c_str(), times), 0);
  }

  TestFolder root_;
  const std::string src_ = root_ / "src/";
  const std::string dst_ = root_ / "dst/";
  JobList jobs_;
  RunSettings settings_;
  SharedRunState state_;
  RecordingProgressView view_;
  ActingFileSystem fs_;
};

// A source that changes after its copy was made stays, with its change; the others go only
// after the destination was flushed to disk, and not at all when the flush fails.
TEST_F(MoveSafetyTest, SourcesGoOnlyAfterTheFlushAndOnlyWhenStillAsCopied) {
  WriteFile(src_ + "grows.txt", "first");
  WriteFile(src_ + "sub/steady.txt", "steady");
  fs_.beforeSync = [&] { std::ofstream(src_ + "grows.txt", std::ios::app) << " and more"; };
  AddJob(kMoveInsteadOfCopy | kIncludeSubFolders);
  Run();
  EXPECT_EQ(ReadFile(src_ + "grows.txt"), "first and more");
  EXPECT_EQ(ReadFile(dst_ + "grows.txt"), "first");
  ExpectErrorRow("Not moved grows.txt: it changed while it was being moved");
  EXPECT_TRUE(Has("Moved sub/steady.txt"));
  EXPECT_FALSE(stdfs::exists(src_ + "sub"));
  EXPECT_EQ(state_.errorCount, 1);
  const std::vector<std::string>& journal = fs_.Journal();
  const auto sync = std::find(journal.begin(), journal.end(), "sync " + dst_);
  const auto firstDelete =
      std::find(journal.begin(), journal.end(), "delete " + src_ + "sub/steady.txt");
  ASSERT_NE(firstDelete, journal.end());
  EXPECT_LT(sync, firstDelete);

  WriteFile(src_ + "again.txt", "again");
  fs_.beforeSync = nullptr;
  fs_.FailSync(dst_);
  Run();
  EXPECT_EQ(ReadFile(src_ + "again.txt"), "again");
  ExpectErrorRow("Not moved again.txt: the backup could not be saved to disk");
}

// Size and date methods read no data: a source they call unchanged goes only when its bytes
// equal the backup's. A folder or pipe where the copy belongs is never up to date, however
// new its date.
TEST_F(MoveSafetyTest, UnchangedByTheMethodIsNotEnoughToDeleteTheSource) {
  WriteFile(src_ + "same.txt", "abc");
  WriteFile(dst_ + "same.txt", "abc");
  WriteFile(src_ + "other.txt", "abc");
  WriteFile(dst_ + "other.txt", "xyz");
  AddJob(kMoveInsteadOfCopy);
  Run();
  EXPECT_FALSE(stdfs::exists(src_ + "same.txt"));
  EXPECT_EQ(ReadFile(src_ + "other.txt"), "abc");
  EXPECT_EQ(ReadFile(dst_ + "other.txt"), "xyz");
  ExpectErrorRow("Not moved other.txt: its contents differ from the backup's");

  // Equal by size, yet a source that cannot be read was never compared: no claim it differs.
  view_.rows.clear();
  WriteFile(src_ + "unreadable.txt", "abc");
  WriteFile(dst_ + "unreadable.txt", "abc");
  fs_.FailChecksums(src_ + "unreadable.txt");
  Run();
  EXPECT_EQ(ReadFile(src_ + "unreadable.txt"), "abc");
  ExpectErrorRow("Not moved unreadable.txt: it or its backup could not be read to compare them");

  view_.rows.clear();
  jobs_ = JobList();
  WriteFile(src_ + "folder.txt", "data 1");
  WriteFile(src_ + "pipe.txt", "data 2");
  SetDate(src_ + "folder.txt", 0);
  SetDate(src_ + "pipe.txt", 0);
  stdfs::create_directories(dst_ + "folder.txt/inside");
  ASSERT_EQ(mkfifo((dst_ + "pipe.txt").c_str(), 0644), 0);
  SetDate(dst_ + "folder.txt", 100);
  SetDate(dst_ + "pipe.txt", 100);
  AddJob(kMoveInsteadOfCopy, kCompareDate);
  Run();
  EXPECT_EQ(ReadFile(src_ + "folder.txt"), "data 1");
  ExpectErrorRow("Couldn't copy folder.txt: Is a directory");
  EXPECT_EQ(ReadFile(dst_ + "pipe.txt"), "data 2");
  EXPECT_TRUE(Has("Moved pipe.txt"));

  // Equal by CRC-32, yet different files: 32 bits are not enough to delete a source.
  view_.rows.clear();
  jobs_ = JobList();
  WriteFile(src_ + "crc.txt", "file09685295");
  WriteFile(dst_ + "crc.txt", "file12060020");
  ASSERT_EQ(fs_.Crc32(src_ + "crc.txt"), fs_.Crc32(dst_ + "crc.txt"));
  AddJob(kMoveInsteadOfCopy, kCompareCrc32);
  Run();
  EXPECT_EQ(ReadFile(src_ + "crc.txt"), "file09685295");
  ExpectErrorRow("Not moved crc.txt: its contents differ from the backup's");
}

// One folder under two names: a bind mount of the source as the destination.
TEST_F(MoveSafetyTest, SourceThatIsTheDestinationUnderAnotherNameKeepsEveryFile) {
  WriteFile(src_ + "only.txt", "the only copy");
  if (mount(src_.c_str(), dst_.c_str(), nullptr, MS_BIND, nullptr) != 0) {
    GTEST_SKIP() << "cannot bind-mount here";
  }
  AddJob(kMoveInsteadOfCopy | kIncludeSubFolders | kDeleteOrphans);
  Run();
  umount2(dst_.c_str(), MNT_DETACH);
  EXPECT_EQ(ReadFile(src_ + "only.txt"), "the only copy");
  EXPECT_EQ(root_.Names("src"), "only.txt");  // and no marker left behind
  ExpectErrorRow("Source and destination are the same folder: " + src_);
  EXPECT_EQ(state_.errorCount, 1);
}

// The destination inside the source under another name: the scan never enters it.
TEST_F(MoveSafetyTest, DestinationInsideTheSourceUnderAnotherNameIsNotScanned) {
  const std::string alias = root_ / "alias/";
  stdfs::create_directories(alias);
  WriteFile(src_ + "a.txt", "a");
  WriteFile(src_ + "bak/old.txt", "backed up before");
  if (mount(src_.c_str(), alias.c_str(), nullptr, MS_BIND, nullptr) != 0) {
    GTEST_SKIP() << "cannot bind-mount here";
  }
  BackupJob& job = AddJob(kIncludeSubFolders);
  job.destination = alias + "bak/";
  Run();
  umount2(alias.c_str(), MNT_DETACH);
  EXPECT_EQ(root_.Names("src/bak"), "a.txt|old.txt");
  EXPECT_EQ(state_.errorCount, 0);
}

// Links in the destination lead out of it: nothing is written, compared or deleted through
// them, and each is reported.
TEST_F(MoveSafetyTest, LinksInTheDestinationAreNeverFollowed) {
  WriteFile(root_ / "outside/passwd", "outside");
  WriteFile(root_ / "outside.txt", "outside");
  stdfs::create_directory_symlink(root_ / "outside", dst_ + "etc");
  stdfs::create_symlink(root_ / "outside.txt", dst_ + "file.txt");
  stdfs::create_directory_symlink(src_ + "sub", dst_ + "sub");
  WriteFile(src_ + "etc/passwd", "source");
  WriteFile(src_ + "file.txt", "outside");  // same size and bytes as the link's target
  WriteFile(src_ + "sub/only.txt", "the only copy");
  AddJob(kMoveInsteadOfCopy | kIncludeSubFolders);
  Run();
  EXPECT_EQ(ReadFile(root_ / "outside/passwd"), "outside");
  EXPECT_EQ(ReadFile(src_ + "etc/passwd"), "source");
  EXPECT_EQ(ReadFile(src_ + "file.txt"), "outside");
  EXPECT_EQ(ReadFile(src_ + "sub/only.txt"), "the only copy");
  EXPECT_TRUE(stdfs::is_symlink(dst_ + "file.txt"));
  ExpectErrorRow("Left alone a link in the backup: etc/");
  ExpectErrorRow("Left alone a link in the backup: sub/");
  ExpectErrorRow("Left alone a link in the backup: file.txt");
  EXPECT_EQ(state_.errorCount, 3);
}

// The log is written into the destination too: a link there, the log itself or a folder on
// its way, is never written through.
TEST_F(MoveSafetyTest, TheLogIsNeverWrittenThroughALinkInTheDestination) {
  WriteFile(root_ / "outside/run.log", "outside");
  stdfs::create_directory_symlink(root_ / "outside", dst_ + "logs");
  stdfs::create_symlink(root_ / "outside/run.log", dst_ + "backup.log");
  WriteFile(src_ + "a.txt", "a");
  AddJob(kUpdateLogFile).logFile = "backup.log";
  AddJob(kUpdateLogFile).logFile = "logs/run.log";
  Run();
  EXPECT_EQ(ReadFile(root_ / "outside/run.log"), "outside");
  ExpectErrorRow("Couldn't open log file " + dst_ + "backup.log: backup.log is a link");
  ExpectErrorRow("Couldn't open log file " + dst_ + "logs/run.log: logs/ is a link");
  EXPECT_EQ(state_.errorCount, 2);
  EXPECT_EQ(ReadFile(dst_ + "a.txt"), "a");
}

// Two source names that differ only in letter case, moved to a drive that ignores case: the
// first keeps the place, the other stays in the source, in this run and the next.
TEST_F(MoveSafetyTest, NamesThatDifferOnlyInCaseNeverOverwriteEachOther) {
  WriteFile(src_ + "Photo.jpg", "first picture");
  WriteFile(src_ + "photo.JPG", "second picture");
  CaseBlindFileSystem caseBlind(dst_);
  AddJob(kMoveInsteadOfCopy | kIncludeSubFolders);
  Run(caseBlind);
  const std::string moved = root_.Names("dst");
  ASSERT_TRUE(moved == "Photo.jpg" || moved == "photo.JPG") << moved;
  const std::string stayed = moved == "Photo.jpg" ? "photo.JPG" : "Photo.jpg";
  const std::string movedContent = ReadFile(dst_ + moved);
  EXPECT_EQ(root_.Names("src"), stayed);
  EXPECT_NE(ReadFile(src_ + stayed), movedContent);
  const std::string refused =
      "Couldn't copy " + stayed + ": its name differs only in letter case from " + moved;
  ExpectErrorRow(refused);

  view_.rows.clear();
  Run(caseBlind);
  ExpectErrorRow(refused);
  EXPECT_EQ(ReadFile(dst_ + moved), movedContent);
  EXPECT_EQ(root_.Names("src"), stayed);
  EXPECT_EQ(state_.errorCount, 1);  // of the second run
}

// A second run into a busy destination does nothing there; a Move job never deletes
// orphans, which are the files it moved before.
TEST_F(MoveSafetyTest, OneRunAtATimeAndMoveKeepsWhatItMovedBefore) {
  WriteFile(src_ + "new.txt", "new");
  WriteFile(dst_ + "moved-last-time.txt", "its only copy");
  AddJob(kMoveInsteadOfCopy | kDeleteOrphans);
  {
    std::unique_ptr<FolderLock> otherRun = RealFileSystem().LockFolder(dst_);
    ASSERT_NE(otherRun, nullptr);
    Run();
    ExpectErrorRow("Another run is using " + dst_ + ", job skipped");
    EXPECT_TRUE(stdfs::exists(src_ + "new.txt"));
    EXPECT_FALSE(stdfs::exists(dst_ + "new.txt"));
  }
  view_.rows.clear();
  state_.errorCount = 0;
  Run();
  EXPECT_TRUE(Has("Orphans are kept in a Move job."));
  EXPECT_TRUE(Has("Moved new.txt"));
  EXPECT_EQ(ReadFile(dst_ + "moved-last-time.txt"), "its only copy");
  EXPECT_EQ(root_.Names("dst"), "moved-last-time.txt|new.txt");
}

// Leftovers of a killed run, whose marker is still in the destination, go from the folders a
// run passes through. The marker stays until a run has passed every folder.
TEST_F(MoveSafetyTest, LeftoversOfAKilledRunAreRemovedWhereTheRunPasses) {
  WriteFile(src_ + "sub/a.txt", "a");
  WriteFile(dst_ + "sub/.brisvel-copy-Ab12Cd", "half a copy");
  WriteFile(dst_ + ".brisvel-copy-Ef34Gh", "half a copy");
  WriteFile(dst_ + ".brisvel-run-0123456789abcdef", "");
  for (const std::string& root : {src_, dst_}) {
    WriteFile(root + "sub/.brisvel-copy-notes/keep.txt", "a folder of the user's");
  }
  AddJob(kDeleteOrphans);
  Run();
  EXPECT_EQ(root_.Names("dst"), ".brisvel-run-0123456789abcdef|sub");
  EXPECT_EQ(root_.Names("dst/sub"), ".brisvel-copy-Ab12Cd|.brisvel-copy-notes");

  jobs_.At(0).flags |= kIncludeSubFolders;
  Run();
  EXPECT_EQ(root_.Names("dst"), "sub");
  EXPECT_EQ(root_.Names("dst/sub"), ".brisvel-copy-notes|a.txt");
  EXPECT_EQ(state_.errorCount, 0);
}

// A source file whose place in the backup the run itself uses is not backed up there: the
// job's log file would take it over, and a later run removes names like its own leftovers.
// With Move it stays in the source, with a red row.
TEST_F(MoveSafetyTest, FilesWhosePlaceTheRunTakesStayInTheSource) {
  WriteFile(src_ + "run.log", "the user's own log");
  WriteFile(src_ + ".brisvel-copy-notes", "notes");
  WriteFile(src_ + ".brisvel-run-0123456789abcdef", "marker-like");
  WriteFile(src_ + "sub/.brisvel-run-kept", "markers live only at the top");
  AddJob(kMoveInsteadOfCopy | kIncludeSubFolders | kUpdateLogFile, kCompareDate).logFile =
      "./run.log";
  Run();
  ExpectErrorRow("Couldn't copy run.log: the job's log file has this name");
  ExpectErrorRow(
      "Couldn't copy .brisvel-copy-notes: names beginning with .brisvel-copy- are the "
      "program's own");
  ExpectErrorRow(
      "Couldn't copy .brisvel-run-0123456789abcdef: names beginning with .brisvel-run- are "
      "the program's own");
  EXPECT_EQ(state_.errorCount, 3);
  EXPECT_TRUE(Has("Moved sub/.brisvel-run-kept"));
  EXPECT_EQ(root_.Names("src"), ".brisvel-copy-notes|.brisvel-run-0123456789abcdef|run.log");
  EXPECT_EQ(ReadFile(src_ + "run.log"), "the user's own log");
  EXPECT_EQ(ReadFile(src_ + ".brisvel-copy-notes"), "notes");
  EXPECT_EQ(ReadFile(dst_ + "sub/.brisvel-run-kept"), "markers live only at the top");
  EXPECT_EQ(ReadFile(dst_ + "run.log").rfind("Brisvel Backup Job 'Job'\r\n", 0), 0u);
}

// Another job's files are never in this job's source: a job with orphans on keeps them when
// another job of the list, Move or copy, enabled or not, backs up into its destination or a
// folder inside it, and deletes orphans as before when that job works elsewhere.
TEST_F(MoveSafetyTest, OrphansStayWhereAnotherJobBacksUp) {
  WriteFile(src_ + "mine.txt", "mine");
  WriteFile(dst_ + "stale.txt", "an orphan");
  BackupJob& mover = AddJob(kMoveInsteadOfCopy);
  mover.name = "Mover";
  mover.source = root_ / "theirs/";
  mover.destination = dst_ + "in/";
  AddJob(kDeleteOrphans | kIncludeSubFolders).name = "Mirror";
  BackupJob& copier = AddJob(0);
  copier.name = "Copier";
  copier.source = root_ / "copied/";
  copier.flags = 0;  // disabled: its backup of an earlier run is there all the same
  WriteFile(dst_ + "copied.txt", "the backup of another source");
  WriteFile(root_ / "theirs/moved.txt", "its only copy");
  Run();
  EXPECT_TRUE(Has("Orphans are kept: job 'Mover' also backs up into this destination."));
  EXPECT_EQ(ReadFile(dst_ + "in/moved.txt"), "its only copy");
  EXPECT_EQ(root_.Names("dst"), "copied.txt|in|mine.txt|stale.txt");
  EXPECT_EQ(state_.errorCount, 0);

  stdfs::rename(dst_ + "in", root_ / "elsewhere");
  jobs_.At(0).destination = root_ / "elsewhere/";
  view_.rows.clear();
  Run();
  EXPECT_TRUE(Has("Orphans are kept: job 'Copier' also backs up into this destination."));
  jobs_.At(2).destination = root_ / "elsewhere/";
  AddJob(kDeleteOrphans).flags = 0;  // the same job kept twice, disabled
  view_.rows.clear();
  Run();
  EXPECT_TRUE(Has("Deleted copied.txt"));
  EXPECT_TRUE(Has("Deleted stale.txt"));
  EXPECT_EQ(root_.Names("dst"), "mine.txt");
  EXPECT_EQ(ReadFile(root_ / "elsewhere/moved.txt"), "its only copy");
}

// Two Move jobs into one destination: a file of the second whose name the first job's moved
// file already has stays in the source instead of replacing that only copy; its other files
// move.
TEST_F(MoveSafetyTest, MoveNeverReplacesAFileAnotherJobMayHaveMoved) {
  WriteFile(src_ + "a.txt", "the first job's");
  AddJob(kMoveInsteadOfCopy).name = "First";
  BackupJob& second = AddJob(kMoveInsteadOfCopy);
  second.name = "Second";
  second.source = root_ / "second/";
  WriteFile(root_ / "second/a.txt", "the second job's, longer");
  WriteFile(root_ / "second/b.txt", "b");
  Run();
  ExpectErrorRow(
      "Not moved a.txt: the backup holds a different file of this name, and job 'First' also "
      "backs up there");
  EXPECT_EQ(state_.errorCount, 1);
  EXPECT_EQ(ReadFile(dst_ + "a.txt"), "the first job's");
  EXPECT_EQ(ReadFile(root_ / "second/a.txt"), "the second job's, longer");
  EXPECT_EQ(root_.Names("dst"), "a.txt|b.txt");
}

// A log file whose lines cannot all be written (here a drive that is always full) is a red
// row and an error, like one that cannot be opened.
TEST_F(MoveSafetyTest, LostLogLinesAreAnError) {
  WriteFile(src_ + "a.txt", "a");
  WriteFile(dst_ + "run.log", "");
  if (mount("/dev/full", (dst_ + "run.log").c_str(), nullptr, MS_BIND, nullptr) != 0) {
    GTEST_SKIP() << "cannot bind-mount here";
  }
  AddJob(kUpdateLogFile).logFile = "run.log";
  Run();
  umount2((dst_ + "run.log").c_str(), MNT_DETACH);
  ExpectErrorRow("Couldn't write log file " + dst_ + "run.log: No space left on device");
  EXPECT_EQ(state_.errorCount, 1);
  EXPECT_EQ(state_.copiedTotal, 1);
}

}  // namespace
}  // namespace brisvel
