// The Linux desktop is a module that the program loads only when it opens windows, so that a
// run in the terminal never maps the toolkit's libraries. The module lies in the program's
// library folder, found from the program's own file: BRISVEL_DESKTOP_MODULE is its path
// relative to the program's folder, the same in the build tree as where it is installed.
#include <dlfcn.h>

#include "app/open_desktop.h"
#include "core/text.h"
#include "system/program_path.h"

namespace brisvel {

DesktopOpening OpenDesktop(int& argc, char** argv) {
  const std::string program = RunningProgramPath();
  if (program.empty()) return {nullptr, "cannot load the desktop: the program's folder is unknown"};
  const std::string path = FolderPart(program) + BRISVEL_DESKTOP_MODULE;
  // Never closed: the toolkit stays until the process ends.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) return {nullptr, std::string("cannot load the desktop: ") + dlerror()};
  auto openDesktop = reinterpret_cast<OpenDesktopFunction>(dlsym(module, kOpenDesktopSymbol));
  if (openDesktop == nullptr)
    return {nullptr, std::string("cannot load the desktop: ") + dlerror()};
  std::string failure;
  std::unique_ptr<DesktopUi> ui(openDesktop(&argc, argv, &failure));
  return {std::move(ui), failure};
}

}  // namespace brisvel
