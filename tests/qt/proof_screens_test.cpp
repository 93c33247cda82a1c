// Pictures of the two questions an operator most needs to read right, taken from the real window on
// testbed servers and checked against the databases: the day end refused while vouchers still wait,
// and the day purge's question. With ERPSYNC_PROOF_DIR set (run under a virtual display), the window
// with its box is saved there as day-end-waiting.png and purge-question.png.
#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>

#include "db/connection.h"
#include "desktop_session.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "simulator.h"
#include "testbed.h"
#include "window_tests.h"

namespace erpsync::qt::test {

class ProofScreens : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> home;
  std::unique_ptr<DesktopSession> session;
  // Text of the box to show (and photograph) instead of answering it; answered with its default.
  std::string showBoxContaining;
  QString pictureName;
  bool photographed = false;

  long long count(db::Connection& c, const std::string& sql) { return c.query(sql).at(0, 0).toInt(); }

  // The window with the modal box drawn over its centre, saved when a proof folder is given; then the
  // box's default button is pressed.
  void photographBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      QTimer::singleShot(100, this, [this] { photographBox(); });
      return;
    }
    session->binder().flush();
    QApplication::processEvents();
    QPixmap shot = session->window().grab();
    const QPixmap boxShot = box->grab();
    QPainter p(&shot);
    p.drawPixmap((shot.width() - boxShot.width()) / 2, (shot.height() - boxShot.height()) / 2, boxShot);
    p.end();
    const QByteArray dir = qgetenv("ERPSYNC_PROOF_DIR");
    if (!dir.isEmpty()) shot.save(QString::fromUtf8(dir) + "/" + pictureName, "PNG");
    photographed = true;
    if (box->defaultButton())
      box->defaultButton()->click();
    else
      box->accept();
  }

  void start() {
    QVERIFY(session->load());
    session->binder().flush();
    QVERIFY(QTest::qWaitForWindowExposed(&session->window()));
    session->form().cmdConnect.click();
    QApplication::processEvents();
    session->binder().flush();
    QVERIFY(session->controller().connected());
    // The synchroniser's tables and triggers, as a branch has them after its first Update Database.
    session->form().onKeyDown(45);
    session->form().cmdUpdateDataBase.click();
    QVERIFY(session->controller().databasesPrepared());
  }

  void enterVouchers(int sales) {
    testbed::SimulationOptions o;
    o.sales = sales;
    o.orders = o.stockJournals = o.jobCards = 1;
    o.notes = 1;
    o.edits = o.deletes = o.masterChanges = o.boardRates = 0;
    testbed::simulateErpActivity(&session->context().local(), nullptr, o);
  }

 private slots:
  void init() {
    home = std::make_unique<QTemporaryDir>();
    QVERIFY(home->isValid());
    testbed::InitOptions o;
    o.home = home->path().toStdString();
    testbed::init(o);
    session = std::make_unique<DesktopSession>(o.home);
    showBoxContaining.clear();
    photographed = false;
    session->host().setAnswerPolicy([this](const QtHost::Message& m) -> std::optional<Answer> {
      if (!showBoxContaining.empty() && m.text.find(showBoxContaining) != std::string::npos) {
        QTimer::singleShot(300, this, [this] { photographBox(); });
        return std::nullopt;
      }
      return m.buttons == Buttons::OK ? Answer::OK : Answer::Yes;
    });
  }

  void cleanup() {
    session.reset();
    home.reset();
  }

  // Vouchers entered a moment ago wait for the interval: the day end says how many and when to try
  // again, and the number is the branch's vouchers not yet at head office.
  void dayEndRefusedWhileVouchersWait() {
    start();
    enterVouchers(3);
    auto& ctx = session->context();
    const std::string day = ddMMMyyyy(session->form().dtpdate.value());
    const long long waiting = count(ctx.local(), "select count(*) from tblSales where isnull(SyncStat,0)<>1") +
                              count(ctx.local(), "select count(*) from tblOrder where isnull(SyncStat,0)<>1") +
                              count(ctx.local(), "select count(*) from tblStockJournal where isnull(SyncStat,0)<>1") +
                              count(ctx.local(), "select count(*) from tblJobcard where isnull(SyncStat,0)<>1") +
                              count(ctx.local(), "select count(*) from tblNotes where isnull(SyncStat,0)<>1");
    QCOMPARE(count(ctx.web(), "select count(*) from tblSales where CCID=2 and InvDate='" + day + "'"), 0LL);
    showBoxContaining = "still waiting to go up";
    pictureName = "day-end-waiting.png";
    session->form().cmdDayEnd.click();
    QVERIFY(photographed);
    const auto& box = session->host().messages().back();
    QCOMPARE(box.text.substr(0, box.text.find(" vouchers are")), std::to_string(waiting));
    QVERIFY(box.text.find("keep AutoSynch on and try Day End again in 2 minutes") != std::string::npos);
    QCOMPARE(session->form().lblStatus.caption(), box.text);
    // Nothing was locked or written.
    QCOMPARE(count(ctx.local(), "select count(*) from tblSales where LockMode=1"), 0LL);
    QCOMPARE(count(ctx.web(), "select count(*) from tblDayActivity where Activity='DayEnd'"), 0LL);
  }

  // The purge asks once, with the numbers on each side counted from the databases; No is the default,
  // and answering it leaves both sides as they were.
  void purgeQuestionNamesWhatGoes() {
    start();
    enterVouchers(4);
    auto& ctx = session->context();
    ctx.local().execute("UPDATE tblActivity SET ActionTime = DATEADD(minute, -5, ActionTime)");
    session->form().ChkAutoSynch.setValue(1);
    for (int i = 0; i < 3; ++i) session->controller().hooks.pass();
    const std::string day = ddMMMyyyy(session->form().dtpdate.value());
    const long long branchSales = count(ctx.local(), "select count(*) from tblSales");
    const long long centralSales = count(ctx.web(), "select count(*) from tblSales where CCID=2 and InvDate='" + day + "'");
    QCOMPARE(centralSales, branchSales);
    session->form().onKeyDown(45);
    session->form().SSTab1.setTab(1);
    showBoxContaining = "Do you want to delete sales";
    pictureName = "purge-question.png";
    session->form().Command1.click();
    QVERIFY(photographed);
    const auto& box = session->host().messages().back();
    QCOMPARE(box.defaultAnswer, Answer::No);
    QVERIFY(box.text.find(" of " + day + " of cost centre 2 are deleted") != std::string::npos);
    QCOMPARE(count(ctx.local(), "select count(*) from tblSales"), branchSales);
    QCOMPARE(count(ctx.web(), "select count(*) from tblSales where CCID=2 and InvDate='" + day + "'"), centralSales);
  }
};

int runProofScreens(int argc, char** argv) {
  ProofScreens t;
  return QTest::qExec(&t, argc, argv);
}

}  // namespace erpsync::qt::test

#include "proof_screens_test.moc"
