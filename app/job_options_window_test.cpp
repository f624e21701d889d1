#include "app/job_options_window.h"

#include <gtest/gtest.h>

#include "app/shell.h"
#include "app/ui/control_ids.h"
#include "app/ui/test_ui.h"
#include "core/test_folder.h"
#include "system/clock.h"

namespace brisvel {
namespace {

// The main window with one new job; the test acts as the user, one event at a time.
class JobOptionsTest : public ::testing::Test {
 protected:
  JobOptionsTest()
      : shell_(ShellServices{ui_, RealFileSystem(), [](const std::string&) {}, SystemClock(),
                             nullptr, false, true, nullptr, nullptr, false, nullptr}) {
    shell_.Start({});
  }
  ~JobOptionsTest() override { EXPECT_EQ(ui_.StrayCalls(), 0); }

  void Send(int window, int id, EventType type) { shell_.HandleEvent({window, id, type}); }
  void Type(int field, const std::string& text) { ui_.SetText(kJobOptionsWindow, field, text); }
  BackupJob& Job() { return *shell_.Jobs().Current(); }
  bool Open() { return ui_.WindowVisible(kJobOptionsWindow); }
  void FillIn() {
    ui_.SetChecked(kJobOptionsWindow, kKeepVersionsBox, true);
    Type(kVersionFolderField, " old ");
    Type(kKeepRunsField, "3");
    Type(kKeepDaysField, "30");
    Type(kMaxDeleteField, "50");
    Type(kExcludeField, "node_modules/;*.tmp");
    ui_.SetChecked(kJobOptionsWindow, kNeedsDriveBox, true);
  }

  TestFolder folder_;
  FakeUi ui_;
  Shell shell_;
};

TEST_F(JobOptionsTest, OkTakesTheFieldsIntoTheJobAndItsFileCancelChangesNothing) {
  Job().keepRuns = 4;
  Job().maxDelete = {DeletionLimit::Kind::kPercent, 20};
  Send(kMainWindow, kJobOptionsItem, EventType::kMenuItem);  // Ctrl+O or the job menu
  ASSERT_TRUE(Open());
  EXPECT_EQ(ui_.Text(kJobOptionsWindow, kKeepRunsField), "4");
  EXPECT_EQ(ui_.Text(kJobOptionsWindow, kKeepDaysField), "");
  EXPECT_EQ(ui_.Text(kJobOptionsWindow, kMaxDeleteField), "20%");

  // While the window is open the main window waits: no job is added behind its back.
  Send(kMainWindow, kAddButton, EventType::kClick);
  EXPECT_EQ(shell_.Jobs().Count(), 1);

  FillIn();
  Send(kJobOptionsWindow, kOptionsCancelButton, EventType::kClick);
  EXPECT_FALSE(Open());
  EXPECT_FALSE(Job().keepVersions);
  EXPECT_EQ(Job().keepRuns, 4);

  Send(kMainWindow, kJobOptionsItem, EventType::kMenuItem);
  EXPECT_EQ(ui_.Text(kJobOptionsWindow, kKeepRunsField), "4");  // what Cancel left
  FillIn();
  Send(kJobOptionsWindow, kReturnKey, EventType::kMenuItem);
  EXPECT_FALSE(Open());
  EXPECT_TRUE(ui_.Messages().empty());
  EXPECT_TRUE(Job().keepVersions);
  EXPECT_EQ(Job().versionFolder, "old");
  EXPECT_EQ(Job().keepDays, 30);
  EXPECT_EQ(Job().maxDelete, (DeletionLimit{DeletionLimit::Kind::kFiles, 50}));
  EXPECT_EQ(Job().exclude, "node_modules/;*.tmp");
  EXPECT_TRUE(Job().needsDrive);

  ui_.ChooseNextFile({folder_ / "jobs.jbs", 0});
  Send(kMainWindow, kSaveJobsButton, EventType::kClick);
  const std::string saved = ReadFile(folder_ / "jobs.jbs");
  for (const char* attribute :
       {"versions=\"true\"", "versionfolder=\"old\"", "keepruns=\"3\"", "keepdays=\"30\"",
        "maxdelete=\"50\"", "exclude=\"node_modules/;*.tmp\"", "needsdrive=\"true\""}) {
    EXPECT_NE(saved.find(attribute), std::string::npos) << attribute << " in " << saved;
  }
}

TEST_F(JobOptionsTest, AValueItsSettingCannotTakeIsRefusedAndTheWindowKeepsWhatWasTyped) {
  WriteFile(folder_ / "a-file", "");
  struct Case {
    int field;
    std::string typed;
    std::string messageStart;
  };
  const Case cases[] = {
      {kKeepRunsField, "-1", "Keep the last runs:"},
      {kKeepDaysField, "ten", "Remove versions older than:"},
      {kMaxDeleteField, "150%", "Deletion limit:"},
      {kMaxDeleteField, "-5", "Deletion limit:"},
      {kVersionFolderField, "../elsewhere", "Version folder:"},
      {kVersionFolderField, "old/../../elsewhere", "Version folder:"},
      {kVersionFolderField, folder_ / "a-file/versions", "Version folder:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const size_t shown = ui_.Messages().size();
    const BackupJob before = Job();
    Send(kMainWindow, kJobOptionsItem, EventType::kMenuItem);
    ui_.SetChecked(kJobOptionsWindow, kKeepVersionsBox, true);
    Type(c.field, c.typed);
    Send(kJobOptionsWindow, kOptionsOkButton, EventType::kClick);
    ASSERT_EQ(ui_.Messages().size(), shown + 1);
    const std::string message = ui_.Messages().back().text;
    EXPECT_EQ(message.rfind(c.messageStart, 0), 0u) << message;
    EXPECT_TRUE(Open());
    EXPECT_EQ(ui_.Text(kJobOptionsWindow, c.field), c.typed);
    EXPECT_TRUE(ui_.Checked(kJobOptionsWindow, kKeepVersionsBox));
    EXPECT_EQ(ui_.Focus(), std::make_pair(int{kJobOptionsWindow}, c.field));
    EXPECT_FALSE(Job().keepVersions);
    EXPECT_EQ(Job().versionFolder, before.versionFolder);
    Send(kJobOptionsWindow, kEscapeKey, EventType::kMenuItem);
    EXPECT_FALSE(Open());
  }
  // A full path elsewhere whose folder above exists is taken: the run makes it.
  Send(kMainWindow, kJobOptionsItem, EventType::kMenuItem);
  Type(kVersionFolderField, folder_ / "versions/of/docs");
  Send(kJobOptionsWindow, kOptionsOkButton, EventType::kClick);
  EXPECT_FALSE(Open());
  EXPECT_EQ(Job().versionFolder, folder_ / "versions/of/docs");
}

}  // namespace
}  // namespace brisvel
