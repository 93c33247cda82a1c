// Operations meeting a fault in the same process (the fault injection's API): the cases the sweep
// found, kept as regression tests.
#include <gtest/gtest.h>

#include "checker.h"
#include "db/embedded/fault_injection.h"
#include "pair_fixture.h"
#include "simulator.h"
#include "sync/upload_masters.h"

namespace erpsync {
namespace {

namespace faults = db::embedded::faults;

class OperationFaults : public test::SyncPairFixture {
 protected:
  OperationFaults() {
    host.setStrict(false);
    faults::reset();
  }
  ~OperationFaults() override { faults::reset(); }

  void plan(const std::string& text) {
    auto p = faults::parse(text);
    ASSERT_TRUE(p) << text;
    faults::configure(*p);
  }
  void changeMasters() {
    testbed::SimulationOptions o;
    o.sales = o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = 0;
    o.masterChanges = 4;
    o.boardRates = 0;
    testbed::simulateErpActivity(nullptr, &central(), o);
  }
  long long storedMark() { return std::stoll(ctx.readLoopSetting("MaxActivityID", "0")); }

  faultcheck::Checker check{*ctx.LocalConnection, *ctx.WebConnection, 2};
  const std::vector<std::string> masters{"tblItemMaster", "tblLedger", "tblArea"};
};

// A batch of master changes whose commit fails used to name a change past the end of the batch as
// the failed one, and the download read beyond its list (a crash, or worse). Now the batch counts as
// not applied: nothing of it at the branch, the mark before it, and the next pass brings it all.
TEST_F(OperationFaults, AMasterBatchWhoseCommitFailsIsNotAppliedAndComesWithTheNextPass) {
  changeMasters();
  const auto before = check.tables(branch(), masters);
  const long long markBefore = ctx.MaxActivityID;
  for (const char* kind : {"kind=error;error=1205", "kind=drop"}) {
    plan(std::string("at=1;on=commit;server=branch;") + kind);
    auto out = uploadMasters(ctx);
    EXPECT_EQ(faults::fired(), 1) << kind;
    EXPECT_FALSE(out.completed) << kind;
    EXPECT_EQ(ctx.MaxActivityID, markBefore) << kind;
    faults::reset();
    if (std::string(kind) == "kind=drop") {
      // The lost link is found by the next use; the program opens it again as connect does.
      EXPECT_THROW(branch().query("SELECT 1"), db::DbError);
      branch().close();
      branch().open(companyConnectionString("BR01", kBranchServer));
    }
    EXPECT_EQ(check.tables(branch(), masters), before) << kind;
  }
  auto out = uploadMasters(ctx);
  EXPECT_TRUE(out.completed);
  EXPECT_GT(ctx.MaxActivityID, markBefore);
  EXPECT_EQ(storedMark(), ctx.MaxActivityID);
  std::string diff;
  for (const auto& d : check.mastersEqual(masters)) diff += d + "\n";
  EXPECT_EQ(diff, "");
}

}  // namespace
}  // namespace erpsync
