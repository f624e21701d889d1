#include <gtest/gtest.h>

#include <string>

#include "core/job_file.h"
#include "core/test_folder.h"
#include "core/test_job_list_view.h"
#include "core/xml_text.h"

namespace brisvel {
namespace {

const std::string kGoldenFile = std::string(BRISVEL_TEST_DATA) + "/saved.jbs";

JobList GoldenJobs() {
  JobList jobs;
  BackupJob& photos = jobs.Append(DefaultJob());  // its automatic name is never written
  photos.name = "Mum's \"best\" <photos> & films";
  photos.source = "/home/anna/Bilder/Caf\xC3\xA9/";
  photos.destination = "/media/backup/\xE6\x97\xA5\xE6\x9C\xAC/";
  photos.compareMethod = kCompareMd5;
  photos.flags |= kUseFilter | kDeleteOrphans | kUpdateLogFile;
  photos.filter = "jpg png";
  BackupJob& documents = jobs.Append();
  documents.name = "Documents";
  documents.compareMethod = kCompareDate;
  documents.flags = kMoveInsteadOfCopy | kOpenFolderWhenDone;
  BackupJob& odd = jobs.Append();
  odd.name = "Odd\tone";
  odd.source = "/srv/a\nb/";
  odd.destination = "/srv/c/";
  odd.compareMethod = 7;  // no such method: written without one
  odd.flags = kEnabled;
  return jobs;
}

void ShowJobs(const JobList& jobs, FakeJobListView& view) {
  for (const BackupJob& job : jobs) view.AddJobRow(99, job.name, job.Has(kEnabled));
}

TEST(JobFileSaveTest, WritesTheGoldenFileTakingTheViewsChoices) {
  TestFolder folder;
  JobList jobs = GoldenJobs();
  FakeJobListView view;
  ShowJobs(jobs, view);
  jobs.At(1).Set(kEnabled, true);  // its row is not checked, and the row wins
  view.runInTray = true;
  view.finishChoice = kFinishShutdown;
  RunSettings settings;

  EXPECT_NE(SaveJobFile(folder / "saved.jbs", jobs, settings, view), 0);
  EXPECT_EQ(ReadFile(folder / "saved.jbs"), ReadFile(kGoldenFile));
  EXPECT_FALSE(jobs.At(1).Has(kEnabled));
  EXPECT_EQ(settings.hiddenRun, 1);
  EXPECT_EQ(settings.finishAction, kFinishShutdown);
  EXPECT_EQ(folder.Names(), "saved.jbs");
}

// A job file written before the settings beyond a job's options existed loads and saves back
// byte for byte: those settings are written only when set. (The golden file's last job has no
// method, which a load replaces by the default, so it is left out here.)
TEST(JobFileSaveTest, AnOlderJobFileSavesBackByteForByte) {
  std::string older = ReadFile(kGoldenFile);
  const size_t odd = older.find("   <job name=\"Odd");
  ASSERT_NE(odd, std::string::npos);
  older.erase(odd, older.find('\n', odd) + 1 - odd);
  TestFolder folder;
  WriteFile(folder / "older.jbs", older);
  JobList jobs;
  RunSettings settings;
  FakeJobListView view;
  ASSERT_EQ(LoadJobFile(folder / "older.jbs", jobs, settings, view), 1);
  EXPECT_TRUE(view.MessageTexts().empty());
  ASSERT_NE(SaveJobFile(folder / "again.jbs", jobs, settings, view), 0);
  EXPECT_EQ(ReadFile(folder / "again.jbs"), older);
}

// Every flag combination, every method and awkward texts come back, but the automatic name.
TEST(JobFileSaveTest, SaveThenLoadGivesTheSameJobs) {
  JobList saved;
  for (int flags = 0; flags < 256; ++flags) {
    BackupJob& job = saved.Append();
    job.flags = static_cast<uint8_t>(flags);
    job.compareMethod = static_cast<uint8_t>(flags % 4);
    job.name = "Job " + std::to_string(flags) + " <&'> \xC3\xA9\xE6\x97\xA5 \x7F\ta\r\nb ";
    job.source = flags % 3 == 0 ? "" : "/data/" + std::to_string(flags) + "/caf\xC3\xA9 & co/";
    job.destination = flags % 5 == 0 ? "" : "/backup/  spaced  /";
    job.filter = flags % 2 == 0 ? "" : "jpg, png  gif";
    job.logFile = "log " + std::to_string(flags) + ".txt";
    job.needsDrive = flags % 7 == 0;
    job.keepVersions = flags % 11 == 0;
    job.versionFolder = flags % 13 == 0 ? "old & \"new\"/v\xC3\xA9" : "";
    job.keepRuns = flags % 37 == 3 ? 8 : 0;
    job.keepDays = flags % 19 == 0 ? 365 : 0;
    if (flags % 23 == 0) job.maxDelete = {DeletionLimit::Kind::kPercent, flags % 101};
    if (flags % 29 == 0) job.maxDelete = {DeletionLimit::Kind::kFiles, flags * 1000};
    job.exclude = flags % 31 == 0 ? "node_modules/; *.tmp ;~$*;[a] b/**/c" : "";
  }
  for (int finish : {kFinishExit, kFinishReturn, kFinishShutdown}) {
    TestFolder folder;
    FakeJobListView view;
    ShowJobs(saved, view);
    view.runInTray = finish == kFinishReturn;
    view.finishChoice = finish;
    RunSettings settings;
    ASSERT_NE(SaveJobFile(folder / "round.jbs", saved, settings, view), 0);
    // The drive setting follows the attributes every job has, and only where it is set.
    const std::string text = ReadFile(folder / "round.jbs");
    EXPECT_NE(text.find("logfile=\"log 7.txt\" open=\"false\" needsdrive=\"true\"/>"),
              std::string::npos);
    EXPECT_NE(text.find("logfile=\"log 1.txt\" open=\"false\"/>"), std::string::npos);
    EXPECT_NE(text.find("logfile=\"log 0.txt\" open=\"false\" needsdrive=\"true\" versions=\"true\" "
                        "versionfolder=\"old &amp; new/v\xC3\xA9\" keepdays=\"365\" "
                        "maxdelete=\"0\" exclude=\"node_modules/; *.tmp "
                        ";~$*;[a] b/**/c\"/>"),
              std::string::npos);

    JobList loaded;
    RunSettings loadedSettings;
    FakeJobListView loadedView;
    ASSERT_EQ(LoadJobFile(folder / "round.jbs", loaded, loadedSettings, loadedView), 1);
    EXPECT_TRUE(loadedView.MessageTexts().empty());
    EXPECT_EQ(loadedSettings.finishAction, finish);
    EXPECT_EQ(loadedSettings.hiddenRun, finish == kFinishReturn ? 1 : 0);
    ASSERT_EQ(loaded.Count(), saved.Count());
    for (int i = 0; i < saved.Count(); ++i) {
      const BackupJob& a = saved.At(i);
      const BackupJob& b = loaded.At(i);
      EXPECT_EQ(b.name, a.name);
      EXPECT_EQ(b.source + "|" + b.destination, a.source + "|" + a.destination);
      EXPECT_EQ(b.flags, a.flags & ~kAutomaticName) << i;
      EXPECT_EQ(b.compareMethod, a.compareMethod);
      EXPECT_EQ(b.logFile + "|" + b.filter, a.logFile + "|" + a.filter);
      EXPECT_EQ(b.needsDrive, a.needsDrive) << i;
      EXPECT_EQ(b.keepVersions, a.keepVersions) << i;
      EXPECT_EQ(b.versionFolder, a.versionFolder.empty() ? "" : "old & new/v\xC3\xA9") << i;
      EXPECT_EQ(b.keepRuns * 1000 + b.keepDays, a.keepRuns * 1000 + a.keepDays) << i;
      EXPECT_EQ(b.maxDelete, a.maxDelete) << i;
      EXPECT_EQ(b.exclude, a.exclude) << i;
    }
  }
}

TEST(JobFileSaveTest, TextXmlCannotCarryIsReplacedAndTheFileStaysReadable) {
  TestFolder folder;
  JobList jobs;
  jobs.Append(DefaultJob()).name = "Caf\xE9 \x01 end";
  jobs.At(0).source = std::string("/a\0b/", 5);
  FakeJobListView view;
  ShowJobs(jobs, view);
  RunSettings settings;
  ASSERT_NE(SaveJobFile(folder / "odd.jbs", jobs, settings, view), 0);
  ASSERT_EQ(LoadJobFile(folder / "odd.jbs", jobs, settings, view), 1);
  const std::string r(kReplacementCharacter);
  EXPECT_EQ(jobs.At(0).name, "Caf" + r + " " + r + " end");
  EXPECT_EQ(jobs.At(0).source, "/a" + r + "b/");
}

TEST(JobFileSaveTest, AFailedSaveReturnsZeroAndShowsNothing) {
  TestFolder folder;
  JobList jobs = GoldenJobs();
  FakeJobListView view;
  RunSettings settings;
  EXPECT_EQ(SaveJobFile(folder / "missing/jobs.jbs", jobs, settings, view), 0);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(folder.Names(), "");
}

}  // namespace
}  // namespace brisvel
