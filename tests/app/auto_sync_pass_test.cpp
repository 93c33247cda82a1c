// The automatic pass on a branch and a central embedded server: its order of work, a computer without
// a network, and a central server that goes away and comes back.
#include "app/auto_sync_pass.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "pair_fixture.h"
#include "settings/daily_log.h"
#include "simulator.h"

namespace erpsync {
namespace {

class Pass : public test::SyncPairFixture {
 protected:
  Pass() {
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
  }
  std::string logText() {
    std::ifstream in(settings::LogFilePath(ctx.LogFolder, form.dtpdate.value()), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(Pass, RunsItsStepsInOrderAndLeavesTheButtonsReady) {
  auto out = timertrigger_Timer(ctx);
  EXPECT_TRUE(out.error.empty()) << out.error;
  EXPECT_GT(out.waitingChanges, 0);
  EXPECT_GT(out.masters.applied, 0);
  EXPECT_EQ(out.upload.uploaded, 3);
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_TRUE(form.cmdManualSynch.enabled());
  EXPECT_EQ(form.lblMaxIDS.caption().rfind(" Max Server Activity ID ", 0), 0u);
  EXPECT_EQ(form.msgTransGrid.text(0, 3), "Mismatch");

  const std::string log = logText();
  std::size_t at = 0;
  for (const char* label : {"Timer Activated. checking Web connectivity", "Query Opened", "Masters uploading starting",
                            "masters uploading Qry Opened", "Masters uploading End transaction uploading end",
                            " Auto synch Checking vouchers  ", " End of upload ttransections  "}) {
    at = log.find(std::string("\t") + label + "\t", at);
    ASSERT_NE(at, std::string::npos) << label << " missing or out of order";
  }
}

TEST_F(Pass, WithoutANetworkOnlyTheLabelsMove) {
  ctx.SyncServerName = "head-office.example";  // a real server: the network matters
  host.connected = false;
  auto out = timertrigger_Timer(ctx);
  EXPECT_TRUE(out.offline);
  EXPECT_EQ(out.upload.uploaded, 0);
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 0);
  EXPECT_NE(form.lblStatus.caption().find("Timer Activated "), std::string::npos);
}

TEST_F(Pass, ALostCentralServerEndsThePassAndTheNextOneRecovers) {
  host.setStrict(false);
  const auto centralDir = dir.path() / "servers" / "central";
  const auto away = dir.path() / "servers" / "central-away";
  ctx.WebConnection.reset();
  std::filesystem::rename(centralDir, away);
  auto out = timertrigger_Timer(ctx);
  EXPECT_FALSE(out.error.empty());
  EXPECT_TRUE(form.timertrigger.enabled());
  EXPECT_TRUE(form.cmdManualSynch.enabled());
  EXPECT_EQ(ctx.MaxActivityIDTrans, 0);

  std::filesystem::rename(away, centralDir);
  out = timertrigger_Timer(ctx);
  EXPECT_TRUE(out.error.empty()) << out.error;
  EXPECT_EQ(out.upload.uploaded, 3);
  EXPECT_EQ(scalar(central(), "SELECT count(*) FROM tblSales WHERE CCID = 2"), 3);
}

}  // namespace
}  // namespace erpsync
