// What "--help" prints, and the one-line reminder a terminal gets when nothing can run.
#pragma once

namespace brisvel {

const char* HelpText();
const char* UsageLine();

}  // namespace brisvel
