#include <gtest/gtest.h>

#include <vector>

#include "core/test_platform.h"
#include "engine/test_job_fixture.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

using Rows = std::vector<std::string>;

class OrphansTest : public JobFixture {
 protected:
  OrphansTest() { job_.flags = kEnabled | kIncludeSubFolders | kDeleteOrphans; }

  // Runs the phase and returns its rows after "Scanning for orphans...".
  Rows RunPhase() {
    view_.rows.clear();
    RunOrphanPhase(Context());
    Rows rows = view_.Texts();
    EXPECT_EQ(rows.at(0), "Scanning for orphans...");
    return Rows(rows.begin() + 1, rows.end());
  }
};

TEST_F(OrphansTest, DeletesWhatTheSourceLacksFilesFirstThenFoldersBottomUp) {
  Write("src/kept.txt");
  stdfs::create_directories(job_.source + "name");
  Write("src/other", "a file in the source");
  Write("dst/kept.txt");
  Write("dst/name", "a file where the source has a folder");
  Write("dst/other/inside.txt");
  Write("dst/old/deep/file.txt");
  ASSERT_TRUE(log_.Open(RealFileSystem(), root_ + "log.txt").ok());
  Rows rows = RunPhase();
  log_.Close();

  const auto at = [&](const std::string& row) {
    return std::find(rows.begin(), rows.end(), row) - rows.begin();
  };
  EXPECT_EQ(rows.size(), 6u);
  EXPECT_LT(at(NativePath("Deleted old/deep/file.txt")), at(NativePath("Deleted old/deep/")));
  EXPECT_LT(at(NativePath("Deleted old/deep/")), at(NativePath("Deleted old/")));
  EXPECT_LT(at(NativePath("Deleted other/inside.txt")), at(NativePath("Deleted other/")));
  EXPECT_EQ(rows.back(), "Found 2 orphan files.");
  EXPECT_EQ(view_.ColourOf(NativePath("Deleted old/")), kGreen);
  EXPECT_EQ(view_.ColourOf(rows.back()), kGrey);
  EXPECT_EQ(state_.deletedTotal, 2);
  EXPECT_TRUE(Exists("dst/kept.txt"));
  EXPECT_TRUE(Exists("dst/name"));
  EXPECT_NE(Read("log.txt").find(NativePath(" . Deleted orphan: old/deep/file.txt\r\n"
                                            " . Deleted orphan folder: old/deep/\r\n"
                                            " . Deleted orphan folder: old/\r\n")),
            std::string::npos);
  EXPECT_EQ(view_.barColour, kBarYellow);
  EXPECT_EQ(view_.status, "Deleting orphans...");
  EXPECT_EQ(context_->baseLength, job_.destination.size());

  EXPECT_EQ(RunPhase(), (Rows{"No orphan files found."}));
}

TEST_F(OrphansTest, WithoutSubFoldersOrphanFoldersStayWithTheirFiles) {
  job_.Set(kIncludeSubFolders, false);
  Write("src/a.txt");
  Write("dst/top.txt");
  Write("dst/folder/inner.txt");
  EXPECT_EQ(RunPhase(), (Rows{"Deleted top.txt", "Found 1 orphan file."}));
  EXPECT_TRUE(Exists("dst/folder/inner.txt"));
}

TEST_F(OrphansTest, OwnLogFileStaysInAnyLetterCaseAndSpellingOnlyAtTheTop) {
  job_.Set(kUpdateLogFile, true);
  Write("src/a.txt");
  for (const char* spelling : {"backup.log", "./backup.log", ".//backup.log"}) {
    job_.logFile = spelling;
    Write("dst/BackUp.LOG");
    Write("dst/sub/backup.log");
    RunPhase();
    EXPECT_TRUE(Exists("dst/BackUp.LOG")) << spelling;
    EXPECT_FALSE(Exists("dst/sub")) << spelling;
  }
  // Beyond ASCII: a drive that ignores case appends "Jöurnal.log" to "JÖURNAL.LOG".
  job_.logFile = "Jöurnal.log";
  Write("dst/JÖURNAL.LOG");
  RunPhase();
  EXPECT_TRUE(Exists("dst/JÖURNAL.LOG"));
  job_.logFile = "backup.log";
  job_.Set(kUpdateLogFile, false);
  RunPhase();
  EXPECT_FALSE(Exists("dst/BackUp.LOG"));
}

// A log file in a sub-folder the source lacks: the folder goes only once it is empty, so the
// open log file and the lines it holds stay; and so does any file the file pass kept.
TEST_F(OrphansTest, OrphanFolderHoldingTheOpenLogFileOrAKeptFileStays) {
  job_.Set(kUpdateLogFile, true);
  job_.logFile = "logs/run.log";
  Write("src/a.txt");
  Write("dst/logs/old.txt");
  Write("dst/unsure/x.txt");
  faulty_.FailLookup(job_.source + NativePath("unsure/x.txt"));
  ASSERT_TRUE(log_.Open(RealFileSystem(), job_.destination + job_.logFile).ok());
  log_.WriteLine("header");
  Rows rows = RunPhase();
  log_.Close();
  EXPECT_EQ(Read("dst/logs/run.log"), NativePath("header\r\n . Deleted orphan: logs/old.txt\r\n"));
  EXPECT_TRUE(Exists("dst/unsure/x.txt"));
  EXPECT_EQ(rows, (Rows{NativePath("Deleted logs/old.txt"), "Found 1 orphan file."}));
}

TEST_F(OrphansTest, FailedDeletionsAreReportedAndTheScanGoesOn) {
  Write("src/a.txt");
  Write("dst/one");
  Write("dst/two");
  Write("dst/old/three");
  faulty_.FailDelete(job_.destination + "two");
  faulty_.FailRemoveFolder(job_.destination + NativePath("old/"));
  Rows rows = RunPhase();
  EXPECT_EQ(std::count(rows.begin(), rows.end(), "Couldn't delete two"), 1);
  EXPECT_EQ(std::count(rows.begin(), rows.end(), NativePath("Couldn't delete old/")), 1);
  EXPECT_EQ(view_.ColourOf("Couldn't delete two"), kOlive);
  EXPECT_EQ(rows.back(), "Found 3 orphan files.");
  EXPECT_EQ(state_.deletedTotal, 2);
  EXPECT_EQ(state_.errorCount, 1);  // a folder left in place is no error
}

TEST_F(OrphansTest, OnlyASurelyMissingSourcePathMakesAnOrphan) {
  Write("src/sub/kept.txt");
  Write("dst/sub/kept.txt");
  Write("dst/sub/gone.txt");
  Write("dst/unsure.txt");
  Write("dst/unsure-folder/x.txt");
  faulty_.FailList(job_.source + NativePath("sub/"));  // decided file by file instead
  faulty_.FailLookup(job_.source + "unsure.txt");
  faulty_.FailLookup(job_.source + NativePath("unsure-folder/x.txt"));
  faulty_.FailLookup(job_.source + "unsure-folder");
  RunPhase();
  EXPECT_TRUE(Exists("dst/sub/kept.txt"));
  EXPECT_FALSE(Exists("dst/sub/gone.txt"));
  EXPECT_TRUE(Exists("dst/unsure.txt"));
  EXPECT_TRUE(Exists("dst/unsure-folder/x.txt"));
}

TEST_F(OrphansTest, MissingSourceNeverEmptiesTheBackup) {
  Write("dst/precious.txt");
  stdfs::remove(job_.source);
  EXPECT_EQ(RunPhase(), (Rows{"Source folder not found: " + job_.source}));
  EXPECT_EQ(view_.ColourOf("Source folder not found: " + job_.source), kRed);
  Write("src", "a file where the source folder should be");
  RunPhase();
  EXPECT_EQ(state_.errorCount, 2);
  EXPECT_TRUE(Exists("dst/precious.txt"));
}

TEST_F(OrphansTest, EmptySourceDeletesNothingWhileTheBackupHoldsFiles) {
  job_.Set(kUpdateLogFile, true);
  job_.logFile = "backup.log";
  Write("dst/backup.log");
  stdfs::create_directories(job_.destination + "empty");
  EXPECT_EQ(RunPhase(), (Rows{NativePath("Deleted empty/"), "No orphan files found."}));
  Write("dst/sub/precious.txt");
  EXPECT_EQ(RunPhase(), (Rows{"Source folder is empty: " + job_.source}));
  EXPECT_EQ(view_.ColourOf("Source folder is empty: " + job_.source), kRed);
  EXPECT_EQ(state_.errorCount, 1);
  EXPECT_TRUE(Exists("dst/sub/precious.txt"));
}

TEST_F(OrphansTest, EmptySourceSubFolderKeepsItsBackupLikeAnUnmountedDrive) {
  Write("src/other.txt");
  stdfs::create_directories(job_.source + "music");
  Write("dst/music/a.mp3");
  Write("dst/music/sub/b.mp3");
  Write("dst/stale.txt");
  EXPECT_EQ(RunPhase(), (Rows{"Deleted stale.txt",
                              "Source folder is empty: " + job_.source + NativePath("music/"),
                              "Found 1 orphan file."}));
  EXPECT_EQ(view_.ColourOf("Source folder is empty: " + job_.source + NativePath("music/")), kRed);
  EXPECT_EQ(state_.errorCount, 1);
  EXPECT_TRUE(Exists("dst/music/a.mp3"));
  EXPECT_TRUE(Exists("dst/music/sub/b.mp3"));
  // An empty source sub-folder whose backup holds only empty folders is no warning sign.
  stdfs::remove_all(job_.destination + "music");
  stdfs::create_directories(job_.destination + "music/sub");
  EXPECT_EQ(RunPhase(), (Rows{NativePath("Deleted music/sub/"), "No orphan files found."}));
  EXPECT_EQ(state_.errorCount, 1);
}

TEST_F(OrphansTest, SourceInsideTheDestinationIsLeftAloneAlsoThroughALink) {
  Write("dst/photos/sub/b.jpg");
  Write("dst/stale.jpg");
  job_.source = job_.destination + "photos/";
  RunPhase();
  EXPECT_TRUE(Exists("dst/photos/sub/b.jpg"));
  EXPECT_FALSE(Exists("dst/stale.jpg"));
  SKIP_UNLESS_LINKS_CAN_BE_MADE();
  Write("dst/stale.jpg");
  Write("elsewhere/a.txt");
  ASSERT_TRUE(MakeSymbolicLink(root_ + "elsewhere", job_.destination + "link"));
  job_.source = job_.destination + "link/";
  RunPhase();
  EXPECT_TRUE(Exists("dst/link"));
  EXPECT_FALSE(Exists("dst/stale.jpg"));
  job_.source = root_ + "./dst//";
  EXPECT_EQ(RunPhase(), (Rows{"No orphan files found."}));
}

TEST_F(OrphansTest, LinksInTheDestinationAreRemovedNeverFollowed) {
  SKIP_UNLESS_LINKS_CAN_BE_MADE();
  Write("src/a.txt");
  Write("outside/file.txt", "keep me");
  Write("outside/folder/deep.txt", "keep me too");
  ASSERT_TRUE(
      MakeSymbolicLink(root_ + NativePath("outside/file.txt"), job_.destination + "to-file"));
  ASSERT_TRUE(
      MakeSymbolicLink(root_ + NativePath("outside/folder"), job_.destination + "to-folder"));
  ASSERT_TRUE(MakeSymbolicLink(root_ + "nowhere", job_.destination + "dangling"));
  RunPhase();
  EXPECT_FALSE(Exists("dst/to-file") || Exists("dst/to-folder") || Exists("dst/dangling"));
  EXPECT_EQ(Read("outside/file.txt"), "keep me");
  EXPECT_EQ(Read("outside/folder/deep.txt"), "keep me too");
  // A backed-up folder stays while the source reaches a folder of that name through a link.
  ASSERT_TRUE(MakeSymbolicLink(root_ + NativePath("outside/folder"), job_.source + "linked"));
  Write("dst/linked/deep.txt");
  EXPECT_EQ(RunPhase(), (Rows{"No orphan files found."}));
}

// STOP pressed just before a folder that holds the log file is listed: the folder's files go
// unlisted, and the folder is removed with what is left in it, except the open log file.
TEST_F(OrphansTest, CancelNeverRemovesTheOpenLogFile) {
  job_.Set(kUpdateLogFile, true);
  job_.logFile = "logs/run.log";
  Write("src/a.txt");
  Write("dst/logs/old.txt");
  struct StopBeforeListing : FaultyFileSystem {
    StopBeforeListing(SharedRunState& state, std::string trigger)
        : FaultyFileSystem(RealFileSystem()), state(state), trigger(std::move(trigger)) {}
    std::unique_ptr<FolderListing> ListFolder(const Folder& folder) override {
      if (folder.Path() == trigger) state.cancel = 1;
      return FaultyFileSystem::ListFolder(folder);
    }
    SharedRunState& state;
    const std::string trigger;
  } fs(state_, job_.destination + NativePath("logs/"));
  ASSERT_TRUE(log_.Open(RealFileSystem(), job_.destination + job_.logFile).ok());
  log_.WriteLine("header");
  JobContext context{fs, view_, state_, job_, log_};
  RunOrphanPhase(context);
  log_.Close();
  EXPECT_EQ(Read("dst/logs/run.log"), "header\r\n");
  EXPECT_FALSE(Exists("dst/logs/old.txt"));
}

TEST_F(OrphansTest, CancelEndsTheScanWithoutTheFoundRow) {
  Write("src/a.txt");
  for (int i = 0; i < 5; ++i) Write("dst/orphan" + std::to_string(i));
  struct StopAtDeletion : RecordingProgressView {
    SharedRunState* state;
    void AddRow(int64_t index, const std::string& text, Colour colour) override {
      RecordingProgressView::AddRow(index, text, colour);
      if (text.rfind("Deleted ", 0) == 0) state->cancel = 1;
    }
  } view;
  view.state = &state_;
  JobContext context{faulty_, view, state_, job_, log_};
  RunOrphanPhase(context);
  EXPECT_EQ(view.rows.size(), 2u);
  EXPECT_EQ(state_.deletedTotal, 1);
}

}  // namespace
}  // namespace brisvel
