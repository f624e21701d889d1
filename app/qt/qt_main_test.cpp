// The main() of the desktop's tests: a QApplication on the offscreen platform, with the
// look the program uses, then GoogleTest.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/qt/qt_look.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir runtime;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  QApplication application(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  brisvel::UseDesktopLook(application);
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
