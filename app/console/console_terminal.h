// The terminal under the console backend: standard output and standard error, and whether
// each is a terminal.
#pragma once

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

}  // namespace brisvel
