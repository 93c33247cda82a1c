// Two branches, each its own program folder, branch server and cost centre, upload into one head
// office at the same time: every voucher arrives exactly once, no central number is taken twice.
#include <gtest/gtest.h>

#include <cstdlib>

#include "db/connection.h"
#include "process_runner.h"
#include "shared/connections.h"
#include "simulator.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

TEST(TwoBranches, UploadingAtOnceEveryVoucherArrivesOnceUnderItsOwnNumber) {
  test::TempDir tmp;
  const auto home1 = tmp.path() / "one", home2 = tmp.path() / "two";
  const std::string central = "embedded:" + (home1 / "servers" / "central").string();
  testbed::InitOptions o;
  o.items = 8;
  o.ledgers = 12;
  o.home = home1;
  testbed::init(o);
  o.home = home2;
  o.branchCostCentre = 3;
  o.branchDb = "BR02";
  testbed::init(o);
  // The second branch reports to the first one's head office.
  auto settings = test::readFile(home2 / "Resources" / "Appsettings.ini");
  settings.replace(settings.find("embedded:servers/central"), std::string("embedded:servers/central").size(), central);
  test::writeFile(home2 / "Resources" / "Appsettings.ini", settings);

  for (const auto& h : {home1, home2}) {
    auto r = test::runCliInParallel(tmp.path(), {"update-database --yes --home '" + h.string() + "'"});
    ASSERT_EQ(r[0].exitCode, 0) << r[0].output;
  }
  int cc = 2;
  for (const auto& [h, db] : {std::pair{home1, "BR01"}, std::pair{home2, "BR02"}}) {
    auto branch = db::openConnection(companyConnectionString(db, "embedded:servers/branch"), h);
    testbed::SimulationOptions s;
    s.sales = 25;
    s.notes = 5;
    s.deletes = 0;
    s.masterChanges = s.boardRates = 0;
    s.costCentreId = cc++;
    s.seed = static_cast<unsigned>(cc);
    testbed::simulateErpActivity(branch.get(), nullptr, s);
  }

  // Both runners see the servers' clock ten minutes on, so every voucher is old enough at once.
  ::setenv("ERPSYNC_SERVER_CLOCK_OFFSET", "600", 1);
  const std::string run = "run --passes 30 --wait-ms 100 --until-quiet --home '";
  auto results = test::runCliInParallel(tmp.path(), {run + home1.string() + "'", run + home2.string() + "'"});
  ::unsetenv("ERPSYNC_SERVER_CLOCK_OFFSET");
  for (const auto& r : results) EXPECT_EQ(r.exitCode, 0) << r.output;

  auto ho = db::openConnection(companyConnectionString("HO01", central), tmp.path());
  auto scalar = [&](const std::string& sql) { return ho->query(sql).at(0, 0).toInt(); };
  EXPECT_EQ(scalar("SELECT count(*) FROM (SELECT InvID FROM tblSales GROUP BY InvID HAVING count(*) > 1) d"), 0);
  EXPECT_EQ(scalar("SELECT count(*) FROM (SELECT VchID FROM tblNotes GROUP BY VchID HAVING count(*) > 1) d"), 0);
  for (int ccid : {2, 3}) {
    EXPECT_EQ(scalar("SELECT count(*) FROM tblSales WHERE CCID = " + std::to_string(ccid)), 25) << ccid;
    EXPECT_EQ(scalar("SELECT count(DISTINCT InvNo) FROM tblSales WHERE CCID = " + std::to_string(ccid)), 25) << ccid;
  }
  // Every line went with its voucher, under its central number.
  EXPECT_EQ(scalar("SELECT count(*) FROM tblSalesItem i WHERE NOT EXISTS (SELECT 1 FROM tblSales s WHERE s.InvID = "
                   "i.InvID)"),
            0);
  EXPECT_EQ(scalar("SELECT count(*) FROM tblDayActivity WHERE Activity = 'BLOCKFASTPUSH'"), 0);
}

}  // namespace
}  // namespace erpsync
