// Folders held open by descriptor, and listings read straight from a descriptor: the Linux
// side of the walk by open folder.
#pragma once

#include <memory>
#include <string>

#include "engine/fs.h"

namespace brisvel {

// The descriptor of a Folder that the POSIX file system opened; -1 for one that is not open
// (calls on it then fail with EBADF).
int DescriptorOf(const Folder& folder);

// FileSystem::OpenFolder: the folder at `path`, following links on the way.
Folder OpenFolderAtPath(const std::string& path);

// FileSystem::OpenFolderIn: the folder at `relative` below `parent`, never through a link;
// with `nameByName`, without openat2 even where the kernel has it.
Folder OpenFolderBelow(const Folder& parent, const std::string& relative, bool nameByName);

// FileSystem::ListFolder.
std::unique_ptr<FolderListing> ListOpenFolder(const Folder& folder);

// The entries of the folder open as `fd`, from its first; with `owned`, the listing closes
// `fd` when it ends.
std::unique_ptr<FolderListing> ListDescriptor(int fd, bool owned);

}  // namespace brisvel
