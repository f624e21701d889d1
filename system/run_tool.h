// Running a helper program of the desktop and waiting for it.
#pragma once

#include <string>
#include <vector>

namespace brisvel {

// Runs `args` (the program looked up on PATH) with its output discarded and waits for it.
// True when it ran and exited with status 0; false also when it is not installed.
bool RunTool(const std::vector<std::string>& args);

}  // namespace brisvel
