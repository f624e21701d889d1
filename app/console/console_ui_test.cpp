#include "app/console/console_ui.h"

#include <gtest/gtest.h>

#include "app/ui/control_ids.h"
#include "app/window_layout.h"
#include "system/end_program.h"

namespace brisvel {
namespace {

class FakeTerminal : public ConsoleTerminal {
 public:
  FakeTerminal(bool outputIsTerminal, bool errorIsTerminal)
      : outputIsTerminal_(outputIsTerminal), errorIsTerminal_(errorIsTerminal) {}
  bool OutputIsTerminal() override { return outputIsTerminal_; }
  bool ErrorIsTerminal() override { return errorIsTerminal_; }
  int ErrorWidth() override { return 60; }
  void WriteOutput(std::string_view text) override { output.append(text); }
  void WriteError(std::string_view text) override { error.append(text); }

  std::string output;
  std::string error;

 private:
  bool outputIsTerminal_;
  bool errorIsTerminal_;
};

struct Console {
  explicit Console(bool terminals) : terminal(terminals, terminals) {
    CreateProgressWindow(ui);
    CreateShutdownWindow(ui);
  }
  void AddRow(const std::string& text, Colour colour) {
    ui.InsertRow(kProgressWindow, kLogView, row++, text, colour);
  }
  FakeTerminal terminal;
  ConsoleUi ui{terminal};
  int row = 0;
};

TEST(Console, RowsGoToStandardOutputOneLineEachWhenItIsNoTerminal) {
  Console console(false);
  // A line break in a file name must not forge a row of its own in a redirected log.
  console.AddRow("Copied a\x1b[2Jb\nFinished all jobs.", kGreen);
  console.AddRow("", kBlack);
  console.ui.SetText(kProgressWindow, kJobLine, "Running 'x'......");
  console.ui.SetProgressValue(kProgressWindow, kProgressBar, 1);
  console.ui.Flush();
  EXPECT_EQ(console.terminal.output, "Copied a?[2Jb?Finished all jobs.\n\n");
  EXPECT_EQ(console.terminal.error, "");  // no progress display without a terminal
}

TEST(Console, RowsAreColouredAndDefusedOnATerminal) {
  Console console(true);
  console.AddRow("Copied a\x1b[2Jb.txt", kGreen);
  console.AddRow("Couldn't copy c", kRed);
  console.AddRow("Finished all jobs.", kBlack);
  console.ui.Flush();
  EXPECT_EQ(
      console.terminal.output,
      "\x1b[32mCopied a?[2Jb.txt\x1b[0m\n\x1b[31mCouldn't copy c\x1b[0m\nFinished all jobs.\n");
}

TEST(Console, RowsAppearWhileTheProgramWaitsForEvents) {
  Console console(false);
  console.AddRow("Running 'x'...", kBlack);
  EXPECT_EQ(console.terminal.output, "");  // held back briefly, not written row by row
  for (int i = 0; i < 20 && console.terminal.output.empty(); ++i) {
    console.ui.WaitEvent(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(console.terminal.output, "Running 'x'...\n");
}

TEST(Console, TheStatusLineIsDrawnAndErasedOnATerminal) {
  Console console(true);
  console.ui.SetText(kProgressWindow, kJobLine, "Running 'Docs'......");
  console.ui.SetProgressMax(kProgressWindow, kProgressBar, 4);
  console.ui.SetProgressValue(kProgressWindow, kProgressBar, 1);
  console.ui.SetText(kProgressWindow, kStatusLine, "Copying 'a.txt'...");
  console.ui.WaitEvent(std::chrono::milliseconds(0));
  EXPECT_EQ(console.terminal.error,
            "\r[#####---------------]  25% Running 'Docs'......  Copying '\x1b[K");
  console.ui.Flush();
  EXPECT_EQ(console.terminal.error.substr(console.terminal.error.size() - 4), "\r\x1b[K");
}

TEST(Console, StatusLineIsCutToTheTerminalWidthBetweenCharacters) {
  EXPECT_EQ(ConsoleStatusLine("Running 'Ünïcödé'......", "", 0, 0, 36),
            "[--------------------]   0% Running ");
  EXPECT_EQ(ConsoleStatusLine("é", "", 5, 1, 29), "[####################] 100% é");
  EXPECT_EQ(ConsoleStatusLine("é", "", 5, 1, 28), "[####################] 100% ");
}

TEST(Console, MessageBoxesPrintAndAnswerNoOrCancel) {
  Console console(false);
  console.AddRow("row before", kBlack);
  EXPECT_EQ(console.ui.ShowMessage(kMessageTitle, "Couldn't load 'x.jbs'!", MessageIcon::kWarning,
                                   MessageButtons::kOk),
            MessageAnswer::kOk);
  EXPECT_EQ(console.ui.ShowMessage(kMessageTitle, "Visit the web page?", MessageIcon::kQuestion,
                                   MessageButtons::kYesNo),
            MessageAnswer::kNo);
  EXPECT_EQ(console.ui.ShowMessage(kMessageTitle, "Go on?", MessageIcon::kQuestion,
                                   MessageButtons::kOkCancel),
            MessageAnswer::kCancel);
  EXPECT_EQ(console.terminal.error,
            "Brisvel: Couldn't load 'x.jbs'!\nBrisvel: Visit the web page?\nBrisvel: Go on?\n");
  EXPECT_EQ(console.terminal.output, "row before\n");  // written first, to keep the order
  EXPECT_FALSE(console.ui.ChooseFolder("Back Up", "/"));
  EXPECT_FALSE(console.ui.AskText("Rename Job", "Enter a new name for this job:", "x"));
}

TEST(Console, TheCountdownPrintsItsNoticeAndEachNewNumber) {
  for (bool terminal : {false, true}) {
    Console console(terminal);
    console.ui.ShowWindow(kShutdownWindow, true);
    for (int n : {31, 31, 30, 29}) {
      console.ui.SetText(kShutdownWindow, kShutdownNowButton, ShutdownCaption(n));
    }
    console.ui.ShowWindow(kShutdownWindow, false);
    EXPECT_EQ(console.terminal.error,
              terminal
                  ? "Your computer will shut down soon:\n\r\x1b[KShutdown (31)\r\x1b[KShutdown "
                    "(30)\r\x1b[KShutdown (29)\n"
                  : "Your computer will shut down soon:\nShutdown (31)\nShutdown (30)\n"
                    "Shutdown (29)\n");
  }
}
}  // namespace
}  // namespace brisvel
