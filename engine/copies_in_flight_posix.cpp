#include <fcntl.h>
#include <unistd.h>

#include "engine/copies_in_flight.h"

namespace brisvel {

void RemoveFileInFlight(int folder, const char* name) {
  unlinkat(folder == kWholePath ? AT_FDCWD : folder, name, 0);  // async-signal-safe
}

}  // namespace brisvel
