// Starting another program: the one way this program does it on POSIX systems (a desktop's
// helper, the opener of folders and web pages, the power-off request).
#pragma once

#include <string>
#include <vector>

namespace brisvel {

struct ProgramStart {
  // The program, looked up on PATH when it names no folder, and its arguments.
  std::vector<std::string> args;
  // Waits for it to end; otherwise it runs on its own, and nobody ever waits for it.
  bool wait = true;
  // Its standard streams on /dev/null; otherwise it shares ours.
  bool quiet = true;
  // The folder it works in; ours when empty.
  std::string workingFolder;
};

// Starts the program with no descriptor of ours but its standard streams, and with the
// default handling of every signal. True when it was started and, when waited for, ended with
// exit status 0; false also when it is not installed.
bool StartProgram(const ProgramStart& start);

// Runs a helper of the desktop with its output discarded and waits for it.
inline bool RunTool(const std::vector<std::string>& args) {
  return StartProgram({args, true, true, ""});
}

}  // namespace brisvel
