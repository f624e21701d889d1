// Hands a folder, a web page or a program to the system to open, without waiting for it.
#pragma once

#include <string>

namespace brisvel {

// The product page; the release file of the update check lies in the same web folder.
inline constexpr const char* kProductWebPage = "http://brisvel.example.org/brisvel/";

// Starts `target` itself when it is an executable file, otherwise opens it with the desktop's
// opener ("xdg-open", looked up on PATH). Returns 1 when something was started, else 0. Never
// waits for what it started.
int OpenTarget(const std::string& target);

}  // namespace brisvel
