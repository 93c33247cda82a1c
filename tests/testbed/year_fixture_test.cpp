// A head office with a year behind it, small: every voucher kind with its lines spread over the
// branches and days, the measured branch's vouchers under its own voucher types and none of the last
// day, day rows the synchroniser's own queries read as they read a real branch's, and nothing of the
// build left behind.
#include <gtest/gtest.h>

#include "pair_fixture.h"
#include "reconcile/fill_trans_count.h"
#include "shared/date_text.h"
#include "year_fixture.h"

namespace erpsync {
namespace {

class YearFixture : public test::PairFixture {
 protected:
  YearFixture() {
    host.setStrict(false);
    upgrade();
    y.branches = 5;
    y.days = 10;
    y.vouchers = 400;
    y.dayRows = 150;
    y.stockRows = 120;
    y.lastDay = db::DateTime{2026, 12, 5};
  }
  long long count(const std::string& table, const std::string& where = "1=1") {
    return scalar(central(), "SELECT count(*) FROM " + table + " WHERE " + where);
  }
  testbed::YearOptions y;
};

TEST_F(YearFixture, ASmallYearHoldsEveryKindSpreadOverBranchesAndDays) {
  const long long journalsBefore = count("tblStockJournal"), linesBefore = count("tblStockJournalDetail");
  const auto report = testbed::buildYear(central(), y);

  // 70 % sales, 15 % notes, 5 % each of the others, less the measured branch's vouchers of the last day.
  const long long sales = count("tblSales"), notes = count("tblNotes"), orders = count("tblOrder"),
                  journals = count("tblStockJournal") - journalsBefore, jobs = count("tblJobcard");
  EXPECT_GT(sales, 270);
  EXPECT_LE(sales, 280);
  EXPECT_GT(notes, 55);
  EXPECT_LE(notes, 60);
  EXPECT_EQ(report.headers, sales + notes + orders + journals + jobs);
  EXPECT_EQ(count("tblSalesItem"), 3 * sales);
  EXPECT_EQ(count("tblStockJournalDetail") - linesBefore, 2 * journals);
  EXPECT_EQ(report.lines, 3 * sales + 2 * orders + 2 * journals + jobs);
  // Keys continue after head office's own journal and none repeats.
  EXPECT_EQ(scalar(central(), "SELECT count(DISTINCT InvId) FROM tblStockJournal"), count("tblStockJournal"));
  EXPECT_GT(scalar(central(), "SELECT min(InvId) FROM tblStockJournal WHERE CCID >= 4"), 3);

  // Every branch and every day; the measured branch under its own types, up to the day before the last.
  EXPECT_EQ(scalar(central(), "SELECT count(DISTINCT CCID) FROM tblSales"), 5);
  EXPECT_EQ(scalar(central(), "SELECT count(DISTINCT InvDate) FROM tblSales"), 10);
  EXPECT_EQ(count("tblSales", "CCID = 2 AND VchTypeID <> 201"), 0);
  EXPECT_EQ(count("tblNotes", "CCID = 2 AND VchTypeID <> 202"), 0);
  EXPECT_EQ(count("tblSales", "CCID = 2 AND InvDate = '2026-12-05T00:00:00'"), 0);
  EXPECT_GT(count("tblSales", "CCID = 2 AND InvDate = '2026-12-04T00:00:00'"), 0);
  EXPECT_GT(count("tblSales", "CCID = 3 AND InvDate = '2026-12-05T00:00:00'"), 0);
  EXPECT_EQ(count("tblSales", "CCID = 3 AND VchTypeID <> 100031"), 0);
  EXPECT_EQ(count("tblSales", "CCID = 2 AND InvNo = 'S2-1'"), 1);

  EXPECT_EQ(report.dayRows, count("tblDayActivity"));
  EXPECT_GT(report.dayRows, 140);
  EXPECT_EQ(count("tblDayActivity", "SQLSERVERNAME = 'embedded:servers/branch'"), count("tblDayActivity", "CCID = 2"));
  EXPECT_EQ(count("tblDayActivity", "CCID = 2 AND DateOF = '2026-12-05T00:00:00'"), 0);
  EXPECT_EQ(count("tblDayActivity", "CCID = 3 AND DateOF = '2026-12-05T00:00:00' AND Activity = 'DayEnd'"), 1);
  EXPECT_EQ(report.stockRows, 120);
  EXPECT_GT(count("tblStockHistory", "CCID = 2 AND VchTypeID = 201"), 0);
  EXPECT_THROW(central().query("SELECT count(*) FROM erpsync_year_numbers"), db::DbError) << "the numbers are dropped";
}

TEST_F(YearFixture, TheVoucherCountsOfADayFindTheMeasuredBranchsVouchersOnly) {
  testbed::buildYear(central(), y);
  const db::DateTime day{2026, 12, 3};
  const auto counts =
      central().query(reconcile::voucherCountQuery(ddMMMyyyy(day), " and vchtypeID in (201,202,204,205,206)"));
  auto nos = [&](const std::string& label) {
    for (std::size_t r = 0; r < counts.size(); ++r)
      if (counts.at(r, "Property").toString() == label) return static_cast<long long>(counts.at(r, "Nos").toInt());
    return -1LL;
  };
  const std::string ofDay = " AND CCID = 2 AND InvDate = '2026-12-03T00:00:00'";
  EXPECT_EQ(nos("Sales"), count("tblSales", "1=1" + ofDay));
  EXPECT_GT(nos("Sales"), 0);
  EXPECT_EQ(nos("SalesItem"), 3 * nos("Sales"));
  EXPECT_EQ(nos("Receipt"), count("tblNotes", "CCID = 2 AND VchDate = '2026-12-03T00:00:00'"));
}

}  // namespace
}  // namespace erpsync
