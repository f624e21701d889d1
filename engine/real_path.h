// What a folder text really names on disk, so that a walk can tell when it reaches the other
// folder of its job under another spelling. These are the platform's own answers behind
// FileSystem::RealPath and FileSystem::SameFolder; the engine asks its FileSystem.
#pragma once

#include <optional>
#include <string>

namespace brisvel {

// The absolute path of `path` with every link, ".", ".." and repeated separator resolved, and
// no final separator (except for the root); nullopt when it cannot be resolved.
std::optional<std::string> RealPathOnDisk(const std::string& path);

// True when `a` and `b` both exist and are the same folder on disk.
bool SameFolderOnDisk(const std::string& a, const std::string& b);

}  // namespace brisvel
