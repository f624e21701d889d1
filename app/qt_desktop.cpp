#include "app/qt_desktop.h"

#include "app/qt_look.h"
#include "app/qt_ui.h"
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

}  // namespace

std::unique_ptr<Ui> OpenQtDesktop(int& argc, char** argv) {
  auto ui = std::make_unique<DesktopUi>(argc, argv);
  QApplication* application = qApp;
  // Hiding the last window must not end the program: a hidden run lives in the tray.
  application->setQuitOnLastWindowClosed(false);
  UseDesktopLook(*application);
  return ui;
}

}  // namespace brisvel
