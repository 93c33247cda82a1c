// The interim stock transfer import: head office's stock journal (type 16, InvID 3, addressed to
// Branch One) and purchase (type 2, InvID 1) of the testbed, imported into the branch.
#include <gtest/gtest.h>

#include "db/embedded/fault_injection.h"

#include "pair_fixture.h"
#include "stock/import_interim_transfers.h"
#include "sync/server_lock.h"

namespace erpsync {
namespace {

class TransferImport : public test::SyncPairFixture {
 protected:
  TransferImport() { ConfigureLinkedServer(ctx, ctx.SyncServerName); }

  long long journals() { return scalar(branch(), "SELECT COUNT(*) FROM tblStockJournal WHERE ProfileID = 16"); }
  long long lines() {
    return scalar(branch(),
                  "SELECT COUNT(*) FROM tblStockJournalDetail d INNER JOIN tblStockJournal j ON j.InvID = d.InvID "
                  "WHERE j.ProfileID = 16");
  }
  long long history() { return scalar(branch(), "SELECT COUNT(*) FROM tblStockHistory WHERE VchTypeID = 1005"); }
  double historyQty() {
    return branch().query("SELECT SUM(QtyIN) FROM tblStockHistory WHERE VchTypeID = 1005").at(0, 0).toDouble();
  }
  std::string mark(const std::string& table = "tblStockJournal", int id = 3) {
    return central()
        .query("SELECT Customfield1 FROM " + table + " WHERE InvID = " + std::to_string(id))
        .at(0, 0)
        .toString();
  }
  bool lockFree() {
    return scalar(central(), "SELECT COUNT(*) FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH'") == 0;
  }
};

TEST_F(TransferImport, ImportsTheVoucherWholeAndMarksItOnce) {
  auto out = importInterimTransfer(ctx, 16, 3);
  EXPECT_TRUE(out.imported);
  EXPECT_FALSE(out.failed);
  EXPECT_EQ(out.lines, 3);
  EXPECT_EQ(journals(), 1);
  EXPECT_EQ(lines(), 3);
  EXPECT_EQ(history(), 3);
  EXPECT_DOUBLE_EQ(historyQty(), 28);  // 10 + 6 + 12 reach the branch
  auto j = branch().query("SELECT RefNO, ServInvID, VchTypeID, VchType FROM tblStockJournal WHERE ProfileID = 16");
  EXPECT_EQ(j.at(0, "RefNO").toString(), "3");
  EXPECT_EQ(j.at(0, "ServInvID").toInt(), 3);
  EXPECT_EQ(j.at(0, "VchType").toString(), "Opening(FromTransfer)");
  EXPECT_EQ(mark(), "DOWNLAODED");
  EXPECT_TRUE(lockFree());

  // Imported again (the button allows it): the earlier import is replaced, nothing posted twice.
  auto again = importInterimTransfer(ctx, 16, 3);
  EXPECT_TRUE(again.replaced);
  EXPECT_TRUE(again.imported);
  EXPECT_EQ(journals(), 1);
  EXPECT_EQ(lines(), 3);
  EXPECT_EQ(history(), 3);
  EXPECT_DOUBLE_EQ(historyQty(), 28);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblItemRates WHERE VchTypeID = '1005'"), 3);
}

TEST_F(TransferImport, FailureBetweenBranchCommitAndMarkCompletesOnTheNextTry) {
  host.setStrict(false);
  // The central mark cannot be written: the branch commit stands, the voucher stays unmarked.
  central().execute("ALTER TABLE tblStockJournal DROP COLUMN CustomField1");
  auto out = importInterimTransfer(ctx, 16, 3);
  EXPECT_TRUE(out.failed);
  EXPECT_EQ(lines(), 3);
  EXPECT_TRUE(lockFree());
  central().execute("ALTER TABLE tblStockJournal ADD CustomField1 varchar(50) NULL");
  auto rerun = importInterimTransfer(ctx, 16, 3);
  EXPECT_FALSE(rerun.failed);
  EXPECT_TRUE(rerun.replaced);
  EXPECT_TRUE(rerun.marked);
  EXPECT_EQ(mark(), "DOWNLAODED");
  EXPECT_EQ(journals(), 1);
  EXPECT_EQ(lines(), 3);
  EXPECT_EQ(history(), 3);
}

TEST_F(TransferImport, FailureAtALineLeavesNothingAndNoMark) {
  host.setStrict(false);
  // The second line's batch code does not fit the branch's journal line.
  branch().execute("ALTER TABLE tblStockJournalDetail ALTER COLUMN BatchCode varchar(10) NULL");
  central().execute("UPDATE tblStock SET BatchCode = 'B00002-LONG-CODE' WHERE ItemID = 2 AND CCID = 2");
  const long long stockRows = scalar(branch(), "SELECT COUNT(*) FROM tblStock");
  auto out = importInterimTransfer(ctx, 16, 3);
  EXPECT_TRUE(out.failed);
  EXPECT_EQ(journals(), 0);
  EXPECT_EQ(lines(), 0);
  EXPECT_EQ(history(), 0);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStock"), stockRows);
  EXPECT_EQ(mark(), "");
  EXPECT_TRUE(lockFree());
  ASSERT_FALSE(notices().empty());
  EXPECT_NE(notices().back().find("cmdImportInterimtransfers_click"), std::string::npos);
  EXPECT_TRUE(form.cmdImportInterimtransfers.enabled());
}

TEST_F(TransferImport, BusyServerImportsNothing) {
  central().execute(
      "INSERT INTO tblDayActivity (Activity, SQLSERVERNAME, Timeof, BlockDataEntry, SystemName, ActivitiesDetail) "
      "VALUES ('BLOCKFASTPUSH', 'Branch Two', getdate(), 1, '', '')");
  auto out = importInterimTransfer(ctx, 16, 3);
  EXPECT_TRUE(out.busy);
  EXPECT_EQ(journals(), 0);
  EXPECT_EQ(form.lblStatus.caption(), "Server Busy with Branch Two. waiting.");
  EXPECT_EQ(mark(), "");
}

// Head office is a round trip away: the import reads the transfer at once and renews the push lock as a
// lease, so its calls there do not grow with the transfer's lines.
TEST_F(TransferImport, AnImportCostsAFixedFewCallsToHeadOfficeWhateverItsLines) {
  namespace faults = db::embedded::faults;
  faults::configure(*faults::parse("server=central"));
  auto out = importInterimTransfer(ctx, 16, 3);
  const long long calls = faults::counted();
  faults::reset();
  ASSERT_TRUE(out.imported);
  ASSERT_GE(out.lines, 3);
  // The lock (take, release), the transfer's type and rows, the server time, the mark.
  EXPECT_LE(calls, 8) << out.lines << " lines";
}

TEST_F(TransferImport, PageListsTheTypesVouchersAndItems) {
  fillInterimTransferTypes(ctx);
  auto& cbo = form.cboInterimTransferVchtype;
  ASSERT_GE(cbo.listCount(), 2);
  for (int i = 0; i < cbo.listCount(); ++i)
    if (cbo.itemData(i) == 16) cbo.setListIndex(i);
  cboInterimTransferVchtype_Change(ctx);
  ASSERT_EQ(form.lstTransfer.listCount(), 1);
  EXPECT_EQ(form.lstTransfer.items()[0].text.rfind("ST-0003 - 05/Dec/2026 : ", 0), 0u);
  EXPECT_EQ(form.lstTransfer.items()[0].itemData, 3);
  form.lstTransfer.setListIndex(0);
  lstTransfer_Click(ctx);
  EXPECT_TRUE(form.msgInterimItems.visible());
  EXPECT_EQ(form.msgInterimItems.rows(), 5);  // header, three items, the empty last row

  host.expectBox(Answer::Yes, "Do you want to import this voucher");
  auto out = cmdImportInterimtransfers_Click(ctx);
  EXPECT_TRUE(out.imported);
  EXPECT_EQ(form.lblStatus.caption(), "Done");
  ASSERT_EQ(form.lstTransfer.listCount(), 1);
  EXPECT_NE(form.lstTransfer.items()[0].text.find("/DOWNLAODED"), std::string::npos);
}

TEST_F(TransferImport, UnattendedRunImportsEveryWaitingVoucherOnce) {
  form.chkAutoSynchInterimStockTransfer.setValue(1);
  auto first = AutoSynchInterimStockTransfer(ctx);
  EXPECT_EQ(first.failed, 0);
  // The transfer and the purchase; head office's opening journal for this branch (type 1005) is the
  // day start's business, never an interim transfer.
  EXPECT_EQ(first.imported, 2);
  EXPECT_EQ(mark("tblPurchase", 1), "DOWNLAODED");
  EXPECT_EQ(mark(), "DOWNLAODED");
  const long long h = history();
  // The purchase brings item 5 with its apostrophe batch "LOT'5".
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStockJournalDetail WHERE BatchCode = 'LOT''5'"), 1);
  auto second = AutoSynchInterimStockTransfer(ctx);
  EXPECT_EQ(second.imported, 0);
  EXPECT_EQ(history(), h);
  EXPECT_TRUE(lockFree());
}

}  // namespace
}  // namespace erpsync
