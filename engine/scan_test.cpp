#include "engine/scan.h"

#include <gtest/gtest.h>

#include "core/test_platform.h"
#include "engine/test_job_fixture.h"

namespace brisvel {
namespace {

using Paths = std::set<std::string>;

TEST(ExtensionFilterTest, BuildsFieldsAndMatchesTheLastExtensionAsASubstring) {
  EXPECT_EQ(BuildExtensionFilter("JPG, png"), "|jpg|png|");
  EXPECT_EQ(BuildExtensionFilter("  doc,,TXT  md "), "|doc|txt|md|");
  EXPECT_EQ(BuildExtensionFilter(" , ,, "), "");
  const std::string filter = "|jpg|png|";
  for (const char* name : {"a.JPG", "b.png", ".png", "photo.tar.jpg"}) {
    EXPECT_TRUE(PassesFilter(filter, name)) << name;
  }
  for (const char* name : {"c", "d.gif", "e.", "jpg.d/notes"}) {
    EXPECT_FALSE(PassesFilter(filter, name)) << name;
  }
  EXPECT_TRUE(PassesFilter("|docx|", "letter.doc"));  // a plain substring search
  EXPECT_TRUE(PassesFilter("", "anything"));
  // Letter case beyond ASCII is ignored too.
  EXPECT_EQ(BuildExtensionFilter("ÄBC ΛΈΞΗ"), "|äbc|λέξη|");
  for (const char* name : {"x.ÄBC", "y.äbc", "z.ΛΈΞΗ", "w.λέξη"}) {
    EXPECT_TRUE(PassesFilter(BuildExtensionFilter("äbc Λέξη"), name)) << name;
  }
  EXPECT_FALSE(PassesFilter("|äbc|", "x.abc"));
}

TEST_F(ScanTest, CollectsFilesDepthFirstAndCreatesEveryFolder) {
  const Paths names = {"a.txt",
                       "dir é/with blank.txt",
#ifndef _WIN32  // Windows refuses '"' in names
                       "dir é/quote'and\"double.txt",
#endif
                       "dir é/deeper/Grüße €.txt",
                       "dir é/.hidden",
                       "z.txt"};
  for (const std::string& name : names) Write("src/" + name);
  stdfs::create_directories(FsPath(job_.source + "empty/deeper"));
  Scan();
  EXPECT_EQ(CandidatePaths(), names);
  EXPECT_TRUE(stdfs::is_directory(FsPath(job_.destination + "dir é/deeper")));
  EXPECT_TRUE(stdfs::is_directory(FsPath(job_.destination + "empty/deeper")));
  EXPECT_FALSE(Exists("dst/a.txt"));  // the scan copies nothing
  EXPECT_EQ(view_.status, "Found " + std::to_string(names.size()) + " files...");
  CandidateList::Reader reader(context_->candidates);
  while (reader.Next()) EXPECT_TRUE(stdfs::is_regular_file(FsPath(job_.source + reader.Path())));
}

TEST_F(ScanTest, WithoutSubFoldersTakesTopFilesAndCreatesEmptyFolders) {
  job_.flags = kEnabled;
  Write("src/a.JPG");
  Write("src/b.gif");
  Write("src/sub/inner.jpg");
  Scan("|jpg|");
  EXPECT_EQ(CandidatePaths(), (Paths{"a.JPG"}));
  EXPECT_TRUE(stdfs::is_empty(job_.destination + "sub"));
  EXPECT_EQ(view_.status, "Found 1 file...");
}

TEST_F(ScanTest, MoveRemovesSourceFoldersLeftEmptyTheSourceIncluded) {
  job_.Set(kMoveInsteadOfCopy, true);
  Write("src/a/file.txt");
  stdfs::create_directories(job_.source + "a/empty/deeper");
  Scan();
  EXPECT_FALSE(Exists("src/a/empty"));
  EXPECT_TRUE(Exists("src/a/file.txt"));
  stdfs::remove(job_.source + "a/file.txt");
  Scan();
  EXPECT_FALSE(Exists("src"));
}

TEST_F(ScanTest, FolderThatCannotBeCreatedOrListedIsDroppedWithEverythingBelow) {
  Write("src/keep.txt");
  Write("src/nocreate/below/b.txt");
  Write("src/nolist/c.txt");
  faulty_.FailCreateFolder(job_.destination + NativePath("nocreate/"));
  faulty_.FailList(job_.source + NativePath("nolist/"));
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"keep.txt"}));
  EXPECT_FALSE(Exists("dst/nocreate"));
}

TEST_F(ScanTest, CancelStopsAtTheNextEntry) {
  for (int i = 0; i < 6; ++i) Write("src/sub" + std::to_string(i % 2) + "/f" + std::to_string(i));
  struct StopAtTwo : RecordingProgressView {
    SharedRunState* state;
    void SetStatus(const std::string& text) override {
      if (text == "Found 2 files...") state->cancel = 1;
    }
  } view;
  view.state = &state_;
  JobContext context{faulty_, view, state_, job_, log_};
  context.baseLength = job_.source.size();
  ScanNewFiles(context);
  EXPECT_EQ(context.candidates.Size(), 2u);
}

// Every part of the source that the scan cannot take is a red row and an error.
TEST_F(ScanTest, FoldersThatCannotBeReadOrMadeAreRedRowsAndErrors) {
  Write("src/kept/a.txt");
  Write("src/clash/b.txt");
  Write("dst/clash", "a file where the backup needs a folder");
  Write("src/refused/c.txt");
  faulty_.FailCreateFolder(job_.destination + NativePath("refused/"));
  Write("src/locked/d.txt");
  faulty_.FailList(job_.source + NativePath("locked/"));
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"kept/a.txt"}));
  for (const std::string& row :
       {"Cannot create " + job_.destination + NativePath("clash/: File exists"),
        "Cannot create " + job_.destination + NativePath("refused/: Permission denied"),
        "Couldn't read folder " + job_.source + NativePath("locked/: Permission denied")}) {
    EXPECT_EQ(view_.ColourOf(row), kRed) << row;
  }
  EXPECT_EQ(state_.errorCount, 3);

  // The same for a folder met without sub-folders, and for the source folder itself.
  job_.flags = kEnabled;
  view_.rows.clear();
  Scan();
  EXPECT_EQ(view_.Texts(),
            (std::vector<std::string>{
                "Cannot create " + job_.destination + NativePath("clash/: File exists"),
                "Cannot create " + job_.destination + NativePath("refused/: Permission denied")}));
  faulty_.FailList(job_.source);
  view_.rows.clear();
  Scan();
  EXPECT_EQ(view_.Texts(), (std::vector<std::string>{"Couldn't read folder " + job_.source +
                                                     ": Permission denied"}));
  stdfs::remove_all(job_.source);
  view_.rows.clear();
  Scan();
  EXPECT_EQ(view_.Texts(), (std::vector<std::string>{"Source folder not found: " + job_.source}));
  EXPECT_EQ(state_.errorCount, 7);
}

// However its text is written, a destination inside the source is never scanned, so the
// backup is never copied into itself; a folder of a similar name still is.
class NestedDestinationTest : public ScanTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(NestedDestinationTest, ScanLeavesTheDestinationOut) {
  Paths kept = {"a.txt", "x/backup2/b.txt", "x/back/c.txt"};
#ifndef _WIN32  // where letter case tells names apart, "BACKUP" is another folder
  kept.insert("x/BACKUP/d.txt");
#endif
  for (const std::string& name : kept) Write("src/" + name);
  Write("src/x/backup/old.txt");
  if (GetParam().starts_with("link-to-src")) {
    SKIP_UNLESS_LINKS_CAN_BE_MADE();
    ASSERT_TRUE(MakeSymbolicLink(root_ + "src", root_ + "link-to-src"));
  }
  job_.destination = root_ + GetParam();
  Scan();
  EXPECT_EQ(CandidatePaths(), kept);
  EXPECT_FALSE(Exists("src/x/backup/x/backup"));
}

INSTANTIATE_TEST_SUITE_P(Spellings, NestedDestinationTest,
                         ::testing::Values("src/x/backup/", "src//./x/backup//",
                                           "link-to-src/x/backup/", "src/../src/x/backup/"));

TEST_F(ScanTest, DestinationThatIsTheSourceUnderAnotherSpellingGivesNothing) {
  job_.Set(kMoveInsteadOfCopy, true);
  Write("src/a.txt");
  stdfs::create_directories(job_.source + "empty");
  job_.destination = root_ + "src//";
  Scan();
  EXPECT_TRUE(CandidatePaths().empty());
  EXPECT_TRUE(Exists("src/empty"));
}

}  // namespace
}  // namespace brisvel
