#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/job_file.h"
#include "core/job_list_view_fake.h"
#include "core/test_util.h"
#include "core/text.h"

namespace brisvel {
namespace {

using Names = std::vector<std::string>;

class JobFileLoadTest : public ::testing::Test {
 protected:
  int Load(const std::string& text) {
    WriteFile(folder_ / "jobs.jbs", text);
    return LoadJobFile(folder_ / "jobs.jbs", jobs_, settings_, view_);
  }
  // The one job of a file holding `attributes` in its single job element.
  BackupJob LoadJob(const std::string& attributes) {
    EXPECT_EQ(Load("<brisvel><job " + attributes + "/></brisvel>"), 1) << attributes;
    return jobs_.Count() == 1 ? jobs_.At(0) : BackupJob{};
  }
  // A list that a failed load must leave alone.
  void StartWithOneJob() {
    jobs_.Clear();
    jobs_.Append(DefaultJob()).name = "Existing";
    settings_.hiddenRun = 1;
    settings_.finishAction = kFinishShutdown;
    view_ = FakeJobListView();
    view_.AddJobRow(0, "Existing", true);
  }
  void ExpectUnchanged() {
    ASSERT_EQ(jobs_.Count(), 1);
    EXPECT_EQ(jobs_.At(0).name, "Existing");
    EXPECT_EQ(view_.RowNames(), Names{"Existing"});
    EXPECT_EQ(settings_.hiddenRun, 1);
    EXPECT_EQ(settings_.finishAction, kFinishShutdown);
    EXPECT_EQ(view_.refreshCount, 1);
  }
  void ExpectOnlyMessage(const std::string& text) {
    ASSERT_EQ(view_.MessageTexts(), Names{text});
    EXPECT_EQ(view_.messages[0].icon, MessageIcon::kWarning);
  }

  ScratchFolder folder_;
  JobList jobs_;
  RunSettings settings_;
  FakeJobListView view_;
};

TEST_F(JobFileLoadTest, ReadsEveryFieldAndShowsTheJobs) {
  StartWithOneJob();
  int result = Load(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "<brisvel version=\"1.1\" finish=\"shutdown\" silent=\"true\">\r\n"
      "   <job name=\"Photos\" copyfrom=\"/home/anna/Photos\" copyto=\"/media/b/\" "
      "method=\"md5\" enabled=\"false\" usefilter=\"true\" filter=\"jpg png\" "
      "recursive=\"true\" move=\"true\" orphans=\"true\" log=\"true\" logfile=\"p.log\" "
      "open=\"true\"/>\r\n"
      "   <job name=\"Docs\" copyfrom=\"/d/\" copyto=\"/e/\" method=\"date\"/>\r\n"
      "</brisvel>\r\n");
  EXPECT_EQ(result, 1);
  ASSERT_EQ(jobs_.Count(), 2);
  const BackupJob& photos = jobs_.At(0);
  EXPECT_EQ(photos.name, "Photos");
  EXPECT_EQ(photos.source, "/home/anna/Photos/");
  EXPECT_EQ(photos.destination, "/media/b/");
  EXPECT_EQ(photos.compareMethod, kCompareMd5);
  EXPECT_EQ(photos.flags, 0x5F);  // everything but enabled and the automatic name
  EXPECT_EQ(photos.filter, "jpg png");
  EXPECT_EQ(photos.logFile, "p.log");
  EXPECT_EQ(jobs_.At(1).flags, kEnabled);
  EXPECT_EQ(jobs_.At(1).compareMethod, kCompareDate);
  EXPECT_EQ(jobs_.CurrentPosition(), 0);

  EXPECT_EQ(settings_.hiddenRun, 1);
  EXPECT_EQ(settings_.finishAction, kFinishShutdown);
  EXPECT_EQ(view_.RowNames(), (Names{"Photos", "Docs"}));
  EXPECT_FALSE(view_.rows[0].checked);
  EXPECT_TRUE(view_.rows[1].checked);
  EXPECT_EQ(view_.selectedRow, 0);
  EXPECT_TRUE(view_.runInTray);
  EXPECT_EQ(view_.finishChoice, kFinishShutdown);
  EXPECT_EQ(view_.refreshCount, 1);
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(JobFileLoadTest, AJobWithoutAttributesIsAnEnabledNewJob) {
  BackupJob job = LoadJob("");
  EXPECT_EQ(job.name, "New Job");
  EXPECT_EQ(job.source, "");
  EXPECT_EQ(job.destination, "");
  EXPECT_EQ(job.flags, kEnabled);
  EXPECT_EQ(job.compareMethod, kCompareSize);
  EXPECT_EQ(job.logFile, "");
  EXPECT_EQ(job.filter, "");
  EXPECT_EQ(LoadJob("name=\"\"").name, "New Job");
}

TEST_F(JobFileLoadTest, FoldersGainExactlyOneSeparator) {
  BackupJob job = LoadJob("copyfrom=\"/src\" copyto=\"/dst/\"");
  EXPECT_EQ(job.source, "/src/");
  EXPECT_EQ(job.destination, "/dst/");
  job = LoadJob("copyfrom=\"\" copyto=\"relative\"");
  EXPECT_EQ(job.source, "");
  EXPECT_EQ(job.destination, "relative/");
}

TEST_F(JobFileLoadTest, CompareMethodWords) {
  const std::pair<const char*, int> cases[] = {
      {"size", 0}, {"date", 1}, {"MODIFIED", 1}, {"ModDate", 1}, {"crc32", 2}, {"CRC", 2},
      {"Md5", 3},  {"sha1", 0}, {" md5", 0},     {"", 0},        {"3", 0},
  };
  for (const auto& [word, code] : cases) {
    EXPECT_EQ(LoadJob("method=\"" + std::string(word) + "\"").compareMethod, code) << word;
  }
}

TEST_F(JobFileLoadTest, BooleanWords) {
  const std::pair<const char*, bool> cases[] = {
      {"true", true}, {"TRUE", true},   {"Yes", true},   {"1", true},
      {"", false},    {"false", false}, {"on", false},   {" true", false},
      {"no", false},  {"0", false},     {"yes!", false}, {"2", false},
  };
  for (const auto& [word, on] : cases) {
    std::string value = "\"" + std::string(word) + "\"";
    BackupJob job = LoadJob("recursive=" + value + " move=" + value + " orphans=" + value +
                            " log=" + value + " open=" + value + " usefilter=" + value);
    EXPECT_EQ(job.flags & ~kEnabled, on ? 0x5F : 0) << word;
  }
  // "enabled" is on unless it holds a word that is not a yes.
  EXPECT_TRUE(LoadJob("enabled=\"\"").Has(kEnabled));
  EXPECT_TRUE(LoadJob("enabled=\"YES\"").Has(kEnabled));
  EXPECT_FALSE(LoadJob("enabled=\"false\"").Has(kEnabled));
  EXPECT_FALSE(LoadJob("enabled=\"0\"").Has(kEnabled));
  EXPECT_FALSE(LoadJob("enabled=\"off\"").Has(kEnabled));
}

TEST_F(JobFileLoadTest, FinishAndSilentWords) {
  const std::pair<const char*, int> finishes[] = {
      {"nothing", 0},   {"Brisvel", 1},    {"PROGRAM", 1}, {"open", 1}, {"shutdown", 2},
      {"Shut Down", 2}, {"shut  down", 0}, {"2", 0},       {"", 0},
  };
  for (const auto& [word, code] : finishes) {
    Load("<brisvel finish=\"" + std::string(word) + "\"><job/></brisvel>");
    EXPECT_EQ(settings_.finishAction, code) << word;
    EXPECT_EQ(view_.finishChoice, code) << word;
  }
  const std::pair<const char*, int> silents[] = {
      {"true", 1}, {"Yes", 1}, {"1", 1}, {"false", 0}, {"on", 0}, {"", 0},
  };
  for (const auto& [word, hidden] : silents) {
    Load("<brisvel silent=\"" + std::string(word) + "\"><job/></brisvel>");
    EXPECT_EQ(settings_.hiddenRun, hidden) << word;
    EXPECT_EQ(view_.runInTray, hidden == 1) << word;
  }
  settings_.finishAction = kFinishShutdown;
  settings_.hiddenRun = 1;
  Load("<brisvel><job/></brisvel>");
  EXPECT_EQ(settings_.finishAction, kFinishExit);
  EXPECT_EQ(settings_.hiddenRun, 0);
}

TEST_F(JobFileLoadTest, AttributeNamesMatchExactly) {
  BackupJob job = LoadJob("Name=\"x\" RECURSIVE=\"true\" CopyFrom=\"/a\" Enabled=\"false\"");
  EXPECT_EQ(job.name, "New Job");
  EXPECT_EQ(job.source, "");
  EXPECT_EQ(job.flags, kEnabled);
}

TEST_F(JobFileLoadTest, ElementNamesIgnoreCaseAndOnlyJobChildrenCount) {
  EXPECT_EQ(Load("<BrisVel><JOB name=\"a\"/><jobs name=\"x\"/><group><job name=\"deep\"/>"
                 "</group>text<Job name=\"b\"><job name=\"inner\"/></Job></BrisVel>"),
            1);
  EXPECT_EQ(view_.RowNames(), (Names{"a", "b"}));
  EXPECT_EQ(jobs_.Count(), 2);
}

TEST_F(JobFileLoadTest, WrongRootLeavesEverythingAsItWas) {
  for (const char* text : {"<jobs><job name=\"a\"/></jobs>", "<brisvelx><job/></brisvelx>",
                           "   \n ", "<!-- only a comment -->",
                           "\x7F"
                           "ELF\x01\x02\x03"}) {
    StartWithOneJob();
    EXPECT_EQ(Load(text), 0) << text;
    ExpectUnchanged();
    ExpectOnlyMessage("Not a valid Brisvel file!");
  }
}

TEST_F(JobFileLoadTest, FilesThatCannotBeReadLeaveEverythingAsItWas) {
  StartWithOneJob();
  EXPECT_EQ(LoadJobFile(folder_ / "no such.jbs", jobs_, settings_, view_), 0);
  ExpectUnchanged();
  ExpectOnlyMessage("Couldn't load 'no such.jbs'!");

  StartWithOneJob();
  WriteFile(folder_ / "empty.jbs", "");
  EXPECT_EQ(LoadJobFile(folder_ / "empty.jbs", jobs_, settings_, view_), 0);
  ExpectUnchanged();
  ExpectOnlyMessage("Couldn't load 'empty.jbs'!");

  StartWithOneJob();
  EXPECT_EQ(LoadJobFile(folder_.Path(), jobs_, settings_, view_), 0);  // a folder
  ExpectUnchanged();
  ExpectOnlyMessage("Couldn't load '" + FilePart(folder_.Path()) + "'!");
}

TEST_F(JobFileLoadTest, NoJobsLeavesOneDefaultJob) {
  StartWithOneJob();
  EXPECT_EQ(Load("<brisvel silent=\"yes\"><task name=\"a\"/></brisvel>"), 0);
  ASSERT_EQ(jobs_.Count(), 1);
  EXPECT_EQ(jobs_.At(0).name, "New Job");
  EXPECT_EQ(jobs_.At(0).flags, DefaultJob().flags);
  EXPECT_EQ(view_.RowNames(), Names{"New Job"});
  EXPECT_EQ(settings_.hiddenRun, 1);
  EXPECT_TRUE(view_.runInTray);
  ExpectOnlyMessage("No valid jobs were found in the file!");
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
      EXPECT_EQ(settings_.hiddenRun, 1) << length;
    } else {
      EXPECT_EQ(result, 1) << length;
      EXPECT_EQ(jobs_.Count(), length < secondEnd ? 1 : 2) << length;
      EXPECT_EQ(jobs_.At(0).source, "/a/") << length;
      EXPECT_TRUE(view_.messages.empty()) << length;
    }
  }
}

TEST_F(JobFileLoadTest, ReferencesAndDeclaredEncodingsGiveUtf8) {
  EXPECT_EQ(LoadJob("name=\"a &amp; b &lt;&#233;&#x65E5;&gt; &quot;q&quot; &apos;\"").name,
            "a & b <\xC3\xA9\xE6\x97\xA5> \"q\" '");
  EXPECT_EQ(LoadJob("filter=\"jpg&#9;png&#10;\"").filter, "jpg\tpng\n");
  Load("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><brisvel><job name=\"Caf\xE9\"/></brisvel>");
  EXPECT_EQ(jobs_.At(0).name, "Caf\xC3\xA9");
}

TEST_F(JobFileLoadTest, AHandWrittenFile) {
  std::string path = std::string(BRISVEL_TEST_DATA) + "/variants.jbs";
  ASSERT_EQ(LoadJobFile(path, jobs_, settings_, view_), 1);
  EXPECT_EQ(settings_.finishAction, kFinishReturn);
  EXPECT_EQ(settings_.hiddenRun, 1);
  EXPECT_EQ(view_.RowNames(),
            (Names{"Music & Talks", "New Job", "single 'quoted' <>", "Shut down"}));
  const BackupJob& music = jobs_.At(0);
  EXPECT_EQ(music.source, "/home/anna/Music/");
  EXPECT_EQ(music.destination, "/media/backup/music/");
  EXPECT_EQ(music.compareMethod, kCompareDate);
  EXPECT_EQ(music.flags,
            kEnabled | kUseFilter | kIncludeSubFolders | kDeleteOrphans | kUpdateLogFile);
  EXPECT_EQ(music.filter, "mp3,ogg flac");
  EXPECT_EQ(music.logFile, "music.log");
  EXPECT_EQ(jobs_.At(1).flags, 0);
  EXPECT_EQ(jobs_.At(1).compareMethod, kCompareCrc32);
  EXPECT_EQ(jobs_.At(2).flags, kMoveInsteadOfCopy | kOpenFolderWhenDone | kEnabled);
  EXPECT_EQ(jobs_.At(3).compareMethod, kCompareMd5);
  EXPECT_TRUE(view_.messages.empty());

  path = std::string(BRISVEL_TEST_DATA) + "/latin1.jbs";
  ASSERT_EQ(LoadJobFile(path, jobs_, settings_, view_), 1);
  EXPECT_EQ(jobs_.At(0).name, "Caf\xC3\xA9 cr\xC3\xA8me");
  EXPECT_EQ(jobs_.At(0).source, "/data/Caf\xC3\xA9/");
}

}  // namespace
}  // namespace brisvel
