// The network layer's start and end, and the flag that says whether downloads are possible.
#pragma once

namespace brisvel {

// Starts the network layer once at program start and keeps its result as the
// network-available flag, which it also returns. Always true on Linux.
bool StartNetwork();
// Ends what StartNetwork started; called from the program's clean-up.
void EndNetwork();
// What StartNetwork found; false before it ran.
bool NetworkAvailable();

}  // namespace brisvel
