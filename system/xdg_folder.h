// The folders the freedesktop.org base directories name for the user's files.
#pragma once

#include <string>

namespace brisvel {

// $`variable` when it holds an absolute path, else $HOME + `fallback` ("/.config" for
// XDG_CONFIG_HOME, "/.local/share" for XDG_DATA_HOME); empty without either.
std::string XdgFolder(const char* variable, const char* fallback);

}  // namespace brisvel
