#include "app/open_desktop.h"

namespace brisvel {

DesktopOpening OpenDesktop(int& argc, char** argv) {
  std::string failure;
  std::unique_ptr<DesktopUi> ui(BrisvelOpenDesktop(&argc, argv, &failure));
  return {std::move(ui), failure};
}

}  // namespace brisvel
