#include <gtest/gtest.h>

#include <vector>

#include "core/job_settings.h"
#include "engine/test_job_fixture.h"
#include "engine/scan.h"

namespace brisvel {
namespace {

using Paths = std::set<std::string>;
using Rows = std::vector<std::string>;

// A job that leaves out temporary files, every "cache" folder and the top folder's
// "photos/raw".
class ExclusionsTest : public JobFixture {
 protected:
  ExclusionsTest() { job_.exclude = "*.tmp; cache/; photos/raw/"; }

  JobContext& ContextWithExclusions(const std::string& filter = "") {
    JobContext& context = Context();
    context.exclusions = ExclusionPatterns(SplitPatterns(job_.exclude));
    context.extensionFilter = filter;
    return context;
  }

  void Scan(const std::string& filter = "") {
    JobContext& context = ContextWithExclusions(filter);
    context.baseLength = job_.source.size();
    ScanNewFiles(context);
  }

  // The rows of the orphan phase after "Scanning for orphans...".
  Rows RunOrphans() {
    view_.rows.clear();
    RunOrphanPhase(ContextWithExclusions());
    Rows rows = view_.Texts();
    return Rows(rows.begin() + 1, rows.end());
  }
};

TEST_F(ExclusionsTest, ScanLeavesOutMatchesWithoutEnteringExcludedFolders) {
  Write("src/a.txt");
  Write("src/a.tmp");
  Write("src/deep/b.tmp");
  Write("src/deep/cache/c.txt");
  Write("src/deep/cache.txt");
  Write("src/photos/raw/1.raw");
  Write("src/photos/1.jpg");
  Write("src/old/photos/raw/2.raw");
  // A folder the job leaves out is not even read, so one that cannot be read is no error.
  Write("src/cache/locked.txt");
  faulty_.FailList(job_.source + NativePath("cache/"));
  Scan();
  EXPECT_EQ(CandidatePaths(),
            (Paths{"a.txt", "deep/cache.txt", "photos/1.jpg", "old/photos/raw/2.raw"}));
  EXPECT_EQ(state_.errorCount, 0);
  EXPECT_TRUE(view_.Texts().empty());
  // Nor are the backup folders of what was left out made, with or without sub-folders.
  EXPECT_FALSE(Exists("dst/cache"));
  EXPECT_FALSE(Exists("dst/photos/raw"));
  EXPECT_TRUE(Exists("dst/photos"));
  job_.Set(kIncludeSubFolders, false);
  Scan();
  EXPECT_EQ(CandidatePaths(), (Paths{"a.txt"}));
  EXPECT_FALSE(Exists("dst/cache"));
  // The extension filter still applies to what the patterns let through.
  Write("src/b.doc");
  Scan(BuildExtensionFilter("doc tmp"));
  EXPECT_EQ(CandidatePaths(), (Paths{"b.doc"}));
}

TEST_F(ExclusionsTest, ExcludedBackupFilesAreNeitherDeletedNorCounted) {
  job_.flags = kEnabled | kIncludeSubFolders | kDeleteOrphans;
  Write("src/kept.txt");
  Write("src/photos/1.jpg");
  Write("dst/kept.txt");
  Write("dst/orphan.txt");
  Write("dst/notes.tmp");
  Write("dst/cache/old.txt");
  Write("dst/photos/raw/1.raw");
  // A folder the source no longer has stays for the excluded file in it.
  Write("dst/gone/work.tmp");
  Write("dst/gone/orphan.txt");
  // The excluded folder is not entered: one that cannot be listed is no trouble.
  faulty_.FailList(job_.destination + NativePath("cache/"));
  EXPECT_EQ(RunOrphans(), (Rows{"Deleted orphan.txt", NativePath("Deleted gone/orphan.txt"),
                                "Found 2 orphan files."}));
  EXPECT_EQ(state_.deletedTotal, 2);
  EXPECT_EQ(state_.errorCount, 0);
  for (const char* kept :
       {"dst/notes.tmp", "dst/cache/old.txt", "dst/photos/raw/1.raw", "dst/gone/work.tmp"}) {
    EXPECT_TRUE(Exists(NativePath(kept))) << kept;
  }
}

// A source folder that is empty while its backup holds files looks like a drive that is not
// mounted; files the job leaves out do not make a backup look full.
TEST_F(ExclusionsTest, ExcludedFilesDoNotTripTheEmptySourceGuards) {
  job_.flags = kEnabled | kIncludeSubFolders | kDeleteOrphans;
  stdfs::create_directories(job_.source + NativePath("sub"));
  Write("dst/sub/a.tmp");
  Write("dst/sub/cache/b.txt");
  EXPECT_EQ(RunOrphans(), (Rows{"No orphan files found."}));
  stdfs::remove_all(job_.source + NativePath("sub"));
  Write("dst/top.tmp");
  EXPECT_EQ(RunOrphans(), (Rows{"No orphan files found."}));
  EXPECT_TRUE(Exists(NativePath("dst/sub/a.tmp")));
  EXPECT_TRUE(Exists(NativePath("dst/top.tmp")));
  EXPECT_EQ(state_.errorCount, 0);
  // A file that is no exclusion still does.
  Write("dst/sub/c.txt");
  stdfs::create_directories(job_.source + NativePath("sub"));
  EXPECT_EQ(RunOrphans(), (Rows{"Source folder is empty: " + job_.source + NativePath("sub/"),
                                "No orphan files found."}));
  EXPECT_TRUE(Exists(NativePath("dst/sub/c.txt")));
}

}  // namespace
}  // namespace brisvel
