#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "engine/job_fixture_for_tests.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

using Rows = std::vector<std::string>;

class OrphansTest : public JobFixture {
 protected:
  OrphansTest() { job_.flags = kEnabled | kIncludeSubFolders | kDeleteOrphans; }

  void RunPhase() { RunOrphanPhase(Context()); }

  // The rows after "Scanning for orphans...", in order.
  Rows PhaseRows() const {
    Rows texts = view_.Texts();
    EXPECT_FALSE(texts.empty());
    if (texts.empty()) return texts;
    EXPECT_EQ(texts.front(), "Scanning for orphans...");
    return Rows(texts.begin() + 1, texts.end());
  }
};

TEST_F(OrphansTest, DeletesWhatTheSourceLacksBottomUpWithRowsCountsAndLogLines) {
  Write("src/kept.txt");
  Write("dst/kept.txt");
  Write("dst/gone.txt");
  Write("dst/old/deep/file.txt");
  ASSERT_TRUE(log_.Open(root_ + "log.txt"));
  RunPhase();
  log_.Close();

  Rows rows = PhaseRows();
  ASSERT_EQ(rows.size(), 5u);
  // Files first, in listing order, then each emptied folder from the bottom up.
  std::set<std::string> deletions(rows.begin(), rows.begin() + 4);
  EXPECT_EQ(deletions, (std::set<std::string>{"Deleted gone.txt", "Deleted old/deep/file.txt",
                                              "Deleted old/deep/", "Deleted old/"}));
  const auto position = [&](const std::string& row) {
    return std::find(rows.begin(), rows.end(), row) - rows.begin();
  };
  EXPECT_LT(position("Deleted old/deep/file.txt"), position("Deleted old/deep/"));
  EXPECT_LT(position("Deleted old/deep/"), position("Deleted old/"));
  EXPECT_EQ(rows.back(), "Found 2 orphan files.");
  EXPECT_EQ(view_.ColourOf("Deleted old/"), kGreen);
  EXPECT_EQ(view_.ColourOf("Found 2 orphan files."), kGrey);

  EXPECT_EQ(context_->foundCount, 2);
  EXPECT_EQ(state_.deletedTotal, 2);
  EXPECT_EQ(state_.errorCount, 0);
  EXPECT_TRUE(Exists("dst/kept.txt"));
  EXPECT_TRUE(Exists("dst"));
  EXPECT_FALSE(Exists("dst/old"));
  const std::string log = Read("log.txt");
  EXPECT_NE(log.find(" . Deleted orphan: old/deep/file.txt\r\n"), std::string::npos);
  EXPECT_NE(log.find(" . Deleted orphan folder: old/deep/\r\n"), std::string::npos);
  EXPECT_NE(log.find(" . Deleted orphan: gone.txt\r\n"), std::string::npos);

  EXPECT_EQ(view_.status, "Deleting orphans...");
  EXPECT_EQ(view_.barColour, kBarYellow);
  EXPECT_EQ(view_.progressMax, 1);
  EXPECT_EQ(view_.progressValue, 1);
  EXPECT_EQ(context_->baseLength, job_.destination.size());
  EXPECT_TRUE(context_->candidates.Empty());
}

TEST_F(OrphansTest, NothingToDeleteSaysSo) {
  Write("src/a.txt");
  Write("dst/a.txt");
  RunPhase();
  EXPECT_EQ(PhaseRows(), (Rows{"No orphan files found."}));
  EXPECT_EQ(view_.ColourOf("No orphan files found."), kGrey);
}

TEST_F(OrphansTest, FileAgainstSourceFolderStaysAndFolderAgainstSourceFileGoes) {
  MakeFolder("src/name");
  Write("src/other", "a file in the source");
  Write("dst/name", "a file in the backup");
  Write("dst/other/inside.txt");
  RunPhase();
  EXPECT_TRUE(Exists("dst/name"));
  EXPECT_FALSE(Exists("dst/other"));
  EXPECT_TRUE(Exists("src/other"));
}

TEST_F(OrphansTest, WithoutSubFoldersOrphanFoldersStayWithTheirFiles) {
  job_.Set(kIncludeSubFolders, false);
  Write("src/a.txt");
  Write("dst/top.txt");
  Write("dst/folder/inner.txt");
  RunPhase();
  EXPECT_EQ(PhaseRows(), (Rows{"Deleted top.txt", "Found 1 orphan file."}));
  EXPECT_TRUE(Exists("dst/folder/inner.txt"));
}

TEST_F(OrphansTest, OwnLogFileStaysInAnyLetterCaseOnlyAtTheTop) {
  job_.Set(kUpdateLogFile, true);
  job_.logFile = "backup.log";
  Write("src/a.txt");
  Write("dst/BackUp.LOG");
  Write("dst/sub/backup.log");
  RunPhase();
  EXPECT_TRUE(Exists("dst/BackUp.LOG"));
  EXPECT_FALSE(Exists("dst/sub"));

  job_.Set(kUpdateLogFile, false);
  view_.rows.clear();
  RunPhase();
  EXPECT_FALSE(Exists("dst/BackUp.LOG"));
}

TEST_F(OrphansTest, FileThatCannotBeDeletedIsAnErrorAndTheScanGoesOn) {
  Write("src/a.txt");
  Write("dst/one");
  Write("dst/two");
  Write("dst/three");
  faulty_.FailDelete(job_.destination + "two");
  RunPhase();
  Rows rows = PhaseRows();
  EXPECT_EQ(std::count(rows.begin(), rows.end(), "Couldn't delete two"), 1);
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                          [](const std::string& row) { return row.rfind("Deleted ", 0) == 0; }),
            2);
  EXPECT_EQ(rows.back(), "Found 3 orphan files.");
  EXPECT_EQ(view_.ColourOf("Couldn't delete two"), kOlive);
  EXPECT_EQ(context_->foundCount, 3);
  EXPECT_EQ(state_.deletedTotal, 2);
  EXPECT_EQ(state_.errorCount, 1);
}

TEST_F(OrphansTest, FolderThatCannotBeRemovedIsReportedWithoutAnError) {
  Write("src/a.txt");
  Write("dst/old/file.txt");
  faulty_.FailRemoveFolder(job_.destination + "old/");
  RunPhase();
  EXPECT_EQ(PhaseRows(),
            (Rows{"Deleted old/file.txt", "Couldn't delete old/", "Found 1 orphan file."}));
  EXPECT_EQ(view_.ColourOf("Couldn't delete old/"), kOlive);
  EXPECT_EQ(state_.errorCount, 0);
}

TEST_F(OrphansTest, DestinationFolderThatCannotBeListedIsSkipped) {
  Write("src/a.txt");
  Write("dst/locked/file.txt");
  faulty_.FailList(job_.destination + "locked/");
  RunPhase();
  EXPECT_TRUE(Exists("dst/locked/file.txt"));
  EXPECT_EQ(PhaseRows(), (Rows{"No orphan files found."}));
}

TEST_F(OrphansTest, SourcePathThatCannotBeLookedUpKeepsTheBackup) {
  Write("src/a.txt");
  Write("dst/unsure.txt");
  Write("dst/unsure-folder/x.txt");
  faulty_.FailLookup(job_.source + "unsure.txt");
  faulty_.FailLookup(job_.source + "unsure-folder/x.txt");
  faulty_.FailLookup(job_.source + "unsure-folder");
  RunPhase();
  EXPECT_TRUE(Exists("dst/unsure.txt"));
  EXPECT_TRUE(Exists("dst/unsure-folder/x.txt"));
  EXPECT_EQ(state_.errorCount, 0);
}

TEST_F(OrphansTest, SourceFolderThatCannotBeListedIsAskedFileByFile) {
  Write("src/sub/kept.txt");
  Write("dst/sub/kept.txt");
  Write("dst/sub/gone.txt");
  faulty_.FailList(job_.source + "sub/");
  RunPhase();
  EXPECT_TRUE(Exists("dst/sub/kept.txt"));
  EXPECT_FALSE(Exists("dst/sub/gone.txt"));
}

TEST_F(OrphansTest, MissingSourceNeverEmptiesTheBackup) {
  Write("dst/precious.txt");
  Write("dst/sub/more.txt");
  stdfs::remove(job_.source);
  RunPhase();
  EXPECT_EQ(PhaseRows(), (Rows{"Source folder not found: " + job_.source}));
  EXPECT_EQ(view_.ColourOf("Source folder not found: " + job_.source), kRed);
  EXPECT_EQ(state_.errorCount, 1);
  EXPECT_TRUE(Exists("dst/precious.txt"));
  EXPECT_TRUE(Exists("dst/sub/more.txt"));
}

TEST_F(OrphansTest, SourceThatIsAFileIsNotFound) {
  stdfs::remove(job_.source);
  Write("src", "a file where the source folder should be");
  Write("dst/precious.txt");
  RunPhase();
  EXPECT_EQ(state_.errorCount, 1);
  EXPECT_TRUE(Exists("dst/precious.txt"));
}

TEST_F(OrphansTest, EmptySourceWithFilesInTheBackupDeletesNothing) {
  Write("dst/sub/precious.txt");
  RunPhase();
  EXPECT_EQ(PhaseRows(), (Rows{"Source folder is empty: " + job_.source}));
  EXPECT_EQ(view_.ColourOf("Source folder is empty: " + job_.source), kRed);
  EXPECT_EQ(state_.errorCount, 1);
  EXPECT_TRUE(Exists("dst/sub/precious.txt"));
}

TEST_F(OrphansTest, EmptySourceWithNothingButTheLogInTheBackupIsFine) {
  job_.Set(kUpdateLogFile, true);
  job_.logFile = "backup.log";
  Write("dst/backup.log");
  MakeFolder("dst/empty");
  RunPhase();
  EXPECT_EQ(PhaseRows(), (Rows{"Deleted empty/", "No orphan files found."}));
  EXPECT_EQ(state_.errorCount, 0);
  EXPECT_TRUE(Exists("dst/backup.log"));
}

TEST_F(OrphansTest, SourceInsideTheDestinationIsLeftAlone) {
  Write("dst/photos/a.jpg");
  Write("dst/photos/sub/b.jpg");
  Write("dst/a.jpg");
  Write("dst/stale.jpg");
  job_.source = job_.destination + "photos/";
  RunPhase();
  EXPECT_TRUE(Exists("dst/photos/a.jpg"));
  EXPECT_TRUE(Exists("dst/photos/sub/b.jpg"));
  EXPECT_TRUE(Exists("dst/a.jpg"));
  EXPECT_FALSE(Exists("dst/stale.jpg"));
}

TEST_F(OrphansTest, SourceGivenThroughALinkInTheDestinationKeepsTheLink) {
  Write("elsewhere/a.txt");
  Write("dst/stale.txt");
  ASSERT_EQ(symlink((root_ + "elsewhere").c_str(), (job_.destination + "link").c_str()), 0);
  job_.source = job_.destination + "link/";
  RunPhase();
  EXPECT_TRUE(Exists("dst/link"));
  EXPECT_TRUE(Exists("elsewhere/a.txt"));
  EXPECT_FALSE(Exists("dst/stale.txt"));
}

TEST_F(OrphansTest, DestinationThatIsTheSourceDeletesNothing) {
  Write("src/a.txt");
  job_.destination = root_ + "./src/";
  RunPhase();
  EXPECT_TRUE(Exists("src/a.txt"));
  EXPECT_EQ(PhaseRows(), (Rows{"No orphan files found."}));
}

TEST_F(OrphansTest, LinksInTheDestinationAreRemovedNeverFollowed) {
  Write("src/a.txt");
  Write("outside/file.txt", "keep me");
  Write("outside/folder/deep.txt", "keep me too");
  ASSERT_EQ(symlink((root_ + "outside/file.txt").c_str(), (job_.destination + "to-file").c_str()),
            0);
  ASSERT_EQ(symlink((root_ + "outside/folder").c_str(), (job_.destination + "to-folder").c_str()),
            0);
  ASSERT_EQ(symlink((root_ + "nowhere").c_str(), (job_.destination + "dangling").c_str()), 0);
  RunPhase();
  EXPECT_FALSE(Exists("dst/to-file"));
  EXPECT_FALSE(Exists("dst/to-folder"));
  EXPECT_FALSE(Exists("dst/dangling"));
  EXPECT_EQ(Read("outside/file.txt"), "keep me");
  EXPECT_EQ(Read("outside/folder/deep.txt"), "keep me too");
  EXPECT_EQ(state_.deletedTotal, 3);
}

TEST_F(OrphansTest, BackupFolderMatchingASourceLinkToAFolderStays) {
  Write("elsewhere/x.txt");
  ASSERT_EQ(symlink((root_ + "elsewhere").c_str(), (job_.source + "linked").c_str()), 0);
  Write("dst/linked/x.txt");
  RunPhase();
  EXPECT_TRUE(Exists("dst/linked/x.txt"));
  EXPECT_EQ(PhaseRows(), (Rows{"No orphan files found."}));
}

// A view that presses STOP at the first row starting with "Deleted ".
class StopAtFirstDeletion : public RecordingProgressView {
 public:
  explicit StopAtFirstDeletion(SharedRunState& state) : state_(state) {}
  void AddRow(int64_t index, const std::string& text, Colour colour) override {
    RecordingProgressView::AddRow(index, text, colour);
    if (text.rfind("Deleted ", 0) == 0) state_.cancel = 1;
  }

 private:
  SharedRunState& state_;
};

TEST_F(OrphansTest, CancelEndsTheScanWithoutTheFoundRow) {
  Write("src/a.txt");
  for (int i = 0; i < 5; ++i) Write("dst/orphan" + std::to_string(i));
  StopAtFirstDeletion view(state_);
  JobContext context{faulty_, view, state_, job_, log_};
  RunOrphanPhase(context);
  EXPECT_EQ(view.Texts(), (Rows{"Scanning for orphans...", view.rows[1].text}));
  EXPECT_EQ(state_.deletedTotal, 1);
}

TEST_F(OrphansTest, ScanOrphansAloneWalksTheGivenFolder) {
  Write("src/a.txt");
  Write("dst/sub/orphan.txt");
  Write("dst/top.txt");
  JobContext& context = Context();
  context.baseLength = job_.destination.size();
  ScanOrphans(context, job_.destination + "sub/", 2);
  EXPECT_FALSE(Exists("dst/sub"));
  EXPECT_TRUE(Exists("dst/top.txt"));
}

}  // namespace
}  // namespace brisvel
