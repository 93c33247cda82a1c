// The count grids on a branch and a central embedded server, before and after an upload.
#include <gtest/gtest.h>

#include "app/reconcile_view.h"
#include "pair_fixture.h"
#include "reconcile/check_online_rows_tables.h"
#include "reconcile/fill_trans_count.h"
#include "simulator.h"
#include "sync/upload_transactions.h"

namespace erpsync {
namespace {

class Counts : public test::SyncPairFixture {
 protected:
  // The count page is the window's: its tests tick the window's voucher-type list.
  Counts() {
    readDayFromWindow();
    auto types = branch().query("SELECT VchTypeID, VchType FROM tblVchType ORDER BY VchTypeID");
    for (std::size_t r = 0; r < types.size(); ++r) {
      form.lstVchtypes.addItem(types.at(r, 1).toString(), types.at(r, 0).toInt());
      form.lstVchtypes.setSelected(static_cast<int>(r), true);
    }
    testbed::SimulationOptions o;
    o.sales = 4;
    o.deletes = 0;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    testbed::simulateErpActivity(&branch(), nullptr, o);
    ageBranchChanges(5);
  }
  // Column `col` of the grid row labelled `label`.
  std::string cell(const form::Grid& g, const std::string& label, int col) {
    for (int r = 1; r < g.rows(); ++r)
      if (g.text(r, 0) == label) return g.text(r, col);
    return "<no row>";
  }
};

// Vouchers not yet uploaded are waiting, not a mismatch: their rows say "Waiting" in amber and count as
// no difference; after the upload every row agrees.
TEST_F(Counts, VoucherCountsWaitUntilTheUploadAndAgreeAfterIt) {
  EXPECT_EQ(reconcile::showVoucherCounts(ctx), 0);
  const auto& g = form.msgTransGrid;
  EXPECT_EQ(g.text(0, 1), "DesktopCount");
  EXPECT_EQ(g.cols(), 4);  // no empty trailing column
  EXPECT_EQ(cell(g, "Sales", 1), "4");
  EXPECT_EQ(cell(g, "Sales", 2), "0");
  EXPECT_EQ(cell(g, "Sales", 3), "Waiting");
  EXPECT_EQ(cell(g, "Onlinedata", 1), "");
  int waitingRows = 0;
  for (int r = 1; r < g.rows(); ++r) {
    EXPECT_NE(g.text(r, 3), "Yes") << g.text(r, 0);
    if (g.text(r, 3) == "Waiting") {
      EXPECT_EQ(g.cellColor(r, 0), reconcile::kWaitingColor);
      ++waitingRows;
    }
  }
  EXPECT_GT(waitingRows, 1);

  for (int i = 0; i < 3; ++i) sync::uploadTransactions(ctx, false);
  EXPECT_EQ(reconcile::showVoucherCounts(ctx), 0);
  EXPECT_EQ(cell(g, "Sales", 2), "4");
  for (int r = 1; r < g.rows(); ++r) {
    if (g.text(r, 0) == "Onlinedata") continue;
    EXPECT_EQ(g.text(r, 3), "No") << g.text(r, 0);
    EXPECT_EQ(g.cellColor(r, 0), 0u);
  }
}

// A voucher the branch counts as uploaded that head office lacks is a mismatch, in red, even while
// others of the same table wait.
TEST_F(Counts, AnUploadedVoucherHeadOfficeLacksIsAMismatchBesideTheWaitingOnes) {
  for (int i = 0; i < 3; ++i) sync::uploadTransactions(ctx, false);
  central().execute("DELETE FROM tblSales WHERE InvID = (SELECT max(InvID) FROM tblSales)");
  branch().execute("UPDATE tblOrder SET SyncStat = 0");
  EXPECT_EQ(reconcile::showVoucherCounts(ctx), 2);  // the sale and its lines
  const auto& g = form.msgTransGrid;
  EXPECT_EQ(cell(g, "Sales", 3), "Yes");
  EXPECT_EQ(cell(g, "SalesItem", 3), "Yes");
  for (int r = 1; r < g.rows(); ++r) {
    if (g.text(r, 0) == "Sales") {
      EXPECT_EQ(g.cellColor(r, 0), reconcile::kMismatchColor);
    }
  }
  // The orders re-queued at the branch are all at head office already: counts agree, nothing to say.
  EXPECT_EQ(cell(g, "Order", 3), "No");
}

// The counts are of the working day they are asked for, not of whatever the window shows: the day
// before has none of today's vouchers, and a voucher type nobody entered counts nothing.
TEST_F(Counts, VoucherCountsAreOfTheWorkingDayAskedFor) {
  WorkingDay day = ctx.day();
  const auto sales = [](const reconcile::CountComparison& c) {
    for (const auto& r : c.rows)
      if (r.label == "Sales") return r.branch.value_or(-1);
    return -2LL;
  };
  EXPECT_EQ(sales(reconcile::CompareVoucherCounts(ctx, day)), 4);
  day.date = DateTime::fromDayNumber(day.date.dayNumber() - 1);
  auto yesterday = reconcile::CompareVoucherCounts(ctx, day);
  ASSERT_FALSE(yesterday.failed);
  EXPECT_EQ(sales(yesterday), 0);
  EXPECT_EQ(yesterday.differing(), 0);
  day = ctx.day();
  day.selectedVoucherTypeIds = "987654";
  EXPECT_EQ(sales(reconcile::CompareVoucherCounts(ctx, day)), 0);
  // The window's list still has every type chosen: the grid counts today's four sales.
  EXPECT_EQ(reconcile::showVoucherCounts(ctx), 0);
  EXPECT_EQ(cell(form.msgTransGrid, "Sales", 1), "4");
}

TEST_F(Counts, NoVoucherTypeChosenLeavesTheGridAlone) {
  form.msgTransGrid.setFormatString("kept");
  for (int i = 0; i < form.lstVchtypes.listCount(); ++i) form.lstVchtypes.setSelected(i, false);
  host.expectBox(Answer::OK, "No voucher types selected to Synch");
  EXPECT_EQ(reconcile::showVoucherCounts(ctx), -1);
  EXPECT_EQ(form.msgTransGrid.text(0, 0), "kept");
}

TEST_F(Counts, MasterCountsMarkTheTablesThatDiffer) {
  EXPECT_EQ(reconcile::showMasterCounts(ctx), 0);
  central().execute("INSERT INTO tblArea (AreaID, AreaName) VALUES (990, 'New')");
  EXPECT_EQ(reconcile::showMasterCounts(ctx), 1);
  const auto& g = form.msgDataCount;
  EXPECT_EQ(g.cellColor(1, 0) + g.cellColor(2, 0) + g.cellColor(3, 0),
            reconcile::kMismatchColor);  // Area sorts near the top
  EXPECT_EQ(std::stoll(cell(g, "Area", 2)), std::stoll(cell(g, "Area", 1)) + 1);
}

TEST_F(Counts, ACountThatCannotBeTakenIsNotVerifiedNeverEqual) {
  const std::string q = "SELECT count(*) FROM tblSales";
  auto diff = reconcile::CheckOnlineRowsTables(ctx, q, "tblSales");
  ASSERT_TRUE(diff.has_value());
  EXPECT_EQ(*diff, 4);
  EXPECT_EQ(form.lblStatus.caption(), "The table tblSales differes online 0 and and local 4\r\n");
  ctx.WebConnection->close();
  EXPECT_FALSE(reconcile::CheckOnlineRowsTables(ctx, q, "tblSales").has_value());
}

}  // namespace
}  // namespace erpsync
