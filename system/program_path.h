// The full path of the running program's file.
#pragma once

#include <string>

namespace brisvel {

// The running program's file with every link resolved; empty when the system cannot say.
std::string RunningProgramPath();

}  // namespace brisvel
