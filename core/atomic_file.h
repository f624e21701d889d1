// Replacing a file's contents all at once.
#pragma once

#include <string>
#include <string_view>

namespace brisvel {

// Writes `bytes` to a new file in the folder of `path`, flushes it to the disk and renames it
// over `path`, so that `path` holds either its old contents or all of `bytes`, never a part.
// The new file takes the owner and permission bits of the file it replaces, when it can
// (a brand-new file gets the usual ones); when `path` is a symbolic link, the file it points to
// is replaced and the link stays. Returns false when any step fails; `path` is then as it was
// and no temporary file is left behind.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace brisvel
