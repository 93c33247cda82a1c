// The automatic pass on a branch and a central embedded server: its order of work, a computer without
// a network, and a central server that goes away and comes back.
#include "app/pass_view.h"
#include "app/frm_synch.h"
#include "daycycle/auto_sync_switch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "db/embedded/fault_injection.h"
#include "pair_fixture.h"
#include "settings/daily_log.h"
#include "simulator.h"

namespace erpsync {
namespace {

class Pass : public test::SyncPairFixture {
 protected:
  // The pass is the window's timer: its tests set the window's controls.
  Pass() {
    readDayFromWindow();
    form.lstVchtypes.addItem("Sales BR1", 201);
    form.lstVchtypes.setSelected(0, true);
    testbed::SimulationOptions o;
    o.sales = 3;
    o.orders = o.stockJournals = o.jobCards = o.notes = 0;
    o.edits = o.deletes = 0;
    o.masterChanges = 2;
    o.boardRates = 0;
    o.date = today;
    testbed::simulateErpActivity(&branch(), &central(), o);
    ageBranchChanges(5);
    // Passes run while the box is ticked.
    form.ChkAutoSynch.setValue(1);
  }
  std::string logText() {
    std::ifstream in(settings::LogFilePath(ctx.LogFolder, form.dtpdate.value()), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(Pass, RunsItsStepsInOrderAndLeavesTheButtonsReady) {
  auto out = runWindowPass(ctx);
  EXPECT_TRUE(out.error.empty()) << out.error;
  EXPECT_GT(out.waitingChanges, 0);
  EXPECT_GT(out.masters.applied, 0);
  EXPECT_EQ(out.upload.uploaded, 3);
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_TRUE(form.cmdManualSynch.enabled());
  EXPECT_EQ(form.lblMaxIDS.caption().rfind(" Max Server Activity ID ", 0), 0u);
  EXPECT_EQ(form.msgTransGrid.text(0, 3), "Mismatch");
  // The pass copied masters ("Migrating …" while it did); over, it leaves no step shown as under way.
  EXPECT_EQ(form.lblStatusMain.caption(), "");

  const std::string log = logText();
  std::size_t at = 0;
  for (const char* label : {"Timer Activated. checking Web connectivity", "Masters uploading starting",
                            "masters uploading Qry Opened", "Query Opened",
                            "Masters uploading End transaction uploading end",
                            " Auto synch Checking vouchers  ", " End of upload ttransections  "}) {
    at = log.find(std::string("\t") + label + "\t", at);
    ASSERT_NE(at, std::string::npos) << label << " missing or out of order";
  }
}

// The box shows whether passes run: an operator who unticks it while a pass works stops the passes
// that would follow, and the pass does not start the timer again behind the unticked box.
TEST_F(Pass, UntickingTheBoxDuringAPassStopsThePassesAfterIt) {
  host.onDoEvents = [&] { form.ChkAutoSynch.setValue(0); };
  auto out = runWindowPass(ctx);
  host.onDoEvents = nullptr;
  EXPECT_TRUE(out.error.empty()) << out.error;
  EXPECT_EQ(form.ChkAutoSynch.value(), 0);
  EXPECT_FALSE(form.timertrigger.enabled());
}

TEST_F(Pass, WithoutANetworkOnlyTheLabelsMove) {
  ctx.SyncServerName = "head-office.example";  // a real server: the network matters
  host.connected = false;
  auto out = runWindowPass(ctx);
  EXPECT_TRUE(out.offline);
  EXPECT_EQ(out.upload.uploaded, 0);
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 0);
  // No network is head office out of reach, said in so many words.
  EXPECT_NE(form.lblStatus.caption().find("Head office cannot be reached: no network connection"), std::string::npos)
      << form.lblStatus.caption();
}

TEST_F(Pass, ALostCentralServerEndsThePassAndTheNextOneRecovers) {
  host.setStrict(false);
  const auto centralDir = dir.path() / "servers" / "central";
  const auto away = dir.path() / "servers" / "central-away";
  ctx.WebConnection.reset();
  std::filesystem::rename(centralDir, away);
  auto out = runWindowPass(ctx);
  // Nothing could be read or sent; the failure is told and the next pass opens the connections again.
  EXPECT_FALSE(out.masters.completed);
  EXPECT_TRUE(out.upload.stopped);
  EXPECT_FALSE(notices().empty());
  EXPECT_TRUE(ctx.reopenCompanyConnections);
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_TRUE(form.cmdManualSynch.enabled());
  EXPECT_EQ(ctx.MaxActivityIDTrans, 0);

  std::filesystem::rename(away, centralDir);
  out = runWindowPass(ctx);
  EXPECT_TRUE(out.error.empty()) << out.error;
  EXPECT_EQ(out.upload.uploaded, 3);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 3);
}

// Head office is a round trip away: a pass that sends V vouchers costs the master change log, the push
// lock, a batch per fifty vouchers, the release and the counts; a pass with nothing to do costs the
// change log alone, on connections kept open between passes.
TEST_F(Pass, OverALinkEachPassCostsItsBudgetOfRoundTrips) {
  namespace faults = db::embedded::faults;
  auto count = [] {
    faults::configure(*faults::parse("server=central"));
  };
  // The connections of connect stay open for the passes.
  ctx.reopenCompanyConnections = false;
  count();
  auto busy = runWindowPass(ctx);
  const long long busyCalls = faults::counted();
  ASSERT_EQ(busy.upload.uploaded, 3);
  ASSERT_GT(busy.masters.applied, 0);
  // The two master changes of the fixture cost a read each at most besides the change log.
  EXPECT_LE(busyCalls, 4 + 1 + 2);

  count();
  auto idle = runWindowPass(ctx);
  const long long idleCalls = faults::counted();
  faults::reset();
  EXPECT_TRUE(idle.error.empty()) << idle.error;
  EXPECT_EQ(idle.upload.uploaded, 0);
  EXPECT_LE(idleCalls, 2);
}

TEST_F(Pass, ALinkLostBetweenPassesIsOpenedAgainByTheNextPass) {
  namespace faults = db::embedded::faults;
  host.setStrict(false);
  ctx.reopenCompanyConnections = false;
  EXPECT_EQ(runWindowPass(ctx).upload.uploaded, 3);
  // The link goes while the branch is idle: the next pass meets it at its first call.
  faults::configure(*faults::parse("at=1;kind=drop;server=central"));
  auto lost = runWindowPass(ctx);
  faults::reset();
  EXPECT_FALSE(lost.masters.completed);
  EXPECT_TRUE(ctx.reopenCompanyConnections);

  testbed::SimulationOptions o;
  o.sales = 2;
  o.orders = o.stockJournals = o.jobCards = o.notes = o.edits = o.deletes = 0;
  o.masterChanges = o.boardRates = 0;
  o.date = today;
  o.seed = 9;
  testbed::simulateErpActivity(&branch(), nullptr, o);
  ageBranchChanges(5);
  auto back = runWindowPass(ctx);
  EXPECT_TRUE(back.masters.completed);
  EXPECT_EQ(back.upload.uploaded, 2);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 5);
}

// The window's line about passes being off counts the vouchers again after a pass that sent them.
TEST_F(Pass, TheAutoSynchLineNeverNamesVouchersAPassHasSent) {
  host.setStrict(false);
  FrmSynch frm(ctx);
  form.ChkAutoSynch.setValue(0);
  daycycle::tellAutoSyncState(ctx);
  ASSERT_NE(form.lblAutoSynchState.caption().find("3 vouchers are waiting"), std::string::npos)
      << form.lblAutoSynchState.caption();
  frm.hooks.pass();
  EXPECT_EQ(frm.lastPass().upload.uploaded, 3);
  EXPECT_EQ(form.lblAutoSynchState.caption(), "AutoSynch is off: nothing is sent to head office.");
}

}  // namespace
}  // namespace erpsync
