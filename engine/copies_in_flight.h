// The temporary files of the copies under way, known to a signal handler that ends the
// program at once: it removes them first, so that a hard stop leaves no half-made file.
#pragma once

namespace brisvel {

// Where a folder is held open, the number of its handle (a descriptor on Linux); where a
// file is known by its whole path, kWholePath.
inline constexpr int kWholePath = -1;

// Records the temporary file `name` of the folder held as `folder` (or at the path `name`
// with kWholePath); returns its slot, or -1 when none is free (the file is then left to the
// clean-up of a later run). The folder must stay open until the slot is forgotten.
int RecordCopyInFlight(int folder, const char* name);

// Forgets the slot once its file has been renamed or removed.
void ForgetCopyInFlight(int slot);

// Removes every recorded temporary file. Safe to call from a signal handler.
void RemoveCopiesInFlight();

// Removes one recorded file, within what a signal handler may do (the platform's part).
void RemoveFileInFlight(int folder, const char* name);

}  // namespace brisvel
