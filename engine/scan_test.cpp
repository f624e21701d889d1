#include "engine/scan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/job_fixture_for_tests.h"

namespace brisvel {
namespace {

using Paths = std::set<std::string>;

TEST(ExtensionFilterTest, BuildsLowerCaseFieldsFromBlanksAndCommas) {
  EXPECT_EQ(BuildExtensionFilter("JPG, png"), "|jpg|png|");
  EXPECT_EQ(BuildExtensionFilter("  doc,,TXT  md "), "|doc|txt|md|");
  EXPECT_EQ(BuildExtensionFilter(" , ,, "), "");
  EXPECT_EQ(BuildExtensionFilter(""), "");
}

TEST(ExtensionFilterTest, MatchesTheLastExtensionAsASubstring) {
  const std::string filter = BuildExtensionFilter("JPG, png");
  EXPECT_TRUE(PassesFilter(filter, "a.JPG"));
  EXPECT_TRUE(PassesFilter(filter, "b.png"));
  EXPECT_TRUE(PassesFilter(filter, ".png"));
  EXPECT_TRUE(PassesFilter(filter, "photo.tar.jpg"));
  EXPECT_FALSE(PassesFilter(filter, "c"));
  EXPECT_FALSE(PassesFilter(filter, "d.gif"));
  EXPECT_FALSE(PassesFilter(filter, "e."));
  EXPECT_FALSE(PassesFilter(filter, "jpg.d/notes"));
  // A plain substring search: an extension inside a listed one passes too.
  EXPECT_TRUE(PassesFilter("|docx|", "letter.doc"));
  EXPECT_TRUE(PassesFilter("", "anything"));
}

class ScanTest : public JobFixture {
 protected:
  void Scan() {
    JobContext& context = Context();
    context.baseLength = job_.source.size();
    ScanNewFiles(context, job_.source, 1);
  }
};

TEST_F(ScanTest, WithoutSubFoldersTakesTopFilesAndCreatesEmptyFolders) {
  job_.flags = kEnabled;
  Write("src/a.txt");
  Write("src/sub/inner.txt");
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"a.txt"}));
  EXPECT_TRUE(stdfs::is_directory(root_ + "dst/sub"));
  EXPECT_TRUE(stdfs::is_empty(root_ + "dst/sub"));
  EXPECT_EQ(context_->foundCount, 1);
  EXPECT_EQ(view_.status, "Found 1 file...");
}

TEST_F(ScanTest, WithSubFoldersCollectsDepthFirstAndCreatesEveryFolder) {
  Write("src/a.txt");
  Write("src/one/b.txt");
  Write("src/one/c.txt");
  Write("src/one/two/d.txt");
  Write("src/z.txt");
  MakeFolder("src/empty/deeper");
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"a.txt", "one/b.txt", "one/c.txt", "one/two/d.txt", "z.txt"}));
  EXPECT_TRUE(stdfs::is_directory(root_ + "dst/one/two"));
  EXPECT_TRUE(stdfs::is_directory(root_ + "dst/empty/deeper"));
  EXPECT_FALSE(Exists("dst/a.txt"));  // the scan copies nothing
  EXPECT_EQ(view_.status, "Found 5 files...");
  // Each candidate's folder and name fit its path, and the files of one folder come together
  // unless a sub-folder's files come between them.
  const CandidateList& list = context_->candidates;
  for (size_t i = 0; i < list.Size(); ++i) {
    EXPECT_EQ(list.Path(i), list.Folder(i) + list.Name(i));
    EXPECT_TRUE(stdfs::is_regular_file(job_.source + list.Path(i))) << list.Path(i);
  }
}

TEST_F(ScanTest, FilterLimitsTheCandidates) {
  context_.reset();
  Write("src/a.JPG");
  Write("src/b.png");
  Write("src/c");
  Write("src/sub/d.gif");
  Write("src/sub/e.jpg");
  JobContext& context = Context();
  context.extensionFilter = BuildExtensionFilter("JPG, png");
  context.baseLength = job_.source.size();
  ScanNewFiles(context, job_.source, 1);
  EXPECT_EQ(CandidatePaths(), (Paths{"a.JPG", "b.png", "sub/e.jpg"}));
}

TEST_F(ScanTest, UnusualNamesArePassedThroughExactly) {
  const std::string names[] = {"with blank.txt", "quote'and\"double.txt", "Grüße €.txt", ".hidden",
                               "..two dots",     " leading blank"};
  for (const std::string& name : names) Write("src/dir é/" + name);
  Scan();
  Paths expected;
  for (const std::string& name : names) expected.insert("dir é/" + name);
  EXPECT_EQ(CandidatePaths(), expected);
  EXPECT_TRUE(stdfs::is_directory(root_ + "dst/dir é"));
}

TEST_F(ScanTest, LinksToFilesAreFilesAndOtherLinksAndPipesAreLeftAlone) {
  Write("outside/file.txt");
  Write("outside/folder/deep.txt");
  Write("src/real.txt");
  stdfs::create_symlink(root_ + "outside/file.txt", job_.source + "to-file");
  stdfs::create_directory_symlink(root_ + "outside/folder", job_.source + "to-folder");
  stdfs::create_symlink(root_ + "nowhere", job_.source + "dangling");
  ASSERT_EQ(mkfifo((job_.source + "pipe").c_str(), 0600), 0);
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"real.txt", "to-file"}));
  EXPECT_FALSE(Exists("dst/to-folder"));
}

TEST_F(ScanTest, MoveRemovesSourceFoldersLeftEmptyAndTheSourceItself) {
  job_.Set(kMoveInsteadOfCopy, true);
  MakeFolder("src/a/b");
  MakeFolder("src/c");
  Scan();
  EXPECT_TRUE(CandidatePaths().empty());
  EXPECT_FALSE(Exists("src"));
  EXPECT_TRUE(stdfs::is_directory(root_ + "dst/a/b"));
}

TEST_F(ScanTest, MoveKeepsFoldersThatHoldFiles) {
  job_.Set(kMoveInsteadOfCopy, true);
  Write("src/a/file.txt");
  MakeFolder("src/a/empty");
  Scan();
  EXPECT_FALSE(Exists("src/a/empty"));
  EXPECT_TRUE(Exists("src/a/file.txt"));
}

TEST_F(ScanTest, FolderThatCannotBeCreatedOrListedIsDroppedWithEverythingBelow) {
  Write("src/keep.txt");
  Write("src/nocreate/a.txt");
  Write("src/nocreate/below/b.txt");
  Write("src/nolist/c.txt");
  faulty_.FailCreateFolder(job_.destination + "nocreate/");
  faulty_.FailList(job_.source + "nolist/");
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"keep.txt"}));
  EXPECT_FALSE(Exists("dst/nocreate"));
  EXPECT_TRUE(view_.rows.empty());
}

TEST_F(ScanTest, MissingSourceGivesNoCandidates) {
  stdfs::remove(job_.source);
  Scan();
  EXPECT_TRUE(CandidatePaths().empty());
  EXPECT_EQ(context_->foundCount, 0);
}

// A view that presses STOP when the status reports `count` files found.
class StopAtCount : public RecordingProgressView {
 public:
  StopAtCount(SharedRunState& state, int count)
      : state_(state), trigger_("Found " + std::to_string(count) + " ") {}
  void SetStatus(const std::string& text) override {
    RecordingProgressView::SetStatus(text);
    if (text.rfind(trigger_, 0) == 0) state_.cancel = 1;
  }

 private:
  SharedRunState& state_;
  std::string trigger_;
};

TEST_F(ScanTest, CancelStopsAtTheNextEntry) {
  for (int i = 0; i < 5; ++i) Write("src/f" + std::to_string(i));
  for (int i = 0; i < 5; ++i) Write("src/sub/g" + std::to_string(i));
  StopAtCount view(state_, 2);
  JobContext context{faulty_, view, state_, job_, log_};
  context.baseLength = job_.source.size();
  ScanNewFiles(context, job_.source, 1);
  EXPECT_EQ(context.candidates.Size(), 2u);
  EXPECT_EQ(context.foundCount, 2);
}

// The destination inside the source, however its text is written: the scan leaves it out and
// so never copies the backup into itself.
class NestedDestinationTest : public ScanTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(NestedDestinationTest, ScanDoesNotEnterTheDestination) {
  Write("src/a.txt");
  Write("src/backup/a.txt");
  Write("src/backup/old/b.txt");
  Write("src/backup.txt");
  ASSERT_EQ(symlink((root_ + "src").c_str(), (root_ + "link-to-src").c_str()), 0);
  job_.destination = root_ + GetParam();
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"a.txt", "backup.txt"}));
  EXPECT_FALSE(Exists("src/backup/backup"));
  EXPECT_FALSE(Exists("src/backup/old/old"));
}

INSTANTIATE_TEST_SUITE_P(Spellings, NestedDestinationTest,
                         ::testing::Values("src/backup/", "src//./backup/", "src/backup//",
                                           "link-to-src/backup/", "src/../src/backup/"));

TEST_F(ScanTest, DestinationDeeperInsideTheSourceIsLeftOutToo) {
  Write("src/a/b/backup/old.txt");
  Write("src/a/b/c.txt");
  job_.destination = job_.source + "a/b/backup/";
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"a/b/c.txt"}));
}

TEST_F(ScanTest, SourceInsideTheDestinationIsScannedWhole) {
  Write("dst/src/a.txt");
  Write("dst/src/sub/b.txt");
  job_.source = job_.destination + "src/";
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"a.txt", "sub/b.txt"}));
}

TEST_F(ScanTest, DestinationThatIsTheSourceUnderAnotherNameGivesNothing) {
  job_.Set(kMoveInsteadOfCopy, true);
  Write("src/a.txt");
  MakeFolder("src/empty");
  job_.destination = root_ + "src//";
  Scan();
  EXPECT_TRUE(CandidatePaths().empty());
  EXPECT_TRUE(Exists("src/a.txt"));
  EXPECT_TRUE(Exists("src/empty"));
}

TEST_F(ScanTest, SimilarlyNamedFolderBesideTheDestinationIsScanned) {
  Write("src/backup2/a.txt");
  Write("src/back/b.txt");
  Write("src/backup/c.txt");
  job_.destination = job_.source + "backup/";
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"backup2/a.txt", "back/b.txt"}));
}

}  // namespace
}  // namespace brisvel
