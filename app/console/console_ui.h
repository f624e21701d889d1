// The terminal backend: no windows. Log rows go to standard output, one line each, the row
// text exactly (coloured only on a terminal). The job line, status and a one-line progress
// bar go to standard error when it is a terminal. Message boxes print "Brisvel: " + text on
// standard error and answer No or Cancel; dialogs are cancelled. The shutdown countdown
// prints its notice and count on standard error.
#pragma once

#include <chrono>
#include <string>

#include "app/console/console_terminal.h"
#include "app/ui/model_ui.h"

namespace brisvel {

class ConsoleUi : public ModelUi {
 public:
  explicit ConsoleUi(ConsoleTerminal& terminal);

  void ShowWindow(int window, bool visible) override;
  void SetText(int window, int control, const std::string& text) override;
  void InsertRow(int window, int control, int64_t index, const std::string& text,
                 Colour colour) override;
  void SetProgressMax(int window, int control, int64_t maximum) override;
  void SetProgressValue(int window, int control, int64_t value) override;

  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& start) override;
  std::optional<FileChoice> ChooseFile(const FileDialogRequest& request) override;
  std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override;

  std::optional<UiEvent> WaitEvent(std::chrono::milliseconds timeout) override;
  void Flush() override;

 private:
  using Clock = std::chrono::steady_clock;

  // All of these run with output_ held.
  void WriteRowsLocked();
  void EraseStatusLocked();
  void DrawStatusLocked();
  void PumpOutputLocked(bool force);

  ConsoleTerminal& terminal_;
  const bool colourRows_;
  const bool statusOnTerminal_;

  std::mutex output_;  // guards everything below; never held while mutex_ is wanted
  std::string pendingRows_;
  Clock::time_point lastRowWrite_;
  Clock::time_point lastStatusDraw_;
  std::string jobLine_;
  std::string status_;
  int64_t progressValue_ = 0;
  int64_t progressMax_ = 1;
  bool statusChanged_ = false;
  bool statusDrawn_ = false;
  bool statusEnded_ = false;  // the countdown or the end took over standard error
  bool countdownShown_ = false;
  std::string shutdownCaption_;
};

// The status line as drawn: a bar, the percentage, the job line and the status, cut to
// `width` columns.
std::string ConsoleStatusLine(const std::string& jobLine, const std::string& status, int64_t value,
                              int64_t maximum, int width);

// `text` in `colour` for a terminal (ANSI), black being the terminal's own colour.
std::string ColouredRow(const std::string& text, Colour colour);

}  // namespace brisvel
