// The kinds of message box the program shows. Every box is titled "Brisvel", fatal errors
// "Brisvel - Error".
#pragma once

namespace brisvel {

enum class MessageIcon { kWarning, kInformation, kQuestion, kError, kExclamation };

enum class MessageAnswer { kOk, kYes, kNo, kCancel };

inline constexpr const char* kMessageTitle = "Brisvel";
inline constexpr const char* kErrorTitle = "Brisvel - Error";

}  // namespace brisvel
