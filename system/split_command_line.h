// The program's own rule for cutting a command line into arguments, used where the system
// hands over the whole line (Windows) rather than the arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brisvel {

// Splits `line` at runs of blanks (spaces and tabs). An argument that begins with a double
// quote runs to the next double quote, or to the end of the line, and the quotes are not
// part of it; "" is an empty argument. A backslash is an ordinary character, so a quoted
// folder keeps its final backslash: "C:\My Files\" is C:\My Files\ and ends there.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace brisvel
