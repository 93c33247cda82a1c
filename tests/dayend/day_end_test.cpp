// Day end on a branch and head office: closing a day whose vouchers all arrived, and refusing one that
// differs, that cannot be counted, or whose locks cannot all be written.
#include "daycycle/day_end.h"

#include <gtest/gtest.h>

#include "app/daycycle_view.h"
#include "day_fixture.h"
#include "daycycle/day_start.h"
#include "reconcile/verify_day.h"
#include "shared/connections.h"
#include "../daystart/faulty_connection.h"
#include "shared/date_text.h"

namespace erpsync {
namespace {

using daycycle::DayEndResult;

class DayEnd : public test::DayFixture {
 protected:
  DayEnd() {
    ctx.AutoSyncOn = true;
    form.ChkAutoSynch.setValue(1);
    form.timertrigger.setEnabled(true);
  }
  // Records the locator's calls instead of running it.
  daycycle::MismatchLocator recorder() {
    return [this](SyncContext&, const std::string& m, const std::string& d, bool force) {
      locatorCalls.push_back(m + "/" + d + (force ? "/force" : ""));
      return reconcile::MismatchOutcome{};
    };
  }
  DayEndResult dayEnd() {
    host.expectBox(Answer::Yes, "Are you sure you want to DAY END now");
    return onDayEnd(ctx, recorder());
  }
  long long lockedAtBranch() { return branchVouchers("LockMode = 1"); }
  long long dayEndRows(db::Connection& c) {
    return scalar(c,
                  "SELECT count(*) FROM tblDayActivity WHERE Activity = 'DayEnd' AND CCID = 2 AND BlnEnded = 1 "
                  "AND BlockDataEntry = 1");
  }
  std::vector<std::string> locatorCalls;
};

TEST_F(DayEnd, ADayWhoseVouchersAllArrivedIsLockedAndRecordedOnBothSides) {
  startDay();
  enterDay();
  uploadAll();
  ASSERT_EQ(lockedAtBranch(), 0);
  auto lockedCentral = [&] {
    long long n = 0;
    for (const auto& k : sync::voucherKinds())
      n += scalar(central(), "SELECT count(*) FROM " + k.table + " WHERE LockMode = 1");
    return n;
  };
  const long long lockedCentralBefore = lockedCentral();
  EXPECT_EQ(dayEnd(), DayEndResult::Closed);
  EXPECT_EQ(lockedAtBranch(), branchVouchers());
  EXPECT_EQ(dayEndRows(branch()), 1);
  EXPECT_EQ(dayEndRows(central()), 1);
  // Head office's copies keep their own lock flag.
  EXPECT_EQ(lockedCentral(), lockedCentralBefore);
  EXPECT_EQ(form.lblStatusMain.caption(), "Day end Finished");
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
  EXPECT_TRUE(locatorCalls.empty());
  EXPECT_TRUE(notices().empty());
}

TEST_F(DayEnd, AnsweringNoChangesNothingAndKeepsTheTimer) {
  enterDay(2);
  uploadAll();
  host.expectBox(Answer::No, "DAY END");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Declined);
  EXPECT_EQ(lockedAtBranch(), 0);
  EXPECT_EQ(dayEndRows(branch()), 0);
  EXPECT_TRUE(form.timertrigger.enabled());
}

TEST_F(DayEnd, ADifferenceRefusesForcesEveryFamilyAndPutsAutoSyncBack) {
  enterDay();
  uploadAll();
  // Head office lost one line of a sale and a whole note.
  central().execute("DELETE FROM tblSalesItem WHERE InvID = (SELECT min(InvID) FROM tblSales)");
  central().execute("DELETE FROM tblNotes WHERE VchID = (SELECT min(VchID) FROM tblNotes)");
  host.expectBox(Answer::Yes, "DAY END").expectBox(Answer::OK, "Day End stopped: the branch and head office differ");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Differs);
  EXPECT_EQ(host.boxes.back().icon, Icon::Critical);
  EXPECT_EQ(lockedAtBranch(), 0);
  EXPECT_EQ(dayEndRows(branch()), 0);
  EXPECT_EQ(dayEndRows(central()), 0);
  EXPECT_EQ(form.lblStatusMain.caption(), "Day end Aborted");
  EXPECT_NE(form.lblStatus.caption().find("The table SalesItem differes"), std::string::npos);
  EXPECT_NE(form.lblStatus.caption().find("The table Notes differes"), std::string::npos);
  EXPECT_EQ(locatorCalls, (std::vector<std::string>{
                              "tblSales/tblSalesItem/force", "tblNotes//force",
                              "tblStockJournal/tblStockJournalDetail/force", "tblJobCard/tblJobCardDetail/force",
                              "tblOrder/tblOrderItem/force"}));
  EXPECT_EQ(form.SSTab2.tab(), 2);
  // The re-queued vouchers go up with the next passes: AutoSynch is back as the operator left it.
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
}

TEST_F(DayEnd, BringingTheMismatchPageForwardDoesNotRunThePagesOwnCheck) {
  enterDay(1);
  uploadAll();
  central().execute("DELETE FROM tblSales");
  int pageRuns = 0;
  form.SSTab2.onClick = [&](int) { ++pageRuns; };
  host.expectBox(Answer::Yes, "DAY END").expectBox(Answer::OK, "Day End stopped: the branch and head office differ");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Differs);
  EXPECT_EQ(form.SSTab2.tab(), 2);
  EXPECT_EQ(pageRuns, 0);
  ASSERT_TRUE(form.SSTab2.onClick);  // still there for the operator's clicks
  form.SSTab2.setTab(0);
  EXPECT_EQ(pageRuns, 1);
}

TEST_F(DayEnd, AnUnreachableHeadOfficeRefusesAndLocksNothing) {
  enterDay(2);
  uploadAll();
  ctx.WebConnection->close();
  host.expectBox(Answer::Yes, "DAY END").expectBox(Answer::OK, "could not be compared with head office");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Unverified);
  EXPECT_EQ(lockedAtBranch(), 0);
  EXPECT_EQ(dayEndRows(branch()), 0);
  EXPECT_EQ(form.lblStatusMain.caption(), "Day end Aborted");
  EXPECT_FALSE(notices().empty());
  // Nothing needs repairing: the branch goes on uploading once head office is back.
  EXPECT_TRUE(locatorCalls.empty());
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
}

TEST_F(DayEnd, OtherBranchesVouchersOfTheSameDayDoNotBlockIt) {
  startDay();
  otherBranchAtHeadOffice();
  enterDay();
  uploadAll();
  const long long others = centralVouchers(3);
  ASSERT_GT(others, 0);
  EXPECT_EQ(dayEnd(), DayEndResult::Closed);
  // With voucher types ticked the checks are confined to them as well.
  tickBranchVoucherTypes();
  EXPECT_EQ(dayEnd(), DayEndResult::Closed);
  EXPECT_EQ(centralVouchers(3), others);
  EXPECT_EQ(dayEndRows(central()), 2);
}

TEST_F(DayEnd, CountsStartAtTheDayStartDate) {
  enterDay(2);
  uploadAll();
  // An old voucher head office lacks does not hold up a day started after it, once its day was closed
  // (a day never closed is compared, whatever day start came after it).
  branch().execute(
      "UPDATE tblSales SET InvDate = DATEADD(day, -3, InvDate) WHERE InvID = (SELECT min(InvID) FROM "
      "tblSales)");
  central().execute("DELETE FROM tblSales WHERE InvID = (SELECT min(InvID) FROM tblSales)");
  startDay();
  host.expectBox(Answer::Yes, "DAY END").expectBox(Answer::OK, "Day End stopped: the branch and head office differ");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Differs);
  clock.set(db::DateTime::fromDayNumber(today.dayNumber() - 2));
  daycycle::WriteDayActivity(ctx, "DayEnd", "Day End Completed", 2, true);
  startDay();
  // The refusal queued the voucher again: as it was, marked sent, for this check.
  branch().execute("UPDATE tblSales SET SyncStat = 1 WHERE InvID = (SELECT min(InvID) FROM tblSales)");
  EXPECT_EQ(dayEnd(), DayEndResult::Closed);
  // The same day started three days earlier counts that voucher, and refuses.
  clock.set(db::DateTime::fromDayNumber(today.dayNumber() - 3));
  daycycle::WriteDayActivity(ctx, "DayStart", "Day Start Completed", 2, false);
  host.expectBox(Answer::Yes, "DAY END").expectBox(Answer::OK, "Day End stopped: the branch and head office differ");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Differs);
}

TEST_F(DayEnd, AFailingLockLocksNothingAndWritesNoDayRow) {
  startDay();
  enterDay(2);
  uploadAll();
  // The last of the lock statements cannot run.
  branch().execute("ALTER TABLE tblOrder DROP COLUMN LockMode");
  EXPECT_EQ(dayEnd(), DayEndResult::Failed);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblSales WHERE LockMode = 1"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblNotes WHERE LockMode = 1"), 0);
  EXPECT_EQ(dayEndRows(branch()), 0);
  EXPECT_EQ(dayEndRows(central()), 0);
  ASSERT_EQ(notices().size(), 1u);
  EXPECT_NE(notices()[0].find("LockMode"), std::string::npos);
  EXPECT_NE(form.lblStatusMain.caption(), "Day end Finished");
}

TEST_F(DayEnd, WithoutACostCentreNothingIsAskedOrChanged) {
  enterDay(1);
  uploadAll();
  form.lblCostcentre.setTag("");
  host.expectBox(Answer::OK, "Cost Centre not defined");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::NoCostCentre);
  EXPECT_EQ(lockedAtBranch(), 0);
  EXPECT_TRUE(form.timertrigger.enabled());
}

// Counts that agree by accident: head office holds one sale twice (under the number of another) and the
// other not at all. Each family's header and line counts are equal, yet the day is not in step.
TEST_F(DayEnd, CountsThatAgreeByAccidentDoNotCloseTheDay) {
  startDay();
  enterDay(3);
  uploadAll();
  auto sales = branch().query("SELECT InvNo, ServInvID FROM tblSales ORDER BY InvID");
  ASSERT_GE(sales.size(), 2u);
  central().execute("UPDATE tblSales SET InvNo = '" + sales.at(1, 0).toString() +
                    "' WHERE InvID = " + sales.at(0, 1).toString());
  host.expectBox(Answer::Yes, "DAY END").expectBox(Answer::OK, "Day End stopped: the branch and head office differ");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Differs);
  EXPECT_EQ(lockedAtBranch(), 0);
  EXPECT_EQ(dayEndRows(branch()), 0);
  EXPECT_EQ(dayEndRows(central()), 0);
  EXPECT_EQ(locatorCalls.size(), 5u);
  // The Verify page names both vouchers.
  std::string listed;
  for (int r = 1; r < form.msgVerify.rows(); ++r) listed += form.msgVerify.text(r, 1) + ":" + form.msgVerify.text(r, 4) + ";";
  EXPECT_NE(listed.find(sales.at(0, 0).toString() + ":missing at head office"), std::string::npos) << listed;
  EXPECT_NE(listed.find(sales.at(1, 0).toString() + ":twice at head office"), std::string::npos) << listed;
}

// The opening stock journal a day start writes never goes up; with no voucher type ticked the day end
// still compares like with like and closes the day.
TEST_F(DayEnd, ClosesAfterARealDayStartWithNoVoucherTypeTicked) {
  clock.set(today);
  form.lstVchtypes.clear();
  host.setStrict(false);
  host.expectBox(Answer::Yes, "DAY START");
  const auto started = onDayStart(ctx);
  ASSERT_TRUE(started.completed) << (notices().empty() ? "" : notices()[0]);
  ASSERT_GT(started.stockLines, 0);
  ASSERT_EQ(scalar(branch(), "SELECT count(*) FROM tblStockJournal WHERE VchTypeID = 1005"), 1);
  enterDay(2);
  uploadAll();
  EXPECT_EQ(dayEnd(), DayEndResult::Closed) << (notices().empty() ? "" : notices()[0]);
  EXPECT_TRUE(locatorCalls.empty());
}

TEST_F(DayEnd, ADayRowThatCannotBeWrittenIsNamedNotReportedWritten) {
  startDay();
  enterDay(2);
  uploadAll();
  auto faulty = std::make_unique<test::FaultyConnection>(std::move(ctx.WebConnection));
  faulty->failOn("INTO [tblDayActivity]", 1, "String or binary data would be truncated.");
  ctx.WebConnection = std::move(faulty);
  EXPECT_EQ(dayEnd(), DayEndResult::ClosedWithoutDayRow);
  EXPECT_EQ(dayEndRows(branch()), 1);
  EXPECT_EQ(dayEndRows(central()), 0);
  EXPECT_NE(form.lblStatus.caption().find("head office's day row"), std::string::npos) << form.lblStatus.caption();
  ASSERT_EQ(notices().size(), 1u);
  EXPECT_NE(notices()[0].find("truncated"), std::string::npos);
}

// The whole way through, with the real mismatch locator: head office deletes its newest copy, the next
// upload takes that number for another voucher, and the day end must neither retire that voucher's copy
// nor close a day with a voucher missing.
TEST_F(DayEnd, ANumberHeadOfficeReusesNeverLetsADayCloseWithAVoucherMissing) {
  ConfigureLinkedServer(ctx, kCentralServer);
  startDay();
  enterDay(2);
  uploadAll();
  auto sales = branch().query("SELECT InvNo, ServInvID FROM tblSales ORDER BY InvID");
  const std::string second = sales.at(1, 0).toString(), secondCentral = sales.at(1, 1).toString();
  ASSERT_EQ(scalar(central(), "SELECT max(InvID) FROM tblSales"), sales.at(1, 1).toInt());
  central().execute("DELETE FROM tblSalesItem WHERE InvID = " + secondCentral);
  central().execute("DELETE FROM tblSales WHERE InvID = " + secondCentral);
  testbed::SimulationOptions o;
  o.sales = 1;
  o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = 0;
  o.masterChanges = o.boardRates = 0;
  o.date = today;
  o.seed = 5;
  testbed::simulateErpActivity(&branch(), nullptr, o);
  uploadAll();
  auto third = branch().query("SELECT InvNo, ServInvID FROM tblSales ORDER BY InvID DESC");
  ASSERT_EQ(third.at(0, 1).toString(), secondCentral) << "the reused number";

  host.expectBox(Answer::Yes, "DAY END").expectBox(Answer::OK, "Day End stopped: the branch and head office differ");
  EXPECT_EQ(onDayEnd(ctx), DayEndResult::Differs);
  EXPECT_EQ(lockedAtBranch(), 0);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE InvNo = '" + third.at(0, 0).toString() +
                                  "' AND isnull(Party,'') <> '#DELETEDFROMBRANCH#'"),
            1)
      << "the other voucher's copy stays live";

  uploadAll();
  host.expectBox(Answer::Yes, "DAY END");
  EXPECT_EQ(onDayEnd(ctx), DayEndResult::Closed);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2 AND InvNo = '" + second +
                                  "' AND isnull(Party,'') <> '#DELETEDFROMBRANCH#'"),
            1);
  EXPECT_TRUE(reconcile::VerifyDay(ctx).differences.empty());
}

// Vouchers entered minutes ago wait for the upload's interval: that is no difference between the two
// sides. The day end says how many wait and when to try again, re-queues nothing and runs no locator.
TEST_F(DayEnd, VouchersStillWaitingForTheirIntervalAreToldAsWaiting) {
  startDay();
  enterDay(2);
  uploadAll();
  enterDay(3);  // more of the day, logged just now
  form.cbointerval.setText("5 Minutes");
  const long long waiting = branchVouchers("isnull(SyncStat,0) <> 1 AND CCID = 2");
  ASSERT_GT(waiting, 0);
  host.expectBox(Answer::Yes, "DAY END")
      .expectBox(Answer::OK, std::to_string(waiting) +
                                 " vouchers are still waiting to go up; keep AutoSynch on and try Day End again in 5 "
                                 "minutes. Nothing was locked.");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Waiting);
  EXPECT_TRUE(locatorCalls.empty());
  EXPECT_EQ(lockedAtBranch(), 0);
  EXPECT_EQ(dayEndRows(branch()), 0);
  EXPECT_EQ(dayEndRows(central()), 0);
  EXPECT_EQ(branchVouchers("isnull(SyncStat,0) <> 1 AND CCID = 2"), waiting);
  // The Mismatch page lists them as waiting, not as missing.
  EXPECT_EQ(form.SSTab2.tab(), 2);
  int listed = 0;
  for (int r = 1; r < form.msgVerify.rows(); ++r) {
    EXPECT_EQ(form.msgVerify.text(r, 4), "waiting for upload");
    ++listed;
  }
  EXPECT_EQ(listed, waiting);
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);

  // Once they went up the day closes.
  form.cbointerval.setText("2 Minutes");
  uploadAll();
  EXPECT_EQ(dayEnd(), DayEndResult::Closed);
}

// "Keep AutoSynch Always On" off: the box comes back as the operator left it, and passes run exactly when
// it is ticked, whether the day closes or is refused.
TEST_F(DayEnd, TheAutoSynchBoxComesBackAsTheOperatorLeftIt) {
  ctx.AutoSyncOn = false;
  startDay();
  enterDay(2);
  uploadAll();
  EXPECT_EQ(dayEnd(), DayEndResult::Closed);
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
  EXPECT_TRUE(form.timertrigger.enabled());

  form.ChkAutoSynch.setValue(0);
  form.timertrigger.setEnabled(false);
  EXPECT_EQ(dayEnd(), DayEndResult::Closed);
  EXPECT_EQ(form.ChkAutoSynch.value(), 0);
  EXPECT_FALSE(form.timertrigger.enabled());  // no passes behind an unticked box
  // With vouchers waiting and passes off, the window says so.
  enterDay(1);
  host.expectBox(Answer::Yes, "DAY END").expectBox(Answer::OK, "still waiting to go up");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Waiting);
  EXPECT_EQ(form.ChkAutoSynch.value(), 0);
  EXPECT_FALSE(form.timertrigger.enabled());
  EXPECT_NE(form.lblAutoSynchState.caption().find("AutoSynch is off: " +
                                                  std::to_string(branchVouchers("isnull(SyncStat,0) <> 1")) +
                                                  " vouchers are waiting"),
            std::string::npos)
      << form.lblAutoSynchState.caption();
}

// After a day end the day labels show it: no "NO DAY START" left behind, and the day in words.
TEST_F(DayEnd, TheDayLabelsShowTheClosedDay) {
  clock.set(db::DateTime{today.year, today.month, today.day, 9, 15, 0});
  daycycle::WriteDayActivity(ctx, "DayStart", "Day Start Finished", 2, false);
  readAndShowDayRow(ctx);
  EXPECT_EQ(form.lblDayState.caption(), "Day " + ddMMMyyyy(today) + ": open since 09:15 AM.");
  enterDay(2);
  uploadAll();
  clock.set(db::DateTime{today.year, today.month, today.day, 18, 40, 0});
  EXPECT_EQ(dayEnd(), DayEndResult::Closed);
  EXPECT_EQ(form.lblDaystart.caption(), ddMMMyyyy(today));
  EXPECT_EQ(form.lblDaystartTime.caption(), "06:40 PM");
  EXPECT_EQ(form.lblDayState.caption(), "Day " + ddMMMyyyy(today) + ": closed at 06:40 PM.");
}

// A working date far from head office's date asks before the day is closed; No changes nothing.
TEST_F(DayEnd, AWorkingDateFarFromHeadOfficesAsksFirst) {
  startDay();
  enterDay(2);
  uploadAll();
  form.dtpdate.setValue(db::DateTime::fromDayNumber(today.dayNumber() + 3));
  host.expectBox(Answer::No, "is 3 days after head office's date " + ddMMMyyyy(today));
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Declined);
  EXPECT_EQ(host.boxes.back().defaultAnswer, Answer::No);
  EXPECT_EQ(lockedAtBranch(), 0);
  EXPECT_EQ(dayEndRows(branch()), 0);
  // One day apart is no question.
  form.dtpdate.setValue(db::DateTime::fromDayNumber(today.dayNumber() + 1));
  host.expectBox(Answer::No, "DAY END");
  EXPECT_EQ(onDayEnd(ctx, recorder()), DayEndResult::Declined);
}

}  // namespace
}  // namespace erpsync
