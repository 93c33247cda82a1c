// The binder between the form model and the widgets, both ways, on the real main window.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <memory>

#include "form/main_form.h"
#include "form_binder.h"
#include "main_window.h"
#include "settings_window.h"
#include "ui_main_window.h"
#include "ui_settings_window.h"
#include "window_tests.h"

namespace erpsync::qt::test {

class BinderTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MainForm> form;
  std::unique_ptr<MainWindow> window;
  std::unique_ptr<FormBinder> binder;
  Ui::frmSynch* ui = nullptr;

  void clickEntry(QListWidget* list, int row, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(list->viewport(), button, {}, list->visualItemRect(list->item(row)).center());
  }

 private slots:
  void init() {
    form = std::make_unique<MainForm>();
    window = std::make_unique<MainWindow>();
    ui = &window->ui();
    binder = std::make_unique<FormBinder>();
    binder->setActiveControlSlot(&form->activeControl);
    const QStringList missing = binder->bindAll(*form, window.get());
    // Only the progress window lives elsewhere.
    QCOMPARE(missing, QStringList{"frmInitialize"});
    form->window.setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }

  void cleanup() {
    binder.reset();
    window.reset();
    form.reset();
  }

  void designTimeStateReachesTheWidgets() {
    QVERIFY(!ui->SSTab2->isVisible());
    QVERIFY(!ui->dtpdate->isVisible());
    QVERIFY(!ui->lstMasterSettings->isVisible());
    QCOMPARE(ui->cbointerval->count(), 7);
    QCOMPARE(ui->Label6->text().toStdString(), form->Label6.caption());
    // A picture button without a caption keeps its designed text.
    QCOMPARE(ui->cmdConnect->text(), QString("Connect"));
    QVERIFY(!binder->timerFor(form->timertrigger)->isActive());
    QCOMPARE(binder->timerFor(form->timertrigger)->interval(), 5000);
  }

  void modelChangesShowOnTheWidgets() {
    form->lblStatus.setCaption("Uploading <b>5</b> vouchers");
    QCOMPARE(ui->lblStatus->text(), QString("Uploading <b>5</b> vouchers"));
    QCOMPARE(ui->lblStatus->textFormat(), Qt::PlainText);
    form->cmdConnect.setCaption("Reconnect");
    QCOMPARE(ui->cmdConnect->text(), QString("Reconnect"));
    form->cmdConnect.setEnabled(false);
    QVERIFY(!ui->cmdConnect->isEnabled());
    form->Picture1.setVisible(false);
    QVERIFY(ui->Picture1->isHidden());
    form->SSTab2.setVisible(true);
    QVERIFY(ui->SSTab2->isVisible());

    form->ChkAutoSynch.setValue(1);
    QVERIFY(ui->ChkAutoSynch->isChecked());
    form->dtpdate.setValue(DateTime{2024, 2, 29});
    QCOMPARE(ui->dtpdate->date(), QDate(2024, 2, 29));
    form->txtTime.setText("12:01");
    QCOMPARE(ui->txtTime->text(), QString("12:01"));

    form->SSTab1.setTabVisible(1, false);
    QVERIFY(!ui->SSTab1->isTabVisible(1));
    form->SSTab1.setTabVisible(1, true);
    QVERIFY(ui->SSTab1->isTabVisible(1));
    form->SSTab1.setTab(3);
    QCOMPARE(ui->SSTab1->currentIndex(), 3);
    QCOMPARE(ui->SSTab1->tabText(2), QString("Settings"));
  }

  void heldButtonsShowDisabledUntilReleased() {
    // While an operation runs its buttons are held: disabled on screen, clicks do nothing.
    int clicks = 0;
    form->cmdFreeServer.onClick = [&] { ++clicks; };
    form->cmdUpdateDataBase.setEnabled(false);
    form->cmdFreeServer.setHeld(true);
    form->cmdUpdateDataBase.setHeld(true);
    QVERIFY(!ui->cmdFreeServer->isEnabled());
    ui->cmdFreeServer->click();
    QCOMPARE(clicks, 0);
    // Released: each button is back to its own state.
    form->cmdFreeServer.setHeld(false);
    form->cmdUpdateDataBase.setHeld(false);
    QVERIFY(ui->cmdFreeServer->isEnabled());
    QVERIFY(!ui->cmdUpdateDataBase->isEnabled());
    ui->cmdFreeServer->click();
    QCOMPARE(clicks, 1);
  }

  void listsComboBoxesAndGridsFollowOncePerPass() {
    for (const char* t : {"Sales BR1", "Receipt BR1", "Job Card BR1"}) form->lstVchtypes.addItem(t, 7);
    form->lstVchtypes.setSelected(1, true);
    // Redrawn on the next pass of the event loop, not once per entry.
    QCOMPARE(ui->lstVchtypes->count(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(ui->lstVchtypes->count(), 3);
    QVERIFY(ui->lstVchtypes->item(1)->isSelected());
    QVERIFY(!ui->lstVchtypes->item(0)->isSelected());
    QCOMPARE(ui->lstVchtypes->currentRow(), 1);
    // Rebuilt, not appended, when the entries change.
    form->lstVchtypes.clear();
    form->lstVchtypes.addItem("Payment BR1");
    binder->flush();
    QCOMPARE(ui->lstVchtypes->count(), 1);
    QCOMPARE(ui->lstVchtypes->item(0)->text(), QString("Payment BR1"));

    form->cbointerval.setText("5 MInutes");
    binder->flush();
    QCOMPARE(ui->cbointerval->currentIndex(), 2);
    form->cbointerval.setText("7 Minutes");
    binder->flush();
    QCOMPARE(ui->cbointerval->currentIndex(), -1);
    QCOMPARE(ui->cbointerval->placeholderText(), QString("7 Minutes"));

    auto& g = form->msgDataCount;
    g.setFormatString("Table|Local|Web");
    g.addItem("tblSales\t5\t4");
    g.addItem("tblNotes\t2\t2");
    g.setCellColor(1, 2, 255);  // red: the lowest byte is red
    binder->flush();
    QTableWidget* t = ui->msgDataCount;
    QCOMPARE(t->rowCount(), 2);
    QCOMPARE(t->columnCount(), 3);
    QCOMPARE(t->horizontalHeaderItem(1)->text(), QString("Local"));
    QCOMPARE(t->item(0, 0)->text(), QString("tblSales"));
    QCOMPARE(t->item(0, 2)->background().color(), QColor(255, 0, 0));
    QCOMPARE(t->item(1, 2)->background().style(), Qt::NoBrush);
    // Colour 0 is the default colour again; a changed cell keeps its place.
    g.setCellColor(1, 2, 0);
    g.setText(2, 1, "3");
    binder->flush();
    QCOMPARE(t->item(0, 2)->background().style(), Qt::NoBrush);
    QCOMPARE(t->item(1, 1)->text(), QString("3"));
    g.setRows(1);
    binder->flush();
    QCOMPARE(t->rowCount(), 0);
    // A column given a width keeps it when longer texts arrive; the others follow their contents.
    g.setColumnWidths({20});
    g.addItem("tblSales\t5\t4");
    binder->flush();
    const int width = t->columnWidth(0);
    // Twenty digits fit, whatever the font: a date or a count is never cut off.
    QVERIFY(width >= t->fontMetrics().horizontalAdvance(QString(20, QLatin1Char('0'))));
    g.addItem("a name much longer than twenty characters\t5\t40000000000000");
    binder->flush();
    QCOMPARE(t->columnWidth(0), width);
    g.setRows(1);
    binder->flush();
    // Without a fixed row there is no header and every row is data.
    form->msgCompare.addItem("a\tb");
    binder->flush();
    QVERIFY(ui->msgCompare->horizontalHeader()->isHidden());
    QCOMPARE(ui->msgCompare->item(0, 1)->text(), QString("b"));
  }

  void clicksReachTheModelAsTheOperatorsOwn() {
    int clicks = 0;
    const form::Control* activeDuringClick = nullptr;
    form->cmdManualSynch.onClick = [&] {
      ++clicks;
      activeDuringClick = form->activeControl;
    };
    form->SSTab1.setTab(2);
    QTest::mouseClick(ui->cmdManualSynch, Qt::LeftButton);
    QCOMPARE(clicks, 1);
    QCOMPARE(activeDuringClick, &form->cmdManualSynch);
    QCOMPARE(form->activeControl, nullptr);
    // A button the model hides does nothing, even if its widget were pressed.
    form->cmdManualSynch.setVisible(false);
    ui->cmdManualSynch->click();
    QCOMPARE(clicks, 1);

    int ticks = 0;
    form->chkBulkInsert.onClick = [&] { ++ticks; };
    form->SSTab1.setTab(0);
    QCoreApplication::processEvents();
    QTest::mouseClick(ui->chkBulkInsert, Qt::LeftButton, {}, QPoint(8, ui->chkBulkInsert->height() / 2));
    QCOMPARE(form->chkBulkInsert.value(), 1);
    QCOMPARE(ticks, 1);
    // Ticking by code shows on the box without raising the handler a second time through the widget.
    form->chkBulkInsert.setValue(0);
    QCOMPARE(ticks, 2);
    QVERIFY(!ui->chkBulkInsert->isChecked());
  }

  void listClicksSelectAndMarkTheListActive() {
    form->SSTab1.setTab(2);
    for (const char* t : {"Sales BR1", "Receipt BR1", "Job Card BR1"}) form->lstVchtypes.addItem(t);
    int clicks = 0;
    bool listWasActive = true;
    form->lstVchtypes.onClick = [&] {
      ++clicks;
      listWasActive = listWasActive && form->activeControl == &form->lstVchtypes;
    };
    // Selections by code do not count as the operator's.
    form->lstVchtypes.setSelected(0, true);
    QVERIFY(form->activeControl == nullptr);
    QVERIFY(!listWasActive);
    binder->flush();
    QCoreApplication::processEvents();
    clicks = 0;
    listWasActive = true;
    clickEntry(ui->lstVchtypes, 2);
    QCOMPARE(clicks, 1);
    QVERIFY(listWasActive);
    QVERIFY(form->lstVchtypes.selected(0));
    QVERIFY(form->lstVchtypes.selected(2));
    QCOMPARE(form->lstVchtypes.listIndex(), 2);
    clickEntry(ui->lstVchtypes, 2);
    QVERIFY(!form->lstVchtypes.selected(2));
    QCOMPARE(clicks, 2);

    // A right press goes to the mouse-down handler and leaves the entries as they were.
    int pressed = 0;
    form->lstVchtypes_MouseDown = [&](int button) { pressed = button; };
    binder->forwardMouseDown(form->lstVchtypes, &form->lstVchtypes_MouseDown);
    clickEntry(ui->lstVchtypes, 1, Qt::RightButton);
    QCOMPARE(pressed, 2);
    QVERIFY(!form->lstVchtypes.selected(1));
    QCOMPARE(clicks, 2);

    // A single-choice list: one click, one change.
    form->SSTab1.setTab(5);
    for (const char* t : {"ST/1", "ST/2"}) form->lstTransfer.addItem(t);
    binder->flush();
    QCoreApplication::processEvents();
    int transferClicks = 0;
    form->lstTransfer.onClick = [&] { ++transferClicks; };
    clickEntry(ui->lstTransfer, 0);
    clickEntry(ui->lstTransfer, 1);
    QCOMPARE(transferClicks, 2);
    QVERIFY(!form->lstTransfer.selected(0));
    QVERIFY(form->lstTransfer.selected(1));
  }

  void choicesPagesDatesAndTextsReachTheModel() {
    form->SSTab1.setTab(5);
    for (const char* t : {"Stock Transfer", "Interim Transfer"}) form->cboInterimTransferVchtype.addItem(t, 40);
    binder->flush();
    QCoreApplication::processEvents();
    int changes = 0;
    form->cboInterimTransferVchtype.onChange = [&] { ++changes; };
    ui->cboInterimTransferVchtype->setFocus();
    QTest::keyClick(ui->cboInterimTransferVchtype, Qt::Key_Down);
    QCOMPARE(changes, 1);
    QCOMPARE(form->cboInterimTransferVchtype.listIndex(), 0);
    QCOMPARE(form->cboInterimTransferVchtype.text(), std::string("Stock Transfer"));

    form->SSTab2.setVisible(true);
    int previous = -1;
    form->SSTab2.onClick = [&](int p) { previous = p; };
    QTabBar* bar = ui->SSTab2->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    QCOMPARE(form->SSTab2.tab(), 2);
    QCOMPARE(previous, 0);

    form->dtpdate.setVisible(true);
    ui->dtpdate->setDate(QDate(2025, 3, 5));
    QCOMPARE(form->dtpdate.value(), (DateTime{2025, 3, 5}));

    // The wizard's typed texts, in a window of its own on the same binder.
    SettingsWindow wizard(form->frmsettings);
    QVERIFY(binder->bindAll(form->frmsettings, &wizard).isEmpty());
    form->frmsettings.window.setVisible(true);
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    auto& w = wizard.ui();
    w.TXTsYNCsqlSERVERname->setFocus();
    QTest::keyClicks(w.TXTsYNCsqlSERVERname, "HO-SERVER");
    QCOMPARE(form->frmsettings.TXTsYNCsqlSERVERname.text(), std::string("HO-SERVER"));
    form->frmsettings.showPage(2);
    form->frmsettings.cboLocalCompany.addItem("BR01");
    binder->flush();
    QCoreApplication::processEvents();
    w.cboLocalCompany->setFocus();
    QTest::keyClicks(w.cboLocalCompany, "BR02");
    QCOMPARE(form->frmsettings.cboLocalCompany.text(), std::string("BR02"));
    QCOMPARE(form->frmsettings.cboLocalCompany.listIndex(), -1);
    // Model texts show on the typed-in boxes without echoing back.
    form->frmsettings.cboLocalCompany.setText("BR01");
    binder->flush();
    QCOMPARE(w.cboLocalCompany->currentIndex(), 0);
    form->frmsettings.txtFinish.setText("DESKTOP CONNECTION : x");
    QCOMPARE(w.txtFinish->toPlainText(), QString("DESKTOP CONNECTION : x"));
    binder.reset();
  }

  void timerFollowsTheModelAndNeverRunsInsideItself() {
    auto& t = form->timertrigger;
    int passes = 0;
    int depth = 0;
    int deepest = 0;
    t.onTimer = [&] {
      ++passes;
      deepest = std::max(deepest, ++depth);
      // A pass that lets the window breathe for longer than the interval.
      QElapsedTimer e;
      e.start();
      while (e.elapsed() < 60) QCoreApplication::processEvents();
      --depth;
    };
    t.setInterval(10);
    t.setEnabled(true);
    QVERIFY(binder->timerFor(t)->isActive());
    QTRY_VERIFY(passes >= 2);
    QCOMPARE(deepest, 1);
    t.setEnabled(false);
    QVERIFY(!binder->timerFor(t)->isActive());
    // No interval, no timer.
    t.setInterval(0);
    t.setEnabled(true);
    QVERIFY(!binder->timerFor(t)->isActive());
  }

  void modelOutlivingItsWindowIsSafe() {
    binder.reset();
    window.reset();
    form->lblStatus.setCaption("still fine");
    form->msgActivity.addItem("x");
    QCoreApplication::processEvents();
  }
};

int runBinderTests(int argc, char** argv) {
  BinderTest t;
  return QTest::qExec(&t, argc, argv);
}

}  // namespace erpsync::qt::test

#include "binder_test.moc"
