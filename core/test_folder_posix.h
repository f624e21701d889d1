// Test helpers that only POSIX systems have: scripts that stand in for programs.
#pragma once

#include <sys/stat.h>

#include <string>

#include "core/test_folder.h"

namespace brisvel {

// Writes an executable shell script. It finds the usual tools itself, since tests give the
// program under test a PATH that holds only fakes.
inline void WriteScript(const std::string& path, const std::string& body) {
  WriteFile(path, "#!/bin/sh\nPATH=/usr/bin:/bin\n" + body);
  chmod(path.c_str(), 0755);
}

}  // namespace brisvel
