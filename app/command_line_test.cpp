#include "app/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_window_view.h"
#include "app/program.h"
#include "app/ui/control_ids.h"
#include "app/ui/test_ui.h"
#include "app/window_layout.h"
#include "core/test_folder.h"

namespace brisvel {
namespace {

using Strings = std::vector<std::string>;

TEST(ProgramOptions, AreTakenOnlyFromTheFront) {
  ProgramOptions options = ReadProgramOptions({"--console", "backup", "a", "--help"});
  EXPECT_TRUE(options.console);
  EXPECT_FALSE(options.help);
  EXPECT_EQ(options.arguments, (Strings{"backup", "a", "--help"}));

  options = ReadProgramOptions({"--version", "--help"});
  EXPECT_TRUE(options.version);
  EXPECT_TRUE(options.help);
  EXPECT_TRUE(options.arguments.empty());
}

TEST(ProgramOptions, TheTerminalServesWithoutADisplayOrWhenAsked) {
  EXPECT_TRUE(WantsConsole(false, nullptr, nullptr));
  EXPECT_TRUE(WantsConsole(false, "", ""));
  EXPECT_FALSE(WantsConsole(false, ":0", nullptr));
  EXPECT_FALSE(WantsConsole(false, nullptr, "wayland-0"));
  EXPECT_TRUE(WantsConsole(true, ":0", "wayland-0"));
}

TEST(OptionWords, SetTheJobAndTheRunSettingsInAnyLetterCase) {
  BackupJob job = CommandLineJob("/s", "/d");
  RunSettings settings;
  ApplyOptionWords(
      Arguments({"RECURSIVE", "Move", "orphan", "OpenFolder", "crc", "Tray", "NeedsDrive"}), 0, job,
      settings);
  EXPECT_EQ(job.flags, kEnabled | kAutomaticName | kIncludeSubFolders | kMoveInsteadOfCopy |
                           kDeleteOrphans | kOpenFolderWhenDone);
  EXPECT_EQ(job.compareMethod, kCompareCrc32);
  EXPECT_TRUE(job.needsDrive);
  EXPECT_EQ(settings.hiddenRun, 1);
  EXPECT_EQ(settings.finishAction, kFinishExit);
}

TEST(OptionWords, TheLastMethodAndFinishWordWin) {
  BackupJob job = CommandLineJob("/s", "/d");
  RunSettings settings;
  ApplyOptionWords(Arguments({"recursive", "md5", "size", "silent", "shutdown"}), 0, job, settings);
  EXPECT_TRUE(job.Has(kIncludeSubFolders));
  EXPECT_EQ(job.compareMethod, kCompareSize);
  EXPECT_EQ(settings.finishAction, kFinishShutdown);

  ApplyOptionWords(Arguments({"modified", "shutdown", "silent"}), 0, job, settings);
  EXPECT_EQ(job.compareMethod, kCompareDate);
  EXPECT_EQ(settings.finishAction, kFinishExit);
}

TEST(OptionWords, ValuesAreTakenOnlyWhenThere) {
  BackupJob job = CommandLineJob("/s", "/d");
  RunSettings settings;
  ApplyOptionWords(Arguments({"log"}), 0, job, settings);
  EXPECT_FALSE(job.Has(kUpdateLogFile));
  EXPECT_EQ(job.logFile, "backup.log");

  // An empty value is not consumed: the word after it still counts.
  ApplyOptionWords(Arguments({"log", "", "move"}), 0, job, settings);
  EXPECT_FALSE(job.Has(kUpdateLogFile));
  EXPECT_TRUE(job.Has(kMoveInsteadOfCopy));

  ApplyOptionWords(Arguments({"log", "Run Log.TXT", "filter", "  jpg  png "}), 0, job, settings);
  EXPECT_TRUE(job.Has(kUpdateLogFile));
  EXPECT_EQ(job.logFile, "Run Log.TXT");
  EXPECT_TRUE(job.Has(kUseFilter));
  EXPECT_EQ(job.filter, "jpg  png");

  // A value that reads like a word is still the value.
  ApplyOptionWords(Arguments({"log", "md5"}), 0, job, settings);
  EXPECT_EQ(job.logFile, "md5");
  EXPECT_EQ(job.compareMethod, kCompareSize);
}

class CommandLineTest : public ::testing::Test {
 protected:
  CommandLineTest() {
    CreateMainWindow(ui_);
    std::filesystem::create_directories(folder_ / "src");
  }

  StartDecision Read(const Strings& arguments) {
    return ReadCommandLine(Arguments(arguments), jobs_, settings_, view_, RealFileSystem());
  }
  void WriteJobs(const std::string& name, const std::string& jobs,
                 const std::string& rootAttributes = "") {
    WriteFile(folder_ / name, "<brisvel" + rootAttributes + ">" + jobs + "</brisvel>");
  }
  std::string Job(const std::string& name, bool enabled, bool folders = true) {
    return "<job name=\"" + name + "\" enabled=\"" + (enabled ? "true" : "false") + "\"" +
           (folders ? " copyfrom=\"" + (folder_ / "src") + "\" copyto=\"" + (folder_ / "dst") + "\""
                    : "") +
           "/>";
  }
  Strings RowNames() {
    Strings names;
    for (const ModelUi::Row& row : ui_.Rows(kMainWindow, kJobList)) names.push_back(row.text);
    return names;
  }
  // The main window with one default job and nothing said about it.
  void ExpectDefaultJobOnly(const StartDecision& decision) {
    EXPECT_EQ(decision.mode, StartMode::kMainWindow);
    ASSERT_EQ(jobs_.Count(), 1);
    EXPECT_EQ(jobs_.At(0).flags, DefaultJob().flags);
    EXPECT_EQ(RowNames(), Strings{"New Job"});
    EXPECT_TRUE(ui_.Messages().empty());
  }

  TestFolder folder_;
  FakeUi ui_;
  JobList jobs_;
  RunSettings settings_;
  MainWindowView view_{ui_, jobs_};
};

TEST_F(CommandLineTest, NoArgumentsShowTheMainWindowWithTheDefaultJob) {
  StartDecision decision = Read({});
  ExpectDefaultJobOnly(decision);
  EXPECT_TRUE(decision.showUsage);
  EXPECT_EQ(ui_.Selection(kMainWindow, kWhenFinishedList), kFinishReturn);
}

TEST_F(CommandLineTest, AJobFileRunsItsEnabledJobsWithItsWords) {
  WriteJobs("jobs.jbs", Job("Off", false) + Job("On", true), " finish=\"brisvel\"");
  StartDecision decision = Read({folder_ / "jobs.jbs", "SILENT", "whatever"});
  EXPECT_EQ(decision.mode, StartMode::kRun);
  EXPECT_EQ(RowNames(), (Strings{"Off", "On"}));
  EXPECT_FALSE(ui_.RowChecked(kMainWindow, kJobList, 0));
  EXPECT_TRUE(ui_.RowChecked(kMainWindow, kJobList, 1));
  EXPECT_EQ(settings_.hiddenRun, 1);
  EXPECT_EQ(settings_.finishAction, kFinishExit);  // "silent" overrides the file's choice

  Read({folder_ / "jobs.jbs", "shutdown"});
  EXPECT_EQ(settings_.finishAction, kFinishShutdown);
}

TEST_F(CommandLineTest, AJobFileWithoutARunnableJobOnlyShowsItsJobs) {
  WriteJobs("jobs.jbs", Job("Off", false) + Job("No folders", true, false));
  StartDecision decision = Read({folder_ / "jobs.jbs"});
  EXPECT_EQ(decision.mode, StartMode::kMainWindow);
  EXPECT_EQ(RowNames(), (Strings{"Off", "No folders"}));
  EXPECT_TRUE(ui_.Messages().empty());
  EXPECT_FALSE(decision.reason.empty());  // what a terminal says instead
}

TEST_F(CommandLineTest, AFileNamedLikeAKeywordIsAJobFile) {
  WriteJobs("backup", Job("From file", true));
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder_.Path());
  StartDecision decision = Read({"backup", "src", "dst"});
  std::filesystem::current_path(before);
  EXPECT_EQ(decision.mode, StartMode::kRun);
  EXPECT_EQ(RowNames(), Strings{"From file"});
}

TEST_F(CommandLineTest, AJobFileThatFailsToLoadLeavesTheDefaultJob) {
  WriteFile(folder_ / "bad.jbs", "<other/>");
  StartDecision decision = Read({folder_ / "bad.jbs", "silent"});
  EXPECT_EQ(decision.mode, StartMode::kMainWindow);
  EXPECT_EQ(RowNames(), Strings{"New Job"});
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].text, "Not a valid Brisvel file!");
  EXPECT_EQ(settings_.hiddenRun, 0);  // the words count only after a load
}

TEST_F(CommandLineTest, TheEditFormLoadsButNeverRuns) {
  WriteJobs("jobs.jbs", Job("A", true));
  StartDecision decision = Read({"EDIT", folder_ / "jobs.jbs", "silent"});
  EXPECT_EQ(decision.mode, StartMode::kMainWindow);
  EXPECT_EQ(RowNames(), Strings{"A"});
  EXPECT_EQ(settings_.hiddenRun, 0);
}

TEST_F(CommandLineTest, TheEditFormWithAMissingFileShowsTheDefaultJob) {
  ExpectDefaultJobOnly(Read({"open", folder_ / "missing.jbs"}));
}

TEST_F(CommandLineTest, TheBackupFormBuildsOneJob) {
  StartDecision decision = Read({"Backup", folder_ / "src", folder_ / "dst", "md5", "log"});
  EXPECT_EQ(decision.mode, StartMode::kRun);
  ASSERT_EQ(jobs_.Count(), 1);
  const BackupJob& job = jobs_.At(0);
  EXPECT_EQ(job.name, "New Job");
  EXPECT_EQ(job.source, folder_ / NativePath("src/"));
  EXPECT_EQ(job.destination, folder_ / NativePath("dst/"));  // need not exist
  EXPECT_EQ(job.flags, kEnabled | kAutomaticName);           // no sub-folders unless asked
  EXPECT_EQ(job.compareMethod, kCompareMd5);
  EXPECT_EQ(settings_.hiddenRun, 0);
  EXPECT_EQ(settings_.finishAction, kFinishExit);
  EXPECT_EQ(ui_.Text(kMainWindow, kSourceField), folder_ / NativePath("src/"));
  EXPECT_EQ(ui_.Selection(kMainWindow, kCompareList), kCompareMd5);
}

TEST_F(CommandLineTest, TheBackupFormNeedsAnExistingSourceAndADestination) {
  StartDecision missingSource = Read({"backup", folder_ / "nothing", folder_ / "dst"});
  ExpectDefaultJobOnly(missingSource);
  EXPECT_FALSE(missingSource.reason.empty());

  jobs_.Clear();
  ui_.ClearRows(kMainWindow, kJobList);
  WriteFile(folder_ / "file", "x");
  ExpectDefaultJobOnly(Read({"backup", folder_ / "file", folder_ / "dst"}));

  jobs_.Clear();
  ui_.ClearRows(kMainWindow, kJobList);
  ExpectDefaultJobOnly(Read({"backup", folder_ / "src"}));
}

// The settings beyond the job's options come with their values; a value a setting cannot take
// stops the run, since it would go ahead without the protection the user asked for.
TEST_F(CommandLineTest, TheBackupFormTakesTheJobSettingsAndRefusesBadValues) {
  StartDecision decision =
      Read({"backup", folder_ / "src", folder_ / "dst", "VERSIONS", "versionfolder", "old",
            "keepruns", "5", "keepdays", "", "maxdelete", "20%", "exclude", "*.tmp; cache/",
            "Preview"});
  EXPECT_EQ(decision.mode, StartMode::kRun);
  EXPECT_TRUE(decision.preview);
  const BackupJob& job = jobs_.At(0);
  EXPECT_TRUE(job.keepVersions);
  EXPECT_EQ(job.versionFolder, "old");
  EXPECT_EQ(job.keepRuns, 5);
  EXPECT_EQ(job.keepDays, 0);  // an empty value is not taken
  EXPECT_EQ(job.maxDelete, (DeletionLimit{DeletionLimit::Kind::kPercent, 20}));
  EXPECT_EQ(job.exclude, "*.tmp; cache/");

  for (const Strings& bad : {Strings{"maxdelete", "150%"}, Strings{"keepruns", "-1"},
                             Strings{"versionfolder", "../x"}}) {
    jobs_.Clear();
    ui_.ClearRows(kMainWindow, kJobList);
    Strings arguments{"backup", folder_ / "src", folder_ / "dst"};
    arguments.insert(arguments.end(), bad.begin(), bad.end());
    const StartDecision refused = Read(arguments);
    EXPECT_EQ(refused.mode, StartMode::kMainWindow) << bad[0];
    EXPECT_TRUE(refused.showUsage);
    ASSERT_FALSE(ui_.Messages().empty());
    EXPECT_NE(ui_.Messages().back().text.find(bad[0]), std::string::npos);
  }
  WriteJobs("jobs.jbs", Job("Photos", true));
  EXPECT_TRUE(Read({folder_ / "jobs.jbs", "silent", "preview"}).preview);
}

TEST_F(CommandLineTest, AnythingElseShowsTheDefaultJob) {
  ExpectDefaultJobOnly(Read({"restore", "x"}));
  EXPECT_EQ(ui_.StrayCalls(), 0);
}

}  // namespace
}  // namespace brisvel
