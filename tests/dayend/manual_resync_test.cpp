// The manual re-sync: head office's copy of this branch's day replaced by a fresh upload, under the
// push lock, and never half done when a statement or a connection fails on the way.
#include "daycycle/manual_resync.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/daycycle_view.h"
#include "day_fixture.h"
#include "db/embedded/fault_injection.h"
#include "settings/daily_log.h"
#include "shared/date_text.h"

namespace erpsync {
namespace {

class ManualResync : public test::DayFixture {
 protected:
  ManualResync() {
    ctx.AutoSyncOn = true;
    form.ChkAutoSynch.setValue(1);
    form.timertrigger.setEnabled(true);
  }
  // A day entered, uploaded and then damaged at head office: a sale lost its lines, a note is gone
  // and an order was copied twice. The other branch's vouchers of the day are there too.
  void damagedDay() {
    otherBranchAtHeadOffice();
    enterDay();
    uploadAll();
    tickBranchVoucherTypes();
    central().execute("DELETE FROM tblSalesItem WHERE InvID = (SELECT min(InvID) FROM tblSales WHERE CCID = 2)");
    central().execute("DELETE FROM tblNotes WHERE VchID = (SELECT min(VchID) FROM tblNotes WHERE CCID = 2)");
    central().execute(
        "INSERT INTO tblOrder (InvID, InvNo, InvDate, VchTypeID, CCID, Party) SELECT InvID + 1000, InvNo, InvDate, "
        "VchTypeID, CCID, Party FROM tblOrder WHERE CCID = 2");
    otherVouchers = centralVouchers(3);
    otherLines = centralLines(3);
  }
  // What the branch counts as at head office, per family: every voucher marked uploaded.
  long long markedAtBranch() { return branchVouchers("SyncStat = 1"); }
  daycycle::ResyncOutcome resync(Answer answer = Answer::Yes) {
    host.expectBox(answer, "Do you want to delete the transactions of " + ddMMMyyyy(today) + " of cost centre 2");
    return onManualSynch(ctx);
  }
  void expectAutoSyncBack() {
    EXPECT_EQ(form.ChkAutoSynch.value(), 1);
    EXPECT_TRUE(form.ChkAutoSynch.visible());
    EXPECT_TRUE(form.timertrigger.enabled());
  }
  void expectOtherBranchUntouched() {
    EXPECT_EQ(centralVouchers(3), otherVouchers);
    EXPECT_EQ(centralLines(3), otherLines);
  }
  // Lines at head office of this branch's vouchers dated other than the working date.
  long long centralLines2OfOtherDays() {
    long long n = 0;
    for (const auto& k : sync::voucherKinds())
      if (!k.detail.empty())
        n += scalar(central(), "SELECT count(*) FROM " + k.detail + " d WHERE EXISTS (SELECT 1 FROM " + k.table +
                                   " h WHERE h." + k.key + " = d." + k.key + " AND h.CCID = 2 AND h." + k.dateColumn +
                                   " <> '" + today.iso().substr(0, 10) + "')");
    return n;
  }
  long long otherVouchers = 0, otherLines = 0;
};

TEST_F(ManualResync, RestoresADamagedDayAndLeavesTheLockFree) {
  damagedDay();
  const long long own = branchVouchers();
  auto out = resync();
  EXPECT_TRUE(out.replaced);
  EXPECT_FALSE(out.failed);
  EXPECT_EQ(lockRows(), 0);
  EXPECT_EQ(out.requeued, own);
  EXPECT_EQ(out.centralDeleted, own);  // a note fewer, an order more
  EXPECT_EQ(out.upload.uploaded, own);
  EXPECT_EQ(centralVouchersOfTheDay(2), own);
  expectEveryVoucherCentralOnce();
  expectOtherBranchUntouched();
  EXPECT_EQ(form.lblStatus.caption(), "updation Over");
  expectAutoSyncBack();
  EXPECT_TRUE(notices().empty());
  // Support staff find each statement in the daily log by its own label.
  ctx.closeLog();
  std::ifstream in(settings::LogFilePath(ctx.LogFolder, form.dtpdate.value()), std::ios::binary);
  std::stringstream log;
  log << in.rdbuf();
  for (const char* label :
       {"Delete Stock History Web", "Delete Sales Web", "Delete Sales item Web", "Update Sales",
        "Delete tblStockJournal Web", "Delete Stock Journal Web", "Delete tblOrder Web", "Update tblOrder",
        "Delete tblJobcard Web", "Delete Job Card Web", "Update Jobcard ", "Delete Notes Web", "Update NOtes"})
    EXPECT_NE(log.str().find(label), std::string::npos) << label;
}

TEST_F(ManualResync, NeverMovesTheUploadMarkBack) {
  damagedDay();
  const long long ahead = scalar(branch(), "SELECT max(ID) FROM tblActivity") + 500;
  ctx.MaxActivityIDTrans = ahead;
  ctx.writeLoopSetting("MaxActivityIDTrans", std::to_string(ahead));
  EXPECT_TRUE(resync().replaced);
  EXPECT_EQ(ctx.MaxActivityIDTrans, ahead);
  EXPECT_EQ(ctx.readLoopSetting("MaxActivityIDTrans"), std::to_string(ahead));
  expectEveryVoucherCentralOnce();
}

TEST_F(ManualResync, AnotherBranchHoldingTheLockMeansNothingChanges) {
  damagedDay();
  const long long ownCentral = centralVouchers(2);
  central().execute(
      "INSERT INTO tblDayActivity (Activity, BlockDataEntry, SQLSERVERNAME, SystemName, ActivitiesDetail, Timeof) "
      "VALUES ('BLOCKFASTPUSH', 1, 'Branch Two', '', 'Blocking for data pushing from client', getdate())");
  auto out = resync();
  EXPECT_TRUE(out.busy);
  EXPECT_FALSE(out.replaced);
  EXPECT_NE(form.lblStatus.caption().find("Branch Two"), std::string::npos);
  EXPECT_EQ(centralVouchers(2), ownCentral);
  EXPECT_EQ(markedAtBranch(), branchVouchers());
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblDayActivity WHERE SQLSERVERNAME = 'Branch Two'"), 1);
  expectAutoSyncBack();
}

TEST_F(ManualResync, HeadOfficeGoingAwayBeforeTheDeletesLeavesTheDayAsItWas) {
  damagedDay();
  const long long ownCentral = centralVouchers(2), ownLines = centralLines(2);
  // The branch has re-queued the day; then the link to head office goes.
  int statements = 0;
  host.onDoEvents = [&] {
    if (++statements == 5) ctx.WebConnection->close();
  };
  auto out = resync();
  host.onDoEvents = nullptr;
  EXPECT_TRUE(out.failed);
  EXPECT_FALSE(out.replaced);
  ctx.WebConnection = db::openConnection(companyConnectionString("HO01", kCentralServer), dir.path());
  EXPECT_EQ(centralVouchers(2), ownCentral);
  EXPECT_EQ(centralLines(2), ownLines);
  EXPECT_EQ(markedAtBranch(), branchVouchers());
  expectOtherBranchUntouched();
  ASSERT_FALSE(notices().empty());
  EXPECT_NE(notices()[0].find("cmdManualSynch_click"), std::string::npos);
  expectAutoSyncBack();
}

TEST_F(ManualResync, AFailingRequeueAtTheBranchLeavesHeadOfficeAlone) {
  damagedDay();
  const long long ownCentral = centralVouchers(2), ownLines = centralLines(2);
  // The branch's job cards cannot be re-queued.
  branch().execute("DROP INDEX tblJobcard.IX_tblJobCard_SyncStat");
  branch().execute("ALTER TABLE tblJobcard DROP COLUMN SyncStat");
  auto out = resync();
  EXPECT_TRUE(out.failed);
  EXPECT_EQ(centralVouchers(2), ownCentral);
  EXPECT_EQ(centralLines(2), ownLines);
  for (const char* t : {"tblSales", "tblOrder", "tblStockJournal", "tblNotes"})
    EXPECT_EQ(scalar(branch(), std::string("SELECT count(*) FROM ") + t + " WHERE SyncStat = 0"), 0) << t;
  expectOtherBranchUntouched();
  EXPECT_EQ(lockRows(), 0);
  ASSERT_EQ(notices().size(), 1u);
  EXPECT_NE(notices()[0].find("cmdManualSynch_click"), std::string::npos);
  expectAutoSyncBack();
}

TEST_F(ManualResync, TheBranchConnectionClosingHalfwayLeavesEveryVoucherLiveAtHeadOffice) {
  damagedDay();
  const long long ownCentral = centralVouchers(2);
  // The link to the branch server goes after two of the branch's re-queues.
  int statements = 0;
  host.onDoEvents = [&] {
    if (++statements == 2) ctx.LocalConnection->close();
  };
  auto out = resync();
  host.onDoEvents = nullptr;
  EXPECT_TRUE(out.failed);
  EXPECT_EQ(centralVouchers(2), ownCentral);
  expectOtherBranchUntouched();
  EXPECT_EQ(lockRows(), 0);
  ctx.LocalConnection = db::openConnection(companyConnectionString("BR01", kBranchServer), dir.path());
  EXPECT_EQ(markedAtBranch(), branchVouchers());
  expectAutoSyncBack();
}

// Head office answers the deletes with an error: nothing of them stays there, and the branch's
// re-queue is taken back, so the day is as it was on both sides.
TEST_F(ManualResync, AFailingDeleteAtHeadOfficeTakesTheRequeueBack) {
  damagedDay();
  const long long ownCentral = centralVouchers(2), ownLines = centralLines(2);
  central().execute("ALTER TABLE tblStockHistory DROP COLUMN VchDate");  // the deletes' first statement fails
  auto out = resync();
  EXPECT_TRUE(out.failed);
  EXPECT_FALSE(out.replaced);
  EXPECT_EQ(centralVouchers(2), ownCentral);
  EXPECT_EQ(centralLines(2), ownLines);
  EXPECT_EQ(markedAtBranch(), branchVouchers());
  expectOtherBranchUntouched();
  EXPECT_EQ(lockRows(), 0);
  ASSERT_EQ(notices().size(), 1u);
  EXPECT_NE(notices()[0].find("cmdManualSynch_click"), std::string::npos);
  expectAutoSyncBack();
}

// A link to head office lost after the deletes committed: the branch keeps the day queued, and the next
// upload sends it; every voucher ends at head office once.
TEST_F(ManualResync, AReplyLostAfterTheDeletesKeepsTheDayQueued) {
  damagedDay();
  namespace faults = db::embedded::faults;
  faults::configure(*faults::parse("at=1;server=central;kind=drop;when=after;match=Delete from tblSales"));
  auto out = resync();
  faults::reset();
  EXPECT_TRUE(out.failed);
  ctx.WebConnection = db::openConnection(companyConnectionString("HO01", kCentralServer), dir.path());
  EXPECT_EQ(centralVouchersOfTheDay(2), 0);
  EXPECT_EQ(markedAtBranch(), 0);
  uploadAll();
  expectEveryVoucherCentralOnce();
  expectOtherBranchUntouched();
  EXPECT_EQ(lockRows(), 0);
}

TEST_F(ManualResync, AnsweringNoStillRefreshesTheCounts) {
  damagedDay();
  const long long ownCentral = centralVouchers(2), ownLines = centralLines(2) - centralLines2OfOtherDays();
  // "Keep AutoSynch Always On" is off: the box the operator ticked stays ticked all the same.
  ctx.AutoSyncOn = false;
  auto out = resync(Answer::No);
  // The question is asked with the numbers counted before it, and No is its default.
  const auto& q = host.boxes.back();
  EXPECT_EQ(q.defaultAnswer, Answer::No);
  EXPECT_NE(q.text.find("Head office: " + std::to_string(centralVouchersOfTheDay(2)) + " vouchers with " +
                        std::to_string(ownLines) + " lines are deleted"),
            std::string::npos)
      << q.text;
  EXPECT_NE(q.text.find("This branch: " + std::to_string(branchVouchers()) + " vouchers of that date are sent up"),
            std::string::npos)
      << q.text;
  EXPECT_TRUE(out.asked);
  EXPECT_FALSE(out.replaced);
  EXPECT_EQ(centralVouchers(2), ownCentral);
  EXPECT_EQ(form.lblStatus.caption(), "updation Over");
  EXPECT_GT(form.msgTransGrid.rows(), 1);
  expectAutoSyncBack();
}

TEST_F(ManualResync, WithoutACostCentreNothingIsAsked) {
  enterDay(1);
  uploadAll();
  form.lblCostcentre.setTag("0");
  ctx.AutoSyncOn = false;
  host.expectBox(Answer::OK, "Cost Centre not defined Correctly.Exiting now");
  auto out = onManualSynch(ctx);
  EXPECT_FALSE(out.asked);
  EXPECT_EQ(markedAtBranch(), branchVouchers());
  // The box comes back as the operator left it (ticked) on every way out, though AutoSyncOn is off.
  expectAutoSyncBack();
}

}  // namespace
}  // namespace erpsync
