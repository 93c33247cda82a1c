// A transfer imported again after head office corrected it: the branch ends up holding the corrected
// transfer once (journal, lines, stock movements, purchase rates), and a failure part-way through the
// second import leaves the first import as it was.
#include <gtest/gtest.h>

#include <map>

#include "../daystart/day_start_fixture.h"
#include "form/main_form.h"
#include "shared/connections.h"
#include "app/stock_view.h"

namespace erpsync {
namespace {

using ByItem = std::map<long long, double>;

class TransferReimport : public test::DayStartFixture {
 protected:
  TransferReimport() { ConfigureLinkedServer(ctx, ctx.SyncServerName); }

  // Head office corrects stock transfer 3 (to Branch One) after the branch imported it: item 1 comes
  // with 7 instead of 10, item 3 is taken out, item 4 (batch B00004) is added with 5.
  void correctTransferAtHeadOffice() {
    central().execute(
        "UPDATE tblStockHistory SET QtyIN = 7, PvalueIN = 2660 WHERE VchTypeID = 16 AND RefId = 3 AND ItemID = 1 "
        "AND CCID = 2");
    central().execute("DELETE FROM tblStockHistory WHERE VchTypeID = 16 AND RefId = 3 AND ItemID = 3");
    central().execute(
        "INSERT INTO tblStockHistory (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyINAU, "
        "QtyINAU2, QtyOut, QtyOutAU, QtyOutAU2, BAtch, expiry, BatchCode, CCID, Prate, Srate, CRate, MRP, "
        "SHSupplierID, GodownID, BatchUnique) VALUES (0, '05/Dec/2026', 16, 3, '', 4, 5, 0, 0, 0, 0, 0, 'B00004', "
        "'31/Dec/2027', 'B00004', 2, 62.5, 72, 62.5, 79.5, 9, 1, 'B00004')");
  }

  // ItemID -> the summed last column.
  ByItem byItem(const std::string& sql) {
    ByItem out;
    auto rs = branch().query(sql);
    for (const auto& row : rs.rows) out[row[0].toInt()] += row.back().toDouble();
    return out;
  }
  long long journals() { return scalar(branch(), "SELECT COUNT(*) FROM tblStockJournal WHERE ProfileID = 16"); }
  ByItem journalLines() {
    return byItem(
        "SELECT d.ItemId, d.QtyIn - d.QtyOut FROM tblStockJournalDetail d INNER JOIN tblStockJournal j ON j.InvID = "
        "d.InvID WHERE j.ProfileID = 16 AND j.RefNO = '3'");
  }
  // The movements of the transfer's journal(s).
  ByItem movements() {
    return byItem(
        "SELECT h.ItemID, h.QtyIN - h.QtyOut FROM tblStockHistory h INNER JOIN tblStockJournal j ON j.InvID = "
        "h.RefId AND h.VchTypeID = 1005 WHERE j.ProfileID = 16");
  }
  ByItem purchaseRates() {
    return byItem(
        "SELECT r.ItemID, r.Qty FROM tblItemRates r INNER JOIN tblStockJournal j ON j.InvID = r.RefID AND "
        "r.VchTypeID = '1005' WHERE j.ProfileID = 16");
  }
  // The branch's stock per item: every movement of every voucher.
  ByItem stock() { return byItem("SELECT ItemID, SUM(QtyIN - QtyOut) FROM tblStockHistory GROUP BY ItemID"); }
  // Movements of opening journals that belong to no journal any more (left behind by a replaced one).
  long long orphanMovements() {
    return scalar(branch(),
                  "SELECT COUNT(*) FROM tblStockHistory WHERE VchTypeID = 1005 AND RefId NOT IN (SELECT InvID FROM "
                  "tblStockJournal)") +
           scalar(branch(),
                  "SELECT COUNT(*) FROM tblItemRates WHERE VchTypeID = '1005' AND RefID NOT IN (SELECT InvID FROM "
                  "tblStockJournal)") +
           scalar(branch(),
                  "SELECT COUNT(*) FROM tblStockJournalDetail WHERE InvID NOT IN (SELECT InvID FROM tblStockJournal)");
  }

  static ByItem plus(ByItem base, const ByItem& add) {
    for (const auto& [item, q] : add) base[item] += q;
    for (auto it = base.begin(); it != base.end();) it = it->second == 0 ? base.erase(it) : std::next(it);
    return base;
  }
  static ByItem nonZero(ByItem m) { return plus(std::move(m), {}); }

  const ByItem first{{1, 10}, {2, 6}, {3, 12}};
  const ByItem corrected{{1, 7}, {2, 6}, {4, 5}};
};

TEST_F(TransferReimport, CorrectedTransferReplacesTheEarlierImportOnce) {
  // The branch has stock of its own before the transfer: an opening journal of the day start kind.
  branch().execute(
      "INSERT INTO tblStockJournal (InvID, VchTypeID, ProfileID, RefNO, CCID) VALUES (900, 1005, 0, '', 2)");
  branch().execute(
      "INSERT INTO tblStockHistory (StockHisId, VchTypeID, RefId, ItemID, QtyIN, QtyOut, CCID, BatchCode) VALUES "
      "(0, '1005', 900, 1, 40, 0, 2, 'B00001')");
  const ByItem own = stock();

  ASSERT_TRUE(stock::importInterimTransfer(ctx, 16, 3).imported);
  EXPECT_EQ(journalLines(), first);
  EXPECT_EQ(nonZero(stock()), plus(own, first));

  correctTransferAtHeadOffice();
  auto again = stock::importInterimTransfer(ctx, 16, 3);
  EXPECT_FALSE(again.failed);
  EXPECT_TRUE(again.imported);
  EXPECT_TRUE(again.replaced);
  EXPECT_EQ(again.lines, 3);
  EXPECT_EQ(journals(), 1);
  EXPECT_EQ(journalLines(), corrected);
  EXPECT_EQ(movements(), corrected);
  EXPECT_EQ(purchaseRates(), corrected);
  EXPECT_EQ(nonZero(stock()), plus(own, corrected));  // only the corrected transfer counts
  EXPECT_EQ(orphanMovements(), 0);
  // The branch's own opening stock is not touched.
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStockHistory WHERE RefId = 900 AND QtyIN = 40"), 1);
  // The new batch came as a stock row; the batch taken out keeps its row (with no movement of the transfer).
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStock WHERE ItemID = 4 AND CCID = 2"), 1);

  // A third import of the unchanged voucher changes nothing.
  auto third = stock::importInterimTransfer(ctx, 16, 3);
  EXPECT_TRUE(third.replaced);
  EXPECT_EQ(journals(), 1);
  EXPECT_EQ(movements(), corrected);
  EXPECT_EQ(nonZero(stock()), plus(own, corrected));
  EXPECT_EQ(orphanMovements(), 0);
}

TEST_F(TransferReimport, UnattendedRunBringsACorrectionWhoseMarkHeadOfficeCleared) {
  form.chkAutoSynchInterimStockTransfer.setValue(1);
  ASSERT_EQ(runInterimTransfersUnattended(ctx).imported, 2);  // the transfer and the purchase
  EXPECT_EQ(journalLines(), first);
  // Head office saves the corrected voucher again, which clears its mark.
  correctTransferAtHeadOffice();
  central().execute("UPDATE tblStockJournal SET Customfield1 = '' WHERE InvID = 3");
  auto again = runInterimTransfersUnattended(ctx);
  EXPECT_EQ(again.failed, 0);
  EXPECT_EQ(again.imported, 1);
  EXPECT_EQ(journals(), 1);
  EXPECT_EQ(journalLines(), corrected);
  EXPECT_EQ(movements(), corrected);
  EXPECT_EQ(orphanMovements(), 0);
  EXPECT_EQ(central().query("SELECT Customfield1 FROM tblStockJournal WHERE InvID = 3").at(0, 0).toString(),
            "DOWNLAODED");
}

// Failures at each step of the second import: removing the earlier journal's lines, removing its
// movements, writing a corrected line, posting a corrected line's stock, and the commit's lost link.
TEST_F(TransferReimport, FailurePartWayLeavesTheFirstImportWhole) {
  ASSERT_TRUE(stock::importInterimTransfer(ctx, 16, 3).imported);
  const auto before = snapshot(branch());
  correctTransferAtHeadOffice();
  host.setStrict(false);
  struct Fault {
    const char* statement;
    int nth;
  };
  for (const Fault& f : {Fault{"delete from tblStockJournalDetail", 1}, Fault{"delete from tblstockHistory ", 1},
                         Fault{"insert into tblStockJournalDetail", 2}, Fault{"insert into tblstockHistory", 3},
                         Fault{"UPDATE TBLITEMMASTER", 3}}) {
    SCOPED_TRACE(f.statement);
    faulty->failOn(f.statement, f.nth, "[DBNETLIB][ConnectionWrite (send()).]General network error");
    auto out = stock::importInterimTransfer(ctx, 16, 3);
    EXPECT_TRUE(out.failed);
    EXPECT_EQ(faulty->failures, 1);
    EXPECT_EQ(snapshot(branch()), before);
    EXPECT_EQ(journalLines(), first);
    EXPECT_EQ(movements(), first);
    faulty->heal();
  }
  // The next try brings the correction.
  auto healed = stock::importInterimTransfer(ctx, 16, 3);
  EXPECT_FALSE(healed.failed);
  EXPECT_EQ(journals(), 1);
  EXPECT_EQ(journalLines(), corrected);
  EXPECT_EQ(movements(), corrected);
  EXPECT_EQ(orphanMovements(), 0);
}

// Head office empties the transfer: the earlier import is taken back, no journal is made, and the
// voucher is marked as the specified no-data case is.
TEST_F(TransferReimport, TransferEmptiedAtHeadOfficeTakesTheEarlierImportBack) {
  ASSERT_TRUE(stock::importInterimTransfer(ctx, 16, 3).imported);
  central().execute("DELETE FROM tblStockHistory WHERE VchTypeID = 16 AND RefId = 3");
  host.expectBox(Answer::OK, "No data fetched from data source");
  auto out = stock::importInterimTransfer(ctx, 16, 3);
  EXPECT_FALSE(out.failed);
  EXPECT_FALSE(out.imported);
  EXPECT_TRUE(out.replaced);
  EXPECT_EQ(journals(), 0);
  EXPECT_TRUE(movements().empty());
  EXPECT_EQ(orphanMovements(), 0);
}

}  // namespace
}  // namespace erpsync
