// The headless verbs verify, mismatches and marks on a testbed whose day was uploaded, and --date.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "cli_testbed.h"
#include "db/connection.h"
#include "process_runner.h"
#include "shared/connections.h"
#include "simulator.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

using CliRun = test::ProcessResult;
using test::runCli;

class ReconcileVerbs : public test::CliTestbed {
 protected:
  void SetUp() override {
    test::CliTestbed::SetUp();
    if (HasFatalFailure()) return;
    testbed::SimulationOptions s;
    s.sales = 3;
    s.orders = s.stockJournals = s.jobCards = 0;
    s.notes = 1;
    s.edits = s.deletes = 0;
    s.masterChanges = s.boardRates = 0;
    testbed::simulateErpActivity(branch.get(), nullptr, s);
    // The runner sees the servers' clock ten minutes on: every voucher is old enough to go up.
    ::setenv("ERPSYNC_SERVER_CLOCK_OFFSET", "600", 1);
    const auto up = runCli("upload " + homeArg());
    ::unsetenv("ERPSYNC_SERVER_CLOCK_OFFSET");
    ASSERT_EQ(up.exitCode, 0) << up.output;
    ASSERT_EQ(branch->query("SELECT count(*) FROM tblSales WHERE SyncStat = 1").at(0, 0).toInt(), 3) << up.output;
  }
  long long centralOf(long long index) {
    return branch->query("SELECT ServInvID FROM tblSales ORDER BY InvID")
        .at(static_cast<std::size_t>(index), 0)
        .toInt();
  }
};

TEST_F(ReconcileVerbs, VerifyExitsNonZeroOnAChangedAmountAndZeroOnACleanDay) {
  auto r = runCli("verify " + homeArg());
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Vouchers compared: 4, differing: 0"), std::string::npos) << r.output;

  central->execute("UPDATE tblSalesItem SET Amount = Amount + 1 WHERE InvID = " + std::to_string(centralOf(1)));
  r = runCli("verify " + homeArg());
  EXPECT_EQ(r.exitCode, 3) << r.output;
  EXPECT_NE(r.output.find("differs: sum of Amount"), std::string::npos) << r.output;

  // Another working date: nothing to compare there.
  r = runCli("verify --date 2001-02-03 " + homeArg());
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("Working date: 03/Feb/2001"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Vouchers compared: 0"), std::string::npos) << r.output;
  EXPECT_NE(runCli("verify --date 2001-02-30 " + homeArg()).exitCode, 0);
}

TEST_F(ReconcileVerbs, MismatchesListsWithoutYesAndQueuesAgainWithIt) {
  central->execute("DELETE FROM tblSales WHERE InvID = " + std::to_string(centralOf(0)));
  auto r = runCli("mismatches " + homeArg());
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("no live copy at head office"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("Mismatching vouchers: 1"), std::string::npos) << r.output;
  EXPECT_EQ(branch->query("SELECT count(*) FROM tblSales WHERE SyncStat = 0").at(0, 0).toInt(), 0);

  r = runCli("mismatches --yes " + homeArg());
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("queued for upload again"), std::string::npos) << r.output;
  EXPECT_EQ(branch->query("SELECT count(*) FROM tblSales WHERE SyncStat = 0").at(0, 0).toInt(), 1);
}

TEST_F(ReconcileVerbs, MarksShowsAndResetsOnlyWhenAsked) {
  central->execute("DELETE FROM tblActivity");
  auto loop = home.path() / "Resources" / "AppsettingsLoop.ini";
  auto r = runCli("marks " + homeArg());
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("newest head-office change 0"), std::string::npos) << r.output;
  const std::string before = test::readFile(loop);

  central->execute(
      "INSERT INTO tblActivity (ID, TableName, tblUniqueID, Action, Active, DateofAction) VALUES (77, 'tblItemMaster', "
      "1, 'Update', 1, getdate())");
  r = runCli("marks --clear-masters " + homeArg());
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("MaxActivityID 77"), std::string::npos) << r.output;
  EXPECT_NE(test::readFile(loop), before);
}

}  // namespace
}  // namespace erpsync
