// The running program's file and its command-line arguments.
#pragma once

#include <string>
#include <vector>

namespace brisvel {

// The running program's file with every link resolved; empty when the system cannot say.
std::string RunningProgramPath();

// The program's arguments after its own name, as UTF-8 (Windows hands `argv` over in the
// ANSI code page, which cannot name every file).
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace brisvel
