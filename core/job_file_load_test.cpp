#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/job_file.h"
#include "core/test_folder.h"
#include "core/test_job_list_view.h"
#include "core/text.h"

namespace brisvel {
namespace {

using Names = std::vector<std::string>;
const std::string kTestData = BRISVEL_TEST_DATA;

// A job folder as the loader keeps it: `path` with this platform's separator after it.
std::string AsFolder(const std::string& path) {
  return path + kPathSeparator;
}

class JobFileLoadTest : public ::testing::Test {
 protected:
  int Load(const std::string& text) {
    WriteFile(folder_ / "jobs.jbs", text);
    return LoadJobFile(folder_ / "jobs.jbs", jobs_, settings_, view_);
  }
  // The one job of a file whose single job element holds `attributes`.
  BackupJob LoadJob(const std::string& attributes) {
    EXPECT_EQ(Load("<brisvel><job " + attributes + "/></brisvel>"), 1) << attributes;
    return jobs_.Count() == 1 ? jobs_.At(0) : BackupJob{};
  }
  // A list, settings and view that a failed load must leave as they are.
  void StartWithOneJob() {
    jobs_.Clear();
    jobs_.Append(DefaultJob()).name = "Existing";
    settings_.hiddenRun = 1;
    settings_.finishAction = kFinishShutdown;
    view_ = FakeJobListView();
    view_.AddJobRow(0, "Existing", true);
  }
  void ExpectUnchangedAfter(const std::string& message) {
    ASSERT_EQ(jobs_.Count(), 1);
    EXPECT_EQ(jobs_.At(0).name, "Existing");
    EXPECT_EQ(view_.RowNames(), Names{"Existing"});
    EXPECT_EQ(settings_.hiddenRun, 1);
    EXPECT_EQ(settings_.finishAction, kFinishShutdown);
    EXPECT_EQ(view_.refreshCount, 1);
    ASSERT_EQ(view_.MessageTexts(), Names{message});
    EXPECT_EQ(view_.messages[0].icon, MessageIcon::kWarning);
  }

  TestFolder folder_;
  JobList jobs_;
  RunSettings settings_;
  FakeJobListView view_;
};

TEST_F(JobFileLoadTest, AHandWrittenFileReplacesTheListAndIsShown) {
  StartWithOneJob();
  settings_.finishAction = kFinishExit;
  ASSERT_EQ(LoadJobFile(kTestData + "/variants.jbs", jobs_, settings_, view_), 1);
  EXPECT_EQ(view_.RowNames(),
            (Names{"Music & Talks", "New Job", "single 'quoted' <>", "Shut down"}));
  EXPECT_EQ(settings_.finishAction, kFinishReturn);
  EXPECT_EQ(view_.finishChoice, kFinishReturn);
  EXPECT_EQ(settings_.hiddenRun, 1);
  EXPECT_TRUE(view_.runInTray);
  const BackupJob& music = jobs_.At(0);
  EXPECT_EQ(music.source, AsFolder("/home/anna/Music"));
  EXPECT_EQ(music.destination, AsFolder("/media/backup/music"));
  EXPECT_EQ(music.compareMethod, kCompareDate);
  EXPECT_EQ(music.flags,
            kEnabled | kUseFilter | kIncludeSubFolders | kDeleteOrphans | kUpdateLogFile);
  EXPECT_EQ(music.filter, "mp3,ogg flac");
  EXPECT_EQ(music.logFile, "music.log");
  EXPECT_EQ(jobs_.At(1).flags, 0);
  EXPECT_EQ(jobs_.At(1).compareMethod, kCompareCrc32);
  EXPECT_EQ(jobs_.At(2).flags, kMoveInsteadOfCopy | kOpenFolderWhenDone | kEnabled);
  EXPECT_FALSE(view_.rows[1].checked);
  EXPECT_TRUE(view_.rows[2].checked);
  EXPECT_EQ(jobs_.CurrentPosition(), 0);
  EXPECT_EQ(view_.selectedRow, 0);
  EXPECT_EQ(view_.refreshCount, 1);
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(JobFileLoadTest, MissingAttributesAndFolderSeparators) {
  BackupJob job = LoadJob("");
  EXPECT_EQ(job.name, "New Job");
  EXPECT_EQ(job.flags, kEnabled);
  EXPECT_EQ(job.compareMethod, kCompareSize);
  EXPECT_EQ(job.source + job.destination + job.logFile + job.filter, "");
  job = LoadJob("name=\"\" copyfrom=\"/src\" copyto=\"/dst/\"");
  EXPECT_EQ(job.name, "New Job");
  EXPECT_EQ(job.source, AsFolder("/src"));
  EXPECT_EQ(job.destination, "/dst/");
  // Attribute names match exactly.
  job = LoadJob("Name=\"x\" RECURSIVE=\"true\" CopyFrom=\"/a\" Enabled=\"false\"");
  EXPECT_EQ(job.name, "New Job");
  EXPECT_EQ(job.source, "");
  EXPECT_EQ(job.flags, kEnabled);
}

// Run from any folder, a job file's relative folders are the ones beside it: never folders
// of wherever the program happened to start, where orphans would be deleted.
TEST_F(JobFileLoadTest, RelativeFoldersLieBesideTheJobFile) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path("/");
  BackupJob job = LoadJob("copyfrom=\"photos\" copyto=\"../backup/photos\"");
  std::filesystem::current_path(folder_.Path());
  Load("<brisvel><job copyfrom=\"/abs/src\" copyto=\"\"/></brisvel>");
  std::filesystem::current_path(before);
  EXPECT_EQ(job.source, AsFolder(folder_ / "photos"));
  EXPECT_EQ(job.destination, AsFolder(folder_ / "../backup/photos"));
  EXPECT_EQ(jobs_.At(0).source, AsFolder("/abs/src"));
  EXPECT_EQ(jobs_.At(0).destination, "");
}

TEST_F(JobFileLoadTest, ValueWords) {
  const std::pair<const char*, int> methods[] = {
      {"date", 1}, {"MODIFIED", 1}, {"ModDate", 1}, {"crc32", 2}, {"CRC", 2},
      {"Md5", 3},  {"sha1", 0},     {" md5", 0},    {"3", 0},
  };
  for (const auto& [word, code] : methods) {
    EXPECT_EQ(LoadJob("method=\"" + std::string(word) + "\"").compareMethod, code) << word;
  }
  const std::pair<const char*, bool> yesWords[] = {
      {"true", true},   {"TRUE", true}, {"Yes", true},    {"1", true},  {"", false},
      {"false", false}, {"on", false},  {" true", false}, {"0", false},
  };
  for (const auto& [word, yes] : yesWords) {
    std::string v = std::string("=\"") + word + "\"";
    BackupJob job = LoadJob("recursive" + v + " move" + v + " orphans" + v + " log" + v + " open" +
                            v + " usefilter" + v + " enabled" + v);
    int enabledWhenEmpty = *word == 0 ? kEnabled : 0;
    EXPECT_EQ(job.flags, yes ? 0x7F : enabledWhenEmpty) << word;
    Load("<brisvel silent" + v + "><job/></brisvel>");
    EXPECT_EQ(settings_.hiddenRun, yes ? 1 : 0) << word;
  }
  const std::pair<const char*, int> finishes[] = {
      {"nothing", 0},  {"Brisvel", 1},   {"PROGRAM", 1},    {"open", 1},
      {"shutdown", 2}, {"Shut Down", 2}, {"shut  down", 0}, {"2", 0},
  };
  for (const auto& [word, code] : finishes) {
    Load("<brisvel finish=\"" + std::string(word) + "\"><job/></brisvel>");
    EXPECT_EQ(settings_.finishAction, code) << word;
  }
}

TEST_F(JobFileLoadTest, OnlyJobChildrenOfTheRootCountInAnyLetterCase) {
  EXPECT_EQ(Load("<BrisVel><JOB name=\"a\"/><jobs name=\"x\"/><group><job name=\"deep\"/>"
                 "</group>text<Job name=\"b\"><job name=\"inner\"/></Job></BrisVel>"),
            1);
  EXPECT_EQ(view_.RowNames(), (Names{"a", "b"}));
}

TEST_F(JobFileLoadTest, FailuresLeaveEverythingAsItWas) {
  for (const char* text : {"<jobs><job name=\"a\"/></jobs>", "   \n ",
                           "\x7F"
                           "ELF\x01"}) {
    StartWithOneJob();
    EXPECT_EQ(Load(text), 0);
    ExpectUnchangedAfter("Not a valid Brisvel file!");
  }
  StartWithOneJob();
  EXPECT_EQ(LoadJobFile(folder_ / "no such.jbs", jobs_, settings_, view_), 0);
  ExpectUnchangedAfter("Couldn't load 'no such.jbs'!");
  StartWithOneJob();
  WriteFile(folder_ / "empty.jbs", "");
  EXPECT_EQ(LoadJobFile(folder_ / "empty.jbs", jobs_, settings_, view_), 0);
  ExpectUnchangedAfter("Couldn't load 'empty.jbs'!");
  StartWithOneJob();
  EXPECT_EQ(LoadJobFile(folder_.Path(), jobs_, settings_, view_), 0);  // a folder
  ExpectUnchangedAfter("Couldn't load '" + FilePart(folder_.Path()) + "'!");
}

TEST_F(JobFileLoadTest, NoJobsLeavesOneDefaultJob) {
  StartWithOneJob();
  EXPECT_EQ(Load("<brisvel silent=\"yes\"><task name=\"a\"/></brisvel>"), 0);
  ASSERT_EQ(jobs_.Count(), 1);
  EXPECT_EQ(jobs_.At(0).flags, DefaultJob().flags);
  EXPECT_EQ(view_.RowNames(), Names{"New Job"});
  EXPECT_TRUE(view_.runInTray);
  EXPECT_EQ(view_.MessageTexts(), Names{"No valid jobs were found in the file!"});
}

TEST_F(JobFileLoadTest, ACutFileGivesTheJobsWhoseTagsWereRead) {
  const std::string text =
      "<brisvel silent=\"true\">\r\n   <job name=\"a\" copyfrom=\"/a\"/>\r\n"
      "   <job name=\"b\" copyfrom=\"/b\"/>\r\n</brisvel>\r\n";
  const size_t rootEnd = text.find('>') + 1;
  const size_t firstEnd = text.find("/>") + 2;
  const size_t secondEnd = text.find("/>", firstEnd) + 2;
  for (size_t length = 1; length < text.size(); ++length) {
    view_ = FakeJobListView();
    int result = Load(text.substr(0, length));
    if (length < rootEnd) {
      EXPECT_EQ(view_.MessageTexts(), Names{"Not a valid Brisvel file!"}) << length;
    } else if (length < firstEnd) {
      EXPECT_EQ(view_.MessageTexts(), Names{"No valid jobs were found in the file!"}) << length;
    } else {
      EXPECT_EQ(result, 1) << length;
      EXPECT_EQ(jobs_.Count(), length < secondEnd ? 1 : 2) << length;
      EXPECT_EQ(jobs_.At(0).source, AsFolder("/a")) << length;
    }
  }
}

TEST_F(JobFileLoadTest, ReferencesAndDeclaredEncodingsGiveUtf8) {
  EXPECT_EQ(LoadJob("name=\"a &amp; b &lt;&#233;&#x65E5;&gt; &quot;q&quot; &#9;\"").name,
            "a & b <\xC3\xA9\xE6\x97\xA5> \"q\" \t");
  ASSERT_EQ(LoadJobFile(kTestData + "/latin1.jbs", jobs_, settings_, view_), 1);
  EXPECT_EQ(jobs_.At(0).name, "Caf\xC3\xA9 cr\xC3\xA8me");
  EXPECT_EQ(jobs_.At(0).source, "/data/Caf\xC3\xA9/");
}

}  // namespace
}  // namespace brisvel
