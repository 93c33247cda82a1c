// The transaction upload end to end: the ERP enters vouchers at the branch, the upload sends them to
// head office; and what happens when the link, the lock or a statement fails on the way.
#include "sync/upload_transactions.h"

#include <gtest/gtest.h>

#include "db/embedded/embedded_server.h"
#include "pair_fixture.h"
#include "simulator.h"
#include "sync/voucher_kinds.h"

namespace erpsync {
namespace {

class Upload : public test::SyncPairFixture {
 protected:
  Upload() { host.setStrict(false); }

  testbed::SimulationReport enter(int sales, int deletes = 0) {
    testbed::SimulationOptions o;
    o.sales = sales;
    o.orders = o.stockJournals = o.jobCards = 1;
    o.notes = 2;
    o.edits = 1;
    o.deletes = deletes;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    return testbed::simulateErpActivity(&branch(), nullptr, o);
  }
  void age(int minutes) { ageBranchChanges(minutes); }
  sync::UploadOutcome runUntilQuiet(int passes = 6) {
    sync::UploadOutcome total;
    for (int i = 0; i < passes; ++i) {
      auto o = sync::uploadTransactions(ctx, false);
      total.uploaded += o.uploaded;
      total.alreadyCentral += o.alreadyCentral;
      total.failed += o.failed;
      if (o.uploaded + o.alreadyCentral + o.deletesMarked == 0 && !o.busy) break;
    }
    return total;
  }

  // Every branch voucher is at head office exactly once, under the number its mark names, with all
  // its lines; returns the number of vouchers checked.
  int expectEveryVoucherCentralOnce() {
    int checked = 0;
    for (const auto& k : sync::voucherKinds()) {
      auto rs = branch().query("SELECT " + k.key + ", SyncStat, ServInvID, " + k.numberColumn + " FROM " + k.table);
      for (std::size_t r = 0; r < rs.size(); ++r) {
        ++checked;
        const std::string branchNo = rs.at(r, 0).toString(), centralNo = rs.at(r, 2).toString();
        EXPECT_EQ(rs.at(r, 1).toInt(), 1) << k.table << " " << branchNo << " not marked";
        EXPECT_EQ(scalar(central(), "SELECT count(*) FROM " + k.table + " WHERE " + k.numberColumn + " = '" +
                                        rs.at(r, 3).toString() + "' AND CCID = 2"),
                  1)
            << k.table << " " << branchNo;
        EXPECT_EQ(scalar(central(), "SELECT count(*) FROM " + k.table + " WHERE " + k.key + " = " + centralNo), 1);
        if (k.detail.empty()) continue;
        EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM " + k.detail + " WHERE " + k.key + " = " + branchNo),
                  scalar(central(), "SELECT count(*) FROM " + k.detail + " WHERE " + k.key + " = " + centralNo))
            << k.detail << " of " << branchNo;
      }
    }
    return checked;
  }
};

TEST_F(Upload, ADayOfVouchersArrivesOnceWithAllItsLines) {
  enter(6);
  age(3);
  auto out = runUntilQuiet();
  EXPECT_EQ(out.failed, 0);
  EXPECT_EQ(out.alreadyCentral, 0);
  EXPECT_EQ(out.uploaded, 6 + 1 + 1 + 1 + 2);  // six sales, an order, a journal, a job card, two notes
  EXPECT_EQ(expectEveryVoucherCentralOnce(), out.uploaded);
  EXPECT_GT(ctx.MaxActivityIDTrans, 0);
  EXPECT_EQ(std::stoll(ctx.readLoopSetting("MaxActivityIDTrans", "0")), ctx.MaxActivityIDTrans);
  EXPECT_EQ(form.lblserverStat.caption(), "FREE");
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH'"), 0);
  // Another pass finds nothing to do, and moves the mark past the rows the marks themselves logged, so
  // idle passes do not read them again.
  EXPECT_EQ(sync::uploadTransactions(ctx, false).uploaded, 0);
  EXPECT_EQ(ctx.MaxActivityIDTrans, scalar(branch(), "SELECT max(ID) FROM tblActivity"));
}

TEST_F(Upload, ChangesYoungerThanTheIntervalWaitAndDoNotMoveTheMark) {
  enter(2);
  age(1);
  auto out = sync::uploadTransactions(ctx, false);
  EXPECT_EQ(out.uploaded, 0);
  EXPECT_GT(out.waiting, 0);
  EXPECT_EQ(ctx.MaxActivityIDTrans, 0);
  // A change of yesterday 23:59 seen at 00:03 is four minutes old, not a day.
  branch().execute("UPDATE tblActivity SET ActionTime = DATEADD(minute, -4, getdate())");
  EXPECT_GT(sync::uploadTransactions(ctx, false).uploaded, 0);
}

// The pass's "N vouchers waiting" is the number of vouchers the branch holds unsent, the number the
// status line and the AutoSynch line give: an edited voucher is one, one deleted before it went is none.
TEST_F(Upload, WaitingIsCountedInVouchersAsTheBranchHoldsThem) {
  const auto report = enter(4, 2);
  ASSERT_GT(report.edits, 0);
  ASSERT_EQ(report.deletes, 2);
  long long unsent = 0;
  for (const auto& k : sync::voucherKinds())
    unsent += scalar(branch(), "SELECT count(*) FROM " + k.table + " WHERE isnull(SyncStat,0) <> 1");
  ASSERT_GT(unsent, 0);
  EXPECT_EQ(sync::uploadTransactions(ctx, false).waiting, unsent);
}

TEST_F(Upload, AVoucherWhoseMarkWasLostIsMarkedNotCopiedAgain) {
  enter(3);
  age(3);
  runUntilQuiet();
  const long long centralSales = scalar(central(), "SELECT count(*) FROM tblSales");
  // The state a crash between head office's commit and the branch mark leaves behind.
  branch().execute("UPDATE tblSales SET SyncStat = 0, ServInvID = NULL");
  branch().execute("UPDATE tblUploadJournal SET State = 0, CentralID = NULL");
  age(3);
  auto out = runUntilQuiet();
  EXPECT_EQ(out.uploaded, 0);
  EXPECT_GT(out.alreadyCentral, 0);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales"), centralSales);
  expectEveryVoucherCentralOnce();
}

TEST_F(Upload, AnotherBranchHoldingTheLockMeansWaiting) {
  enter(1);
  age(3);
  central().execute(
      "INSERT INTO tblDayActivity (Activity, BlockDataEntry, SQLSERVERNAME, SystemName, ActivitiesDetail, Timeof) "
      "VALUES ('BLOCKFASTPUSH', 1, 'Branch Two', '', 'Blocking for data pushing from client', getdate())");
  auto out = sync::uploadTransactions(ctx, false);
  EXPECT_TRUE(out.busy);
  EXPECT_EQ(out.uploaded, 0);
  EXPECT_EQ(form.lblStatus.caption(), "Server Busy with Branch Two. waiting.");
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblDayActivity WHERE SQLSERVERNAME = 'Branch Two'"), 1);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 0);
}

TEST_F(Upload, AFailedLineRollsTheWholeVoucherBackAndItStaysWaiting) {
  enter(2);
  age(3);
  // Head office lacks a column the branch lines carry.
  central().execute("ALTER TABLE tblSalesItem DROP COLUMN Qty");
  auto out = sync::uploadTransactions(ctx, false);
  EXPECT_GT(out.failed, 0);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblSales WHERE SyncStat = 1"), 0);
  ASSERT_FALSE(notices().empty());
  EXPECT_NE(notices()[0].find("CreateInsert trans QueriestblSales"), std::string::npos);
  // Once head office has the column again, the waiting vouchers go up (through the fallback).
  central().execute("ALTER TABLE tblSalesItem ADD Qty float NULL");
  runUntilQuiet();
  expectEveryVoucherCentralOnce();
}

TEST_F(Upload, BranchDeletesAreMarkedAtHeadOfficeNeverDeleted) {
  enter(3);
  age(3);
  runUntilQuiet();
  auto sale = branch().query("SELECT TOP 1 InvID, ServInvID FROM tblSales ORDER BY InvID");
  const std::string branchNo = sale.at(0, 0).toString(), centralNo = sale.at(0, 1).toString();
  branch().execute("DELETE FROM tblSalesItem WHERE InvID = " + branchNo);
  branch().execute("DELETE FROM tblSales WHERE InvID = " + branchNo);
  age(3);
  sync::uploadTransactions(ctx, false);
  EXPECT_EQ(rows(central(), "SELECT Party FROM tblSales WHERE InvID = " + centralNo).at(0, 0).toString(),
            "#DELETEDFROMBRANCH#");
}

// The run works for the working day it is given, not for what the window shows: its interval decides
// what is old enough, its cost centre's name is this branch's in the push lock, and its cost centre's
// id limits the deletion marks to this branch's copies.
TEST_F(Upload, TheWorkingDayDecidesNotTheWindow) {
  ctx.workingDaySource = [this] {
    WorkingDay d;
    d.date = today.dateOnly();
    d.costCentreId = 2;
    d.costCentreName = "Headless North";
    d.intervalMinutes = 0;
    return d;
  };
  form.lblCostcentre.setCaption("Branch Two");
  form.lblCostcentre.setTag("9");
  enter(3);  // entered just now: too young for the window's two minutes, old enough for no interval
  central().execute(
      "INSERT INTO tblDayActivity (Activity, BlockDataEntry, SQLSERVERNAME, SystemName, ActivitiesDetail, Timeof) "
      "VALUES ('BLOCKFASTPUSH', 1, 'Branch Two', '', 'Blocking for data pushing from client', getdate())");
  auto out = sync::uploadTransactions(ctx, false);
  EXPECT_EQ(out.waiting, 0);
  EXPECT_TRUE(out.busy);
  EXPECT_EQ(out.busyHolder, "Branch Two");
  EXPECT_EQ(form.lblStatus.caption(), "Server Busy with Branch Two. waiting.");
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales"), 0);

  central().execute("DELETE FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH'");
  runUntilQuiet();
  expectEveryVoucherCentralOnce();
  auto sale = branch().query("SELECT TOP 1 InvID, ServInvID FROM tblSales ORDER BY InvID");
  const std::string branchNo = sale.at(0, 0).toString(), centralNo = sale.at(0, 1).toString();
  branch().execute("DELETE FROM tblSalesItem WHERE InvID = " + branchNo);
  branch().execute("DELETE FROM tblSales WHERE InvID = " + branchNo);
  EXPECT_EQ(sync::uploadTransactions(ctx, false).deletesMarked, 1);
  EXPECT_EQ(rows(central(), "SELECT Party FROM tblSales WHERE InvID = " + centralNo).at(0, 0).toString(),
            "#DELETEDFROMBRANCH#");
}

// Vouchers still waiting when the change log has nothing for them (emptied by a purge of the log, or
// written by a program that does not log) all go up, of every kind, with their lines.
TEST_F(Upload, WaitingVouchersOfEveryKindGoUpWithoutTheirLogRows) {
  enter(2);
  branch().execute("DELETE FROM tblActivity");
  workingDay.intervalMinutes = 0;
  auto out = runUntilQuiet();
  EXPECT_EQ(out.failed, 0);
  EXPECT_EQ(out.uploaded, 2 + 1 + 1 + 1 + 2);
  EXPECT_EQ(expectEveryVoucherCentralOnce(), out.uploaded);
}

TEST_F(Upload, UnreadableChangeLogEndsTheRunWithoutTakingTheLock) {
  enter(1);
  branch().execute("DROP TABLE tblActivity");
  auto out = sync::uploadTransactions(ctx, false);
  EXPECT_TRUE(out.stopped);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH'"), 0);
}

}  // namespace
}  // namespace erpsync
