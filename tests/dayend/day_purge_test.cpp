// The day purge: the branch emptied of its vouchers and change log, head office of this branch's
// vouchers of the working date only, both or neither.
#include "daycycle/day_purge.h"

#include <gtest/gtest.h>

#include "app/daycycle_view.h"
#include "day_fixture.h"
#include "shared/date_text.h"

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
  const long long ownLines = scalar(branch(), "SELECT count(*) FROM tblSalesItem") +
                              scalar(branch(), "SELECT count(*) FROM tblStockJournalDetail") +
                              scalar(branch(), "SELECT count(*) FROM tblJobCardDetail") +
                              scalar(branch(), "SELECT count(*) FROM tblOrderItem");
  const long long log = scalar(branch(), "SELECT count(*) FROM tblActivity");
  host.expectBox(Answer::Yes, "Do you want to delete sales").expectBox(Answer::OK, "Deleted");
  auto out = onDayPurge(ctx);
  // One question, asked with the numbers counted before it: what goes on each side, of which date and
  // cost centre. No is its default.
  ASSERT_GE(host.boxes.size(), 2u);
  const auto& question = host.boxes[host.boxes.size() - 2];
  EXPECT_EQ(question.defaultAnswer, Answer::No);
  EXPECT_EQ(question.buttons, Buttons::YesNo);
  EXPECT_NE(question.text.find("This branch: " + std::to_string(own) + " vouchers with " + std::to_string(ownLines) +
                               " lines of EVERY date, and the change log (" + std::to_string(log) + " rows)"),
            std::string::npos)
      << question.text;
  EXPECT_NE(question.text.find("Head office: " + std::to_string(ofTheDay) + " vouchers with "), std::string::npos)
      << question.text;
  EXPECT_NE(question.text.find(" of " + ddMMMyyyy(today) + " of cost centre 2 are deleted"), std::string::npos)
      << question.text;
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
  host.expectBox(Answer::Yes, "delete sales").expectBox(Answer::OK, "Deleted");
  EXPECT_TRUE(onDayPurge(ctx).purged);
  EXPECT_EQ(timer, (std::vector<bool>{false, true}));
  // An operator who had it off finds it off.
  timer.clear();
  form.ChkAutoSynch.setValue(0);
  form.timertrigger.setEnabled(false);
  timer.clear();
  host.expectBox(Answer::No, "delete sales");
  EXPECT_FALSE(onDayPurge(ctx).purged);
  EXPECT_TRUE(timer.empty());
  EXPECT_EQ(form.ChkAutoSynch.value(), 0);
}

TEST_F(DayPurge, AFailingStatementAtHeadOfficeDeletesNothingOnEitherSide) {
  const long long own = branchVouchers(), log = scalar(branch(), "SELECT count(*) FROM tblActivity");
  central().execute("ALTER TABLE tblVoucher DROP COLUMN TrDate");  // its delete, the last one, fails
  host.expectBox(Answer::Yes, "delete sales");
  auto out = onDayPurge(ctx);
  EXPECT_TRUE(out.failed);
  EXPECT_FALSE(out.purged);
  EXPECT_EQ(branchVouchers(), own);
  EXPECT_EQ(scalar(branch(), "SELECT count(*) FROM tblActivity"), log);
  EXPECT_EQ(centralVouchers(2), ownCentral);
  expectOtherBranchUntouched();
  EXPECT_EQ(ctx.MaxActivityIDTrans, 77);
  EXPECT_EQ(notices().size(), 1u);
}

// The purge deletes head office's vouchers of the working date: a date far from head office's asks first,
// and No leaves both sides as they were.
TEST_F(DayPurge, AWorkingDateFarFromHeadOfficesAsksBeforeItIsUsed) {
  const long long own = branchVouchers();
  form.dtpdate.setValue(db::DateTime::fromDayNumber(today.dayNumber() - 5));
  host.expectBox(Answer::No, "is 5 days before head office's date " + ddMMMyyyy(today));
  EXPECT_FALSE(onDayPurge(ctx).purged);
  EXPECT_EQ(host.boxes.back().defaultAnswer, Answer::No);
  EXPECT_EQ(branchVouchers(), own);
  EXPECT_EQ(centralVouchers(2), ownCentral);
  EXPECT_EQ(form.ChkAutoSynch.value(), 1);
  EXPECT_TRUE(form.timertrigger.enabled());
}

}  // namespace
}  // namespace erpsync
