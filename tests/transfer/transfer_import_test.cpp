// The interim stock transfer import: head office's stock journal (type 16, InvID 3, addressed to
// Branch One) and purchase (type 2, InvID 1) of the testbed, imported into the branch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/stock_view.h"
#include "db/embedded/fault_injection.h"
#include "pair_fixture.h"
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
  auto out = stock::importInterimTransfer(ctx, 16, 3);
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
  auto again = stock::importInterimTransfer(ctx, 16, 3);
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
  auto out = stock::importInterimTransfer(ctx, 16, 3);
  EXPECT_TRUE(out.failed);
  EXPECT_EQ(lines(), 3);
  EXPECT_TRUE(lockFree());
  central().execute("ALTER TABLE tblStockJournal ADD CustomField1 varchar(50) NULL");
  auto rerun = stock::importInterimTransfer(ctx, 16, 3);
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
  auto out = stock::importInterimTransfer(ctx, 16, 3);
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

TEST_F(TransferImport, BusyServerImportsNothingUnattendedEither) {
  central().execute(
      "INSERT INTO tblDayActivity (Activity, SQLSERVERNAME, Timeof, BlockDataEntry, SystemName, ActivitiesDetail) "
      "VALUES ('BLOCKFASTPUSH', 'Branch Two', getdate(), 1, '', '')");
  auto run = stock::importWaitingTransfers(ctx, {});
  EXPECT_EQ(run.imported, 0);
  EXPECT_EQ(run.failed, 0);
  EXPECT_FALSE(run.completed);  // the next pass tries again
  EXPECT_EQ(form.lblStatus.caption(), "Server Busy with Branch Two. waiting.");
  EXPECT_EQ(journals(), 0);
  EXPECT_EQ(mark(), "");
  EXPECT_EQ(mark("tblPurchase", 1), "");
}

TEST_F(TransferImport, BusyServerImportsNothing) {
  central().execute(
      "INSERT INTO tblDayActivity (Activity, SQLSERVERNAME, Timeof, BlockDataEntry, SystemName, ActivitiesDetail) "
      "VALUES ('BLOCKFASTPUSH', 'Branch Two', getdate(), 1, '', '')");
  auto out = stock::importInterimTransfer(ctx, 16, 3);
  EXPECT_TRUE(out.busy);
  EXPECT_EQ(journals(), 0);
  EXPECT_EQ(form.lblStatus.caption(), "Server Busy with Branch Two. waiting.");
  EXPECT_EQ(mark(), "");
}

// Head office is a round trip away: the import reads the transfer at once and marks it in one call
// that takes and gives back the push lock, so its calls there do not grow with the transfer's lines.
TEST_F(TransferImport, AnImportCostsAFixedFewCallsToHeadOfficeWhateverItsLines) {
  namespace faults = db::embedded::faults;
  faults::configure(*faults::parse("server=central"));
  auto out = stock::importInterimTransfer(ctx, 16, 3);
  const long long calls = faults::counted();
  faults::reset();
  ASSERT_TRUE(out.imported);
  ASSERT_GE(out.lines, 3);
  // The type, the lock's holder and the clock; the transfer's rows; the mark under the lock.
  EXPECT_EQ(calls, 3) << out.lines << " lines";
}

// The timer pass's unattended import asks head office once when nothing waits, and two calls more for
// each voucher it imports.
TEST_F(TransferImport, AnUnattendedRunWithNothingWaitingIsOneCall) {
  namespace faults = db::embedded::faults;
  auto callsOf = [&](stock::AutoTransferOutcome& out) {
    faults::configure(*faults::parse("server=central"));
    out = stock::importWaitingTransfers(ctx, {});
    const long long n = faults::counted();
    faults::reset();
    return n;
  };
  stock::AutoTransferOutcome first, idle;
  EXPECT_EQ(callsOf(first), 1 + 2 * 2);  // the transfer and the purchase
  EXPECT_EQ(first.imported, 2);
  EXPECT_TRUE(first.completed);
  EXPECT_EQ(callsOf(idle), 1);
  EXPECT_EQ(idle.imported, 0);
  EXPECT_TRUE(idle.completed);
}

// A branch that takes the push lock between the reads and the mark: the journal stands at the branch,
// the voucher stays unmarked, and the next import (the lock free again) replaces it and marks it, so
// the stock is counted once.
TEST_F(TransferImport, LockTakenByAnotherBranchBeforeTheMarkIsHealedByTheNextImport) {
  host.setStrict(false);
  bool planted = false;
  host.onDoEvents = [&] {
    if (planted) return;
    planted = true;
    central().execute(
        "INSERT INTO tblDayActivity (Activity, SQLSERVERNAME, Timeof, BlockDataEntry, SystemName, ActivitiesDetail) "
        "VALUES ('BLOCKFASTPUSH', 'Branch Two', getdate(), 1, '', '')");
  };
  auto out = stock::importInterimTransfer(ctx, 16, 3);
  host.onDoEvents = nullptr;
  EXPECT_TRUE(out.imported);
  EXPECT_TRUE(out.busy);
  EXPECT_FALSE(out.marked);
  EXPECT_FALSE(out.failed);
  EXPECT_EQ(form.lblStatus.caption(), "Server Busy with Branch Two. waiting.");
  EXPECT_EQ(mark(), "");
  EXPECT_EQ(history(), 3);
  EXPECT_EQ(scalar(central(), "SELECT COUNT(*) FROM tblDayActivity WHERE SQLSERVERNAME = 'Branch Two'"), 1);

  central().execute("DELETE FROM tblDayActivity WHERE SQLSERVERNAME = 'Branch Two'");
  auto again = stock::importInterimTransfer(ctx, 16, 3);
  EXPECT_TRUE(again.replaced);
  EXPECT_TRUE(again.marked);
  EXPECT_EQ(mark(), "DOWNLAODED");
  EXPECT_EQ(journals(), 1);
  EXPECT_EQ(history(), 3);
  EXPECT_DOUBLE_EQ(historyQty(), 28);
  EXPECT_TRUE(lockFree());
}

TEST_F(TransferImport, PageListsTheTypesVouchersAndItems) {
  fillInterimTransferTypes(ctx);
  auto& cbo = form.cboInterimTransferVchtype;
  ASSERT_GE(cbo.listCount(), 2);
  for (int i = 0; i < cbo.listCount(); ++i)
    if (cbo.itemData(i) == 16) cbo.setListIndex(i);
  onTransferTypeChosen(ctx);
  ASSERT_EQ(form.lstTransfer.listCount(), 1);
  EXPECT_EQ(form.lstTransfer.items()[0].text.rfind("ST-0003 - 05/Dec/2026 : ", 0), 0u);
  EXPECT_EQ(form.lstTransfer.items()[0].itemData, 3);
  form.lstTransfer.setListIndex(0);
  onTransferChosen(ctx);
  EXPECT_TRUE(form.msgInterimItems.visible());
  EXPECT_EQ(form.msgInterimItems.rows(), 5);  // header, three items, the empty last row

  host.expectBox(Answer::Yes, "Do you want to import voucher ST-0003");
  auto out = onImportTransfer(ctx);
  EXPECT_TRUE(out.imported);
  EXPECT_EQ(form.lblStatus.caption(), "Done");
  ASSERT_EQ(form.lstTransfer.listCount(), 1);
  EXPECT_NE(form.lstTransfer.items()[0].text.find("/DOWNLAODED"), std::string::npos);
}

// The page as the receiving branch's operator uses it: the question names the voucher, the items show
// what comes in here, and a voucher imported before is told apart from a fresh import.
class TransferPage : public TransferImport {
 protected:
  // Chooses type 16 and its voucher 3 as the operator would.
  void chooseTheTransfer() {
    fillInterimTransferTypes(ctx);
    chooseType(16);
    ASSERT_EQ(form.lstTransfer.listCount(), 1);
    form.lstTransfer.setListIndex(0);
  }
  void chooseType(long long type) {
    auto& cbo = form.cboInterimTransferVchtype;
    for (int i = 0; i < cbo.listCount(); ++i)
      if (cbo.itemData(i) == type) cbo.setListIndex(i);
    onTransferTypeChosen(ctx);
  }
  // The quantity column of the item grid, row by row.
  std::vector<std::string> gridQuantities() {
    const auto& g = form.msgInterimItems;
    int col = -1;
    for (int c = 0; c < g.cols(); ++c)
      if (g.text(0, c) == "QtyIN") col = c;
    std::vector<std::string> out;
    if (col < 0) return out;
    for (int r = 1; r + 1 < g.rows(); ++r) out.push_back(g.text(r, col));
    return out;
  }
};

TEST_F(TransferPage, QuestionNamesTheVoucherItsDateAndTheSendingBranch) {
  chooseTheTransfer();
  host.expectBox(Answer::No, "Do you want to import voucher ST-0003 of 05/Dec/2026 from Head Office");
  auto out = onImportTransfer(ctx);
  EXPECT_FALSE(out.imported);
  EXPECT_EQ(journals(), 0);
  EXPECT_EQ(mark(), "");
}

TEST_F(TransferPage, ItemsShowTheQuantitiesThatComeInHere) {
  chooseTheTransfer();
  onTransferChosen(ctx);
  ASSERT_TRUE(form.msgInterimItems.visible());
  // Head office gave out 10, 6 and 12; this branch takes them in.
  EXPECT_EQ(gridQuantities(), (std::vector<std::string>{"10", "6", "12"}));
  for (int c = 0; c < form.msgInterimItems.cols(); ++c) EXPECT_NE(form.msgInterimItems.text(0, c), "QtyOut");

  // A purchase shows its quantity as it was.
  chooseType(2);
  ASSERT_GE(form.lstTransfer.listCount(), 1);
  form.lstTransfer.setListIndex(0);
  onTransferChosen(ctx);
  EXPECT_TRUE(form.msgInterimItems.visible());
  EXPECT_EQ(form.msgInterimItems.text(0, 3), "Qty");
}

TEST_F(TransferPage, AVoucherImportedBeforeIsToldApartAndLeftUnlessAskedAgain) {
  chooseTheTransfer();
  host.expectBox(Answer::Yes, "Do you want to import voucher ST-0003");
  ASSERT_TRUE(onImportTransfer(ctx).imported);
  const long long h = history();
  const std::size_t boxesBefore = host.boxes.size();

  // The second click: the box says it is there already and defaults to leaving it.
  form.lstTransfer.setListIndex(0);
  host.expectBox(Answer::No, "Voucher ST-0003 of 05/Dec/2026 from Head Office is already imported at this branch");
  auto declined = onImportTransfer(ctx);
  ASSERT_GT(host.boxes.size(), boxesBefore);
  EXPECT_EQ(host.boxes.back().defaultAnswer, Answer::No);
  EXPECT_TRUE(declined.alreadyImported);
  EXPECT_FALSE(declined.imported);
  EXPECT_FALSE(declined.failed);
  EXPECT_EQ(form.lblStatus.caption(),
            "Voucher ST-0003 of 05/Dec/2026 is already imported at this branch; nothing was changed.");
  EXPECT_EQ(journals(), 1);
  EXPECT_EQ(history(), h);

  // Asked for on purpose, it replaces the first import and says so.
  form.lstTransfer.setListIndex(0);
  host.expectBox(Answer::Yes, "is already imported at this branch");
  auto again = onImportTransfer(ctx);
  EXPECT_TRUE(again.replaced);
  EXPECT_FALSE(again.alreadyImported);
  EXPECT_EQ(form.lblStatus.caption(),
            "Voucher ST-0003 of 05/Dec/2026 imported again in place of its earlier import: 3 stock lines.");
  EXPECT_EQ(journals(), 1);
  EXPECT_EQ(history(), h);
}

// The working day the run is given, not the window's date picker, dates the imported journal.
TEST_F(TransferImport, TheJournalIsDatedTheRunsWorkingDay) {
  WorkingDay day = ctx.day();
  day.date = db::DateTime{2026, 12, 7};
  form.dtpdate.setValue(db::DateTime{2026, 12, 1});
  auto out = stock::importInterimTransfer(ctx, day, stock::TransferImportRequest{16, 3, false, {}});
  ASSERT_TRUE(out.imported);
  EXPECT_EQ(branch().query("SELECT InvDate FROM tblStockJournal WHERE ProfileID = 16").at(0, 0).toDateTime(),
            (db::DateTime{2026, 12, 7}));
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStockHistory WHERE VchTypeID = 1005 AND VchDate = '2026-12-07'"),
            3);
}

TEST_F(TransferImport, UnattendedRunImportsEveryWaitingVoucherOnce) {
  form.chkAutoSynchInterimStockTransfer.setValue(1);
  auto first = runInterimTransfersUnattended(ctx);
  EXPECT_EQ(first.failed, 0);
  // The transfer and the purchase; head office's opening journal for this branch (type 1005) is the
  // day start's business, never an interim transfer.
  EXPECT_EQ(first.imported, 2);
  EXPECT_EQ(mark("tblPurchase", 1), "DOWNLAODED");
  EXPECT_EQ(mark(), "DOWNLAODED");
  const long long h = history();
  // The purchase brings item 5 with its apostrophe batch "LOT'5".
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblStockJournalDetail WHERE BatchCode = 'LOT''5'"), 1);
  auto second = runInterimTransfersUnattended(ctx);
  EXPECT_EQ(second.imported, 0);
  EXPECT_EQ(history(), h);
  EXPECT_TRUE(lockFree());
}

}  // namespace
}  // namespace erpsync
