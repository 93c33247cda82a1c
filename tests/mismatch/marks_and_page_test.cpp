// The high-water-mark tools (the marks label and Clear Activity), and the Mismatch page's check with
// the operator's re-send question.
#include <gtest/gtest.h>

#include "app/frm_synch.h"
#include "app/reconcile_view.h"
#include "mismatch_fixture.h"
#include "reconcile/activity_marks.h"
#include "reconcile/locate_mismatching_trans.h"
#include "reconcile/mismatch_page.h"

namespace erpsync {
namespace {

class Marks : public test::UploadedDay {
 protected:
  Marks() { host.setStrict(true); }
  void logCentralChanges(int n) {
    for (int i = 1; i <= n; ++i)
      central().execute("INSERT INTO tblActivity (ID, TableName, tblUniqueID, Action, Active, DateofAction) VALUES (" +
                        std::to_string(1200 + i) + ", 'tblItemMaster', " + std::to_string(i) +
                        ", 'Update', 1, getdate())");
  }
};

TEST_F(Marks, AnEmptiedCentralLogOffersTheResetOnlyYesChangesTheMarks) {
  enterAndUpload();
  central().execute("DELETE FROM tblActivity");
  ctx.MaxActivityID = 950;
  ctx.writeLoopSetting("MaxActivityID", "950");
  // The voucher mark is within the branch log: the reset leaves it where it is.
  ASSERT_GT(reconcile::ReadActivityLogTops(ctx, ctx.day()).branch, 7);
  ctx.MaxActivityIDTrans = 7;
  ctx.writeLoopSetting("MaxActivityIDTrans", "7");
  host.expectBox(Answer::No, "do you want to reset now");
  reconcile::onActivityMarksClicked(ctx);
  EXPECT_EQ(ctx.MaxActivityID, 950);
  EXPECT_EQ(ctx.MaxActivityIDTrans, 7);
  // The question says what moves and what stays, and No is its default.
  EXPECT_EQ(host.boxes.back().defaultAnswer, Answer::No);
  EXPECT_NE(host.boxes.back().text.find("head office's MaxActivityID goes from 950 down to 0, this branch's "
                                        "MaxActivityIDTrans stays at 7"),
            std::string::npos)
      << host.boxes.back().text;
  host.expectBox(Answer::Yes, " your web activity log ID is 0 but your desktop synch ID is 950");
  reconcile::onActivityMarksClicked(ctx);
  EXPECT_EQ(host.boxes.back().buttons, Buttons::YesNo);
  EXPECT_EQ(host.boxes.back().icon, Icon::Question);
  EXPECT_EQ(ctx.MaxActivityID, 0);
  EXPECT_EQ(ctx.readLoopSetting("MaxActivityID"), "0");
  EXPECT_EQ(ctx.MaxActivityIDTrans, 7);
  EXPECT_EQ(ctx.readLoopSetting("MaxActivityIDTrans"), "7");
  EXPECT_EQ(form.lblMaxIDS.caption().rfind(" Max Server Activity ID 0\r\nMax client trans Activity ID 7\r\n", 0), 0u);
}

TEST_F(Marks, AWaitingBranchDeleteSurvivesAResetAndIsSent) {
  enterAndUpload();
  const auto sale = voucher("tblSales");
  ASSERT_EQ(liveCopies("tblSales", sale.number), 1);
  const long long mark = ctx.MaxActivityIDTrans;
  branch().execute("DELETE FROM tblSalesItem WHERE InvID = " + std::to_string(sale.id));
  branch().execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(sale.id));
  // The delete waits above the voucher mark; the master mark is above head office's log, so the reset
  // is offered.
  ASSERT_GT(reconcile::ReadActivityLogTops(ctx, ctx.day()).branch, mark);
  ctx.MaxActivityID = 999;
  host.expectBox(Answer::Yes, "do you want to reset now");
  reconcile::onActivityMarksClicked(ctx);
  EXPECT_EQ(ctx.MaxActivityIDTrans, mark);
  EXPECT_EQ(ctx.readLoopSetting("MaxActivityIDTrans"), std::to_string(mark));
  ageBranchChanges(5);
  EXPECT_EQ(sync::uploadTransactions(ctx, false).deletesMarked, 1);
  EXPECT_EQ(liveCopies("tblSales", sale.number), 0);
}

TEST_F(Marks, MarksWithinTheLogsOnlyTellTheValues) {
  enterAndUpload();
  logCentralChanges(3);
  const auto tops = reconcile::ReadActivityLogTops(ctx, ctx.day());
  EXPECT_EQ(tops.server, 1203);
  EXPECT_GT(tops.branch, 0);
  ctx.MaxActivityID = 1203;
  ctx.MaxActivityIDTrans = tops.branch;
  ctx.writeLoopSetting("MaxActivityIDTrans", "1");
  host.expectBox(Answer::OK, " your web activity log ID is 1203 but your desktop synch ID is 1203");
  reconcile::onActivityMarksClicked(ctx);
  EXPECT_EQ(host.boxes.back().buttons, Buttons::OK);
  EXPECT_EQ(ctx.readLoopSetting("MaxActivityIDTrans"), "1");  // nothing written
}

// The upload's mark passes every row of the branch log once recorded, whatever its date: only a log
// emptied under it puts the log behind, never another working date.
TEST_F(Marks, OnlyABranchLogEmptiedUnderTheMarkPutsItBehind) {
  enterAndUpload();
  ctx.MaxActivityIDTrans = 5;
  workingDay.date = db::DateTime::fromDayNumber(today.dayNumber() + 1);
  EXPECT_GE(reconcile::ReadActivityLogTops(ctx, ctx.day()).branch, 5);
  branch().execute("DELETE FROM tblActivity");
  EXPECT_EQ(reconcile::ReadActivityLogTops(ctx, ctx.day()).branch, 0);
  host.expectBox(Answer::Yes, "do you want to reset now");
  reconcile::onActivityMarksClicked(ctx);
  EXPECT_EQ(ctx.MaxActivityIDTrans, 0);
  EXPECT_EQ(ctx.readLoopSetting("MaxActivityIDTrans"), "0");
}

TEST_F(Marks, ClearActivitySkipsEveryPendingMasterChange) {
  logCentralChanges(4);
  ctx.MaxActivityID = 3;
  form.msgActivity.addItem("5\ttblItemMaster\t1/1/2026");
  host.expectBox(Answer::No, "Do you want to clear master updation activities from server");
  reconcile::onClearActivity(ctx);
  EXPECT_EQ(ctx.MaxActivityID, 3);
  // The question counts what would be skipped, and No is its default.
  const long long pending = scalar(central(), "SELECT count(*) FROM tblActivity WHERE ID > 3");
  EXPECT_EQ(host.boxes.back().defaultAnswer, Answer::No);
  EXPECT_NE(host.boxes.back().text.find("Head office: " + std::to_string(pending) +
                                        " master changes waiting above MaxActivityID 3 (up to 1204) are skipped"),
            std::string::npos)
      << host.boxes.back().text;

  host.expectBox(Answer::Yes, "Do you want to clear master updation activities from server");
  reconcile::onClearActivity(ctx);
  EXPECT_EQ(ctx.MaxActivityID, 1204);
  EXPECT_EQ(ctx.readLoopSetting("MaxActivityID"), "1204");
  EXPECT_EQ(form.msgActivity.rows(), 1);
  EXPECT_EQ(form.msgActivity.text(0, 1), " TableName ");
  // Nothing was deleted from the log.
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblActivity WHERE ID > 1200"), 4);
}

TEST_F(Marks, AnUnreadableLogIsToldAndNothingIsWritten) {
  ctx.MaxActivityID = 10;
  ctx.WebConnection->close();
  host.expectBox(Answer::OK, "closed");
  reconcile::onActivityMarksClicked(ctx);
  // Without head office nothing can be counted, so nothing is asked: the error is told.
  host.expectBox(Answer::OK, "closed");
  reconcile::onClearActivity(ctx);
  EXPECT_EQ(host.boxes.back().icon, Icon::Exclamation);
  EXPECT_EQ(ctx.MaxActivityID, 10);
}

// --- the Mismatch page -----------------------------------------------------------------------------

class Page : public test::UploadedDay {};

TEST_F(Page, TheCheckListsAndVerifiesAndGivesAutoSyncBackAsItWas) {
  enterAndUpload();
  const auto sale = voucher("tblSales"), order = voucher("tblOrder");
  central().execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(sale.central));
  central().execute("UPDATE tblOrderItem SET Qty = Qty + 1 WHERE InvID = " + std::to_string(order.central));
  form.ChkAutoSynch.setValue(1);
  form.timertrigger.setEnabled(true);
  bool timerOffDuringCheck = false;
  host.onDoEvents = [&] { timerOffDuringCheck |= !form.timertrigger.enabled() && !form.SSTab2.enabled(); };

  reconcile::checkMismatchPage(ctx);
  EXPECT_TRUE(timerOffDuringCheck);
  EXPECT_EQ(form.lblStatus.caption(), "Checking Ended");
  EXPECT_EQ(form.msgMisMatch.text(1, 1), sale.number);
  EXPECT_EQ(form.msgMisMatch.rows(), 3);
  // The changed quantity is only seen by the verification.
  ASSERT_EQ(form.msgVerify.rows(), 3);
  EXPECT_EQ(form.msgVerify.text(1, 1), sale.number);
  EXPECT_EQ(form.msgVerify.text(2, 1), order.number);
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_TRUE(form.ChkAutoSynch.visible());
  EXPECT_TRUE(form.SSTab2.enabled());
  EXPECT_FALSE(host.busy);

  // Auto-sync that was off stays off: the check does not start the timer.
  form.ChkAutoSynch.setValue(0);
  form.timertrigger.setEnabled(false);
  ctx.AutoSyncOn = true;
  reconcile::checkMismatchPage(ctx);
  EXPECT_EQ(form.ChkAutoSynch.value(), 0);
  EXPECT_FALSE(form.timertrigger.enabled());
}

TEST_F(Page, TheResendQuestionDecidesWhetherAnythingIsQueued) {
  enterAndUpload();
  const auto sale = voucher("tblSales");
  central().execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(sale.central));
  host.expectBox(Answer::No, "1 voucher(s) of the day differ from head office");
  auto out = reconcile::ResyncMismatches(ctx, ctx.day());
  ASSERT_EQ(out.vouchers.size(), 1u);
  EXPECT_FALSE(out.vouchers[0].requeued);
  EXPECT_EQ(syncStat("tblSales", sale.id), 1);

  host.expectBox(Answer::Yes, "Send them again?");
  out = reconcile::ResyncMismatches(ctx, ctx.day());
  ASSERT_EQ(out.vouchers.size(), 1u);  // listed once, not once per run
  EXPECT_TRUE(out.vouchers[0].requeued);
  EXPECT_EQ(syncStat("tblSales", sale.id), 0);
  upload();
  expectConverged();
}

TEST_F(Page, TheWindowRunsTheCheckOnThePageAndTheMarkToolsOnTheirControls) {
  enterAndUpload();
  FrmSynch frm(ctx);
  central().execute("DELETE FROM tblNotes");
  form.SSTab2.setTab(2);
  EXPECT_EQ(form.lblStatus.caption(), "Checking Ended");
  EXPECT_EQ(form.msgMisMatch.rows(), 2 + 2);  // both notes
  EXPECT_EQ(form.msgVerify.rows(), 1 + 2);

  central().execute("DELETE FROM tblActivity");
  ctx.MaxActivityID = 4;
  host.expectBox(Answer::No, "do you want to reset now");
  ASSERT_TRUE(form.onActivityMarksClicked);
  form.onActivityMarksClicked();
  host.expectBox(Answer::Yes, "Do you want to clear master updation activities from server");
  form.cmdClearActivity.click();
  EXPECT_EQ(ctx.MaxActivityID, 0);
}

}  // namespace
}  // namespace erpsync
