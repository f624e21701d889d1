// Opening a C stream by a UTF-8 path, which Windows' fopen would read in the ANSI code page.
#pragma once

#include <cstdio>
#include <string>

namespace brisvel {

// std::fopen of the file at `path` (UTF-8) with `mode` ("rb", "ab", ...); nullptr on failure.
std::FILE* OpenFile(const std::string& path, const char* mode);

}  // namespace brisvel
