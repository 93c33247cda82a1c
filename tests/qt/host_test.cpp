// The desktop Host: message boxes as the operations ask for them, balloons without a tray, busy pointer.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "notice_popup.h"
#include "qt_host.h"
#include "window_tests.h"

namespace erpsync::qt::test {

class HostTest : public QObject {
  Q_OBJECT

  // Runs check on the message box once it is up, then presses the button.
  static void answerBox(std::function<void(QMessageBox&)> check, QMessageBox::StandardButton press) {
    QTimer::singleShot(0, [check, press] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) {
        QFAIL("no message box is shown");
        return;
      }
      check(*box);
      if (press == QMessageBox::Escape)
        QTest::keyClick(box, Qt::Key_Escape);
      else
        box->button(press)->click();
    });
  }

 private slots:
  void exitQuestionBoxHasItsButtonsIconTitleAndDefault() {
    QtHost host;
    bool seen = false;
    answerBox(
        [&](QMessageBox& box) {
          seen = true;
          QCOMPARE(box.standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
          QCOMPARE(box.icon(), QMessageBox::Question);
          QCOMPARE(box.windowTitle(), QString("Halvex ERp Sync "));
          QCOMPARE(static_cast<QAbstractButton*>(box.defaultButton()), box.button(QMessageBox::No));
          // Line breaks of the question are plain line breaks.
          QCOMPARE(box.text(), QString("Exit?\n \nClick [Yes]"));
        },
        QMessageBox::Yes);
    const Answer a = host.messageBox("Exit?\r\n \r\nClick [Yes]", Buttons::YesNoCancel, Icon::Question,
                                     "Halvex ERp Sync ", Answer::No);
    QVERIFY(seen);
    QCOMPARE(a, Answer::Yes);

    answerBox([](QMessageBox&) {}, QMessageBox::Escape);
    QCOMPARE(host.messageBox("Exit?", Buttons::YesNoCancel, Icon::Question, "t", Answer::No), Answer::Cancel);
  }

  void plainBoxesAndTheirIcons() {
    QtHost host;
    answerBox(
        [](QMessageBox& box) {
          QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
          QCOMPARE(box.icon(), QMessageBox::Critical);
          // No title given: the program's name.
          QCOMPARE(box.windowTitle(), QString("ERP Sync"));
        },
        QMessageBox::Ok);
    QCOMPARE(host.messageBox("Please check  Server Name", Buttons::OK, Icon::Critical, "", Answer::OK), Answer::OK);

    answerBox(
        [](QMessageBox& box) {
          QCOMPARE(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
          QCOMPARE(box.icon(), QMessageBox::Warning);
        },
        QMessageBox::No);
    QCOMPARE(host.messageBox("Sure?", Buttons::YesNo, Icon::Exclamation, "", Answer::Yes), Answer::No);

    answerBox([](QMessageBox& box) { QCOMPARE(box.icon(), QMessageBox::Information); }, QMessageBox::Ok);
    host.messageBox("Done", Buttons::OK, Icon::Information, "", Answer::OK);
    QCOMPARE(host.messages().size(), std::size_t(3));
    QCOMPARE(host.messages()[1].text, std::string("Sure?"));
  }

  void busyPointerStepsAsideForABox() {
    QtHost host;
    host.setBusy(true);
    host.setBusy(true);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    answerBox([](QMessageBox&) { QCOMPARE(QApplication::overrideCursor(), nullptr); }, QMessageBox::Ok);
    host.messageBox("x", Buttons::OK, Icon::None, "", Answer::OK);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    host.setBusy(false);
    // Two busy calls, one release: the pointer is normal again.
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void policyAnswersWithoutShowingAndOnlyWithOfferedButtons() {
    QtHost host;
    host.setAnswerPolicy([](const QtHost::Message& m) -> std::optional<Answer> {
      return m.buttons == Buttons::OK ? Answer::Yes : Answer::No;
    });
    QCOMPARE(host.messageBox("a", Buttons::YesNoCancel, Icon::Question, "", Answer::Yes), Answer::No);
    // Yes is not a button of an OK box.
    QCOMPARE(host.messageBox("b", Buttons::OK, Icon::None, "", Answer::OK), Answer::OK);
    QCOMPARE(host.messages().size(), std::size_t(2));
  }

  void balloonWithoutTrayShowsInTheWindow() {
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    QMainWindow window;
    window.resize(800, 600);
    window.show();
    QtHost host;
    host.setWindow(&window);
    host.addTrayIcon();
    QVERIFY(host.trayIconAdded());
    host.showBalloon("Halvex ERP Sync 3.6!", "Invalid object name 'tblX'.upload transactions");
    QVERIFY(host.noticePopup());
    QVERIFY(host.noticePopup()->isVisible());
    QCOMPARE(host.noticePopup()->title(), QString("Halvex ERP Sync 3.6!"));
    QCOMPARE(host.noticePopup()->text(), QString("Invalid object name 'tblX'.upload transactions"));
    QVERIFY(window.statusBar()->currentMessage().contains("upload transactions"));
    // Inside the window, at its lower right corner.
    QVERIFY(window.rect().contains(host.noticePopup()->geometry()));
    QVERIFY(host.noticePopup()->geometry().right() > window.width() / 2);
    host.removeTrayIcon();
    QVERIFY(!host.trayIconAdded());
  }

  void notifierGetsTheTextAsOneArgument() {
    QtHost host;
    QTemporaryDir dir;
    const QString out = dir.filePath("args.txt");
    const QString script = dir.filePath("baloon");
    QFile f(script);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QString("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '%1'\n").arg(out).toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    QVERIFY(host.startNotifier(script.toStdString(), "it's over; $(rm -rf x) \"quoted\""));
    QTRY_VERIFY(QFile::exists(out) && QFileInfo(out).size() > 0);
    QFile r(out);
    QVERIFY(r.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(r.readAll()), QString("1|it's over; $(rm -rf x) \"quoted\"|"));
    QVERIFY(!host.startNotifier(dir.filePath("missing").toStdString(), "x"));
  }
};

int runHostTests(int argc, char** argv) {
  HostTest t;
  return QTest::qExec(&t, argc, argv);
}

}  // namespace erpsync::qt::test

#include "host_test.moc"
