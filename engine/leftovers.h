// Files of ours that a run killed before it could tidy up leaves in a destination: the
// temporary files of copies in flight and the marker of its destination claim. No run is
// working in a destination whose lock a run holds, so such files found there are leftovers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/fs.h"

namespace brisvel {

inline constexpr std::string_view kCopyPrefix = ".brisvel-copy-";
inline constexpr std::string_view kMarkerPrefix = ".brisvel-run-";

// The names of the files (not folders) of `folder` that begin with `prefix`.
std::vector<std::string> FindLeftovers(FileSystem& fs, const Folder& folder,
                                       std::string_view prefix);

// Deletes the files (not folders) of `folder` whose names begin with `prefix`.
void RemoveLeftovers(FileSystem& fs, const Folder& folder, std::string_view prefix);

// The prefix that marks the file at `relativePath` below a destination as a leftover, which
// a run would delete: a temporary copy's in any folder, a marker's at the top. Empty when
// the name is free for the user's files.
std::string_view LeftoverPrefixOf(const std::string& relativePath);

// Why a file named with `prefix` cannot be kept in a destination, for its red row.
std::string LeftoverNameReason(std::string_view prefix);

}  // namespace brisvel
