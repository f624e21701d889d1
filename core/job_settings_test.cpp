#include "core/job_settings.h"

#include <gtest/gtest.h>

#include "core/job_file.h"
#include "core/test_folder.h"
#include "core/test_job_list_view.h"

namespace brisvel {
namespace {

using Kind = DeletionLimit::Kind;

TEST(JobSettings, ValuesKeepTheirRules) {
  EXPECT_EQ(ParseDeletionLimit(""), DeletionLimit{});
  EXPECT_EQ(ParseDeletionLimit(" 50 "), (DeletionLimit{Kind::kFiles, 50}));
  EXPECT_EQ(ParseDeletionLimit("0"), (DeletionLimit{Kind::kFiles, 0}));
  EXPECT_EQ(ParseDeletionLimit("100%"), (DeletionLimit{Kind::kPercent, 100}));
  EXPECT_EQ(ParseDeletionLimit("0%"), (DeletionLimit{Kind::kPercent, 0}));
  for (const char* bad : {"150%", "-1", "-5%", "5 %", "%", "1e3", "ten", "50%%", "0x10",
                          "99999999999999999999", "+5"}) {
    EXPECT_FALSE(ParseDeletionLimit(bad)) << bad;
  }
  EXPECT_EQ(DeletionLimitText({Kind::kPercent, 7}), "7%");
  EXPECT_EQ(DeletionLimitText({}), "");

  EXPECT_EQ(ParseCount(""), 0);
  EXPECT_EQ(ParseCount("30"), 30);
  EXPECT_EQ(ParseCount("1000000"), 1000000);
  for (const char* bad : {"-3", "1000001", "3.5", "three", "2147483648"}) {
    EXPECT_FALSE(ParseCount(bad)) << bad;
  }

  EXPECT_TRUE(VersionFolderAllowed(""));
  EXPECT_TRUE(VersionFolderAllowed("old versions/here"));
  EXPECT_FALSE(VersionFolderAllowed("../elsewhere"));
  EXPECT_FALSE(VersionFolderAllowed("a/../../b"));
#ifdef _WIN32
  EXPECT_TRUE(VersionFolderAllowed("D:\\Versions"));
  EXPECT_TRUE(VersionFolderAllowed("\\\\server\\share\\v"));
  EXPECT_FALSE(VersionFolderAllowed("\\rooted on no drive"));
#else
  EXPECT_TRUE(VersionFolderAllowed("/srv/versions"));
#endif

  EXPECT_EQ(SplitPatterns(" node_modules/ ;; *.tmp;~$*; [a] b ;"),
            (std::vector<std::string>{"node_modules/", "*.tmp", "~$*", "[a] b"}));
  EXPECT_TRUE(SplitPatterns(" ; ").empty());
}

// A value a setting cannot take turns that setting off, never the job or the file; the user
// hears of every such value in one message.
TEST(JobSettings, AFileWithValuesThatBreakTheRulesLoadsWithThoseSettingsOff) {
  TestFolder folder;
  WriteFile(folder / "jobs.jbs",
            "<brisvel><job name=\"Photos\" copyfrom=\"/a\" copyto=\"/b\" versions=\"yes\" "
            "versionfolder=\"../out\" keepruns=\"-3\" keepdays=\"30\" maxdelete=\"150%\" "
            "exclude=\"*.tmp\"/><job name=\"Fine\" maxdelete=\"25%\" keepruns=\"4\"/></brisvel>");
  JobList jobs;
  RunSettings settings;
  FakeJobListView view;
  ASSERT_EQ(LoadJobFile(folder / "jobs.jbs", jobs, settings, view), 1);
  ASSERT_EQ(jobs.Count(), 2);
  const BackupJob& photos = jobs.At(0);
  EXPECT_TRUE(photos.keepVersions);
  EXPECT_EQ(photos.versionFolder, "");
  EXPECT_EQ(photos.keepRuns, 0);
  EXPECT_EQ(photos.keepDays, 30);
  EXPECT_FALSE(photos.maxDelete.IsSet());
  EXPECT_EQ(photos.exclude, "*.tmp");
  EXPECT_EQ(jobs.At(1).maxDelete, (DeletionLimit{Kind::kPercent, 25}));
  EXPECT_EQ(jobs.At(1).keepRuns, 4);
  ASSERT_EQ(view.MessageTexts().size(), 1u);
  EXPECT_EQ(view.MessageTexts()[0],
            "Some settings of this job file cannot be used:\n"
            "Job 'Photos': versionfolder=\"../out\" leaves the destination folder; old versions "
            "go to .brisvel-versions instead.\n"
            "Job 'Photos': keepruns=\"-3\" is not a whole number of runs from 0 to 1000000; the "
            "setting is off.\n"
            "Job 'Photos': maxdelete=\"150%\" is neither a number of files nor a percentage from "
            "0% to 100%; the job has no deletion limit.");
}

}  // namespace
}  // namespace brisvel
