#include "app/win32/ui_win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "app/ui/control_ids.h"
#include "app/ui/hand_over_ui.h"
#include "app/window_layout.h"
#include "core/wide_text_win32.h"

namespace brisvel {
namespace {

using E = EventType;

class Win32UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateMainWindow(ui_) && CreateProgressWindow(ui_)) << "no display?";
  }

  // Every event the messages sent and posted so far raise.
  std::vector<UiEvent> Events() {
    std::vector<UiEvent> events;
    while (std::optional<UiEvent> event = ui_.WaitEvent(std::chrono::milliseconds(0))) {
      events.push_back(*event);
    }
    return events;
  }

  std::string RowText(int window, int control, int row) {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(ui_.Control(window, control), LVM_GETITEMTEXTW, row,
                 reinterpret_cast<LPARAM>(&item));
    return Utf8(text);
  }

  Win32Ui ui_;
};

// The room a control leaves for its caption or its items, in device pixels; -1 for none.
int TextRoom(HWND control, const Win32Ui& ui) {
  wchar_t name[32] = {};
  GetClassNameW(control, name, 32);
  RECT r{};
  GetClientRect(control, &r);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const int kind = style & BS_TYPEMASK;
  if (lstrcmpiW(name, L"Static") == 0) return r.right;
  if (lstrcmpiW(name, L"ComboBox") == 0) {
    return r.right - GetSystemMetrics(SM_CXVSCROLL) - ui.Scaled(6);
  }
  if (lstrcmpiW(name, L"Button") != 0 || kind == BS_GROUPBOX) return -1;
  if (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON) {
    return r.right - GetSystemMetrics(SM_CXMENUCHECK) - ui.Scaled(4);
  }
  return r.right - ui.Scaled(6);
}

std::vector<std::wstring> TextsOf(HWND control) {
  std::vector<std::wstring> texts;
  const int items = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
  wchar_t text[256] = {};
  for (int item = 0; item < items; ++item) {
    SendMessageW(control, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  GetWindowTextW(control, text, 256);
  texts.push_back(text);
  return texts;
}

int TextWidth(HWND control, const std::wstring& text) {
  HDC dc = GetDC(control);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ReleaseDC(control, dc);
  return size.cx;
}

// The message font leaves room for every caption and every item in its control.
TEST_F(Win32UiTest, EveryCaptionFitsItsControl) {
  ASSERT_TRUE(CreateShutdownWindow(ui_));
  ASSERT_TRUE(CreateJobOptionsWindow(ui_));
  ASSERT_TRUE(CreateScheduleWindow(ui_));
  ui_.SetText(kShutdownWindow, kShutdownNowButton, "Shutdown (30)");
  ui_.SetText(kProgressWindow, kLogButton, "Show Log");
  int checked = 0;
  for (int window :
       {kMainWindow, kProgressWindow, kShutdownWindow, kJobOptionsWindow, kScheduleWindow}) {
    for (HWND control = GetWindow(ui_.Window(window), GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
      const int room = TextRoom(control, ui_);
      if (room < 0) continue;
      for (const std::wstring& text : TextsOf(control)) {
        EXPECT_LE(TextWidth(control, text), room) << Utf8(text);
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 70);
}

// The windows stay hidden: on an X server without a window manager, Wine waits seconds for
// every shown window to be hidden again.
TEST_F(Win32UiTest, OnlyTheUsersActionsRaiseEvents) {
  ui_.SetText(kMainWindow, kSourceField, "C:\\Data\\");
  ui_.SetSelection(kMainWindow, kCompareList, 2);
  ui_.SetChecked(kMainWindow, kMoveBox, true);
  EXPECT_EQ(Events(), std::vector<UiEvent>{});

  SendMessageW(ui_.Control(kMainWindow, kSourceField), WM_CHAR, L'x', 0);
  SendMessageW(ui_.Control(kMainWindow, kAddButton), BM_CLICK, 0, 0);
  SendMessageW(ui_.Control(kMainWindow, kMoveBox), BM_CLICK, 0, 0);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, kSourceField, E::kTextChanged},
                                            {kMainWindow, kAddButton, E::kClick},
                                            {kMainWindow, kMoveBox, E::kClick}}));
  EXPECT_FALSE(ui_.Checked(kMainWindow, kMoveBox));
  EXPECT_EQ(ui_.Selection(kMainWindow, kCompareList), 2);
}

// A row reached with the arrow keys is shown like a clicked one: the panel must never take
// edits for a job whose row is not the highlighted one.
TEST_F(Win32UiTest, AnArrowKeyThatMovesTheJobListsRowIsAClick) {
  for (int row = 0; row < 2; ++row) {
    ui_.InsertRow(kMainWindow, kJobList, row, "Job " + std::to_string(row), kBlack);
  }
  ui_.SelectRow(kMainWindow, kJobList, 0);
  HWND list = ui_.Control(kMainWindow, kJobList);
  PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, kJobList, E::kClick}}));
  EXPECT_EQ(ui_.SelectedRow(kMainWindow, kJobList), 1);
  // On the last row the key moves nothing.
  PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Events(), std::vector<UiEvent>{});
}

TEST_F(Win32UiTest, KeysOfAWindowAreItsShortcutsAndItsCloseBoxOnlyAsks) {
  HWND field = ui_.Control(kMainWindow, kLogFileField);
  ui_.SetText(kMainWindow, kLogFileField, "backup.log");
  PostMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(ui_.Control(kProgressWindow, kStopButton), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(ui_.Window(kMainWindow), WM_CLOSE, 0, 0);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, kReturnKey, E::kMenuItem},
                                            {kProgressWindow, kEscapeKey, E::kMenuItem},
                                            {kMainWindow, 0, E::kCloseRequest}}));
  // The key went to the shortcut, not into the field; the window is still there.
  EXPECT_EQ(ui_.Text(kMainWindow, kLogFileField), "backup.log");
  EXPECT_TRUE(IsWindow(ui_.Window(kMainWindow)));
}

// Ctrl+O in the main window asks for the Job Options window (O alone is typing), whose Return
// and Escape are its OK and Cancel; a preview retitles the progress window.
TEST_F(Win32UiTest, TheJobOptionsWindowAndCtrlO) {
  ASSERT_TRUE(CreateJobOptionsWindow(ui_));
  auto holdControl = [](bool held) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    SetKeyboardState(keys);
  };
  holdControl(true);
  PostMessageW(ui_.Control(kMainWindow, kSourceField), WM_KEYDOWN, 'O', 0);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kMainWindow, kJobOptionsItem, E::kMenuItem}}));
  holdControl(false);
  PostMessageW(ui_.Window(kMainWindow), WM_KEYDOWN, 'O', 0);
  EXPECT_EQ(Events(), std::vector<UiEvent>{});

  wchar_t title[64] = {};
  GetWindowTextW(ui_.Window(kJobOptionsWindow), title, 64);
  EXPECT_EQ(Utf8(title), "Brisvel - Job Options");
  ui_.SetText(kJobOptionsWindow, kMaxDeleteField, "50%");
  SendMessageW(ui_.Control(kJobOptionsWindow, kNeedsDriveBox), BM_CLICK, 0, 0);
  PostMessageW(ui_.Control(kJobOptionsWindow, kMaxDeleteField), WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(ui_.Control(kJobOptionsWindow, kExcludeField), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kJobOptionsWindow, kNeedsDriveBox, E::kClick},
                                            {kJobOptionsWindow, kReturnKey, E::kMenuItem},
                                            {kJobOptionsWindow, kEscapeKey, E::kMenuItem}}));
  EXPECT_EQ(ui_.Text(kJobOptionsWindow, kMaxDeleteField), "50%");
  EXPECT_TRUE(ui_.Checked(kJobOptionsWindow, kNeedsDriveBox));

  ui_.SetTitle(kProgressWindow, "Brisvel - Preview");
  GetWindowTextW(ui_.Window(kProgressWindow), title, 64);
  EXPECT_EQ(Utf8(title), "Brisvel - Preview");

  // The schedule's kinds are one choice: picking one clears the others.
  ASSERT_TRUE(CreateScheduleWindow(ui_));
  SendMessageW(ui_.Control(kScheduleWindow, kWeeklyOption), BM_CLICK, 0, 0);
  SendMessageW(ui_.Control(kScheduleWindow, kConnectOption), BM_CLICK, 0, 0);
  EXPECT_FALSE(ui_.Checked(kScheduleWindow, kWeeklyOption));
  EXPECT_TRUE(ui_.Checked(kScheduleWindow, kConnectOption));
  EXPECT_EQ(Events(), (std::vector<UiEvent>{{kScheduleWindow, kWeeklyOption, E::kClick},
                                            {kScheduleWindow, kConnectOption, E::kClick}}));
}

// Menu items arrive as their numbers, the first one (0) among them.
TEST_F(Win32UiTest, AMenuItemChosenArrivesAsItsMenuEvent) {
  CreateMenus(ui_, false);
  auto choose = [&](int menu, std::vector<WPARAM> keys) {
    for (WPARAM key : keys) PostMessageW(ui_.Window(kMainWindow), WM_KEYDOWN, key, 0);
    ui_.ShowPopupMenu(menu);
    return Events();
  };
  EXPECT_EQ(choose(kJobMenu, {VK_DOWN, VK_RETURN}),
            (std::vector<UiEvent>{{kMainWindow, kAddJobItem, E::kMenuItem}}));
  EXPECT_EQ(choose(kJobMenu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}),
            (std::vector<UiEvent>{{kMainWindow, kJobOptionsItem, E::kMenuItem}}));
  EXPECT_EQ(choose(kJobMenu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}),
            (std::vector<UiEvent>{{kMainWindow, kPreviewItem, E::kMenuItem}}));
  EXPECT_EQ(choose(kJobMenu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}),
            (std::vector<UiEvent>{{kMainWindow, kDeleteItem, E::kMenuItem}}));
  // Down passes the separator and the greyed "Check for Updates".
  EXPECT_EQ(choose(kHelpMenu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}),
            (std::vector<UiEvent>{{kMainWindow, kAssociateItem, E::kMenuItem}}));
  EXPECT_EQ(choose(kJobMenu, {VK_ESCAPE}), std::vector<UiEvent>{});
}

// Through the hand-over, the worker's rows, captions and bar values queue without waiting; its
// reads wait for the GUI thread, which has applied everything before them, in order.
TEST_F(Win32UiTest, WorkerUpdatesArriveInOrderBeforeItsReads) {
  constexpr int kRows = 3000;
  std::atomic<bool> done{false};
  int countSeen = -1;
  std::string statusSeen;
  HandOverUi ui(ui_);
  std::thread worker([&] {
    for (int row = 0; row < kRows; ++row) {
      ui.InsertRow(kProgressWindow, kLogView, row, "Copied: file" + std::to_string(row),
                   row % 2 ? kGreen : kRed);
      ui.SetText(kProgressWindow, kStatusLine, "Copying: file" + std::to_string(row));
      ui.SetProgressValue(kProgressWindow, kProgressBar, row);
    }
    countSeen = ui.RowCount(kProgressWindow, kLogView);
    statusSeen = ui.Text(kProgressWindow, kStatusLine);
    done = true;
  });
  while (!done) ui.WaitEvent(std::chrono::milliseconds(5));
  worker.join();
  EXPECT_EQ(countSeen, kRows);
  EXPECT_EQ(statusSeen, "Copying: file" + std::to_string(kRows - 1));
  for (int row : {0, 1, kRows / 2, kRows - 1}) {
    EXPECT_EQ(RowText(kProgressWindow, kLogView, row), "Copied: file" + std::to_string(row));
  }
}

TEST_F(Win32UiTest, TheRenameDialogAnswersWithTheFieldOrNothing) {
  auto answer = [&](std::function<void(HWND dialog, HWND field)> user) {
    ui_.SetInputDialogHook(std::move(user));
    return ui_.AskText("Rename Job", "Enter a new name for this job:", "New Job");
  };
  EXPECT_EQ(answer([](HWND, HWND field) {
              SetWindowTextW(field, L"Fotos \u00e9t\u00e9");
              PostMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
            }),
            "Fotos \xc3\xa9t\xc3\xa9");
  EXPECT_EQ(answer([](HWND, HWND field) { PostMessageW(field, WM_KEYDOWN, VK_ESCAPE, 0); }),
            std::nullopt);
}

// Moved to a screen of twice the DPI, a window keeps its layout at twice the size, in a font
// twice as high, and a later resize keeps that scale.
TEST_F(Win32UiTest, AWindowMovedToAScreenOfAnotherDpiIsLaidOutAgain) {
  auto clientSize = [](HWND handle) {
    RECT r{};
    GetClientRect(handle, &r);
    return std::make_pair(r.right, r.bottom);
  };
  auto fontHeight = [](HWND handle) {
    LOGFONTW shape{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)), sizeof(shape),
               &shape);
    return std::abs(shape.lfHeight);
  };
  HWND add = ui_.Control(kMainWindow, kAddButton);
  const int before = fontHeight(add);
  const std::pair<LONG, LONG> button{ui_.Scaled(70), ui_.Scaled(20)};
  ASSERT_EQ(clientSize(add), button);
  RECT suggested{0, 0, 1200, 700};
  const int doubled = 2 * ui_.Scaled(96);
  SendMessageW(ui_.Window(kMainWindow), WM_DPICHANGED, MAKEWPARAM(doubled, doubled),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(clientSize(add), std::make_pair(2 * button.first, 2 * button.second));
  EXPECT_EQ(fontHeight(add), 2 * before);
  ui_.ResizeWindow(kMainWindow, 500, 280);
  EXPECT_EQ(clientSize(ui_.Window(kMainWindow)),
            std::make_pair(LONG{2 * ui_.Scaled(500)}, LONG{2 * ui_.Scaled(280)}));
  // The other windows stay as they were.
  EXPECT_EQ(clientSize(ui_.Control(kProgressWindow, kStopButton)),
            std::make_pair(LONG{ui_.Scaled(100)}, LONG{ui_.Scaled(25)}));
}

}  // namespace
}  // namespace brisvel
