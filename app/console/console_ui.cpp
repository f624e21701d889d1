#include "app/console/console_ui.h"

#include <algorithm>
#include <thread>

#include "app/ui/backends.h"
#include "app/ui/control_ids.h"
#include "core/text.h"

namespace brisvel {
namespace {

constexpr auto kRowWriteInterval = std::chrono::milliseconds(50);
constexpr auto kStatusDrawInterval = std::chrono::milliseconds(100);
constexpr auto kPollInterval = std::chrono::milliseconds(5);
constexpr size_t kRowBufferLimit = 64 * 1024;
constexpr int kBarWidth = 20;
constexpr const char* kEraseLine = "\r\x1b[K";

// The first `columns` characters of UTF-8 `text`.
std::string CutToColumns(const std::string& text, int columns) {
  int seen = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    if (startsCharacter && seen++ == columns) return text.substr(0, i);
  }
  return text;
}

const char* Sgr(Colour colour) {
  if (colour == kGrey) return "90";
  if (colour == kGreen) return "32";
  if (colour == kOlive) return "33";
  if (colour == kRed) return "31";
  return nullptr;
}

}  // namespace

std::string ColouredRow(const std::string& text, Colour colour) {
  if (colour == kBlack) return text;
  std::string code = Sgr(colour)
                         ? Sgr(colour)
                         : "38;2;" + std::to_string(colour.red) + ";" +
                               std::to_string(colour.green) + ";" + std::to_string(colour.blue);
  return "\x1b[" + code + "m" + text + "\x1b[0m";
}

std::string ConsoleStatusLine(const std::string& jobLine, const std::string& status, int64_t value,
                              int64_t maximum, int width) {
  const int64_t shown = std::clamp<int64_t>(value, 0, std::max<int64_t>(maximum, 0));
  const int64_t filled = maximum > 0 ? shown * kBarWidth / maximum : 0;
  const int64_t percent = maximum > 0 ? shown * 100 / maximum : 0;
  std::string percentText = std::to_string(percent);
  std::string line(1, '[');
  line.append(filled, '#').append(kBarWidth - filled, '-').append("] ");
  line.append(3 - percentText.size(), ' ').append(percentText).append("% ").append(jobLine);
  if (!status.empty()) line += "  " + status;
  return CutToColumns(PrintableText(line), std::max(width, 0));
}

ConsoleUi::ConsoleUi(ConsoleTerminal& terminal)
    : terminal_(terminal),
      colourRows_(terminal.OutputIsTerminal()),
      statusOnTerminal_(terminal.ErrorIsTerminal()) {}

void ConsoleUi::ShowWindow(int window, bool visible) {
  ModelUi::ShowWindow(window, visible);
  if (window != kShutdownWindow) return;
  const std::string notice = Text(kShutdownWindow, kShutdownNotice);
  std::lock_guard lock(output_);
  if (visible && !countdownShown_) {
    EraseStatusLocked();
    WriteRowsLocked();
    statusEnded_ = true;
    countdownShown_ = true;
    terminal_.WriteError(notice + "\n");
  } else if (!visible && countdownShown_) {
    countdownShown_ = false;
    if (statusOnTerminal_ && !shutdownCaption_.empty()) terminal_.WriteError("\n");
  }
}

void ConsoleUi::SetText(int window, int control, const std::string& text) {
  ModelUi::SetText(window, control, text);
  std::lock_guard lock(output_);
  if (window == kProgressWindow && (control == kJobLine || control == kStatusLine)) {
    (control == kJobLine ? jobLine_ : status_) = text;
    statusChanged_ = true;
  } else if (window == kShutdownWindow && control == kShutdownNowButton && countdownShown_ &&
             !text.empty() && text != shutdownCaption_) {
    shutdownCaption_ = text;
    terminal_.WriteError(statusOnTerminal_ ? kEraseLine + text : text + "\n");
  }
}

void ConsoleUi::InsertRow(int window, int control, int64_t index, const std::string& text,
                          Colour colour) {
  // The log view is only ever written to the terminal: a long run must not pile its rows up.
  if (window != kProgressWindow || control != kLogView) {
    ModelUi::InsertRow(window, control, index, text, colour);
    return;
  }
  std::lock_guard lock(output_);
  // Also when the rows go to a file or a pipe: a line break in a name must not forge a row.
  const std::string printable = PrintableText(text);
  pendingRows_ += colourRows_ ? ColouredRow(printable, colour) : printable;
  pendingRows_ += '\n';
  if (pendingRows_.size() >= kRowBufferLimit) PumpOutputLocked(true);
}

void ConsoleUi::SetProgressMax(int window, int control, int64_t maximum) {
  ModelUi::SetProgressMax(window, control, maximum);
  if (window != kProgressWindow || control != kProgressBar) return;
  std::lock_guard lock(output_);
  progressMax_ = maximum;
  statusChanged_ = true;
}

void ConsoleUi::SetProgressValue(int window, int control, int64_t value) {
  ModelUi::SetProgressValue(window, control, value);
  if (window != kProgressWindow || control != kProgressBar) return;
  std::lock_guard lock(output_);
  progressValue_ = value;
  statusChanged_ = true;
}

MessageAnswer ConsoleUi::ShowMessage(const std::string&, const std::string& text, MessageIcon,
                                     MessageButtons buttons) {
  std::lock_guard lock(output_);
  const bool redraw = statusDrawn_;
  EraseStatusLocked();
  WriteRowsLocked();
  terminal_.WriteError("Brisvel: " + PrintableText(text) + "\n");
  if (redraw) statusChanged_ = true;
  // Nobody is there to answer: an offer is declined, a question cancelled.
  return DeclinedAnswer(buttons);
}

std::optional<std::string> ConsoleUi::ChooseFolder(const std::string&, const std::string&) {
  return std::nullopt;
}

std::optional<FileChoice> ConsoleUi::ChooseFile(const FileDialogRequest&) {
  return std::nullopt;
}

std::optional<std::string> ConsoleUi::AskText(const std::string&, const std::string&,
                                              const std::string&) {
  return std::nullopt;
}

std::optional<UiEvent> ConsoleUi::WaitEvent(std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  while (true) {
    {
      std::lock_guard lock(output_);
      PumpOutputLocked(false);
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, kPollInterval));
  }
}

void ConsoleUi::Flush() {
  std::lock_guard lock(output_);
  EraseStatusLocked();
  WriteRowsLocked();
  statusEnded_ = true;
}

void ConsoleUi::WriteRowsLocked() {
  if (pendingRows_.empty()) return;
  terminal_.WriteOutput(pendingRows_);
  pendingRows_.clear();
}

void ConsoleUi::EraseStatusLocked() {
  if (!statusDrawn_) return;
  terminal_.WriteError(kEraseLine);
  statusDrawn_ = false;
}

void ConsoleUi::DrawStatusLocked() {
  if (!statusOnTerminal_ || statusEnded_) return;
  const int width = terminal_.ErrorWidth() - 1;  // the last column would wrap on some terminals
  std::string line(1, '\r');
  line.append(ConsoleStatusLine(jobLine_, status_, progressValue_, progressMax_, width));
  line.append("\x1b[K");
  terminal_.WriteError(line);
  statusDrawn_ = true;
  statusChanged_ = false;
  lastStatusDraw_ = Clock::now();
}

void ConsoleUi::PumpOutputLocked(bool force) {
  const Clock::time_point now = Clock::now();
  if (!pendingRows_.empty() && (force || now - lastRowWrite_ >= kRowWriteInterval)) {
    const bool redraw = statusDrawn_;
    EraseStatusLocked();
    WriteRowsLocked();
    lastRowWrite_ = now;
    if (redraw) DrawStatusLocked();
  }
  if (statusChanged_ && (force || now - lastStatusDraw_ >= kStatusDrawInterval)) {
    DrawStatusLocked();
  }
}

std::unique_ptr<Ui> OpenTerminal() {
  return std::make_unique<ConsoleUi>(StandardTerminal());
}

}  // namespace brisvel
