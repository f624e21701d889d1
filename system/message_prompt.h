// The question or notice that a system command shows the user, behind a function so that the
// commands need no window system and tests can answer in advance.
#pragma once

#include <functional>
#include <string>

#include "core/message.h"

namespace brisvel {

// Shows a message box titled "Brisvel": OK only, or Yes and No when `yesNo`; returns the answer.
using MessagePrompt =
    std::function<MessageAnswer(const std::string& text, MessageIcon icon, bool yesNo)>;

}  // namespace brisvel
