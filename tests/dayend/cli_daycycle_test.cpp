// The day verbs of the headless runner on a testbed: a day closed, refused after damage at head office,
// repaired by resync and closed, then purged; and the working date taken from --date.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "db/connection.h"
#include "shared/connections.h"
#include "simulator.h"
#include "process_runner.h"
#include "prepared_folder.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

using CliRun = test::ProcessResult;
using test::runCli;

// Runs with the servers' clock ten minutes on, so every change is old enough to upload.
CliRun runCliLater(const std::string& args) {
  ::setenv("ERPSYNC_SERVER_CLOCK_OFFSET", "600", 1);
  auto r = runCli(args);
  ::unsetenv("ERPSYNC_SERVER_CLOCK_OFFSET");
  return r;
}

// A small testbed in home, upgraded by erpsync-cli or not; returns the --home option that names it.
std::string smallTestbed(const test::TempDir& home, bool upgraded = false) {
  test::copyTestbed(home.path(), {5, 10, upgraded});
  return " --home '" + home.path().string() + "'";
}

TEST(DaycycleVerbs, ADayIsClosedRefusedRepairedAndPurgedHeadless) {
  test::TempDir home;
  const std::string at = smallTestbed(home, true);
  auto branch = db::openConnection(companyConnectionString("BR01", "embedded:servers/branch"), home.path());
  auto central = db::openConnection(companyConnectionString("HO01", "embedded:servers/central"), home.path());
  testbed::SimulationOptions s;
  s.sales = 4;
  s.edits = s.deletes = 0;
  s.masterChanges = s.boardRates = 0;
  testbed::simulateErpActivity(branch.get(), nullptr, s);
  const std::string day = branch->query("Select getdate()").at(0, 0).toDateTime()->iso().substr(0, 10);
  auto count = [](db::Connection& c, const std::string& sql) { return c.query(sql).at(0, 0).toInt(); };

  auto run = runCliLater("run --passes 10 --wait-ms 0 --until-quiet" + at);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const long long sales = count(*branch, "SELECT count(*) FROM tblSales");
  ASSERT_EQ(count(*central, "SELECT count(*) FROM tblSales"), sales);

  auto no = runCli("day-end --date " + day + at);
  EXPECT_EQ(no.exitCode, 0) << no.output;
  EXPECT_NE(no.output.find("nothing changed"), std::string::npos) << no.output;

  central->execute("DELETE FROM tblSalesItem WHERE InvID = (SELECT min(InvID) FROM tblSales)");
  auto refused = runCli("day-end --yes --date " + day + at);
  EXPECT_EQ(refused.exitCode, 1) << refused.output;
  EXPECT_NE(refused.output.find("Refused"), std::string::npos) << refused.output;
  EXPECT_EQ(count(*branch, "SELECT count(*) FROM tblSales WHERE LockMode = 1"), 0);

  auto resync = runCliLater("resync --yes --date " + day + at);
  EXPECT_EQ(resync.exitCode, 0) << resync.output;
  EXPECT_NE(resync.output.find("Uploaded: "), std::string::npos) << resync.output;
  EXPECT_EQ(count(*central, "SELECT count(*) FROM tblSales"), sales);

  auto closed = runCli("day-end --yes --date " + day + at);
  EXPECT_EQ(closed.exitCode, 0) << closed.output;
  EXPECT_NE(closed.output.find("Day closed"), std::string::npos) << closed.output;
  EXPECT_EQ(count(*branch, "SELECT count(*) FROM tblSales WHERE LockMode = 1"), sales);
  EXPECT_EQ(count(*central, "SELECT count(*) FROM tblDayActivity WHERE Activity = 'DayEnd'"), 1);

  auto purge = runCli("purge --yes --date " + day + at);
  EXPECT_EQ(purge.exitCode, 0) << purge.output;
  EXPECT_NE(purge.output.find("Deleted at head office: "), std::string::npos) << purge.output;
  EXPECT_EQ(count(*branch, "SELECT count(*) FROM tblSales"), 0);
  EXPECT_EQ(count(*central, "SELECT count(*) FROM tblSales"), 0);

  // Vouchers entered a moment ago wait for their interval: resync says how many and that head office
  // is short of the day, and does not exit as a success.
  s.sales = 2;
  s.orders = s.stockJournals = s.jobCards = s.notes = 0;
  s.seed = 5;
  testbed::simulateErpActivity(branch.get(), nullptr, s);
  auto early = runCli("resync --yes --date " + day + at);
  EXPECT_EQ(early.exitCode, 1) << early.output;
  EXPECT_NE(early.output.find("Still waiting (entered less than the interval ago): 2"), std::string::npos)
      << early.output;
  EXPECT_NE(early.output.find("Head office is short of 2"), std::string::npos) << early.output;

  EXPECT_EQ(runCli("day-end --yes --date 2026-02-30" + at).exitCode, 2);
}

// A newcomer's first commands on a fresh testbed: nothing that works on the synchroniser's tables runs
// before Update Database (the day end used to lock the day's sales with no day row to say so), and a day
// end refused because vouchers still wait is no success for a script.
TEST(DaycycleVerbs, NothingRunsOnUnpreparedDatabasesAndARefusedDayEndIsNoSuccess) {
  test::TempDir home;
  const std::string at = smallTestbed(home);
  auto branch = db::openConnection(companyConnectionString("BR01", "embedded:servers/branch"), home.path());
  testbed::SimulationOptions s;
  s.sales = 3;
  s.edits = s.deletes = 0;
  s.masterChanges = s.boardRates = 0;
  testbed::simulateErpActivity(branch.get(), nullptr, s);
  auto locked = [&] { return branch->query("SELECT count(*) FROM tblSales WHERE LockMode = 1").at(0, 0).toInt(); };

  for (const char* verb : {"day-end --yes", "day-start --yes", "purge --yes", "upload"}) {
    auto r = runCli(std::string(verb) + at);
    EXPECT_EQ(r.exitCode, 1) << verb << "\n" << r.output;
    EXPECT_NE(r.output.find("was not started: the databases are not yet prepared"), std::string::npos)
        << verb << "\n" << r.output;
    EXPECT_EQ(r.output.find("Invalid object name"), std::string::npos) << verb << "\n" << r.output;
  }
  EXPECT_EQ(locked(), 0);
  EXPECT_EQ(branch->query("SELECT count(*) FROM tblSales").at(0, 0).toInt(), 3);  // the purge did not run

  ASSERT_EQ(runCli("update-database --yes" + at).exitCode, 0);
  auto waiting = runCli("day-end --yes" + at);
  EXPECT_EQ(waiting.exitCode, 1) << waiting.output;
  EXPECT_NE(waiting.output.find("still waiting to go up"), std::string::npos) << waiting.output;
  EXPECT_EQ(locked(), 0);
}

}  // namespace
}  // namespace erpsync
