// The window tests run on the offscreen platform unless another one is asked for.
#include <QApplication>

#include "window_tests.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName("erpsync");
  QApplication::setApplicationDisplayName("ERP Sync");
  int failures = 0;
  failures += erpsync::qt::test::runBinderTests(argc, argv);
  failures += erpsync::qt::test::runHostTests(argc, argv);
  failures += erpsync::qt::test::runWindowTests(argc, argv);
  failures += erpsync::qt::test::runProofScreens(argc, argv);
  return failures == 0 ? 0 : 1;
}
