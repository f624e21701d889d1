#include "system/power_off.h"
#include "system/run_tool.h"

namespace brisvel {

void PowerOff() {
  // What it says about a refusal reaches the terminal, where there is one.
  StartProgram({{"systemctl", "poweroff"}, true, false, ""});
}

}  // namespace brisvel
