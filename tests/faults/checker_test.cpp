// The checker itself: it must see each kind of damage the sweep looks for, or a sweep with no
// violations proves nothing. Each case starts from a branch whose vouchers went up cleanly and
// damages one thing by hand.
#include "checker.h"

#include <gtest/gtest.h>

#include "pair_fixture.h"
#include "simulator.h"
#include "sync/upload_transactions.h"

namespace erpsync {
namespace {

bool mentions(const std::vector<std::string>& found, const std::string& what) {
  for (const auto& f : found)
    if (f.find(what) != std::string::npos) return true;
  return false;
}

std::string joined(const std::vector<std::string>& v) {
  std::string s;
  for (const auto& x : v) s += x + "\n";
  return s;
}

class Checker : public test::SyncPairFixture {
 protected:
  Checker() {
    host.setStrict(false);
    testbed::SimulationOptions o;
    o.sales = 3;
    o.orders = o.stockJournals = o.jobCards = 1;
    o.notes = 2;
    o.edits = o.deletes = 0;
    o.masterChanges = o.boardRates = 0;
    o.date = today;
    testbed::simulateErpActivity(&branch(), nullptr, o);
    ageBranchChanges(5);
    for (int i = 0; i < 4; ++i) sync::uploadTransactions(ctx, false);
    others = check.othersAtCentral();
  }
  // The central number of the branch's first sale.
  std::string firstSaleCentral() {
    return branch().query("SELECT ServInvID FROM tblSales ORDER BY InvID").at(0, 0).toString();
  }

  faultcheck::Checker check{*ctx.LocalConnection, *ctx.WebConnection, 2};
  faultcheck::Snapshot others;
};

TEST_F(Checker, ACleanUploadPassesEveryRule) {
  EXPECT_EQ(joined(check.vouchers(true)), "");
  EXPECT_EQ(joined(check.transfers(false)), "");
  EXPECT_TRUE(faultcheck::Checker::differences("others", others, check.othersAtCentral()).empty());
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblSales WHERE SyncStat = 1"), 3) << "the upload did its work";
}

TEST_F(Checker, ADoubledHalfOrOrphanedVoucherAtHeadOfficeIsReported) {
  const std::string id = firstSaleCentral();
  // A second live copy under another number.
  central().execute(
      "INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID, Party) SELECT 9000, InvNo, InvDate, VchTypeID, "
      "CCID, Party FROM tblSales WHERE InvID = " +
      id);
  central().execute("INSERT INTO tblSalesItem (SlNo, InvID, ItemID, Qty) VALUES (1, 9000, 1, 1)");
  auto found = check.vouchers(false);
  EXPECT_TRUE(mentions(found, "at-most-one")) << joined(found);
  EXPECT_TRUE(mentions(check.vouchers(true), "2 live copies at head office"));
  // A copy marked deleted by the branch is not live: the double is gone.
  central().execute("UPDATE tblSales SET Party = '#DELETEDFROMBRANCH#' WHERE InvID = 9000");
  EXPECT_FALSE(mentions(check.vouchers(false), "at-most-one"));

  // One line short.
  central().execute("DELETE FROM tblSalesItem WHERE InvID = " + id +
                    " AND SlNo = (SELECT max(SlNo) FROM tblSalesItem "
                    "WHERE InvID = " +
                    id + ")");
  found = check.vouchers(true);
  EXPECT_TRUE(mentions(found, "one-copy: tblSales")) << joined(found);
  EXPECT_TRUE(mentions(found, "lines at the branch")) << joined(found);

  // The header gone, the lines left behind.
  central().execute("DELETE FROM tblSales WHERE InvID = " + id);
  found = check.vouchers(false);
  EXPECT_TRUE(mentions(found, "no-half: head office holds")) << joined(found);
  EXPECT_TRUE(mentions(found, "which head office does not hold")) << joined(found);
}

TEST_F(Checker, MarksThatNameTheWrongCopyOrRunAheadAreReported) {
  const std::string id = firstSaleCentral();
  branch().execute("UPDATE tblSales SET ServInvID = ServInvID + 1000 WHERE ServInvID = " + id);
  auto found = check.vouchers(false);
  EXPECT_TRUE(mentions(found, "marks: tblSales")) << joined(found);

  branch().execute("UPDATE tblNotes SET ServInvID = (SELECT min(ServInvID) FROM tblNotes)");
  EXPECT_TRUE(mentions(check.vouchers(false), "names too"));

  branch().execute("UPDATE tblOrder SET ServInvID = NULL");
  EXPECT_TRUE(mentions(check.vouchers(false), "without a head-office number"));
}

TEST_F(Checker, AVoucherStillQueuedIsAllowedUntilRecoveryIsOver) {
  branch().execute("UPDATE tblJobcard SET SyncStat = 0");
  EXPECT_EQ(joined(check.vouchers(false)), "") << "queued, and at head office once: the next pass only marks it";
  EXPECT_TRUE(mentions(check.vouchers(true), "marks: tblJobcard"));
}

TEST_F(Checker, AnotherCostCentresRowsChangingIsReportedButATransferMarkIsNot) {
  central().execute("UPDATE tblStockJournal SET CustomField1 = 'DOWNLAODED' WHERE CCID = 1");
  EXPECT_TRUE(faultcheck::Checker::differences("others", others, check.othersAtCentral()).empty());
  central().execute("UPDATE tblStockJournal SET Party = 'Somebody else' WHERE InvID = 3");
  auto d = faultcheck::Checker::differences("others", others, check.othersAtCentral());
  ASSERT_EQ(d.size(), 1u);
  EXPECT_NE(d[0].find("tblStockJournal: 1 rows missing, 1 rows unexpected"), std::string::npos) << d[0];
  central().execute(
      "DELETE FROM tblStockHistory WHERE CCID = 1 AND StockHisId = (SELECT min(StockHisId) FROM "
      "tblStockHistory WHERE CCID = 1)");
  EXPECT_TRUE(mentions(faultcheck::Checker::differences("others", others, check.othersAtCentral()), "tblStockHistory"));
}

TEST_F(Checker, MastersCompareByValueWithBlankAndNullAlike) {
  EXPECT_EQ(joined(check.mastersEqual({"tblLedger", "tblArea"})), "");
  branch().execute("UPDATE tblLedger SET Address = ' ', OpeningBalance = 0 WHERE Address IS NULL");
  central().execute("UPDATE tblLedger SET OpeningBalance = NULL");
  EXPECT_EQ(joined(check.mastersEqual({"tblLedger"})), "") << "the ERP's blank for a NULL";
  branch().execute("UPDATE tblLedger SET LName = LName + 'x' WHERE LID = (SELECT min(LID) FROM tblLedger)");
  EXPECT_TRUE(mentions(check.mastersEqual({"tblLedger"}), "masters-equal: tblLedger: 1 rows missing"));
  central().execute("DELETE FROM tblArea WHERE AreaID = (SELECT max(AreaID) FROM tblArea)");
  EXPECT_TRUE(mentions(check.mastersEqual({"tblArea"}), "1 rows unexpected"));
}

TEST_F(Checker, ATransferImportedTwiceOrMarkedWithoutArrivingIsReported) {
  EXPECT_TRUE(mentions(check.transfers(true), "drained: transfer 3")) << "not imported yet";
  central().execute("UPDATE tblStockJournal SET CustomField1 = 'DOWNLAODED' WHERE InvID = 3");
  EXPECT_TRUE(mentions(check.transfers(false), "transfer-marks"));
  const std::string type = std::to_string(scalar(central(), "SELECT VchTypeID FROM tblStockJournal WHERE InvID = 3"));
  for (int j : {801, 802})
    branch().execute("INSERT INTO tblStockJournal (VchID, InvID, InvNo, RefNO, VchTypeid, ProfileID, CCID) VALUES (" +
                     std::to_string(j) + "," + std::to_string(j) + ",'" + std::to_string(j) + "','3',1005," + type +
                     ",2)");
  auto found = check.transfers(false);
  EXPECT_TRUE(mentions(found, "transfer-once")) << joined(found);
  EXPECT_TRUE(mentions(found, "without lines")) << joined(found);
}

TEST_F(Checker, StockFiguresAndBoardRatesCompareSideBySide) {
  // Before any day start the branch holds no stock of its own; head office holds the branch's.
  EXPECT_NE(check.stockFigures(branch()), check.stockFigures(central()));
  EXPECT_EQ(check.stockFigures(central()), check.stockFigures(central()));
  auto before = check.boardRatesAtBranch();
  central().execute("INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP) VALUES ('2030-01-01', 1, 5, 6)");
  auto expected = check.boardRatesAtCentral();
  EXPECT_TRUE(mentions(faultcheck::Checker::differences("rates", expected, before), "item 1 on 2030-01-01"));
  EXPECT_TRUE(mentions(expected.at("item rates"), "item 1: 5.00 / 6.00"));
}

}  // namespace
}  // namespace erpsync
