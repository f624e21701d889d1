// A notice on the user's desktop that needs no window of the program: the desktop's
// notification service on Linux, a balloon of a notification-area icon on Windows.
#pragma once

#include <string>

namespace brisvel {

// Shows `summary` with `body` under it. True when the desktop took the notice; false when
// there is no desktop to show it (no session bus, no notification service, no taskbar),
// which is no fault of the caller's. Linux asks the notification service over the session
// bus and waits at most a few seconds for its answer; Windows shows the balloon from a thread
// of its own and returns at once.
bool ShowDesktopNotification(const std::string& summary, const std::string& body);

// Waits until a notice that needs the program to stay alive has had its time on screen (the
// Windows balloon goes with the icon that shows it). Called before the program ends.
void FinishDesktopNotifications();

}  // namespace brisvel
