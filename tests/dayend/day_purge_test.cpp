// The day purge: the branch emptied of its vouchers and change log, head office of this branch's
// vouchers of the working date only, both or neither.
#include "daycycle/day_purge.h"

#include <gtest/gtest.h>

#include "day_fixture.h"

namespace erpsync {
namespace {

class DayPurge : public test::DayFixture {
 protected:
  DayPurge() {
    otherBranchAtHeadOffice();
    enterDay();
    uploadAll();
    // An earlier day of this branch at head office stays too.
    central().execute(
        "INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID, Party) SELECT InvID + 1000, InvNo, "
        "DATEADD(day, -1, InvDate), VchTypeID, CCID, Party FROM tblSales WHERE CCID = 2");
    ownCentral = centralVouchers(2);
    // Lines of this branch's vouchers of other days (head office's opening stock journal).
    ownLinesOfOtherDays = scalar(central(),
                                 "SELECT count(*) FROM tblStockJournalDetail d WHERE EXISTS (SELECT 1 "
                                 "FROM tblStockJournal h WHERE h.InvID = d.InvID AND h.CCID = 2 AND "
                                 "h.InvDate <> '" +
                                     today.iso().substr(0, 10) + "')");
    otherVouchers = centralVouchers(3);
    otherLines = centralLines(3);
    ctx.MaxActivityIDTrans = 77;
    form.ChkAutoSynch.setValue(1);
    form.timertrigger.setEnabled(true);
  }
  void expectOtherBranchUntouched() {
    EXPECT_EQ(centralVouchers(3), otherVouchers);
    EXPECT_EQ(centralLines(3), otherLines);
  }
  long long ownCentral = 0, otherVouchers = 0, otherLines = 0, ownLinesOfOtherDays = 0;
};

TEST_F(DayPurge, DeletesOnlyThisBranchsDayAtHeadOfficeAfterAskingWithTheNumbers) {
  const long long own = branchVouchers(), ofTheDay = centralVouchersOfTheDay(2);
  ASSERT_GT(ofTheDay, 0);
  host.expectBox(Answer::Yes, "Do you want to delete sales")
      .expectBox(Answer::Yes, "This deletes " + std::to_string(own) + " vouchers of every date at this branch and " +
                                  std::to_string(ofTheDay) + " vouchers of ")
      .expectBox(Answer::OK, "Deleted");
  auto out = daycycle::Command1_Click(ctx);
  EXPECT_TRUE(out.purged);
  EXPECT_EQ(out.branchVouchers, own);
  EXPECT_EQ(out.centralVouchers, ofTheDay);
  EXPECT_EQ(branchVouchers(), 0);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblSalesItem"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblActivity"), 0);
  EXPECT_EQ(centralVouchersOfTheDay(2), 0);
  EXPECT_EQ(centralVouchers(2), ownCentral - ofTheDay);  // the earlier day stays
  EXPECT_EQ(centralLines(2), ownLinesOfOtherDays);
  expectOtherBranchUntouched();
  EXPECT_EQ(ctx.MaxActivityIDTrans, 0);
  EXPECT_EQ(ctx.readLoopSetting("MaxActivityIDTrans"), "0");
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
  EXPECT_TRUE(form.timertrigger.enabled());
}

TEST_F(DayPurge, AutoSyncIsOffWhileItRunsAndBackAsItWasAfter) {
  std::vector<bool> timer;
  form.timertrigger.subscribe([&] { timer.push_back(form.timertrigger.enabled()); });
  host.expectBox(Answer::Yes, "delete sales").expectBox(Answer::Yes, "This deletes").expectBox(Answer::OK, "Deleted");
  EXPECT_TRUE(daycycle::Command1_Click(ctx).purged);
  EXPECT_EQ(timer, (std::vector<bool>{false, true}));
  // An operator who had it off finds it off.
  timer.clear();
  form.ChkAutoSynch.setValue(0);
  form.timertrigger.setEnabled(false);
  timer.clear();
  host.expectBox(Answer::Yes, "delete sales").expectBox(Answer::No, "This deletes");
  EXPECT_FALSE(daycycle::Command1_Click(ctx).purged);
  EXPECT_TRUE(timer.empty());
  EXPECT_EQ(form.ChkAutoSynch.value(), 0);
}

TEST_F(DayPurge, AFailingStatementAtHeadOfficeDeletesNothingOnEitherSide) {
  const long long own = branchVouchers(), log = scalar(branch(), "SELECT count(*) FROM tblActivity");
  central().execute("ALTER TABLE tblVoucher DROP COLUMN TrDate");  // its delete, the last one, fails
  host.expectBox(Answer::Yes, "delete sales").expectBox(Answer::Yes, "This deletes");
  auto out = daycycle::Command1_Click(ctx);
  EXPECT_TRUE(out.failed);
  EXPECT_FALSE(out.purged);
  EXPECT_EQ(branchVouchers(), own);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblActivity"), log);
  EXPECT_EQ(centralVouchers(2), ownCentral);
  expectOtherBranchUntouched();
  EXPECT_EQ(ctx.MaxActivityIDTrans, 77);
  EXPECT_EQ(notices().size(), 1u);
}

}  // namespace
}  // namespace erpsync
