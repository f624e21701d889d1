#include "app/qt/qt_desktop.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

#include "app/qt/qt_look.h"
#include "app/qt/qt_ui.h"
#include "app/stop_signal_event.h"

namespace brisvel {
namespace {

// The application comes first and goes last: the backend's widgets live inside it.
struct ApplicationHolder {
  ApplicationHolder(int& argc, char** argv) : application(argc, argv) {}
  QApplication application;
};

class DesktopUi : private ApplicationHolder, public QtUi {
 public:
  DesktopUi(int& argc, char** argv) : ApplicationHolder(argc, argv) {}

  std::optional<UiEvent> WaitEvent(std::chrono::milliseconds timeout) override {
    if (std::optional<UiEvent> stop = StopSignalEvent(interruptsSeen_)) return stop;
    return QtUi::WaitEvent(timeout);
  }

 private:
  int interruptsSeen_ = 0;
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

std::unique_ptr<Ui> OpenQtDesktop(int& argc, char** argv) {
  if (!X11ServerAnswers()) return nullptr;
  auto ui = std::make_unique<DesktopUi>(argc, argv);
  QApplication* application = qApp;
  // Hiding the last window must not end the program: a hidden run lives in the tray.
  application->setQuitOnLastWindowClosed(false);
  UseDesktopLook(*application);
  return ui;
}

}  // namespace brisvel
