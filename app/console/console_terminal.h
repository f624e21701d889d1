// The terminal under the console backend: standard output and standard error, whether each
// is a terminal, and Ctrl+C.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

namespace brisvel {

class ConsoleTerminal {
 public:
  virtual ~ConsoleTerminal() = default;
  virtual bool OutputIsTerminal() = 0;
  virtual bool ErrorIsTerminal() = 0;
  // Columns of the terminal on standard error; 80 when unknown.
  virtual int ErrorWidth() = 0;
  // Write everything, retrying after interruptions. Once a stream is closed (a pipe whose
  // reader has gone), its text is dropped: a backup must not die of a closed pipe.
  virtual void WriteOutput(std::string_view text) = 0;
  virtual void WriteError(std::string_view text) = 0;
};

// The process's standard output and standard error.
ConsoleTerminal& StandardTerminal();

// Makes Ctrl+C, SIGTERM and SIGHUP press STOP: the first sets `*cancel` when `*runState`
// reads running (2); every one is counted for InterruptCount; the second removes the
// temporary files of the copies in flight and ends the process at once with exit status
// 130. Also makes a closed pipe an error of the write instead of a signal.
void InstallConsoleSignals(std::atomic<int32_t>* cancel, const std::atomic<int32_t>* runState);

// Ctrl+C presses (and SIGTERM and SIGHUP) since InstallConsoleSignals.
int InterruptCount();

}  // namespace brisvel
