// Whether the drive of a job with "needsdrive" is there. An absent drive leaves either no
// destination folder at all or the bare folder it is mounted on, which is empty and sits on
// the computer's own drive: a run must not take that folder for the backup drive, or it
// copies everything onto the drive the computer itself runs from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/fs.h"

namespace brisvel {

// True when `destination` (ending in a separator) can be the job's own drive:
//  - a destination that does not exist is a drive not connected;
//  - a folder on another drive than the folder that holds it is a drive mounted right there
//    (a fresh, empty drive included), and a folder that holds anything has been filled on
//    its drive;
//  - an empty folder on the same drive as the folder that holds it counts as not connected
//    when that drive is one of the computer's own, the drive of one of `computerFolders`:
//    that is what a mount point looks like while its drive is away. On any other drive it is
//    a fresh folder on a connected drive.
// What cannot be found out (a folder that cannot be listed or asked about) counts as
// connected: the run then reports what is wrong with it.
bool BackupDriveConnected(FileSystem& fs, const std::string& destination,
                          const std::vector<std::string>& computerFolders);

// The folders whose drives are the computer's own: the root folder and the home folder (on
// Windows the system drive and the user's profile folder).
std::vector<std::string> ComputerFolders();

// An identity of the drive (file system) that holds `path`; nullopt when it cannot be asked.
std::optional<uint64_t> DriveOf(const std::string& path);

}  // namespace brisvel
