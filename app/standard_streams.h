// The standard descriptors at start-up.
#pragma once

namespace brisvel {

// Opens /dev/null on each of standard input, output and error that is closed. Otherwise the
// first file the program opens (a job's log file) would take descriptor 1 or 2, and console
// rows would be written into it.
void OpenClosedStandardStreams();

}  // namespace brisvel
