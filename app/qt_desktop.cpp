#include "app/qt_desktop.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

#include "app/console_terminal.h"
#include "app/control_ids.h"
#include "app/qt_look.h"
#include "app/qt_ui.h"

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

  // A stop signal (a session's SIGTERM, SIGHUP, Ctrl+C in the terminal that started the
  // program) also asks the program to close, as the main window's close box does: an idle
  // program ends, a shutdown countdown is cancelled, and during a run, where the signal has
  // pressed STOP already, the main window ignores it.
  std::optional<UiEvent> WaitEvent(std::chrono::milliseconds timeout) override {
    const int interrupts = InterruptCount();
    if (interrupts > interruptsSeen_) {
      interruptsSeen_ = interrupts;
      return UiEvent{kMainWindow, 0, EventType::kCloseRequest};
    }
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
