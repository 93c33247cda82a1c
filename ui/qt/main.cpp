// erpsync: the branch synchroniser's desktop window.
//   erpsync [--home DIR]
// The program folder (Resources/, logs, the embedded servers of a demo) is DIR, else ERPSYNC_HOME,
// else the executable's folder.
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <optional>

#include "desktop_session.h"

namespace {

QString optionValue(const QStringList& args, const QString& name) {
  const int i = args.indexOf(name);
  return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("erpsync");
  QApplication::setApplicationDisplayName("ERP Sync");
  QApplication::setStyle("Fusion");
  // The program ends when the operator confirms the exit question (or the wizard finishes), not
  // when some window happens to be the last one closed.
  QApplication::setQuitOnLastWindowClosed(false);

  const QStringList args = QApplication::arguments();
  // Support options, not advertised: --connect presses Connect after load; --page N and --lower-page N
  // then open that page of the upper and lower page sets (as a click on its tab does); --screenshot
  // FILE saves a picture of the window (after load and the optional connect) and ends; --passes N runs
  // that many automatic passes before the picture, as the timer's ticks do. Boxes are then answered
  // with their default button so nothing waits for an operator.
  const bool connect = args.contains("--connect");
  const QString page = optionValue(args, "--page");
  const QString lowerPage = optionValue(args, "--lower-page");
  const QString screenshot = optionValue(args, "--screenshot");
  const int passes = optionValue(args, "--passes").toInt();

  erpsync::qt::DesktopSession session(erpsync::qt::programFolderFromArguments(args));
  if (!screenshot.isEmpty())
    session.host().setAnswerPolicy(
        [](const erpsync::qt::QtHost::Message& m) -> std::optional<erpsync::Answer> { return m.defaultAnswer; });

  if (!session.load() || session.host().quitRequested()) return 0;
  if (connect) session.form().cmdConnect.click();
  if (!page.isEmpty()) session.form().SSTab1.setTab(page.toInt());
  for (int i = 0; i < passes; ++i) session.form().timertrigger.onTimer();
  if (!lowerPage.isEmpty()) session.form().SSTab2.setTab(lowerPage.toInt());

  if (!screenshot.isEmpty()) {
    QTimer::singleShot(500, [&session, screenshot] {
      session.binder().flush();
      QApplication::processEvents();
      const bool saved = session.window().grab().save(screenshot, "PNG");
      QApplication::exit(saved ? 0 : 1);
    });
  }
  return QApplication::exec();
}
