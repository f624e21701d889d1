#include <unistd.h>

#include "engine/copies_in_flight.h"

namespace brisvel {

void RemoveFileInFlight(const char* path) {
  unlink(path);  // async-signal-safe
}

}  // namespace brisvel
