// The mismatch locator after a day was uploaded and head office was made to differ: what it lists,
// what forcing does, that it never touches another branch's vouchers, and that a failure between the
// re-queue and the retire still converges after the next upload.
#include <gtest/gtest.h>

#include "app/reconcile_view.h"
#include "mismatch_fixture.h"
#include "reconcile/locate_mismatching_trans.h"
#include "reconcile/verify_day.h"
#include "shared/date_text.h"

namespace erpsync {
namespace {

using reconcile::LocateAllMismatches;
using reconcile::LocateMismatchingTrans;

class Locate : public test::UploadedDay {
 protected:
  std::vector<std::string> listedNumbers() {
    std::vector<std::string> out;
    const auto& g = form.msgMisMatch;
    for (int r = 1; r < g.rows(); ++r)
      if (!g.text(r, 1).empty()) out.push_back(g.text(r, 1));
    return out;
  }
};

TEST_F(Locate, ADayInStepListsNothingAndLeavesOneEmptyRow) {
  enterAndUpload();
  auto out = LocateAllMismatches(ctx, true);
  EXPECT_FALSE(out.failed) << (notices().empty() ? "" : notices()[0]);
  EXPECT_TRUE(out.vouchers.empty());
  reconcile::showMismatches(form.msgMisMatch, out);
  ASSERT_EQ(form.msgMisMatch.rows(), 2);
  EXPECT_EQ(form.msgMisMatch.text(0, 1), "Inv No          ");
  EXPECT_EQ(form.msgMisMatch.text(1, 0), "");
  // Forcing nothing changed nothing.
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblSales WHERE SyncStat <> 1"), 0);
  EXPECT_TRUE(notices().empty());
}

TEST_F(Locate, ListsEveryFamilyIntoOneGridWithoutChangingAnythingUnlessForced) {
  enterAndUpload();
  const auto sale = voucher("tblSales", 1), order = voucher("tblOrder"), note = voucher("tblNotes");
  // A sale whose central copy was deleted, an order whose central copy lost a line, a note deleted.
  central().execute("DELETE FROM tblSalesItem WHERE InvID = " + std::to_string(sale.central));
  central().execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(sale.central));
  central().execute("DELETE FROM tblOrderItem WHERE InvID = " + std::to_string(order.central) +
                    " AND SlNo = (SELECT max(SlNo) FROM tblOrderItem WHERE InvID = " + std::to_string(order.central) +
                    ")");
  central().execute("DELETE FROM tblNotes WHERE VchID = " + std::to_string(note.central));

  auto out = LocateAllMismatches(ctx, false);
  ASSERT_FALSE(out.failed);
  ASSERT_EQ(out.vouchers.size(), 3u);
  reconcile::showMismatches(form.msgMisMatch, out);
  EXPECT_EQ(listedNumbers(), (std::vector<std::string>{sale.number, note.number, order.number}));
  // Each row says which table and which voucher type (by name too) it is of.
  EXPECT_EQ(form.msgMisMatch.text(2, 4), "tblNotes");
  const auto& v = out.vouchers[0];
  EXPECT_FALSE(v.typeName.empty());
  EXPECT_EQ(form.msgMisMatch.text(1, 3), std::to_string(v.type) + " " + v.typeName);
  EXPECT_EQ(form.msgMisMatch.text(1, 0), "1");
  EXPECT_EQ(form.msgMisMatch.text(3, 0), "3");
  EXPECT_EQ(form.msgMisMatch.text(1, 2), ddMMMyyyy(today));
  EXPECT_EQ(form.msgMisMatch.rows(), 5);  // header, three, one empty
  EXPECT_FALSE(out.vouchers[0].linesDiffer);
  EXPECT_FALSE(out.vouchers[1].linesDiffer);
  EXPECT_TRUE(out.vouchers[2].linesDiffer);
  EXPECT_EQ(out.vouchers[2].branchLines, out.vouchers[2].centralLines + 1);
  // Listing only: nothing was queued or retired.
  EXPECT_EQ(syncStat("tblSales", sale.id), 1);
  EXPECT_EQ(syncStat("tblOrder", order.id), 1);
  EXPECT_EQ(liveCopies("tblOrder", order.number), 1);

  out = LocateAllMismatches(ctx, true);
  ASSERT_EQ(out.vouchers.size(), 3u);
  for (const auto& v : out.vouchers) EXPECT_TRUE(v.requeued) << v.number;
  EXPECT_TRUE(out.vouchers[2].retired);
  EXPECT_EQ(syncStat("tblOrder", order.id), 0);
  EXPECT_EQ(liveCopies("tblOrder", order.number), 0);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblOrder WHERE InvNo = '" + order.number + "Del'"), 1);

  const auto up = upload();
  EXPECT_EQ(up.uploaded, 3);
  EXPECT_EQ(up.alreadyCentral, 0);
  expectConverged();
  EXPECT_TRUE(LocateAllMismatches(ctx, false).vouchers.empty());
  EXPECT_TRUE(reconcile::VerifyDay(ctx).differences.empty());
}

TEST_F(Locate, AnotherBranchsVouchersNeitherHideOursNorGetListedOrRetired) {
  enterAndUpload();
  const auto sale = voucher("tblSales"), job = voucher("tblJobCard");
  // The other branch has vouchers of the same day, types and numbers; its job card carries our job
  // card's central id in its InvID column.
  for (const char* t : {"tblSales", "tblJobCard", "tblNotes", "tblOrder", "tblStockJournal"})
    otherBranchCopyOf(t, voucher(t));
  central().execute("UPDATE tblJobcard SET InvID = " + std::to_string(job.central) + " WHERE CCID = 3");
  const long long others = otherBranchRows();
  ASSERT_GT(others, 0);
  // Their lines differ from ours (one each), yet in step with ours nothing is listed.
  EXPECT_TRUE(LocateAllMismatches(ctx, true).vouchers.empty());

  // Our copy of the sale is deleted: the other branch's sale of that number does not stand for it.
  central().execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(sale.central));
  // Our job card lost a line; retiring it must hit our copy, found by its own key.
  central().execute("DELETE FROM tblJobCardDetail WHERE JobCardID = " + std::to_string(job.central) + " AND SlNo = 1");
  auto out = LocateAllMismatches(ctx, true);
  ASSERT_EQ(out.vouchers.size(), 2u);
  EXPECT_EQ(out.vouchers[0].number, sale.number);
  EXPECT_EQ(out.vouchers[1].number, job.number);
  EXPECT_TRUE(out.vouchers[1].retired);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblJobcard WHERE JobCardID = " + std::to_string(job.central) +
                                  " AND Party = '#DELETEDFROMBRANCH#' AND JobCardNo = '" + job.number + "Del'"),
            1);
  EXPECT_EQ(otherBranchRows(), others);

  upload();
  expectConverged();
  EXPECT_EQ(otherBranchRows(), others);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 3 AND InvNo = '" + sale.number + "'"), 1);
}

// The locator and the verification look at the working day they are given (as the day end gives its
// own), whatever the window shows: another date, or another branch's cost centre, holds none of the
// vouchers head office lost today.
TEST_F(Locate, TheWorkingDayGivenIsTheOneExamined) {
  enterAndUpload();
  const auto sale = voucher("tblSales");
  central().execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(sale.central));
  WorkingDay yesterday = ctx.day();
  yesterday.date = DateTime::fromDayNumber(yesterday.date.dayNumber() - 1);
  EXPECT_TRUE(LocateAllMismatches(ctx, yesterday, false).vouchers.empty());
  const auto verified = reconcile::VerifyDay(ctx, yesterday);
  EXPECT_FALSE(verified.failed);
  EXPECT_EQ(verified.compared, 0);
  WorkingDay otherBranch = ctx.day();
  otherBranch.costCentreId = 3;
  EXPECT_TRUE(LocateAllMismatches(ctx, otherBranch, false).vouchers.empty());
  EXPECT_EQ(reconcile::VerifyDay(ctx, otherBranch).compared, 0);
  // The day the window shows has the lost sale.
  const auto today = LocateAllMismatches(ctx, ctx.day(), false);
  ASSERT_EQ(today.vouchers.size(), 1u);
  EXPECT_EQ(today.vouchers[0].number, sale.number);
}

TEST_F(Locate, OnlyTheChosenVoucherTypesAreExamined) {
  enterAndUpload();
  const auto sale = voucher("tblSales"), note = voucher("tblNotes");
  central().execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(sale.central));
  central().execute("DELETE FROM tblNotes WHERE VchID = " + std::to_string(note.central));
  const long long saleType =
      scalar(branch(), "SELECT VchTypeID FROM tblSales WHERE InvID = " + std::to_string(sale.id));
  workingDay.selectedVoucherTypeIds = std::to_string(saleType);
  auto out = LocateAllMismatches(ctx, false);
  ASSERT_EQ(out.vouchers.size(), 1u);
  EXPECT_EQ(out.vouchers[0].number, sale.number);
}

// Head office numbers its copies max+1: once it deletes its newest copy, the next upload reuses that
// number for another voucher. The voucher whose copy went is queued again; the copy that now carries its
// old central number belongs to another voucher and stays live.
TEST_F(Locate, ANumberHeadOfficeReusesIsNeverTakenForAnotherVouchersCopy) {
  enterAndUpload(2);
  const auto second = voucher("tblSales", 1);
  ASSERT_EQ(scalar(central(), "SELECT max(InvID) FROM tblSales"), second.central);
  central().execute("DELETE FROM tblSalesItem WHERE InvID = " + std::to_string(second.central));
  central().execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(second.central));
  testbed::SimulationOptions o;
  o.sales = 1;
  o.orders = o.stockJournals = o.jobCards = o.notes = 0;
  o.edits = o.deletes = o.masterChanges = o.boardRates = 0;
  o.date = today;
  o.seed = 11;
  testbed::simulateErpActivity(&branch(), nullptr, o);
  upload();
  const auto third = voucher("tblSales", 2);
  ASSERT_EQ(third.central, second.central);  // the reused number

  auto out = LocateMismatchingTrans(ctx, "tblSales", "tblSalesItem", true);
  ASSERT_EQ(out.vouchers.size(), 1u);
  EXPECT_EQ(out.vouchers[0].number, second.number);
  EXPECT_TRUE(out.vouchers[0].requeued);
  EXPECT_FALSE(out.vouchers[0].retired);
  EXPECT_EQ(liveCopies("tblSales", third.number), 1);

  upload();
  expectConverged();
  EXPECT_TRUE(reconcile::VerifyDay(ctx).differences.empty());
}

// A voucher renumbered at the branch after its upload is an edit: the pass replaces head office's copy
// under the old number by one under the new number (found by what the branch recorded of the send, never
// by the central number alone), and the day verifies without a difference.
TEST_F(Locate, AVoucherRenumberedAtTheBranchReplacesItsOldCopy) {
  enterAndUpload();
  const auto sale = voucher("tblSales");
  branch().execute("UPDATE tblSales SET InvNo = 'S-NEW' WHERE InvID = " + std::to_string(sale.id));
  upload();
  EXPECT_EQ(liveCopies("tblSales", "S-NEW"), 1);
  EXPECT_EQ(liveCopies("tblSales", sale.number), 0);
  EXPECT_TRUE(reconcile::VerifyDay(ctx).differences.empty());
  EXPECT_TRUE(LocateMismatchingTrans(ctx, "TBLsALES", "TBLSALESITEM", true).vouchers.empty());
}

TEST_F(Locate, NumbersWithQuotesAreComparedNotBrokenInto) {
  enterAndUpload();
  const auto sale = voucher("tblSales");
  branch().execute("UPDATE tblSales SET InvNo = 'S''1' WHERE InvID = " + std::to_string(sale.id));
  central().execute("UPDATE tblSales SET InvNo = 'S''1' WHERE InvID = " + std::to_string(sale.central));
  central().execute("DELETE FROM tblSalesItem WHERE InvID = " + std::to_string(sale.central));
  auto out = LocateMismatchingTrans(ctx, "tblSales", "tblSalesItem", false);
  EXPECT_FALSE(out.failed) << (notices().empty() ? "" : notices()[0]);
  ASSERT_EQ(out.vouchers.size(), 1u);
  EXPECT_EQ(out.vouchers[0].number, "S'1");
  EXPECT_EQ(out.vouchers[0].centralLines, 0);
}

// --- failures between the two sides --------------------------------------------------------------

class LocateFailure : public Locate {
 protected:
  test::FaultyConnection& faultyCentral() {
    if (!faulty_) {
      auto f = std::make_unique<test::FaultyConnection>(std::move(ctx.WebConnection));
      faulty_ = f.get();
      ctx.WebConnection = std::move(f);
    }
    return *faulty_;
  }
  test::FaultyConnection& faultyBranch() {
    if (!faultyBranch_) {
      auto f = std::make_unique<test::FaultyConnection>(std::move(ctx.LocalConnection));
      faultyBranch_ = f.get();
      ctx.LocalConnection = std::move(f);
    }
    return *faultyBranch_;
  }

 private:
  test::FaultyConnection* faulty_ = nullptr;
  test::FaultyConnection* faultyBranch_ = nullptr;
};

TEST_F(LocateFailure, ARetireThatFailsLeavesTheVoucherUploadedAndItsCopyLive) {
  enterAndUpload();
  const auto sale = voucher("tblSales");
  // Head office's copy lost a line: the copy is retired and the voucher sent again, both or neither.
  central().execute("DELETE FROM tblSalesItem WHERE InvID = " + std::to_string(sale.central) +
                    " AND SlNo = (SELECT min(SlNo) FROM tblSalesItem WHERE InvID = " + std::to_string(sale.central) +
                    ")");
  faultyCentral().failExecuteContaining = "#DELETEDFROMBRANCH#";
  auto out = LocateMismatchingTrans(ctx, "tblSales", "tblSalesItem", true);
  EXPECT_TRUE(out.failed);
  ASSERT_EQ(notices().size(), 1u);
  EXPECT_NE(notices()[0].find("Connection failure"), std::string::npos);
  // Listed, but neither queued nor retired.
  ASSERT_EQ(out.vouchers.size(), 1u);
  EXPECT_FALSE(out.vouchers[0].requeued);
  EXPECT_EQ(syncStat("tblSales", sale.id), 1);
  EXPECT_EQ(liveCopies("tblSales", sale.number), 1);
  // The next upload adds nothing: no second live copy of the voucher.
  const long long before = scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2");
  upload();
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), before);

  // Once the link is back, the forced run repairs it and the upload converges.
  faultyCentral().failExecuteContaining.clear();
  out = LocateMismatchingTrans(ctx, "tblSales", "tblSalesItem", true);
  ASSERT_EQ(out.vouchers.size(), 1u);
  EXPECT_TRUE(out.vouchers[0].retired);
  upload();
  EXPECT_EQ(liveCopies("tblSales", sale.number), 1);
  expectConverged();
  EXPECT_TRUE(reconcile::VerifyDay(ctx).differences.empty());
}

TEST_F(LocateFailure, AClosedCentralConnectionStopsBeforeAnythingIsQueued) {
  enterAndUpload();
  const auto order = voucher("tblOrder");
  central().execute("DELETE FROM tblOrderItem WHERE InvID = " + std::to_string(order.central) + " AND SlNo = 1");
  ctx.WebConnection->close();
  auto out = LocateAllMismatches(ctx, true);
  EXPECT_TRUE(out.failed);
  EXPECT_EQ(syncStat("tblOrder", order.id), 1);
  ctx.WebConnection->open(companyConnectionString("HO01", kCentralServer));
  EXPECT_EQ(liveCopies("tblOrder", order.number), 1);
  out = LocateAllMismatches(ctx, true);
  ASSERT_EQ(out.vouchers.size(), 1u);
  upload();
  expectConverged();
}

TEST_F(LocateFailure, ABranchCommitThatFailsPutsTheCentralCopyBack) {
  enterAndUpload();
  const auto order = voucher("tblOrder");
  const std::string party =
      central().query("SELECT Party FROM tblOrder WHERE InvID = " + std::to_string(order.central)).at(0, 0).toString();
  central().execute("DELETE FROM tblOrderItem WHERE InvID = " + std::to_string(order.central) + " AND SlNo = 1");
  faultyBranch().failCommit = true;
  auto out = LocateMismatchingTrans(ctx, "tblOrder", "tblOrderItem", true);
  EXPECT_TRUE(out.failed);
  EXPECT_EQ(syncStat("tblOrder", order.id), 1);
  auto copy = central().query("SELECT InvNo, Party FROM tblOrder WHERE InvID = " + std::to_string(order.central));
  EXPECT_EQ(copy.at(0, 0).toString(), order.number);
  EXPECT_EQ(copy.at(0, 1).toString(), party);
}

TEST_F(LocateFailure, ACopyRetiredWithoutItsRequeueIsListedAgainAndRepaired) {
  enterAndUpload();
  const auto sale = voucher("tblSales"), note = voucher("tblNotes");
  // What a crash between head office's retire and the branch's commit leaves: retired, not queued.
  central().execute("UPDATE tblSales SET InvNo = InvNo + 'Del', Party = '#DELETEDFROMBRANCH#' WHERE InvID = " +
                    std::to_string(sale.central));
  central().execute("UPDATE tblNotes SET Narration = '#DELETEDFROMBRANCH#' WHERE VchID = " +
                    std::to_string(note.central));
  auto out = LocateAllMismatches(ctx, true);
  ASSERT_EQ(out.vouchers.size(), 2u);
  EXPECT_TRUE(out.vouchers[0].requeued);
  EXPECT_FALSE(out.vouchers[0].retired);  // already retired: not marked a second time
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE InvNo LIKE '%DelDel'"), 0);
  upload();
  expectConverged();
}

}  // namespace
}  // namespace erpsync
