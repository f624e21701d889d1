// The desktop backend on real widgets (offscreen): the windows as laid out, the events each
// kind of control raises, and the dialogs, answered by the test.
#include "app/qt/qt_ui.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QWindow>

#include "app/shutdown_window.h"
#include "app/ui/control_ids.h"
#include "app/window_layout.h"

namespace brisvel {
namespace {

using E = EventType;

class QtWindows : public ::testing::Test {
 protected:
  QtWindows() {
    EXPECT_TRUE(CreateMainWindow(ui_));
    EXPECT_TRUE(CreateProgressWindow(ui_));
    EXPECT_TRUE(CreateShutdownWindow(ui_));
    EXPECT_TRUE(CreateJobOptionsWindow(ui_));
    EXPECT_TRUE(CreateScheduleWindow(ui_));
    CreateMenus(ui_, false);
  }

  // Shows `window` and makes it the active one, as shortcuts need.
  QWidget* Shown(int window) {
    ui_.ShowWindow(window, true);
    QWidget* widget = ui_.Window(window);
    widget->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(widget));
    return widget;
  }

  std::vector<UiEvent> Events() {
    std::vector<UiEvent> events;
    while (std::optional<UiEvent> event = ui_.WaitEvent(std::chrono::milliseconds(0))) {
      events.push_back(*event);
    }
    return events;
  }

  template <typename Widget>
  Widget* Get(int window, int control) {
    auto* widget = qobject_cast<Widget*>(ui_.Control(window, control));
    EXPECT_NE(widget, nullptr) << window << " " << control;
    return widget;
  }

  // Clicks at `point` of the job list's viewport through the window, as a user's mouse does.
  void ClickList(QPoint point, Qt::MouseButton button, bool twice = false) {
    auto* list = Get<QTreeView>(kMainWindow, kJobList);
    QWindow* handle = ui_.Window(kMainWindow)->windowHandle();
    const QPoint at = list->viewport()->mapTo(ui_.Window(kMainWindow), point);
    if (twice) {
      QTest::mouseDClick(handle, button, {}, at);
    } else {
      QTest::mouseClick(handle, button, {}, at);
    }
  }

  QRect RowRect(int row) {
    auto* list = Get<QTreeView>(kMainWindow, kJobList);
    return list->visualRect(list->model()->index(row, 0));
  }

  QtUi ui_;
};

TEST_F(QtWindows, HaveTheirClientSizesTitlesAndStyles) {
  QWidget* main = ui_.Window(kMainWindow);
  EXPECT_EQ(main->size(), QSize(500, 280));
  EXPECT_EQ(main->windowTitle(), "Brisvel");
  EXPECT_TRUE(main->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(main->minimumSize(), main->maximumSize());
  QWidget* progress = ui_.Window(kProgressWindow);
  EXPECT_EQ(progress->size(), QSize(260, 330));
  EXPECT_FALSE(progress->windowFlags() & Qt::WindowMinimizeButtonHint);
  const QPoint place = progress->pos();
  ui_.ResizeWindow(kProgressWindow, 260, 140);
  EXPECT_EQ(progress->size(), QSize(260, 140));
  EXPECT_EQ(progress->pos(), place);
  QWidget* shutdown = ui_.Window(kShutdownWindow);
  EXPECT_EQ(shutdown->size(), QSize(260, 70));
  EXPECT_EQ(shutdown->windowTitle(), "Brisvel - Shutdown");
  EXPECT_TRUE(shutdown->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(main->isVisible());

  EXPECT_EQ(ui_.Control(kMainWindow, kCompareList)->geometry(), QRect(340, 180, 140, 20));
  EXPECT_EQ(ui_.Text(kMainWindow, kWhenFinishedList), "Return to Brisvel");
  EXPECT_TRUE(Get<QPushButton>(kMainWindow, kRunJobsButton)->isDefault());
  EXPECT_FALSE(Get<QPushButton>(kMainWindow, kLoadJobsButton)->isDefault());
  EXPECT_TRUE(Get<QTreeView>(kMainWindow, kJobList)->isHeaderHidden());
  auto* log = Get<QTreeView>(kProgressWindow, kLogView);
  EXPECT_FALSE(log->isHeaderHidden());
  EXPECT_EQ(log->model()->headerData(0, Qt::Horizontal).toString(), "Backup Log");
  EXPECT_EQ(log->palette().color(QPalette::Base), QColor(Qt::white));
  // A status line shows file names, which are never markup.
  EXPECT_EQ(Get<QLabel>(kProgressWindow, kStatusLine)->textFormat(), Qt::PlainText);
}

// The width a control's style leaves for its caption or for the items of its list, or -1
// for controls without a caption.
int TextRoom(QWidget* widget) {
  const QStyle* style = widget->style();
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    return style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
        .width();
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle::SubElement contents =
        qobject_cast<QPushButton*>(button) ? QStyle::SE_PushButtonContents
        : qobject_cast<QCheckBox*>(button) ? QStyle::SE_CheckBoxContents
                                           : QStyle::SE_RadioButtonContents;
    return style->subElementRect(contents, &option, button).width();
  }
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->contentsRect().width();
  return -1;
}

QStringList Captions(QWidget* widget) {
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return {button->text()};
  if (auto* label = qobject_cast<QLabel*>(widget)) return {label->text()};
  return {};
}

// The font and style leave room for every caption and every item in its control; the
// captions that the program sets later are tried at their longest.
TEST_F(QtWindows, EveryCaptionFitsItsControl) {
  ui_.SetText(kProgressWindow, kLogButton, "Show Log");
  ui_.SetText(kShutdownWindow, kShutdownNowButton, "Shutdown (31)");
  int checked = 0;
  for (int window :
       {kMainWindow, kProgressWindow, kShutdownWindow, kJobOptionsWindow, kScheduleWindow}) {
    for (QWidget* widget : ui_.Window(window)->findChildren<QWidget*>()) {
      const int room = TextRoom(widget);
      if (room < 0 || !widget->objectName().startsWith("control")) continue;
      for (const QString& caption : Captions(widget)) {
        EXPECT_LE(widget->fontMetrics().horizontalAdvance(caption), room) << caption.toStdString();
        EXPECT_LE(widget->fontMetrics().height(), widget->height()) << caption.toStdString();
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 70);
}

TEST_F(QtWindows, EachKindOfControlRaisesItsEvent) {
  Shown(kMainWindow);
  QTest::mouseClick(Get<QPushButton>(kMainWindow, 2), Qt::LeftButton);
  QTest::mouseClick(Get<QCheckBox>(kMainWindow, kMoveBox), Qt::LeftButton);
  QTest::mouseClick(ui_.Control(kMainWindow, kSpecificTypesOption), Qt::LeftButton);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, 2, E::kClick},
                                            {kMainWindow, kMoveBox, E::kClick},
                                            {kMainWindow, kSpecificTypesOption, E::kClick}}));
  EXPECT_TRUE(ui_.Checked(kMainWindow, kMoveBox));
  EXPECT_TRUE(ui_.Checked(kMainWindow, kSpecificTypesOption));

  // Typing raises text events; the program's own filling of a field raises none.
  ui_.SetText(kMainWindow, kSourceField, "/data/");
  QTest::keyClicks(Get<QLineEdit>(kMainWindow, kSourceField), "x");
  QTest::keyClicks(Get<QComboBox>(kMainWindow, kExtensionCombo)->lineEdit(), ".c");
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, kSourceField, E::kTextChanged},
                                            {kMainWindow, kExtensionCombo, E::kComboTextTyped},
                                            {kMainWindow, kExtensionCombo, E::kComboTextTyped}}));
  EXPECT_EQ(ui_.Text(kMainWindow, kSourceField), "/data/x");
  EXPECT_EQ(ui_.Text(kMainWindow, kExtensionCombo), ".c");

  auto* compare = Get<QComboBox>(kMainWindow, kCompareList);
  ui_.SetSelection(kMainWindow, kCompareList, 0);
  QTest::mouseClick(compare, Qt::LeftButton);
  QTest::keyClick(compare->view(), Qt::Key_Down);
  QTest::keyClick(compare->view(), Qt::Key_Return);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, kCompareList, E::kSelectionChange}}));
  EXPECT_EQ(ui_.Selection(kMainWindow, kCompareList), 1);
}

TEST_F(QtWindows, TheJobListReportsClicksAndTogglesItsBoxes) {
  Shown(kMainWindow);
  ui_.InsertRow(kMainWindow, kJobList, 0, "First", Colour{});
  ui_.InsertRow(kMainWindow, kJobList, 1, "Second", Colour{});
  ui_.SetRowChecked(kMainWindow, kJobList, 0, true);
  ui_.SelectRow(kMainWindow, kJobList, 0);

  ClickList(RowRect(1).center(), Qt::LeftButton);
  EXPECT_EQ(ui_.SelectedRow(kMainWindow, kJobList), 1);
  ClickList(RowRect(1).center(), Qt::LeftButton, true);
  ClickList(RowRect(0).center(), Qt::RightButton);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, kJobList, E::kClick},
                                            {kMainWindow, kJobList, E::kClick},
                                            {kMainWindow, kJobList, E::kDoubleClick},
                                            {kMainWindow, kJobList, E::kSelectionChange}}));
  // The arrow keys move the selection like a click; a key that moves nothing raises nothing.
  auto* list = Get<QTreeView>(kMainWindow, kJobList);
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(ui_.SelectedRow(kMainWindow, kJobList), 1);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, kJobList, E::kClick}}));

  // The box of a row toggles where the style draws it.
  const QStyle* style = ui_.Control(kMainWindow, kJobList)->style();
  const int indicator = style->pixelMetric(QStyle::PM_IndicatorWidth);
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
  ClickList({RowRect(0).left() + margin + indicator / 2, RowRect(0).center().y()}, Qt::LeftButton);
  EXPECT_FALSE(ui_.RowChecked(kMainWindow, kJobList, 0));
  EXPECT_FALSE(ui_.RowChecked(kMainWindow, kJobList, 1));

  ui_.DeleteRow(kMainWindow, kJobList, 0);
  EXPECT_EQ(ui_.RowCount(kMainWindow, kJobList), 1);
  ui_.SetRowText(kMainWindow, kJobList, 0, "Renamed");
  EXPECT_EQ(Get<QTreeView>(kMainWindow, kJobList)->model()->index(0, 0).data().toString(),
            "Renamed");
}

TEST_F(QtWindows, TheLogColumnFitsItsRowsAndFillsTheView) {
  Shown(kProgressWindow);
  auto* log = Get<QTreeView>(kProgressWindow, kLogView);
  // More rows than the view holds: the column fills the view beside its scroll bar.
  for (int row = 0; row < 30; ++row) {
    ui_.InsertRow(kProgressWindow, kLogView, row, "Copied a.txt", Colour{});
  }
  ui_.FitColumn(kProgressWindow, kLogView);
  Events();
  QCoreApplication::processEvents();
  EXPECT_TRUE(log->verticalScrollBar()->isVisible());
  EXPECT_EQ(log->columnWidth(0), log->viewport()->width());
  ui_.InsertRow(kProgressWindow, kLogView, 30, "Copied " + std::string(80, 'x') + ".txt", Colour{});
  ui_.FitColumn(kProgressWindow, kLogView);
  Events();
  EXPECT_GT(log->columnWidth(0), log->viewport()->width());
}

TEST_F(QtWindows, ShortcutsCloseBoxesMenusAndTheTrayBecomeEvents) {
  QWidget* main = Shown(kMainWindow);
  QTest::keyClick(main, Qt::Key_Return);
  QTest::keyClick(main, Qt::Key_F1);
  main->close();
  EXPECT_TRUE(main->isVisible());  // the program decides what a close means
  QWidget* progress = Shown(kProgressWindow);
  QTest::keyClick(progress, Qt::Key_Escape);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, kReturnKey, E::kMenuItem},
                                            {kMainWindow, kF1Key, E::kMenuItem},
                                            {kMainWindow, 0, E::kCloseRequest},
                                            {kProgressWindow, kEscapeKey, E::kMenuItem}}));

  ui_.ShowPopupMenu(kHelpMenu);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_EQ(menu, ui_.Menu(kHelpMenu));
  QStringList captions;
  for (QAction* action : menu->actions()) {
    captions << (action->isSeparator() ? "-" : action->text());
    if (action->text() == "Check for Updates") {
      EXPECT_FALSE(action->isEnabled());
    }
    if (action->text() == "About...") action->trigger();
  }
  menu->close();
  EXPECT_EQ(captions.join("|"),
            "Brisvel Webpage|-|Check for Updates|Associate .jbs Files|Schedule...|-|About...");

  ui_.ShowTrayIcon("Brisvel");
  QSystemTrayIcon* tray = ui_.TrayIcon();
  EXPECT_EQ(tray->toolTip(), "Brisvel");
  emit tray->activated(QSystemTrayIcon::Trigger);
  emit tray->activated(QSystemTrayIcon::DoubleClick);
  emit tray->activated(QSystemTrayIcon::Context);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, kAboutItem, E::kMenuItem},
                                            {kMainWindow, 0, E::kTrayActivate},
                                            {kMainWindow, 0, E::kTrayActivate}}));
}

// Ctrl+O in the main window and the job menu's entries open the Job Options window, whose
// Return and Escape keys are its OK and Cancel; a preview retitles the progress window.
TEST_F(QtWindows, TheJobOptionsWindowAndTheEntriesThatLeadThere) {
  QWidget* main = Shown(kMainWindow);
  QTest::keyClick(main, Qt::Key_O, Qt::ControlModifier);
  QTest::keyClick(main, Qt::Key_O);
  ui_.ShowPopupMenu(kJobMenu);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_EQ(menu, ui_.Menu(kJobMenu));
  QStringList captions;
  for (QAction* action : menu->actions()) {
    captions << (action->isSeparator() ? "-" : action->text());
    if (action->text() == "Preview") action->trigger();
  }
  menu->close();
  EXPECT_EQ(captions.join("|"), "Add Job|Rename|Job Options...\tCtrl+O|Preview|-|Delete|Clear All");

  QWidget* options = Shown(kJobOptionsWindow);
  EXPECT_EQ(options->windowTitle(), "Brisvel - Job Options");
  EXPECT_TRUE(Get<QPushButton>(kJobOptionsWindow, kOptionsOkButton)->isDefault());
  Get<QLineEdit>(kJobOptionsWindow, kMaxDeleteField)->setFocus();
  QTest::keyClicks(Get<QLineEdit>(kJobOptionsWindow, kMaxDeleteField), "50%");
  QTest::keyClick(options, Qt::Key_Return);
  QTest::keyClick(options, Qt::Key_Escape);
  QTest::mouseClick(Get<QCheckBox>(kJobOptionsWindow, kNeedsDriveBox), Qt::LeftButton);
  QTest::mouseClick(Get<QPushButton>(kJobOptionsWindow, kVersionFolderBrowse), Qt::LeftButton);
  const std::vector<UiEvent> events = Events();
  EXPECT_EQ(ui_.Text(kJobOptionsWindow, kMaxDeleteField), "50%");
  EXPECT_TRUE(ui_.Checked(kJobOptionsWindow, kNeedsDriveBox));
  std::vector<UiEvent> wanted{{kMainWindow, kJobOptionsItem, E::kMenuItem},
                              {kMainWindow, kPreviewItem, E::kMenuItem},
                              {kJobOptionsWindow, kReturnKey, E::kMenuItem},
                              {kJobOptionsWindow, kEscapeKey, E::kMenuItem},
                              {kJobOptionsWindow, kNeedsDriveBox, E::kClick},
                              {kJobOptionsWindow, kVersionFolderBrowse, E::kClick}};
  std::vector<UiEvent> withoutTyping;
  for (const UiEvent& event : events) {
    if (event.type != E::kTextChanged) withoutTyping.push_back(event);
  }
  EXPECT_EQ(withoutTyping, wanted);

  ui_.SetTitle(kProgressWindow, "Brisvel - Preview");
  EXPECT_EQ(ui_.Window(kProgressWindow)->windowTitle(), "Brisvel - Preview");

  // The schedule's kinds are one choice: picking one clears the others.
  Shown(kScheduleWindow);
  QTest::mouseClick(ui_.Control(kScheduleWindow, kWeeklyOption), Qt::LeftButton);
  QTest::mouseClick(ui_.Control(kScheduleWindow, kConnectOption), Qt::LeftButton);
  EXPECT_FALSE(ui_.Checked(kScheduleWindow, kWeeklyOption));
  EXPECT_TRUE(ui_.Checked(kScheduleWindow, kConnectOption));
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kScheduleWindow, kWeeklyOption, E::kClick},
                                            {kScheduleWindow, kConnectOption, E::kClick}}));
}

// The countdown appears over whatever the user is typing into: a stray key must cancel the
// power-off, never start it.
TEST_F(QtWindows, AKeyTypedAsTheCountdownAppearsCancelsIt) {
  ShutdownWindow(ui_).ShowShutdownWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(ui_.Window(kShutdownWindow)));
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  QTest::keyClick(focus, Qt::Key_Space);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kShutdownWindow, kShutdownCancelButton, E::kClick}}));
}

TEST_F(QtWindows, MessageBoxesShowTheirTextAndReturnTheAnswer) {
  std::vector<QString> seen;
  int answer = QMessageBox::Yes;
  ui_.SetDialogRunner([&](QDialog& dialog) {
    auto& box = dynamic_cast<QMessageBox&>(dialog);
    seen = {box.windowTitle(), box.text(), QString::number(box.icon()),
            QString::number(box.standardButtons()), QString::number(box.textFormat())};
    return answer;
  });
  EXPECT_EQ(ui_.ShowMessage("Brisvel", "Replace <b>it</b>?", MessageIcon::kQuestion,
                            MessageButtons::kYesNo),
            MessageAnswer::kYes);
  EXPECT_EQ(seen, (std::vector<QString>{"Brisvel", "Replace <b>it</b>?",
                                        QString::number(QMessageBox::Question),
                                        QString::number(QMessageBox::Yes | QMessageBox::No),
                                        QString::number(Qt::PlainText)}));
  answer = QDialog::Rejected;  // closed without a button
  EXPECT_EQ(ui_.ShowMessage("Brisvel", "Go on?", MessageIcon::kQuestion, MessageButtons::kOkCancel),
            MessageAnswer::kCancel);
}

TEST_F(QtWindows, FolderAndFileDialogsReturnWhatWasChosenAndLeaveNoSettings) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
  QTemporaryDir folder;
  ui_.SetDialogRunner([&](QDialog& dialog) {
    auto& files = dynamic_cast<QFileDialog&>(dialog);
    EXPECT_EQ(files.windowTitle(), "Back Up");
    files.selectFile(folder.path());
    return static_cast<int>(QDialog::Accepted);
  });
  EXPECT_EQ(ui_.ChooseFolder("Back Up", folder.path().toStdString()),
            folder.path().toStdString() + "/");

  QStringList filters;
  ui_.SetDialogRunner([&](QDialog& dialog) {
    auto& files = dynamic_cast<QFileDialog&>(dialog);
    filters = files.nameFilters();
    EXPECT_EQ(files.selectedNameFilter(), filters.value(0));
    EXPECT_EQ(files.acceptMode(), QFileDialog::AcceptSave);
    files.selectNameFilter(filters.value(1));
    files.selectFile(folder.filePath("jobs"));
    return static_cast<int>(QDialog::Accepted);
  });
  const std::optional<FileChoice> saved =
      ui_.ChooseFile({"Save Jobs",
                      folder.path().toStdString(),
                      {{"Brisvel Job File", "*.jbs"}, {"Any File", "*.*"}},
                      true});
  ASSERT_TRUE(saved);
  EXPECT_EQ(filters, (QStringList{"Brisvel Job File (*.jbs)", "Any File (*)"}));
  EXPECT_EQ(saved->path, folder.filePath("jobs").toStdString());
  EXPECT_EQ(saved->filterIndex, 1);

  ui_.SetDialogRunner([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
  EXPECT_FALSE(ui_.ChooseFile({"Load Jobs", folder.path().toStdString(), {}, false}));
  EXPECT_FALSE(ui_.ChooseFolder("To", ""));
  EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
}

TEST_F(QtWindows, TheInputDialogIsPrefilledAndReturnsTheAnswer) {
  ui_.SetDialogRunner([](QDialog& dialog) {
    auto& input = dynamic_cast<QInputDialog&>(dialog);
    EXPECT_EQ(input.windowTitle(), "Rename Job");
    EXPECT_EQ(input.labelText(), "Enter a new name for this job:");
    EXPECT_EQ(input.textValue(), "New Job");
    input.setTextValue("  Photos ");
    return static_cast<int>(QDialog::Accepted);
  });
  EXPECT_EQ(ui_.AskText("Rename Job", "Enter a new name for this job:", "New Job"), "  Photos ");
  ui_.SetDialogRunner([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
  EXPECT_EQ(ui_.AskText("Rename Job", "Enter a new name for this job:", "New Job"), std::nullopt);
}


TEST_F(QtWindows, AWindowThatGrowsStaysInsideTheWorkArea) {
  QWidget* progress = Shown(kProgressWindow);
  const QRect area = progress->screen()->availableGeometry();
  progress->move(area.right() - 100, area.bottom() - kProgressShortHeight);
  ui_.ResizeWindow(kProgressWindow, kProgressWidth, kProgressTallHeight);
  EXPECT_TRUE(area.contains(progress->frameGeometry())) << progress->frameGeometry().y();
  EXPECT_EQ(progress->frameGeometry().bottom(), area.bottom());

  // Shrinking moves nothing.
  const QPoint grown = progress->pos();
  ui_.ResizeWindow(kProgressWindow, kProgressWidth, kProgressShortHeight);
  EXPECT_EQ(progress->pos(), grown);
}

// Return reaches a program through the window system: the key goes to a window, shortcuts are
// matched there, and only then does a widget see it.
TEST_F(QtWindows, ReturnInAnOpenDropDownListOnlyPicksTheItem) {
  QWidget* main = Shown(kMainWindow);
  for (int target = 0; target < 2; ++target) {
    for (int control : {kCompareList, kWhenFinishedList}) {
      auto* combo = Get<QComboBox>(kMainWindow, control);
      ui_.SetSelection(kMainWindow, control, 0);
      Events();
      QTest::mouseClick(main->windowHandle(), Qt::LeftButton, {},
                        combo->mapTo(main, combo->rect().center()));
      ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }));
      QWindow* popup = combo->view()->window()->windowHandle();
      QTest::keyClick(target == 0 ? popup : main->windowHandle(), Qt::Key_Down);
      QTest::keyClick(target == 0 ? popup : main->windowHandle(), Qt::Key_Return);
      QCoreApplication::processEvents();
      EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, control, E::kSelectionChange}}))
          << target << " " << control;
      EXPECT_EQ(ui_.Selection(kMainWindow, control), 1);
    }
  }
}

}  // namespace
}  // namespace brisvel
