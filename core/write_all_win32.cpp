#include "core/windows_win32.h"
#include "core/write_all.h"

namespace brisvel {

bool WriteAll(void* handle, std::string_view bytes) {
  while (!bytes.empty()) {
    // WriteFile counts in a DWORD: a larger buffer goes in pieces.
    const DWORD piece = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), piece, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace brisvel
