#include "app/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/shell.h"
#include "app/ui/control_ids.h"
#include "app/ui/test_ui.h"
#include "core/extension_groups.h"
#include "core/test_folder.h"
#include "system/clock.h"
#include "system/open_target.h"

namespace brisvel {
namespace {

using Strings = std::vector<std::string>;

// The program as a user finds it on a desktop: the main window with one new job. The test
// acts as the user by handing events to the program one at a time.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : shell_(Services(ui_, true)) { shell_.Start({}); }
  ShellServices Services(Ui& ui, bool network) {
    auto open = [this](const std::string& target) { opened_.push_back(target); };
    auto check = [this](const UpdateWait&) { ++updateChecks_; };
    auto associate = [this] { ++associations_; };
    return {ui, RealFileSystem(), open, SystemClock(), nullptr, false, network, check, associate};
  }
  ~MainWindowTest() override { EXPECT_EQ(ui_.StrayCalls(), 0); }

  void Send(int id, EventType type) { shell_.HandleEvent({kMainWindow, id, type}); }
  void Click(int id) { Send(id, EventType::kClick); }
  void Menu(int item) { Send(item, EventType::kMenuItem); }
  void ClickRow(int row) {
    ui_.SelectRow(kMainWindow, kJobList, row);
    Click(kJobList);
  }
  void Type(int field, const std::string& text) {
    ui_.SetText(kMainWindow, field, text);
    Send(field, EventType::kTextChanged);
  }
  void Tick(int box, bool checked) {
    ui_.SetChecked(kMainWindow, box, checked);
    Click(box);
  }
  void ChooseOption(int option) {
    ui_.SetChecked(kMainWindow, kAllTypesOption, option == kAllTypesOption);
    ui_.SetChecked(kMainWindow, kSpecificTypesOption, option == kSpecificTypesOption);
    Click(option);
  }
  void Choose(int list, int index) {
    ui_.SetSelection(kMainWindow, list, index);
    Send(list, EventType::kSelectionChange);
  }
  Strings RowTexts() {
    Strings texts;
    for (const ModelUi::Row& row : ui_.Rows(kMainWindow, kJobList)) texts.push_back(row.text);
    return texts;
  }
  std::string LastMessage() { return ui_.Messages().empty() ? "" : ui_.Messages().back().text; }
  BackupJob& Current() { return *shell_.Jobs().Current(); }
  // Three jobs named A, B and C, C shown.
  void ThreeJobs() {
    for (const char* name : {"A", "B", "C"}) {
      if (std::string(name) != "A") Click(kAddButton);
      ui_.TypeNext(name);
      Send(kJobList, EventType::kDoubleClick);
    }
  }

  TestFolder folder_;
  FakeUi ui_;
  Strings opened_;
  int updateChecks_ = 0;
  int associations_ = 0;
  Shell shell_;
};

TEST_F(MainWindowTest, ARowClickShowsItsJobOnlyWhenItIsNotShownAlready) {
  ThreeJobs();
  Type(kSourceField, "/c/");
  ui_.SetRowChecked(kMainWindow, kJobList, 2, false);
  ClickRow(2);  // the row already shown: its untick is not taken yet
  EXPECT_TRUE(Current().Has(kEnabled));
  ui_.SetRowChecked(kMainWindow, kJobList, 0, false);
  ClickRow(0);
  EXPECT_EQ(shell_.Jobs().CurrentPosition(), 0);
  EXPECT_FALSE(Current().Has(kEnabled));
  EXPECT_EQ(ui_.Text(kMainWindow, kSourceField), "");
  ClickRow(2);
  EXPECT_EQ(ui_.Text(kMainWindow, kSourceField), "/c/");
  EXPECT_FALSE(Current().Has(kEnabled));  // the row's box, taken now
}

// A refresh redraws the shown row's box from its job; a box the user changed before must not
// be redrawn back, or a job the user disabled would run.
TEST_F(MainWindowTest, RenameAndDeleteKeepTheBoxesTheUserChanged) {
  ThreeJobs();
  ui_.SetRowChecked(kMainWindow, kJobList, 2, false);
  ui_.TypeNext("C2");
  Send(kJobList, EventType::kDoubleClick);
  EXPECT_FALSE(ui_.RowChecked(kMainWindow, kJobList, 2));
  EXPECT_FALSE(Current().Has(kEnabled));

  ui_.SetRowChecked(kMainWindow, kJobList, 1, false);
  Click(kDeleteButton);  // C2 goes; B is shown next
  EXPECT_EQ(Current().name, "B");
  EXPECT_FALSE(ui_.RowChecked(kMainWindow, kJobList, 1));
  EXPECT_FALSE(Current().Has(kEnabled));
}

TEST_F(MainWindowTest, ChoosingASourceNamesTheJobUntilTheUserRenamesIt) {
  ui_.ChooseNextFolder("/home/ann/ Photos /");
  Click(kSourceBrowse);
  EXPECT_EQ(ui_.Text(kMainWindow, kSourceField), "/home/ann/ Photos /");
  EXPECT_EQ(RowTexts(), Strings{"Photos"});
  EXPECT_EQ(ui_.Focus(), std::make_pair(int{kMainWindow}, int{kDestinationField}));

  for (const char* typed : {"   ", "  Holiday  ", "\t"}) {
    ui_.TypeNext(typed);
    Send(kJobList, EventType::kDoubleClick);
  }
  Send(kJobList, EventType::kDoubleClick);  // cancelled
  EXPECT_EQ(RowTexts(), Strings{"Holiday"});
  ui_.ChooseNextFolder("/home/ann/Music/");
  Click(kSourceBrowse);
  ui_.ChooseNextFolder("/backup/");
  Click(kDestinationBrowse);
  Click(kSourceBrowse);  // cancelled: nothing changes
  EXPECT_EQ(Current().name, "Holiday");
  EXPECT_EQ(Current().source + " " + Current().destination, "/home/ann/Music/ /backup/");
  const Strings calls = ui_.Calls();
  // Blanks only kept the old name, which the next question offered again.
  EXPECT_EQ(std::count(calls.begin(), calls.end(),
                       "AskText Rename Job Enter a new name for this job: Photos"),
            2);
}

TEST_F(MainWindowTest, OptionsGreyTheirFieldsButKeepTheirTexts) {
  ChooseOption(kSpecificTypesOption);
  EXPECT_EQ(ui_.Focus(), std::make_pair(int{kMainWindow}, int{kExtensionCombo}));
  Choose(kExtensionCombo, 5);
  EXPECT_EQ(Current().filter, ExtensionGroups()[5].text);
  EXPECT_EQ(ui_.Text(kMainWindow, kExtensionCombo), ExtensionGroups()[5].text);
  ui_.SetText(kMainWindow, kExtensionCombo, "jpg raw");
  Send(kExtensionCombo, EventType::kComboTextTyped);
  Choose(kExtensionCombo, -1);  // no group chosen: the typed text stays
  ChooseOption(kAllTypesOption);
  EXPECT_FALSE(ui_.Enabled(kMainWindow, kExtensionCombo));
  EXPECT_EQ(Current().filter, "jpg raw");
  EXPECT_EQ(ui_.Text(kMainWindow, kExtensionCombo), "jpg raw");

  Tick(kLogBox, true);
  EXPECT_TRUE(ui_.Enabled(kMainWindow, kLogFileField));
  Type(kLogFileField, "  runs.log \t");
  Tick(kLogBox, false);
  EXPECT_FALSE(ui_.Enabled(kMainWindow, kLogFileField));
  EXPECT_EQ(Current().logFile, "runs.log");
  Tick(kSubFoldersBox, false);
  Tick(kMoveBox, true);
  Tick(kOpenFolderBox, true);
  EXPECT_EQ(Current().flags, kMoveInsteadOfCopy | kOpenFolderWhenDone | kEnabled | kAutomaticName);
  Choose(kCompareList, kCompareMd5);
  Choose(kCompareList, -1);
  EXPECT_EQ(Current().compareMethod, kCompareMd5);
}

TEST_F(MainWindowTest, DeleteKeepsTheLastJobAndRemovesTheRowTheUserSelected) {
  Click(kDeleteButton);
  EXPECT_EQ(LastMessage(), "You need at least 1 backup job.");
  EXPECT_EQ(ui_.Messages().back().icon, MessageIcon::kExclamation);
  ThreeJobs();
  Click(kDeleteButton);  // the last row: the new last row is selected
  EXPECT_EQ(RowTexts(), (Strings{"A", "B"}));
  EXPECT_EQ(ui_.SelectedRow(kMainWindow, kJobList), 1);
  EXPECT_EQ(Current().name, "B");
  Click(kAddButton);
  ClickRow(1);
  Menu(kDeleteItem);  // any other row: the same index stays
  EXPECT_EQ(RowTexts(), (Strings{"A", "New Job"}));
  EXPECT_EQ(ui_.SelectedRow(kMainWindow, kJobList), 1);
  // A right click selects a row without showing it; the menu acts on that row.
  ui_.SelectRow(kMainWindow, kJobList, 0);
  Send(kJobList, EventType::kSelectionChange);
  Menu(kDeleteItem);
  EXPECT_EQ(RowTexts(), Strings{"New Job"});
  EXPECT_EQ(shell_.Jobs().Count(), 1);
  ThreeJobs();
  Menu(kClearAllItem);
  EXPECT_EQ(RowTexts(), Strings{"New Job"});
  EXPECT_EQ(Current().flags, DefaultJob().flags);
  EXPECT_EQ(ui_.Messages().size(), 1u);  // no confirmation
}

TEST_F(MainWindowTest, SaveAddsTheExtensionOnlyUnderTheJobFileFilter) {
  ui_.TypeNext("Docs");
  Send(kJobList, EventType::kDoubleClick);
  ui_.ChooseNextFile({folder_ / "jobs", 0});
  ui_.ChooseNextFile({folder_ / "copy.JBS", 0});
  ui_.ChooseNextFile({folder_ / "jobs.txt", 1});
  ui_.ChooseNextFile({folder_ / "missing/jobs.jbs", 0});
  for (int save = 0; save < 4; ++save) Click(kSaveJobsButton);
  EXPECT_EQ(folder_.Names(), "copy.JBS|jobs.jbs|jobs.txt");
  EXPECT_EQ(LastMessage(), "File could not be saved!");
  EXPECT_EQ(ui_.Messages().size(), 1u);

  Click(kAddButton);
  ui_.ChooseNextFile({folder_ / "jobs.txt", 1});
  Click(kLoadJobsButton);
  EXPECT_EQ(RowTexts(), Strings{"Docs"});
  const Strings calls = ui_.Calls();
  // Each dialog opens where the file before it was chosen.
  EXPECT_NE(std::find(calls.begin(), calls.end(), "ChooseFile Load Jobs " + folder_ / "missing/"),
            calls.end());
}

TEST_F(MainWindowTest, RunJobsChecksTheJobsFirstAndReturnCountsOnlyInTheMainWindow) {
  shell_.HandleEvent({kProgressWindow, kReturnKey, EventType::kMenuItem});
  EXPECT_TRUE(ui_.Messages().empty());
  Click(kRunJobsButton);
  EXPECT_EQ(LastMessage(), "Specify valid folders for 'New Job'.");
  EXPECT_EQ(shell_.RunState().runState, kIdle);
}

TEST_F(MainWindowTest, TheHelpMenuAndF1) {
  FakeUi offlineUi;
  Shell offline(Services(offlineUi, false));
  offline.Start({});
  EXPECT_FALSE(offlineUi.MenuItemEnabled(kHelpMenu, kCheckUpdatesItem));
  offline.HandleEvent({kMainWindow, kCheckUpdatesItem, EventType::kMenuItem});
  EXPECT_EQ(updateChecks_, 0);

  Click(kHelpButton);
  EXPECT_EQ(ui_.Calls().back(), "ShowPopupMenu 3");
  Send(kJobList, EventType::kSelectionChange);
  EXPECT_EQ(ui_.Calls().back(), "ShowPopupMenu 2");
  for (int item : {kCheckUpdatesItem, kAssociateItem, kWebPageItem, kF1Key, kAboutItem}) {
    Menu(item);
  }
  EXPECT_EQ(updateChecks_, 1);
  EXPECT_EQ(associations_, 1);
  EXPECT_EQ(opened_, (Strings{kProductWebPage, kProductWebPage}));
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(LastMessage().find("Brisvel\nVersion 0.99\n"), 0u);

  // Once the manual is installed, F1 opens it; the menu entry keeps the web page.
  FakeUi installedUi;
  ShellServices installed = Services(installedUi, true);
  installed.manual = folder_ / "brisvel-manual.html";
  Shell withManual(installed);
  withManual.Start({});
  opened_.clear();
  withManual.HandleEvent({kMainWindow, kF1Key, EventType::kMenuItem});
  WriteFile(installed.manual, "<html></html>");
  withManual.HandleEvent({kMainWindow, kF1Key, EventType::kMenuItem});
  withManual.HandleEvent({kMainWindow, kWebPageItem, EventType::kMenuItem});
  EXPECT_EQ(opened_, (Strings{kProductWebPage, installed.manual, kProductWebPage}));
}

}  // namespace
}  // namespace brisvel
