#include <initializer_list>

#include "app/standard_streams.h"
#include "core/windows_win32.h"

namespace brisvel {

// A program started without a console or with a stream closed has no handle there; rows
// written to it are then dropped rather than landing in a file opened later.
void OpenClosedStandardStreams() {
  for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) continue;
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (nul != INVALID_HANDLE_VALUE) SetStdHandle(which, nul);
  }
}

}  // namespace brisvel
