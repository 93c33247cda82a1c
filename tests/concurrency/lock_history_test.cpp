// The push lock's history at head office, recorded by triggers while the real lock operations and the
// real upload run: takes, releases, a stale row cleared, and the lock rows each voucher arrived under.
#include <gtest/gtest.h>

#include "branch_check.h"
#include "db/sql_quote.h"
#include "pair_fixture.h"
#include "simulator.h"
#include "sync/server_lock.h"
#include "sync/upload_transactions.h"

namespace erpsync::test {
namespace {

class LockHistory : public SyncPairFixture {
 protected:
  void SetUp() override { testbed::installLockRecorder(central()); }
  testbed::LockFigures figures() { return testbed::readLockHistory(central(), {{2, "Branch One"}}); }
  long long events(const std::string& event) {
    return scalar(central(), "SELECT count(*) FROM tblLockHistory WHERE Event=" + db::sqlQuote(event));
  }
};

TEST_F(LockHistory, TakesReleasesAndAStaleRowClearedAreRecordedInOrder) {
  testbed::installLockRecorder(central());  // a second time changes nothing
  // A holder that stopped two minutes ago; this branch clears its row and takes the lock.
  central().execute(
      "INSERT INTO tblDayActivity (Activity, BlockDataEntry, SQLSERVERNAME, SystemName, ActivitiesDetail, Timeof) "
      "VALUES ('BLOCKFASTPUSH', 1, 'Branch Two', '', 'Blocking for data pushing from client', DATEADD(minute, -2, "
      "getdate()))");
  ASSERT_TRUE(sync::takeServerLock(ctx));
  ASSERT_TRUE(sync::refreshServerLock(ctx));
  sync::releaseServerLock(ctx);

  auto f = figures();
  EXPECT_EQ(f.takes, 2);
  EXPECT_EQ(f.handovers, 1);
  EXPECT_EQ(f.staleClears, 1);
  EXPECT_EQ(f.overlaps, 0);
  EXPECT_EQ(events("DROP"), 2);
  // Refreshing the time is not a take.
  EXPECT_EQ(events("TAKE"), 2);
  auto order = central().query("SELECT Event, Holder FROM tblLockHistory ORDER BY ID");
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(order.at(1, 0).toString() + " " + order.at(1, 1).toString(), "DROP Branch Two");
  EXPECT_EQ(order.at(2, 0).toString() + " " + order.at(2, 1).toString(), "TAKE Branch One");
}

TEST_F(LockHistory, VouchersUploadedUnderTheLockAreJudgedInsideItAndOneSlippedInIsNot) {
  testbed::SimulationOptions o;
  o.sales = 3;
  o.notes = 2;
  o.orders = o.stockJournals = o.jobCards = 0;
  o.edits = o.deletes = 0;
  o.masterChanges = o.boardRates = 0;
  testbed::simulateErpActivity(&branch(), nullptr, o);
  ageBranchChanges(10);
  auto up = sync::uploadTransactions(ctx, false);
  ASSERT_EQ(up.uploaded, 5) << notices().size();
  EXPECT_EQ(events("VOUCHER"), 5);
  auto f = figures();
  EXPECT_EQ(f.vouchersOutside, 0);
  EXPECT_EQ(f.overlaps, 0);

  // A copy of one of them written at head office with no lock held, as a second program would.
  central().execute(
      "INSERT INTO tblNotes (VchID, VchNo, VchDate, VchTypeID, LedgerID, Amount, CCID) SELECT max(VchID) "
      "+ 1, 'X1', getdate(), 202, 1, 1, 2 FROM tblNotes");
  f = figures();
  EXPECT_EQ(f.vouchersOutside, 1);
  ASSERT_FALSE(f.samples.empty());
  EXPECT_NE(f.samples[0].find("Branch One"), std::string::npos) << f.samples[0];
}

}  // namespace
}  // namespace erpsync::test
