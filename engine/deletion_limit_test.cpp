#include <gtest/gtest.h>

#include "engine/test_job_run_fixture.h"

namespace brisvel {
namespace {

using Rows = std::vector<std::string>;

class DeletionLimitTest : public JobRunFixture {
 protected:
  DeletionLimitTest() { Job().flags |= kDeleteOrphans | kUpdateLogFile; }

  // A backup of ten files, of which the source keeps `kept` (in a sub-folder, so that the
  // folder's removal shows whether its files went). The job's log file is not counted.
  void Backup(int kept) {
    for (int i = 0; i < 10; ++i) {
      Write("dst/old/" + std::to_string(i), "x");
      if (i < kept) Write("src/old/" + std::to_string(i), "x");
    }
    Write("src/new.txt");
  }
  int Left() const { return static_cast<int>(Manifest("dst/old").size()); }
};

TEST_F(DeletionLimitTest, EqualToTheLimitDeletesOneAboveKeepsAll) {
  struct Case {
    DeletionLimit limit;
    int kept;     // of the ten files of the backup
    bool delete_;  // whether the orphans go
    const char* limitText;
  };
  const Case cases[] = {
      {{DeletionLimit::Kind::kFiles, 4}, 6, true, "4 files"},
      {{DeletionLimit::Kind::kFiles, 4}, 5, false, "4 files"},
      {{DeletionLimit::Kind::kPercent, 40}, 6, true, "40%"},
      {{DeletionLimit::Kind::kPercent, 40}, 5, false, "40%"},
      {{DeletionLimit::Kind::kPercent, 0}, 10, true, "0%"},
      {{DeletionLimit::Kind::kFiles, 0}, 0, false, "0 files"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.limitText) + " with " + std::to_string(c.kept) + " kept");
    std::filesystem::remove_all(FsPath(root_ + "src"));
    std::filesystem::remove_all(FsPath(root_ + "dst"));
    Backup(c.kept);
    Job().maxDelete = c.limit;
    const Rows rows = Run();
    // The copies happen either way.
    EXPECT_EQ(Read("dst/new.txt"), "x");
    EXPECT_EQ(Left(), c.delete_ ? c.kept : 10);
    const std::string guard = "Orphans kept: " + std::to_string(10 - c.kept) +
                              " of 10 files would be deleted, more than this job's limit of " +
                              c.limitText;
    EXPECT_EQ(Has(rows, guard), !c.delete_);
    EXPECT_EQ(state_.errorCount, c.delete_ ? 0 : 1);
    // A folder whose files stay stays too.
    EXPECT_EQ(Exists("dst/old"), !c.delete_ || c.kept > 0);
  }
}

// With old versions on, orphans are moved rather than deleted, and the limit guards them
// all the same.
TEST_F(DeletionLimitTest, GuardsOrphansThatWouldGoToOldVersions) {
  Job().keepVersions = true;
  Job().maxDelete = {DeletionLimit::Kind::kPercent, 50};
  Backup(4);
  const Rows rows = Run();
  EXPECT_EQ(Left(), 10);
  EXPECT_FALSE(Exists("dst/.brisvel-versions"));
  EXPECT_TRUE(Has(rows, "Orphans kept: 6 of 10 files would be deleted, more than this job's "
                        "limit of 50%"));
}

}  // namespace
}  // namespace brisvel
