// Writing every byte of a buffer to an open file, pipe or terminal: the one loop that goes on
// after partial writes.
#pragma once

#include <string_view>

namespace brisvel {

// Writes all of `bytes`, going on after a partial write (and, on POSIX, after a write that a
// signal interrupted). False when a write fails or writes nothing; how much went out is then
// unknown. `handle` is a HANDLE on Windows.
#ifdef _WIN32
bool WriteAll(void* handle, std::string_view bytes);
#else
bool WriteAll(int fd, std::string_view bytes);
#endif

}  // namespace brisvel
