// The run without a window: load, connect and the automatic pass as engine calls on a plain context (no
// window model anywhere), their failures returned as data, and the headless runner's exit codes taken
// from those outcomes.
#include <gtest/gtest.h>

#include <sstream>

#include "app/console_host.h"
#include "capture/update_database.h"
#include "cmd_app.h"
#include "db/connection.h"
#include "db/embedded/embedded_server.h"
#include "db/embedded/fault_injection.h"
#include "scripted_host.h"
#include "session/session.h"
#include "shared/connections.h"
#include "shared/sync_context.h"
#include "simulator.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

namespace faults = db::embedded::faults;

class Engine : public ::testing::Test {
 protected:
  Engine() {
    testbed::InitOptions o;
    o.home = dir.path();
    o.items = 8;
    o.ledgers = 12;
    testbed::init(o);
    {
      session::Session s(ctx, "test");
      s.load();
      s.connect(false);
    }
    capture::updateDatabase(ctx);
    host.boxes.clear();
  }
  ~Engine() override {
    faults::reset();
    db::embedded::setClockOffsetSeconds(0);
  }

  // Three sales at the branch, old enough to go up.
  void enterSales(const db::DateTime& day) {
    testbed::SimulationOptions o;
    o.sales = 3;
    o.orders = o.stockJournals = o.jobCards = o.notes = 0;
    o.edits = o.deletes = 0;
    o.masterChanges = 0;
    o.boardRates = 0;
    o.date = day;
    testbed::simulateErpActivity(ctx.LocalConnection.get(), ctx.WebConnection.get(), o);
    ctx.local().execute("UPDATE tblActivity SET ActionTime = DATEADD(minute, -5, getdate())");
    ctx.local().execute("UPDATE tblSales SET BillTime = DATEADD(minute, -5, getdate())");
  }
  long long centralSales() {
    return ctx.web().query("SELECT COUNT(*) FROM tblSales WHERE CCID=2").at(0, 0).toInt();
  }

  test::TempDir dir;
  test::ScriptedHost host{false};
  FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
  SyncContext ctx{host, clock, dir.path()};
};

TEST_F(Engine, ConnectFindsTheWorkingDayAndAPassSendsTheVouchersWithoutAWindow) {
  session::Session run(ctx, "test");
  ASSERT_TRUE(run.load().failures.empty());
  const session::ConnectOutcome& c = run.connect(true);
  ASSERT_TRUE(c.completed);
  EXPECT_TRUE(c.unprepared.empty());
  const WorkingDay day = c.day();
  EXPECT_EQ(day.costCentreId, 2);
  EXPECT_EQ(day.costCentreName, "Branch One");
  ASSERT_FALSE(day.selectedVoucherTypeIds.empty() && c.voucherTypes.empty());

  enterSales(day.date);
  const long long before = centralSales();
  const session::PassOutcome p = session::runPass(ctx, day);
  EXPECT_TRUE(p.good()) << p.error;
  EXPECT_EQ(p.upload.uploaded, 3);
  EXPECT_EQ(centralSales(), before + 3);
  ASSERT_TRUE(p.voucherCounts.has_value());  // counted because something went up
  EXPECT_TRUE(p.status.headOfficeAsked);

  // The next pass finds nothing: idle, one log line, no counts taken.
  const session::PassOutcome idle = session::runPass(ctx, day);
  EXPECT_TRUE(idle.idle);
  EXPECT_FALSE(idle.voucherCounts.has_value());
  EXPECT_EQ(centralSales(), before + 3);
}

// The pass keeps to the working day it was started with, even if the source of the day changes while
// it runs (the operator moving the date picker).
TEST_F(Engine, APassKeepsItsWorkingDayAndGivesTheSourceBack) {
  session::Session run(ctx, "test");
  run.load();
  const WorkingDay day = run.connect(false).day();
  int asked = 0;
  ctx.workingDaySource = [&asked, day] {
    ++asked;
    return day;
  };
  enterSales(day.date);
  session::runPass(ctx, day);
  EXPECT_EQ(asked, 0) << "the pass read the window's day instead of its own";
  ctx.day();
  EXPECT_EQ(asked, 1) << "the pass did not give the working day back";
}

TEST_F(Engine, HeadOfficeFailingMidPassIsReturnedAsAFailureAndTheLinkIsOpenedAgain) {
  session::Session run(ctx, "test");
  run.load();
  const WorkingDay day = run.connect(false).day();
  enterSales(day.date);
  ctx.reopenCompanyConnections = false;
  // The link to head office is lost as the vouchers go up.
  faults::Plan plan;
  plan.at = 1;
  plan.kind = faults::Kind::Drop;
  plan.server = "central";
  plan.match = "INSERT";
  faults::configure(plan);
  const session::PassOutcome p = session::runPass(ctx, day);
  faults::reset();
  EXPECT_FALSE(p.good());
  ASSERT_FALSE(p.failures.empty());
  EXPECT_EQ(p.failures.front().step, "Voucher upload");
  EXPECT_TRUE(ctx.reopenCompanyConnections);
  // What failed waits and goes up with the next pass.
  const session::PassOutcome again = session::runPass(ctx, day);
  EXPECT_TRUE(again.good()) << again.error;
  EXPECT_EQ(again.upload.uploaded + p.upload.uploaded, 3);
}

TEST_F(Engine, HeadOfficeAwayIsNotAFailureOfThePassAndNothingIsTried) {
  session::Session run(ctx, "test");
  run.load();
  const WorkingDay day = run.connect(false).day();
  ctx.SyncServerName = "embedded:servers/nowhere";
  ctx.reopenCompanyConnections = true;
  const session::PassOutcome p = session::runPass(ctx, day);
  EXPECT_FALSE(p.headOfficeAway.empty());
  EXPECT_TRUE(p.upload.stopped);
  EXPECT_TRUE(p.failures.empty());
  EXPECT_TRUE(host.boxes.empty()) << "an unattended pass waits for nobody";
}

// The headless runner's exit code says what the outcome says, not whether a notice was shown.
TEST_F(Engine, TheRunnersExitCodeComesFromTheOutcome) {
  std::ostringstream out, err;
  cli::VerbOptions o;
  o.home = dir.path().string();
  o.yes = true;
  // A notice shown along the way (a master change naming no valid key) is not a failed upload.
  EXPECT_EQ(cli::runVerb("upload", o, [](cli::Verb& v, std::ostream&) { v.ctx.notice("something told"); }, out, err),
            cli::kExitOk)
      << err.str();
  // A refused or failed outcome is.
  EXPECT_EQ(cli::runVerb("upload", o, [](cli::Verb& v, std::ostream&) { v.failed(); }, out, err),
            cli::kExitOperationError);
  // The working day the verb sees is the one connect found, without a window.
  db::DateTime seen;
  cli::runVerb("connect", o, [&seen](cli::Verb& v, std::ostream&) { seen = v.ctx.day().date; }, out, err);
  EXPECT_TRUE(seen.valid());
}

}  // namespace
}  // namespace erpsync
