// The temporary files of the copies under way, known to a signal handler that ends the
// program at once: it removes them first, so that a hard stop leaves no half-made file.
#pragma once

namespace brisvel {

// Records the temporary file at `path`; returns its slot, or -1 when none is free (the
// file is then left to the clean-up of a later run).
int RecordCopyInFlight(const char* path);

// Forgets the slot once its file has been renamed or removed.
void ForgetCopyInFlight(int slot);

// Removes every recorded temporary file. Safe to call from a signal handler.
void RemoveCopiesInFlight();

// Removes one recorded file, within what a signal handler may do (the platform's part).
void RemoveFileInFlight(const char* path);

}  // namespace brisvel
