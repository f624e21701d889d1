// The registry values that make Windows open job files with this program: which keys and
// values are written, in which order. Computed apart from the registry so that the layout
// can be checked anywhere.
#pragma once

#include <string>
#include <vector>

namespace brisvel {

enum class RegistryRoot { kClassesRoot, kCurrentUser, kLocalMachine };

// Per-user: the shell looks the program up under Applications and the user's FileExts key;
// machine-wide: the classes of the whole machine.
enum class RegistryLayout { kPerUser, kMachineWide };

// One string value; an empty value name is the key's default value.
struct RegistryWrite {
  RegistryRoot root;
  std::string key;
  std::string valueName;
  std::string data;
};

// The layout the system's version asks for: per-user when the low byte of the build number
// (bits 16 to 23 of the packed version) is not zero.
RegistryLayout LayoutForVersion(unsigned long packedVersion);

// The writes, in order, that register `extension` (without the dot) with `description` for
// the program at `programPath`.
std::vector<RegistryWrite> FileTypeWrites(const std::string& extension,
                                          const std::string& description,
                                          const std::string& programPath, RegistryLayout layout);

}  // namespace brisvel
