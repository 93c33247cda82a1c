// A stop asked for while work is under way (the service being stopped, Ctrl-C): the upload (between
// batches) and the master download end between units, keep what they finished, and free the push lock; the next run
// carries on where they stopped and nothing arrives twice.
#include <gtest/gtest.h>

#include "pair_fixture.h"
#include "simulator.h"
#include "sync/download_masters.h"
#include "sync/upload_transactions.h"

namespace erpsync {
namespace {

class StopBetweenUnits : public test::SyncPairFixture {
 protected:
  StopBetweenUnits() { host.setStrict(false); }

  void enterSales(int sales) {
    testbed::SimulationOptions o;
    o.sales = sales;
    o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = 0;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    testbed::simulateErpActivity(&branch(), nullptr, o);
  }
  // The stop arrives at the first yield after n vouchers reached head office (possibly before the
  // n-th one is marked at the branch).
  void stopOnceCentralHas(long long n) {
    host.onDoEvents = [this, n] {
      if (scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2") >= n) host.stopAsked = true;
    };
  }
  long long lockRows() {
    return scalar(central(), "SELECT count(*) FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH'");
  }
  long long duplicateSales() {
    return scalar(central(),
                  "SELECT count(*) FROM (SELECT InvNo FROM tblSales WHERE CCID = 2 GROUP BY InvNo, InvDate, VchTypeID "
                  "HAVING count(*) > 1) d");
  }
};

// The upload's unit is a batch of fifty vouchers, one central transaction: a stop ends the run after
// the batch in hand.
TEST_F(StopBetweenUnits, UploadEndsAfterTheBatchInHandAndTheNextRunSendsTheRest) {
  enterSales(120);
  ageBranchChanges(10);
  stopOnceCentralHas(1);
  sync::UploadOutcome first = sync::uploadTransactions(ctx, false);
  EXPECT_TRUE(first.stopped);
  EXPECT_EQ(first.uploaded, 50);
  EXPECT_EQ(first.failed, 0);
  // What went up is marked at the branch; the rest still waits, unmarked.
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 50);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblSales WHERE SyncStat = 1"), 50);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblSales WHERE isnull(SyncStat, 0) = 0"), 70);
  EXPECT_EQ(lockRows(), 0);
  // The mark is saved and stops at the last voucher handled, not at the end of the change log.
  EXPECT_GT(ctx.MaxActivityIDTrans, 0);
  EXPECT_LT(ctx.MaxActivityIDTrans, scalar(branch(), "SELECT max(ID) FROM tblActivity"));
  EXPECT_EQ(std::stoll(ctx.readLoopSetting("MaxActivityIDTrans", "0")), ctx.MaxActivityIDTrans);

  host.onDoEvents = nullptr;
  host.stopAsked = false;
  sync::UploadOutcome second = sync::uploadTransactions(ctx, false);
  EXPECT_FALSE(second.stopped);
  EXPECT_EQ(second.uploaded, 70);
  EXPECT_EQ(second.alreadyCentral, 0);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 120);
  EXPECT_EQ(duplicateSales(), 0);
  EXPECT_EQ(lockRows(), 0);
}

TEST_F(StopBetweenUnits, AStopBeforeTheFirstVoucherTakesNothingAndLeavesTheLockFree) {
  enterSales(3);
  ageBranchChanges(10);
  const long long markBefore = ctx.MaxActivityIDTrans;
  host.stopAsked = true;
  sync::UploadOutcome out = sync::uploadTransactions(ctx, false);
  EXPECT_TRUE(out.stopped);
  EXPECT_EQ(out.uploaded, 0);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 0);
  EXPECT_EQ(ctx.MaxActivityIDTrans, markBefore);
  EXPECT_EQ(lockRows(), 0);
}

TEST_F(StopBetweenUnits, MasterDownloadKeepsTheChangesBeforeTheStopAndRedoesNoneOfThem) {
  testbed::SimulationOptions o;
  o.sales = o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = 0;
  o.masterChanges = 12;
  o.boardRates = 0;
  o.date = today;
  testbed::simulateErpActivity(nullptr, &central(), o);
  const long long logEnd = scalar(central(), "SELECT max(ID) FROM tblActivity");
  host.stopAsked = true;
  sync::MasterDownloadOutcome stopped = sync::downloadMasters(ctx);
  EXPECT_FALSE(stopped.completed);
  EXPECT_EQ(stopped.applied, 0);
  EXPECT_LT(ctx.MaxActivityID, logEnd);

  host.stopAsked = false;
  sync::MasterDownloadOutcome rest = sync::downloadMasters(ctx);
  EXPECT_TRUE(rest.completed);
  EXPECT_GT(rest.applied, 0);
  EXPECT_EQ(ctx.MaxActivityID, logEnd);
}

}  // namespace
}  // namespace erpsync
