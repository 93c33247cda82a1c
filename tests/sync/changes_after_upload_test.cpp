// What happens to a voucher after it went up reaches head office too: a deletion marks head office's
// copy of that voucher (and only that one) however the send before it ended, an edit replaces the copy,
// and neither is lost with a failed batch, a change log of another date or a voucher type no longer
// chosen. Each case ends with head office holding exactly the branch's live vouchers.
#include <gtest/gtest.h>

#include "daycycle/day_end.h"
#include "db/embedded/fault_injection.h"
#include "pair_fixture.h"
#include "reconcile/activity_marks.h"
#include "reconcile/branch_status.h"
#include "simulator.h"
#include "sync/upload_batch.h"
#include "sync/upload_transactions.h"
#include "sync/voucher_kinds.h"

namespace erpsync {
namespace {

namespace faults = db::embedded::faults;

constexpr const char* kRetired = "#DELETEDFROMBRANCH#";

class ChangesAfterUpload : public test::SyncPairFixture {
 protected:
  ChangesAfterUpload() {
    host.setStrict(false);
    faults::reset();
  }
  ~ChangesAfterUpload() override { faults::reset(); }

  void enterSales(int sales, unsigned seed = 1) {
    testbed::SimulationOptions o;
    o.sales = sales;
    o.orders = o.stockJournals = o.jobCards = o.notes = 0;
    o.edits = o.deletes = 0;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    o.seed = seed;
    testbed::simulateErpActivity(&branch(), nullptr, o);
  }
  sync::UploadOutcome pass() {
    ageBranchChanges(3);
    return sync::uploadTransactions(ctx, false);
  }
  void fault(const std::string& plan) {
    std::string why;
    auto p = faults::parse(plan, &why);
    ASSERT_TRUE(p) << why;
    faults::configure(*p);
  }
  void reconnectCentral() {
    faults::reset();
    ctx.WebConnection->close();
    ctx.WebConnection->open(companyConnectionString("HO01", kCentralServer));
  }
  // The ERP deletes a sale: its lines, then the header, in one transaction.
  void deleteSale(const std::string& number) {
    const std::string id = branch().query("SELECT InvID FROM tblSales WHERE InvNo='" + number + "'").at(0, 0).toString();
    db::Transaction t(branch());
    branch().execute("DELETE FROM tblSalesItem WHERE InvID=" + id);
    branch().execute("DELETE FROM tblSales WHERE InvID=" + id);
    t.commit();
  }
  long long liveCopies(const std::string& number) {
    return scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID=2 AND InvNo='" + number +
                                 "' AND isnull(Party,'')<>'" + kRetired + "'");
  }
  // Head office holds exactly the branch's sales, each once, live, with the same lines and amount.
  void expectHeadOfficeAsBranch() {
    auto b = branch().query("SELECT InvNo, NetAmount, SyncStat, ServInvID, InvID FROM tblSales WHERE CCID=2 ORDER BY InvNo");
    auto c = central().query("SELECT InvNo, NetAmount, InvID FROM tblSales WHERE CCID=2 AND isnull(Party,'')<>'" +
                             std::string(kRetired) + "' ORDER BY InvNo");
    ASSERT_EQ(b.size(), c.size()) << "live copies at head office";
    for (std::size_t r = 0; r < b.size(); ++r) {
      EXPECT_EQ(b.at(r, 0).toString(), c.at(r, 0).toString());
      EXPECT_DOUBLE_EQ(b.at(r, 1).toDouble(), c.at(r, 1).toDouble()) << b.at(r, 0).toString();
      EXPECT_EQ(b.at(r, 2).toInt(), 1) << b.at(r, 0).toString() << " still waits";
      EXPECT_EQ(b.at(r, 3).toInt(), c.at(r, 2).toInt()) << b.at(r, 0).toString() << " names another copy";
      EXPECT_EQ(scalar(branch(), "SELECT sum(Qty) FROM tblSalesItem WHERE InvID=" + b.at(r, 4).toString()),
                scalar(central(), "SELECT sum(Qty) FROM tblSalesItem WHERE InvID=" + c.at(r, 2).toString()))
          << b.at(r, 0).toString();
    }
  }
};

TEST_F(ChangesAfterUpload, ADeletionAfterALostAnswerStillRetiresTheCopy) {
  enterSales(3);
  // Head office commits the batch; the answer never comes back, so the branch marks nothing.
  fault("server=central;on=statement;match=BLOCKFASTPUSH;at=1;kind=drop;when=after");
  EXPECT_TRUE(pass().stopped);
  reconnectCentral();
  EXPECT_EQ(liveCopies("S-2"), 1);
  deleteSale("S-2");
  for (int i = 0; i < 3; ++i) pass();
  EXPECT_EQ(liveCopies("S-2"), 0) << "head office kept the deleted sale live";
  expectHeadOfficeAsBranch();
}

TEST_F(ChangesAfterUpload, TheERPReusingAnIdInsideAPassGetsItsOwnCopy) {
  enterSales(3);
  // While the pass sends S-3 (the window shows "Migrating tblSales"), the cashier deletes it and saves a
  // new sale, which the ERP numbers InvID 3 and S-3 again.
  int calls = 0;
  form.lblStatusMain.subscribe([&] {
    if (form.lblStatusMain.caption().rfind("Migrating tblSales", 0) != 0 || ++calls != 1) return;
    deleteSale("S-3");
    testbed::SimulationOptions o;
    o.sales = 1;
    o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = o.masterChanges = o.boardRates = 0;
    o.date = today;
    o.seed = 99;
    testbed::simulateErpActivity(&branch(), nullptr, o);
  });
  pass();
  ASSERT_EQ(calls, 1);
  EXPECT_EQ(scalar(branch(), "SELECT SyncStat FROM tblSales WHERE InvID=3"), 0)
      << "the new sale was marked with the old one's copy";
  for (int i = 0; i < 2; ++i) pass();
  EXPECT_EQ(liveCopies("S-3"), 1);
  expectHeadOfficeAsBranch();
}

TEST_F(ChangesAfterUpload, ADeletionWhoseBatchFailsIsSentByALaterPass) {
  enterSales(3);
  pass();
  deleteSale("S-1");
  // Every try of the batch fails as head office refuses it; the unit alone fails too.
  fault("server=central;on=statement;match=DELETEDFROMBRANCH;kind=error;error=547;at=1");
  auto first = pass();
  faults::reset();
  EXPECT_EQ(first.failed, 1);
  EXPECT_EQ(liveCopies("S-1"), 1);
  pass();
  EXPECT_EQ(liveCopies("S-1"), 0);
  expectHeadOfficeAsBranch();
}

TEST_F(ChangesAfterUpload, ADeadlockVictimBatchIsSentAgainWhole) {
  enterSales(4);
  fault("server=central;on=statement;match=BLOCKFASTPUSH;kind=error;error=1205;at=1");
  const auto out = pass();
  // Two calls: the batch that failed and the same batch again, not one call a voucher.
  EXPECT_EQ(faults::counted(), 2);
  faults::reset();
  EXPECT_EQ(out.failed, 0);
  EXPECT_EQ(out.uploaded, 4);
  expectHeadOfficeAsBranch();
}

TEST_F(ChangesAfterUpload, AFailedBatchLeavesNoTransactionOpenAtHeadOffice) {
  enterSales(2);
  // The statement ends in an error that leaves the batch's transaction open (as a table missing at
  // head office does): the run closes it before anything else is sent on the connection.
  central().execute("BEGIN TRANSACTION");
  sync::restoreErrorHandling(central());
  EXPECT_EQ(scalar(central(), "SELECT @@TRANCOUNT"), 0);
}

TEST_F(ChangesAfterUpload, ChangesOfAnotherDateAndOfATypeNoLongerChosenGoUp) {
  enterSales(3);
  pass();
  // The window still shows yesterday (or the type was unticked) when the cashier deletes and edits.
  workingDay.date = db::DateTime{2026, 1, 1};
  workingDay.selectedVoucherTypeIds = "207";
  deleteSale("S-1");
  branch().execute("UPDATE tblSalesItem SET Qty = Qty + 4 WHERE InvID = 2");
  branch().execute("UPDATE tblSales SET NetAmount = NetAmount + 1 WHERE InvID = 2");
  pass();
  pass();
  EXPECT_EQ(liveCopies("S-1"), 0);
  expectHeadOfficeAsBranch();
}

TEST_F(ChangesAfterUpload, ADeletionRetiresOnlyItsOwnCopyWhenHeadOfficeReusedTheNumber) {
  enterSales(2);
  pass();
  // Head office loses its newest copy (S-2's) and numbers the next upload with the freed number.
  const long long s2 = scalar(branch(), "SELECT ServInvID FROM tblSales WHERE InvNo='S-2'");
  central().execute("DELETE FROM tblSalesItem WHERE InvID=" + std::to_string(s2));
  central().execute("DELETE FROM tblSales WHERE InvID=" + std::to_string(s2));
  enterSales(1, 5);  // S-3 goes up under S-2's old central number
  pass();
  EXPECT_EQ(scalar(branch(), "SELECT ServInvID FROM tblSales WHERE InvNo='S-3'"), s2);
  deleteSale("S-2");
  pass();
  EXPECT_EQ(liveCopies("S-3"), 1) << "S-2's deletion retired S-3";
  expectHeadOfficeAsBranch();
}

TEST_F(ChangesAfterUpload, AnEditAfterUploadReplacesTheCopyAndTheDayCloses) {
  enterSales(3);
  pass();
  const long long before = scalar(branch(), "SELECT ServInvID FROM tblSales WHERE InvNo='S-2'");
  branch().execute("UPDATE tblSalesItem SET Qty = Qty + 2, Amount = Amount + 10 WHERE InvID = 2");
  branch().execute("UPDATE tblSales SET NetAmount = NetAmount + 10 WHERE InvID = 2");
  deleteSale("S-3");
  pass();
  pass();
  EXPECT_NE(scalar(branch(), "SELECT ServInvID FROM tblSales WHERE InvNo='S-2'"), before);
  EXPECT_EQ(liveCopies("S-2"), 1);
  expectHeadOfficeAsBranch();

  // The counts leave the retired copies out: the day closes.
  host.expectBox(Answer::Yes, "Are you sure you want to DAY END now");
  const auto end = daycycle::dayEnd(ctx);
  EXPECT_EQ(end.result, daycycle::DayEndResult::Closed);
}

TEST_F(ChangesAfterUpload, ACopyHeadOfficeEditedIsReplacedAfterTheDayEndRefuses) {
  enterSales(2);
  pass();
  central().execute("UPDATE tblSales SET NetAmount = 1 WHERE CCID=2 AND InvNo='S-1'");
  host.expectBox(Answer::Yes, "Are you sure you want to DAY END now");
  EXPECT_EQ(daycycle::dayEnd(ctx).result, daycycle::DayEndResult::Differs);
  pass();
  expectHeadOfficeAsBranch();
  host.expectBox(Answer::Yes, "Are you sure you want to DAY END now");
  EXPECT_EQ(daycycle::dayEnd(ctx).result, daycycle::DayEndResult::Closed);
}

TEST_F(ChangesAfterUpload, VouchersOfEarlierDatesGoUpWhileTodaysChangesKeepComing) {
  // Sales of an earlier day never sent, and today's change log busy above the mark.
  testbed::SimulationOptions o;
  o.sales = 3;
  o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = o.masterChanges = o.boardRates = 0;
  o.date = db::DateTime{2026, 11, 30};
  testbed::simulateErpActivity(&branch(), nullptr, o);
  branch().execute("DELETE FROM tblActivity");
  enterSales(2, 7);
  const auto out = pass();
  EXPECT_EQ(out.uploaded, 5);
  expectHeadOfficeAsBranch();
}

TEST_F(ChangesAfterUpload, TheStatusCountsWhatWillGoUpAndNeverTheBranchsOwnJournals) {
  enterSales(2);
  pass();
  // An opening stock journal of the branch's own (type 1005) never goes up.
  branch().execute(
      "INSERT INTO tblStockJournal (VchID, InvId, InvNo, InvDate, VchTypeid, CCID, SyncStat) VALUES (900, 900, "
      "'OS-1', '" + today.iso().substr(0, 10) + "', 1005, 2, 0)");
  EXPECT_EQ(reconcile::readBranchStatus(ctx, false).vouchersWaiting, 0);
  // A deletion that head office refuses waits, and is counted.
  deleteSale("S-1");
  fault("server=central;on=statement;match=DELETEDFROMBRANCH;kind=error;error=547;at=1");
  pass();
  faults::reset();
  EXPECT_EQ(reconcile::readBranchStatus(ctx, false).vouchersWaiting, 1);
}

TEST_F(ChangesAfterUpload, TheMarksCheckRaisesNoAlarmAfterAnUpload) {
  enterSales(3);
  pass();
  pass();
  const auto tops = reconcile::ReadActivityLogTops(ctx, ctx.day());
  EXPECT_FALSE(tops.behind(ctx)) << "branch log top " << tops.branch << ", mark " << ctx.MaxActivityIDTrans;
}

}  // namespace
}  // namespace erpsync
