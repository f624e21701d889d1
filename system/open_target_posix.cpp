#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "system/open_target.h"
#include "system/run_tool.h"

namespace brisvel {

static bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The folder an opened target works in: the target's own folder for a path (a folder opens
// with itself as its working folder), none for a web address.
static std::string WorkingFolderOf(const std::string& target) {
  if (target.find("://") != std::string::npos) return std::string();
  const size_t cut = target.rfind('/');
  if (cut == std::string::npos || cut == 0) return std::string();
  return target.substr(0, cut + 1);
}

int OpenTarget(const std::string& target) {
  if (target.empty()) return 0;
  const ProgramStart start =
      IsExecutableFile(target)
          ? ProgramStart{{target}, false, true, ""}
          : ProgramStart{{"xdg-open", target}, false, true, WorkingFolderOf(target)};
  return StartProgram(start) ? 1 : 0;
}

}  // namespace brisvel
