// The whole desktop program on embedded testbed servers: load, Connect, the Insert key, the settings
// wizard and the exit question, driven through the widgets the operator uses.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>

#include "desktop_session.h"
#include "testbed.h"
#include "ui_main_window.h"
#include "ui_settings_window.h"
#include "window_tests.h"

namespace erpsync::qt::test {

class WindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> home;
  std::unique_ptr<DesktopSession> session;
  // The answer to the next boxes; nullopt answers with the box's default button.
  std::optional<Answer> answer;

  Ui::frmSynch& ui() { return session->window().ui(); }

  void start() {
    QVERIFY(session->load());
    session->binder().flush();
    QVERIFY(QTest::qWaitForWindowExposed(&session->window()));
  }

  void connect() {
    QTest::mouseClick(ui().cmdConnect, Qt::LeftButton);
    QCoreApplication::processEvents();
    session->binder().flush();
  }

  bool anyBox(Icon icon) const {
    for (const auto& m : session->host().messages())
      if (m.icon == icon) return true;
    return false;
  }

 private slots:
  void init() {
    home = std::make_unique<QTemporaryDir>();
    QVERIFY(home->isValid());
    testbed::InitOptions o;
    o.home = home->path().toStdString();
    testbed::init(o);
    session = std::make_unique<DesktopSession>(o.home);
    answer.reset();
    session->host().setAnswerPolicy(
        [this](const QtHost::Message& m) -> std::optional<Answer> { return answer ? *answer : m.defaultAnswer; });
  }

  void cleanup() {
    session.reset();
    home.reset();
  }

  void everyControlHasItsWidget() {
    QCOMPARE(session->unboundControls(), QStringList());
    QCOMPARE(session->window().windowTitle(), QString("Synchronisation"));
    QCOMPARE(session->progressWindow().windowTitle(), QString("Easy Progress"));
    const QStringList pages{"Download From Server", "Maintenance", "Settings",
                            "Data Status",          "LogFile",     "Stock Transfer"};
    for (int i = 0; i < pages.size(); ++i) QCOMPARE(ui().SSTab1->tabText(i), pages[i]);
    const QStringList lower{"UpdateStatus", "Activity", "Mismatch", "Compare"};
    for (int i = 0; i < lower.size(); ++i) QCOMPARE(ui().SSTab2->tabText(i), lower[i]);
    auto& s = session->settingsWindow().ui();
    QCOMPARE(s.fraIP->title(), QString("Ip Settings"));
    QCOMPARE(s.fraCompanies->title(), QString("Companies"));
    QCOMPARE(s.fraCostcentre->title(), QString("CostCentre"));
    QCOMPARE(s.fraFinished->title(), QString("Finished"));
    QCOMPARE(s.cmdBack->text(), QString("<< Back"));
  }

  void loadLeavesTheWindowReadyToConnect() {
    start();
    QCOMPARE(ui().lblFirststatus->text(), QString("Loading Over....Click Connect to proceed.. "));
    QVERIFY(ui().cmdConnect->isVisible());
    QVERIFY(ui().Picture1->isVisible());
    QVERIFY(!ui().SSTab2->isVisible());
    QVERIFY(!ui().SSTab1->isTabVisible(1));
    QCOMPARE(ui().lblDesktopIP->text(), QString("embedded:servers/branch"));
    QCOMPARE(ui().lblOnlineIP1->text(), QString("embedded:servers/central"));
    QVERIFY(session->host().trayIconAdded());
    QVERIFY(!session->host().busy());
    QVERIFY(!anyBox(Icon::Critical));
  }

  void connectFillsTheWindow() {
    start();
    connect();
    QCOMPARE(ui().lblFirststatus->text(), QString("Connection .Done.... "));
    QVERIFY(ui().SSTab2->isVisible());
    QVERIFY(!ui().Picture1->isVisible());
    QCOMPARE(ui().lblCostcentre->text(), QString("Branch One"));
    QCOMPARE(session->form().lblCostcentre.tag(), std::string("2"));
    QCOMPARE(ui().lblDesktopCompany->text(), QString("BR01"));
    QCOMPARE(ui().lblSynchCompany->text(), QString("HO01"));
    QVERIFY(ui().dtpdate->isVisible());
    QCOMPARE(ui().dtpdate->date(), QDate::currentDate());
    QVERIFY(ui().cmdDayStart->isVisible());
    QVERIFY(!ui().CmdSettings->isEnabled());
    QVERIFY(ui().cmdConnect->isEnabled());
    QCOMPARE(ui().SSTab1->currentIndex(), 2);
    QCOMPARE(ui().SSTab2->currentIndex(), 1);
    QVERIFY(ui().lstVchtypes->count() > 0);
    QCOMPARE(ui().lstVchtypes->count(), session->form().lstVchtypes.listCount());
    QCOMPARE(ui().cbointerval->currentText(), QString("2 Minutes"));
    QVERIFY(!ui().ChkAutoSynch->isChecked());
    QVERIFY(!session->host().busy());
    QVERIFY(!anyBox(Icon::Critical));

    // The operator picks a voucher type: the choice is stored as the operator's.
    const auto before = session->context().readSetting("SYNCHVCHTYPEIDS", "");
    QListWidget* list = ui().lstVchtypes;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    const auto after = session->context().readSetting("SYNCHVCHTYPEIDS", "");
    QVERIFY(after != before);
    // The testbed ticks every type of the branch; the click takes the first one off the choice.
    std::string expected;
    for (const auto& item : session->form().lstVchtypes.items())
      if (item.selected) expected += std::to_string(item.itemData) + ";";
    QVERIFY(!session->form().lstVchtypes.items()[0].selected);
    QCOMPARE(after, expected);

    // Ticking AutoSynch starts the timer that drives the passes.
    QTest::mouseClick(ui().ChkAutoSynch, Qt::LeftButton, {}, QPoint(8, ui().ChkAutoSynch->height() / 2));
    QVERIFY(session->binder().timerFor(session->form().timertrigger)->isActive());
  }

  void insertKeyShowsTheMaintenancePage() {
    start();
    QVERIFY(!ui().SSTab1->isTabVisible(1));
    ui().cmdConnect->setFocus();
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &session->window(), Qt::Key_Insert);
    QVERIFY(ui().SSTab1->isTabVisible(1));
    QVERIFY(session->form().SSTab1.tabVisible(1));
  }

  void settingsWizardOpensBeforeConnecting() {
    start();
    QTest::mouseClick(ui().CmdSettings, Qt::LeftButton);
    session->binder().flush();
    auto& s = session->settingsWindow().ui();
    QVERIFY(session->settingsWindow().isVisible());
    QCOMPARE(s.TXTsYNCsqlSERVERname->text(), QString("embedded:servers/central"));
    QVERIFY(s.fraIP->isVisible());
    QVERIFY(!s.fraCompanies->isVisible());
    QTest::mouseClick(s.CMDshowcompany, Qt::LeftButton);
    session->binder().flush();
    QVERIFY(s.fraCompanies->isVisible());
    QVERIFY(!s.fraIP->isVisible());
    QVERIFY(s.cboLocalCompany->findText("BR01") >= 0);
    QCOMPARE(s.cboLocalCompany->currentText(), QString("BR01"));
    QCOMPARE(s.cboOnlineCompany->currentText(), QString("HO01"));
    QVERIFY(s.chkShowDaystartEND->isChecked());
    QTest::mouseClick(s.cmdBack, Qt::LeftButton);
    QVERIFY(s.fraIP->isVisible());
    // Closing the wizard and opening it again brings it back.
    session->settingsWindow().close();
    QVERIFY(!session->form().frmsettings.window.visible());
    QTest::mouseClick(ui().CmdSettings, Qt::LeftButton);
    QVERIFY(session->settingsWindow().isVisible());
  }

  void exitQuestionKeepsTheWindowOnNoAndEndsOnYes() {
    start();
    answer = Answer::No;
    QVERIFY(!session->window().close());
    QVERIFY(session->window().isVisible());
    // The tray icon went before the question, as it does on every close.
    QVERIFY(!session->host().trayIconAdded());
    const auto& asked = session->host().messages().back();
    QCOMPARE(asked.title, std::string("Halvex ERp Sync "));
    QCOMPARE(asked.buttons, Buttons::YesNoCancel);
    QCOMPARE(asked.icon, Icon::Question);
    QCOMPARE(asked.defaultAnswer, Answer::No);
    QVERIFY(!session->host().quitRequested());
    answer = Answer::Cancel;
    QVERIFY(!session->window().close());
    answer = Answer::Yes;
    QVERIFY(session->window().close());
    QVERIFY(!session->window().isVisible());
    QVERIFY(session->host().quitRequested());
  }

  // The settings wizard's "Exiting now" and a confirmed exit end the program there and then: no second
  // exit question, whatever windows are open.
  void quitEndsTheProgramWithoutAskingAgain() {
    start();
    const auto asked = session->host().messages().size();
    QTimer::singleShot(0, [this] { session->host().quit(); });
    // A quit that did not end the loop is ended here with another code.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(session->host().messages().size(), asked);
    QVERIFY(session->host().quitRequested());
  }
};

int runWindowTests(int argc, char** argv) {
  WindowTest t;
  return QTest::qExec(&t, argc, argv);
}

}  // namespace erpsync::qt::test

#include "window_test.moc"
