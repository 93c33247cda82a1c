// Operations meeting a fault in the same process (the fault injection's API): the cases the sweep
// found, kept as regression tests.
#include <gtest/gtest.h>

#include "checker.h"
#include "db/embedded/fault_injection.h"
#include "pair_fixture.h"
#include "simulator.h"
#include "sync/download_masters.h"
#include "sync/upload_transactions.h"

namespace erpsync {
namespace {

namespace faults = db::embedded::faults;

class OperationFaults : public test::SyncPairFixture {
 protected:
  OperationFaults() {
    host.setStrict(false);
    faults::reset();
  }
  ~OperationFaults() override { faults::reset(); }

  void plan(const std::string& text) {
    auto p = faults::parse(text);
    ASSERT_TRUE(p) << text;
    faults::configure(*p);
  }
  void changeMasters() {
    testbed::SimulationOptions o;
    o.sales = o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = 0;
    o.masterChanges = 4;
    o.boardRates = 0;
    testbed::simulateErpActivity(nullptr, &central(), o);
  }
  long long storedMark() { return std::stoll(ctx.readLoopSetting("MaxActivityID", "0")); }

  faultcheck::Checker check{*ctx.LocalConnection, *ctx.WebConnection, 2};
  const std::vector<std::string> masters{"tblItemMaster", "tblLedger", "tblArea"};
};

// A batch of master changes whose commit fails used to name a change past the end of the batch as
// the failed one, and the download read beyond its list (a crash, or worse). Now the batch counts as
// not applied: nothing of it at the branch, the mark before it, and the next pass brings it all.
TEST_F(OperationFaults, AMasterBatchWhoseCommitFailsIsNotAppliedAndComesWithTheNextPass) {
  changeMasters();
  const auto before = check.tables(branch(), masters);
  const long long markBefore = ctx.MaxActivityID;
  for (const char* kind : {"kind=error;error=1205", "kind=drop"}) {
    plan(std::string("at=1;on=commit;server=branch;") + kind);
    auto out = sync::downloadMasters(ctx);
    EXPECT_EQ(faults::fired(), 1) << kind;
    EXPECT_FALSE(out.completed) << kind;
    EXPECT_EQ(ctx.MaxActivityID, markBefore) << kind;
    faults::reset();
    if (std::string(kind) == "kind=drop") {
      // The lost link is found by the next use; the program opens it again as connect does.
      EXPECT_THROW(branch().query("SELECT 1"), db::DbError);
      branch().close();
      branch().open(companyConnectionString("BR01", kBranchServer));
    }
    EXPECT_EQ(check.tables(branch(), masters), before) << kind;
  }
  auto out = sync::downloadMasters(ctx);
  EXPECT_TRUE(out.completed);
  EXPECT_GT(ctx.MaxActivityID, markBefore);
  EXPECT_EQ(storedMark(), ctx.MaxActivityID);
  std::string diff;
  for (const auto& d : check.mastersEqual(masters)) diff += d + "\n";
  EXPECT_EQ(diff, "");
}

// The branch marks of uploaded vouchers share a branch transaction. When its commit fails, the central
// copies stand and the vouchers wait unmarked: the run stops, and the next run marks them by the
// receipt check (the branch recorded each send before it went up) with no second copy.
TEST_F(OperationFaults, BranchMarksLostWithTheirCommitAreRecoveredWithoutASecondCopy) {
  testbed::SimulationOptions o;
  o.sales = 8;
  o.notes = 3;
  o.orders = o.stockJournals = o.jobCards = o.edits = o.deletes = 0;
  o.masterChanges = o.boardRates = 0;
  o.date = today;
  testbed::simulateErpActivity(&branch(), nullptr, o);
  ageBranchChanges(5);
  const long long markBefore = ctx.MaxActivityIDTrans;
  for (const char* kind : {"kind=error;error=1205", "kind=drop"}) {
    branch().execute("UPDATE tblSales SET SyncStat = 0, ServInvID = NULL");
    branch().execute("UPDATE tblNotes SET SyncStat = 0, ServInvID = NULL");
    ageBranchChanges(5);
    // The branch's first commit records the sends, the second holds the marks.
    plan(std::string("at=2;on=commit;server=branch;") + kind);
    auto out = sync::uploadTransactions(ctx, false);
    EXPECT_EQ(faults::fired(), 1) << kind;
    EXPECT_TRUE(out.stopped) << kind;
    faults::reset();
    if (std::string(kind) == "kind=drop") {
      EXPECT_THROW(branch().query("SELECT 1"), db::DbError);
      branch().close();
      branch().open(companyConnectionString("BR01", kBranchServer));
    }
    EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblSales WHERE SyncStat = 1"), 0) << kind;
  }
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales"), 8);
  auto out = sync::uploadTransactions(ctx, false);
  EXPECT_EQ(out.uploaded, 0);
  EXPECT_EQ(out.alreadyCentral, 11);
  EXPECT_GT(ctx.MaxActivityIDTrans, markBefore);
  std::string diff;
  for (const auto& d : check.vouchers(true)) diff += d + "\n";
  EXPECT_EQ(diff, "");
}

// The master download reads one table's changed rows at head office at once. When that read fails,
// the outcome is the one a read per change gives: the changes before the first change of that table
// are applied, the mark stops just before it, and the next pass brings the rest.
TEST_F(OperationFaults, AFailedReadOfOneTablesChangesKeepsTheChangesBeforeIt) {
  changeMasters();
  plan("at=1;on=statement;server=central;match=from tblLedger where");
  auto out = sync::downloadMasters(ctx);
  EXPECT_EQ(faults::fired(), 1);
  EXPECT_FALSE(out.completed);
  faults::reset();
  const auto firstLedger = central().query("SELECT min(ID) FROM tblActivity WHERE TableName = 'tblLedger' AND ID > 0");
  EXPECT_LT(ctx.MaxActivityID, firstLedger.at(0, 0).toInt());
  out = sync::downloadMasters(ctx);
  EXPECT_TRUE(out.completed);
  std::string diff;
  for (const auto& d : check.mastersEqual(masters)) diff += d + "\n";
  EXPECT_EQ(diff, "");
}

}  // namespace
}  // namespace erpsync
