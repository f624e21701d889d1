#include "core/wide_text_win32.h"
#include "core/windows_win32.h"
#include "engine/copies_in_flight.h"

namespace brisvel {

// Called on the thread the system starts for a console press, while the copy may still hold
// the file open: a copy opens its temporary file sharing the right to delete it, so the file
// goes when the ending process closes that handle.
void RemoveFileInFlight(int, const char* path) {
  DeleteFileW(WidePath(path).c_str());
}

}  // namespace brisvel
