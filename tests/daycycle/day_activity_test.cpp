// Day rows on both databases, and reading back the latest ones.
#include "daycycle/day_activity.h"

#include <gtest/gtest.h>

#include "app/daycycle_view.h"
#include "pair_fixture.h"
#include "app/frm_synch.h"

namespace erpsync::test {
namespace {

class DayRows : public PairFixture {
 protected:
  DayRows() : PairFixture(true) {}
  void dayRow(db::Connection& c, const std::string& activity, const std::string& time, const std::string& date,
              int ccid, const std::string& server) {
    c.execute(
        "INSERT INTO tblDayActivity (Activity, TimeOf, SystemName, DateOF, ActivitiesDetail, BlnStarted, BlnEnded, "
        "CCID, BlockDataEntry, SQLSERVERNAME) VALUES ('" +
        activity + "', '" + time + "', '', '" + date + "', 'x', 0, 0, " + std::to_string(ccid) + ", 0, '" + server +
        "')");
  }
};

// Texts go in as typed, apostrophes included, on both sides.
TEST_F(DayRows, WritesTheSameRowToBothDatabases) {
  ctx.LocalServerName = "O'NEIL-PC\\SQLEXPRESS";
  daycycle::WriteDayActivity(ctx, "DayStart", "Day Start started by D'Souza", 2, true);
  clock.advanceSeconds(61);
  daycycle::WriteDayActivity(ctx, "DayEnd", "Day End Completed", 2, true);
  daycycle::WriteDayActivity(ctx, "Other", "Note", 3, false);
  EXPECT_TRUE(notices().empty());

  for (db::Connection* c : {&branch(), &central()}) {
    auto rs = c->query("SELECT * FROM tblDayActivity ORDER BY ID");
    ASSERT_EQ(rs.size(), 3u);
    EXPECT_EQ(rs.at(0, "Activity").toString(), "DayStart");
    EXPECT_EQ(rs.at(0, "ActivitiesDetail").toString(), "Day Start started by D'Souza");
    EXPECT_EQ(rs.at(0, "SystemName").toString(), "");
    EXPECT_EQ(rs.at(0, "SQLSERVERNAME").toString(), "O'NEIL-PC\\SQLEXPRESS");
    EXPECT_EQ(rs.at(0, "CCID").toInt(), 2);
    EXPECT_EQ(rs.at(0, "BlockDataEntry").toInt(), 1);
    EXPECT_EQ(rs.at(0, "BlnStarted").toInt(), 1);
    EXPECT_EQ(rs.at(0, "BlnEnded").toInt(), 0);
    // The time of day on the server's base date, and the date at midnight.
    EXPECT_EQ(rs.at(0, "TimeOf").toDateTime(), (db::DateTime{1900, 1, 1, 14, 5, 33}));
    EXPECT_EQ(rs.at(0, "DateOF").toDateTime(), (db::DateTime{2026, 12, 5}));

    EXPECT_EQ(rs.at(1, "BlnStarted").toInt(), 0);
    EXPECT_EQ(rs.at(1, "BlnEnded").toInt(), 1);
    EXPECT_EQ(rs.at(1, "TimeOf").toDateTime(), (db::DateTime{1900, 1, 1, 14, 6, 34}));
    EXPECT_EQ(rs.at(2, "BlnStarted").toInt(), 0);
    EXPECT_EQ(rs.at(2, "BlnEnded").toInt(), 0);
    EXPECT_EQ(rs.at(2, "BlockDataEntry").toInt(), 0);
  }
}

TEST_F(DayRows, CentralFailureKeepsTheBranchRowAndTellsTheOperator) {
  ctx.WebConnection.reset();
  daycycle::WriteDayActivity(ctx, "DayStart", "Day Start started", 2, true);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblDayActivity"), 1);
  EXPECT_EQ(notices().size(), 1u);
}

TEST_F(DayRows, DayStartDateIsThisServersLatestDayStart) {
  EXPECT_EQ(daycycle::GetdayStartDate(ctx), daycycle::kZeroDate);
  ctx.LocalServerName = "BR'PC";
  dayRow(branch(), "DayStart", "09:00:00", "03/Dec/2026", 2, "BR''PC");
  dayRow(branch(), "DayStart", "09:00:00", "04/Dec/2026", 2, "BR''PC");
  dayRow(branch(), "DayEnd", "20:00:00", "05/Dec/2026", 2, "BR''PC");
  dayRow(branch(), "DayStart", "09:00:00", "06/Dec/2026", 2, "OTHERPC");
  EXPECT_EQ(daycycle::GetdayStartDate(ctx), (db::DateTime{2026, 12, 4}));
  EXPECT_TRUE(notices().empty());
}

TEST_F(DayRows, LabelsShowTheCostCentresLatestCentralRow) {
  form.lblDaystart.setCaption("old");
  readAndShowDayRow(ctx);
  EXPECT_EQ(form.lblDaystart.caption(), "NO DAY START");
  EXPECT_EQ(form.lblDaystartTime.caption(), "NO DAY START");

  dayRow(central(), "DayStart", "09:15:00", "05/Dec/2026", 2, "BR1");
  dayRow(central(), "DayStart", "23:15:00", "04/Dec/2026", 2, "BR1");
  dayRow(central(), "DayStart", "10:00:00", "06/Dec/2026", 3, "BR2");
  readAndShowDayRow(ctx);
  EXPECT_EQ(form.lblDaystart.caption(), "05/Dec/2026");
  EXPECT_EQ(form.lblDaystartTime.caption(), "09:15 AM");

  dayRow(central(), "DayEnd", "21:40:00", "05/Dec/2026", 2, "BR1");
  readAndShowDayRow(ctx);
  EXPECT_EQ(form.lblDaystart.caption(), "05/Dec/2026");
  EXPECT_EQ(form.lblDaystartTime.caption(), "09:40 PM");

  ctx.WebConnection.reset();
  readAndShowDayRow(ctx);
  EXPECT_EQ(form.lblDaystartTime.caption(), "09:40 PM");
  EXPECT_EQ(notices().size(), 1u);
}

TEST_F(DayRows, TheWindowRefreshesTheLabelsOnceTheDatabasesArePrepared) {
  FrmSynch frm(ctx);
  dayRow(central(), "DayStart", "08:05:00", "05/Dec/2026", 2, "BR1");
  frm.showDayRows();
  EXPECT_EQ(form.lblDaystartTime.caption(), "08:05 AM");
}

// The day line follows the date picker: the operator's pick of another working date shows that date's
// day, a date set by the program (connect sets it, then shows the day itself) reads nothing.
TEST_F(DayRows, PickingAnotherWorkingDateShowsThatDatesDay) {
  FrmSynch frm(ctx);
  dayRow(central(), "DayEnd", "21:40:00", "05/Dec/2026", 2, "BR1");
  form.dtpdate.setValue(db::DateTime{2026, 12, 5});
  frm.showDayRows();
  EXPECT_EQ(form.lblDayState.caption(), "Day 05/Dec/2026: closed at 09:40 PM.");

  form.activeControl = &form.dtpdate;
  form.dtpdate.setValue(db::DateTime{2026, 12, 6});
  form.activeControl = nullptr;
  EXPECT_EQ(form.lblDayState.caption(),
            "Day 06/Dec/2026: not started (the last day was closed on 05/Dec/2026). Press Day Start before the "
            "first transaction.");
  EXPECT_EQ(form.lblDaystart.caption(), "05/Dec/2026");

  form.dtpdate.setValue(db::DateTime{2026, 12, 5});
  EXPECT_NE(form.lblDayState.caption().find("06/Dec/2026"), std::string::npos);
  EXPECT_TRUE(notices().empty());
}

}  // namespace
}  // namespace erpsync::test
