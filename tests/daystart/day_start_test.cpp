// Day start on the testbed pair: the branch's stock and ledger become head office's figures for its
// cost centre, a working day with sales is refused, and a failure anywhere in the rebuild leaves the
// branch exactly as it was.
#include "daycycle/day_start.h"

#include "app/daycycle_view.h"
#include "day_start_fixture.h"
#include "shared/date_text.h"

namespace erpsync::test {
namespace {

const char* const kStockByBatch =
    "SELECT ItemID, BatchUnique, SUM(QtyIN - QtyOut) FROM tblStockHistory WHERE CCID = 2 GROUP BY ItemID, BatchUnique";
const char* const kLedgerBalances =
    "SELECT tblLedger.LID, SUM(tblVoucher.AmountD - tblVoucher.AmountC) FROM tblVoucher INNER JOIN tblLedger ON "
    "tblVoucher.DrLID = tblLedger.LID WHERE tblVoucher.CCID = 2 AND tblLedger.LID > 0 GROUP BY tblLedger.LID";

class DayStartTest : public DayStartFixture {
 protected:
  // Day Start is the window's button: its tests set the window's controls.
  DayStartTest() { readDayFromWindow(); }

 protected:
  daycycle::DayStartOutcome runSuccessful() {
    host.expectBox(Answer::Yes, "DAY START");
    host.expectBox(Answer::OK, "Opening stock brought from head office: ");
    host.expectBox(Answer::OK, "Day started successfully");
    return onDayStart(ctx);
  }
};

TEST_F(DayStartTest, BranchStockAndBalancesBecomeHeadOfficesOfTheCostCentre) {
  // Something old at the branch that the rebuild must replace.
  branch().execute(
      "INSERT INTO tblVoucher (MainID, TrID, TrType, DrLID, CrLID, AmountD, AmountC, CCID) "
      "VALUES (1, 1, '', 1, 0, 999, 0, 2)");
  const auto o = runSuccessful();
  ASSERT_TRUE(o.completed);
  EXPECT_FALSE(o.disparity);
  EXPECT_EQ(host.boxes[host.boxes.size() - 2].text,
            "Opening stock brought from head office: " + std::to_string(o.stockLines) + " stock lines and " +
                std::to_string(o.ledgers) + " ledger balances for " + ddMMMyyyy(today) + ".");

  // Stock per item and batch, and per ledger, exactly as at head office.
  const auto centralStock = totals(central(), kStockByBatch);
  EXPECT_EQ(totals(branch(), kStockByBatch), centralStock);
  EXPECT_EQ(o.stockLines, scalar(central(), "SELECT COUNT(*) FROM tblStock WHERE CCID = 2"));
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStock"), o.stockLines);
  EXPECT_EQ(totals(branch(), kLedgerBalances), totals(central(), kLedgerBalances));
  // A zero balance is not posted; every other ledger is one entry of two rows.
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblVoucher"), 2 * o.ledgers);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblVoucher WHERE USerNarration = 'OPENING SYNCH'"), 2 * o.ledgers);
  // Ledger 9 holds a net credit of 250 at head office: posted as a credit of 250.
  EXPECT_EQ(scalar(branch(), "SELECT AmountD FROM tblVoucher WHERE DrLID = 0 AND CrLID = 9 AND Reconciled = 0"), 250);
  EXPECT_EQ(scalar(branch(), "SELECT AmountC FROM tblVoucher WHERE DrLID = 9 AND CrLID = 0 AND Reconciled = 1"), 250);

  // One opening journal of voucher type 1005 dated the working day, a detail row per line.
  auto j = rows(branch(), "SELECT InvId, VchTypeid, InvDate, CCID, UserName FROM tblStockJournal");
  ASSERT_EQ(j.size(), 1u);
  EXPECT_EQ(j.at(0, "VchTypeid").toInt(), 1005);
  EXPECT_EQ(j.at(0, "InvDate").toDateTime(), today);
  EXPECT_EQ(j.at(0, "CCID").toInt(), 2);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStockJournalDetail WHERE InvID = " + j.at(0, "InvId").toString()),
            o.stockLines);
  // Without expiry tracking every detail row carries 12 May 2020.
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStockJournalDetail WHERE Expiry = '2020-05-12'"), o.stockLines);

  // The oversold batch of item 3 (-7 at head office) went out as a line of 7.
  EXPECT_EQ(scalar(branch(), "SELECT QtyOut FROM tblStockJournalDetail WHERE ItemId = 3"), 7);
  EXPECT_EQ(scalar(branch(), "SELECT Qty FROM tblStock WHERE ItemID = 3"), -7);
  // The batch kept in no godown at head office is in godown 1 here.
  EXPECT_EQ(scalar(branch(), "SELECT GodownID FROM tblStock WHERE ItemID = 4"), 1);
  // The batch code with a quote arrived whole.
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStock WHERE BatchCode = 'LOT''5' AND ItemID = 5"), 1);

  // Day rows and window.
  EXPECT_EQ(latestDayRow(branch()), "Day Start Finished");
  EXPECT_EQ(latestDayRow(central()), "Day Start Finished");
  EXPECT_EQ(form.lblStatus.caption(), "Day start over. waiting for next action from user..");
  EXPECT_EQ(form.lblStatusMain.caption(), "Day start over");
  EXPECT_NE(form.lblDaystart.caption(), "");
  EXPECT_EQ(form.ChkAutoSynch.value(), 0);  // as the operator left it, AutoSyncOn being off
  // The day in words, for the working date.
  // The day was started at this computer's date and time (the pinned clock's, another date than the
  // working date unless the tests run on 5 December 2026).
  const std::string startedOn = form.lblDaystart.caption() == ddMMMyyyy(today) ? "" : " on " + form.lblDaystart.caption();
  EXPECT_EQ(form.lblDaystart.caption(), "05/Dec/2026");
  EXPECT_EQ(form.lblDayState.caption(),
            "Day " + ddMMMyyyy(today) + ": open since " + form.lblDaystartTime.caption() + startedOn + ".");
  EXPECT_FALSE(host.busy);
  EXPECT_FALSE(form.frmInitialize.visible());
  EXPECT_EQ(form.frmInitialize.prg.value(), o.stockLines);

  // A second day start rebuilds to the same figures (nothing doubled).
  const auto o2 = runSuccessful();
  ASSERT_TRUE(o2.completed);
  EXPECT_EQ(totals(branch(), kStockByBatch), centralStock);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblVoucher"), 2 * o.ledgers);
}

// The day start works for the run's working day, whatever the date picker shows: the journal is dated
// that day and the day line names it.
TEST_F(DayStartTest, TheWorkingDayGivenIsTheDayStarted) {
  const db::DateTime tomorrow = db::DateTime::fromDayNumber(today.dayNumber() + 1);
  ctx.workingDaySource = [this, tomorrow] {
    WorkingDay day;
    day.date = tomorrow;
    day.costCentreId = 2;
    day.costCentreName = "Branch Two";
    day.intervalMinutes = 2;
    return day;
  };
  form.dtpdate.setValue(today);
  const auto o = runSuccessful();
  ASSERT_TRUE(o.completed);
  EXPECT_EQ(rows(branch(), "SELECT InvDate FROM tblStockJournal").at(0, 0).toDateTime(), tomorrow);
  EXPECT_EQ(form.lblDayState.caption().rfind("Day " + ddMMMyyyy(tomorrow) + ": open since ", 0), 0u)
      << form.lblDayState.caption();
}

TEST_F(DayStartTest, AnsweringNoChangesNothing) {
  const auto before = snapshot(branch());
  host.expectBox(Answer::No, "DAY START");
  EXPECT_FALSE(onDayStart(ctx).started);
  EXPECT_EQ(snapshot(branch()), before);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblDayActivity"), 0);
}

TEST_F(DayStartTest, WorkingDayWithSalesIsRefusedAndChangesNothing) {
  runSuccessful();
  branch().execute("INSERT INTO tblSales (InvID, InvNo, InvDate, LockMode) VALUES (1, '1', " + std::string("'") +
                   today.iso().substr(0, 10) + "', 0)");
  branch().execute("INSERT INTO tblSales (InvID, InvNo, InvDate, LockMode) VALUES (2, '2', '2030-01-01', 0)");
  const auto before = snapshot(branch());
  form.ChkAutoSynch.setValue(1);
  host.expectBox(Answer::Yes, "DAY START");
  form.timertrigger.setEnabled(true);
  host.expectBox(Answer::OK, "Transactions are already entered on " + ddMMMyyyy(today) +
                                 ", so that day cannot be started");
  const auto o = onDayStart(ctx);
  EXPECT_TRUE(o.refused);
  EXPECT_EQ(host.boxes.back().icon, Icon::Critical);
  EXPECT_EQ(snapshot(branch()), before);
  // No day row that would block data entry on either side, and the day's sales stay open for editing.
  EXPECT_EQ(latestDayRow(branch()), "Day Start Finished");
  EXPECT_EQ(latestDayRow(central()), "Day Start Finished");
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblDayActivity"), 2);  // the earlier day start's two
  EXPECT_EQ(scalar(branch(), "SELECT LockMode FROM tblSales WHERE InvID = 1"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT LockMode FROM tblSales WHERE InvID = 2"), 0);
  // The refusal names the next step, and AutoSynch is back as the operator left it (ticked, passes
  // running) though "Keep AutoSynch Always On" is off.
  EXPECT_NE(host.boxes.back().text.find("close it with Day End"), std::string::npos);
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
  EXPECT_TRUE(form.timertrigger.enabled());
}

TEST_F(DayStartTest, FailureAtTheMiddleLineLeavesTheBranchAsBefore) {
  runSuccessful();
  const auto before = snapshot(branch());
  const long long lines = scalar(central(), "SELECT COUNT(*) FROM tblStock WHERE CCID = 2");
  host.setStrict(false);
  // The stock-history insert of the middle line fails: the posting gives the line up.
  faulty->failOn("insert into tblstockHistory", static_cast<int>(lines / 2), "Disk full while writing history");
  host.expectBox(Answer::Yes, "DAY START");
  const auto o = onDayStart(ctx);
  EXPECT_TRUE(o.aborted);
  EXPECT_EQ(faulty->failures, 1);
  EXPECT_EQ(snapshot(branch()), before);
  // The day did not start: its "started" rows are taken back on both sides, nothing stays blocked.
  EXPECT_EQ(latestDayRow(branch()), "Day Start Finished");
  EXPECT_EQ(latestDayRow(central()), "Day Start Finished");
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblDayActivity"), 2);
  ASSERT_FALSE(host.balloons.empty());
  EXPECT_NE(host.balloons.back().text.find("could not be posted"), std::string::npos);
  EXPECT_NE(form.lblStatus.caption().find("as they were before"), std::string::npos);
  EXPECT_FALSE(host.busy);
  EXPECT_FALSE(form.frmInitialize.visible());
}

TEST_F(DayStartTest, FailingLedgerEntryUndoesTheWholeRebuild) {
  runSuccessful();
  const auto before = snapshot(branch());
  host.setStrict(false);
  faulty->failOn("insert into  tblvoucher", 3, "Arithmetic overflow error");  // second ledger, first row
  host.expectBox(Answer::Yes, "DAY START");
  EXPECT_TRUE(onDayStart(ctx).aborted);
  EXPECT_EQ(snapshot(branch()), before);
}

TEST_F(DayStartTest, LostConnectionMidRebuildLeavesTheBranchAsBefore) {
  runSuccessful();
  const auto before = snapshot(branch());
  host.setStrict(false);
  faulty->failOn("insert into tblStockJournalDetail", 2, "[DBNETLIB][ConnectionWrite (send()).]General network error",
                 false, /*close=*/true);
  host.expectBox(Answer::Yes, "DAY START");
  EXPECT_TRUE(onDayStart(ctx).aborted);
  auto fresh = freshBranch();
  EXPECT_EQ(snapshot(*fresh), before);
}

TEST_F(DayStartTest, CostCentreZeroAndEmptyCentralStock) {
  // A cost centre with no stock at head office: warned, and the balances still come in (none here).
  form.lblCostcentre.setTag("7");
  host.expectBox(Answer::Yes, "DAY START");
  host.expectBox(Answer::OK, "There is no stock available to import");
  host.expectBox(Answer::OK, "Opening stock brought from head office: 0 stock lines");
  host.expectBox(Answer::OK, "Day started successfully");
  auto o = onDayStart(ctx);
  EXPECT_TRUE(o.completed);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStockJournal"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStock"), 0);

  // Head office rows of cost centre 0 are posted under cost centre 1; a null quantity is an out line
  // of 0 (no history), a negative one an out line.
  central().execute("UPDATE tblStock SET CCID = 0 WHERE CCID = 1 AND ItemID IN (1, 2)");
  central().execute("UPDATE tblStockHistory SET CCID = 0 WHERE CCID = 1 AND ItemID = 1");
  form.lblCostcentre.setTag("0");
  host.expectBox(Answer::Yes, "DAY START");
  host.expectBox(Answer::OK, "Opening stock brought from head office: 2 stock lines");
  host.expectBox(Answer::OK, "disparities");  // head office counts cost centre 0, the branch 1
  host.expectBox(Answer::OK, "Day started successfully");
  o = onDayStart(ctx);
  EXPECT_TRUE(o.completed);
  EXPECT_EQ(o.stockLines, 2);
  EXPECT_TRUE(o.disparity);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStock WHERE CCID = 1"), 2);
  EXPECT_EQ(scalar(branch(), "SELECT CCID FROM tblStockJournal"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT QtyOut FROM tblStockJournalDetail WHERE ItemId = 2"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStockHistory WHERE ItemID = 2"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStockHistory WHERE ItemID = 1 AND QtyIN > 0 AND CCID = 1"), 1);
}

}  // namespace
}  // namespace erpsync::test
