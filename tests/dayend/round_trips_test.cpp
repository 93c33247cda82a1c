// Head office is a round trip away: the day's operations read and write set by set, so what they cost
// on a link does not grow with the number of vouchers, lines or stock rows. Calls that reach head office
// are counted by the embedded server's fault plan tally.
#include <gtest/gtest.h>

#include "app/daycycle_view.h"
#include "day_fixture.h"
#include "daycycle/day_end.h"
#include "daycycle/day_start.h"
#include "db/embedded/fault_injection.h"
#include "reconcile/verify_day.h"

namespace erpsync {
namespace {

namespace faults = db::embedded::faults;

class RoundTrips : public test::DayFixture {
 protected:
  RoundTrips() {
    host.setStrict(false);
    faults::reset();
  }
  ~RoundTrips() override { faults::reset(); }

  // The head-office calls `work` makes.
  long long centralCalls(const std::function<void()>& work) {
    faults::configure(*faults::parse("server=central"));
    work();
    const long long n = faults::counted();
    faults::reset();
    return n;
  }
  long long verifyCalls() {
    return centralCalls([&] { EXPECT_FALSE(reconcile::VerifyDay(ctx).failed); });
  }
  long long dayEndCalls() {
    return centralCalls([&] {
      host.expectBox(Answer::Yes, "DAY END");
      EXPECT_EQ(onDayEnd(ctx), daycycle::DayEndResult::Closed);
    });
  }
};

TEST_F(RoundTrips, VerifyAndDayEndCostTheSameForTwoVouchersAsForForty) {
  startDay();
  enterDay(2);
  uploadAll();
  const long long fewVerify = verifyCalls();
  const long long fewDayEnd = dayEndCalls();

  testbed::SimulationOptions o;
  o.sales = 38;
  o.orders = o.stockJournals = o.jobCards = 3;
  o.notes = 5;
  o.edits = o.deletes = o.masterChanges = o.boardRates = 0;
  o.date = today;
  o.seed = 3;
  testbed::simulateErpActivity(&branch(), nullptr, o);
  uploadAll();
  EXPECT_EQ(verifyCalls(), fewVerify);
  EXPECT_EQ(dayEndCalls(), fewDayEnd);
  // A count per family and side, the day's headers and lines per family, the day rows: a fixed few.
  EXPECT_LE(fewDayEnd, 24);
}

TEST_F(RoundTrips, DayStartCostsAFewCallsWhateverTheStockItBringsIn) {
  clock.set(today);
  const long long stockRows = scalar(central(), "SELECT count(*) FROM tblStock WHERE CCID = 2");
  ASSERT_GT(stockRows, 5);
  daycycle::DayStartOutcome out;
  const long long calls = centralCalls([&] {
    host.expectBox(Answer::Yes, "DAY START");
    out = onDayStart(ctx);
  });
  ASSERT_TRUE(out.completed);
  EXPECT_EQ(out.stockLines, stockRows);
  // Its stock, its ledger balances, both stock totals' central half, the day rows and the day labels.
  EXPECT_LE(calls, 8);
}

}  // namespace
}  // namespace erpsync
