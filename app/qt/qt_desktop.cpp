// Opening the Qt desktop: the application and its backend. This is the module's entry, which
// the program looks up by its name once it has loaded the module.
#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

#include "app/qt/qt_look.h"
#include "app/qt/qt_ui.h"
#include "app/ui/backends.h"

namespace brisvel {
namespace {

// The application comes first and goes last: the backend's widgets live inside it.
struct ApplicationHolder {
  ApplicationHolder(int& argc, char** argv) : application(argc, argv) {}
  QApplication application;
};

class QtDesktop : private ApplicationHolder, public QtUi {
 public:
  QtDesktop(int& argc, char** argv) : ApplicationHolder(argc, argv) {}
};

// Qt ends the process when its X11 platform cannot reach the server (no server at $DISPLAY,
// authorisation refused), so the program asks the server itself first. Other platforms, chosen
// through QT_QPA_PLATFORM, are left to Qt.
bool X11ServerAnswers() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0' && std::string_view(platform).substr(0, 3) != "xcb")
    return true;
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
}

}  // namespace

DesktopUi* BrisvelOpenDesktop(int* argc, char** argv, std::string* failure) {
  if (!X11ServerAnswers()) {
    *failure = "the display does not answer";
    return nullptr;
  }
  auto* ui = new QtDesktop(*argc, argv);
  QApplication* application = qApp;
  // Hiding the last window must not end the program: a hidden run lives in the tray.
  application->setQuitOnLastWindowClosed(false);
  UseDesktopLook(*application);
  return ui;
}

}  // namespace brisvel
