#include "system/file_type_registration.h"

namespace brisvel {

RegistryLayout LayoutForVersion(unsigned long packedVersion) {
  return ((packedVersion >> 16) & 0xff) != 0 ? RegistryLayout::kPerUser
                                             : RegistryLayout::kMachineWide;
}

// The part after the last backslash or slash: the program's file name.
static std::string ProgramFileName(const std::string& programPath) {
  const size_t cut = programPath.find_last_of("\\/");
  return cut == std::string::npos ? programPath : programPath.substr(cut + 1);
}

std::vector<RegistryWrite> FileTypeWrites(const std::string& extension,
                                          const std::string& description,
                                          const std::string& programPath, RegistryLayout layout) {
  const std::string fileName = ProgramFileName(programPath);
  const std::string openCommand = "\"" + programPath + "\" \"%1\"";
  const std::string command = "\\shell\\open\\command";
  if (layout == RegistryLayout::kPerUser) {
    const std::string fileType = extension + "_auto_file";
    return {
        {RegistryRoot::kClassesRoot, "Applications\\" + fileName + command, "", openCommand},
        {RegistryRoot::kClassesRoot, "." + extension, "", fileType},
        {RegistryRoot::kClassesRoot, fileType, "", description},
        {RegistryRoot::kCurrentUser,
         "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\." + extension,
         "Application", fileName},
    };
  }
  const std::string classes = "Software\\Classes\\";
  return {
      {RegistryRoot::kLocalMachine, classes + "." + extension, "", fileName},
      {RegistryRoot::kLocalMachine, classes + fileName, "", description},
      {RegistryRoot::kLocalMachine, classes + fileName + command, "", openCommand},
  };
}

}  // namespace brisvel
