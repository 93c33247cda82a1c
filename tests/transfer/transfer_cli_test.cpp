// Stock transfers through the headless runner: a service imports waiting transfers only when told to
// (its command line or the settings file), and a transfer head office corrected is imported again in
// place of the first import, a failure part-way leaving the first import as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "db/connection.h"
#include "process_runner.h"
#include "shared/connections.h"
#include "prepared_folder.h"
#include "test_support.h"
#include "testbed.h"

namespace erpsync {
namespace {

using test::runCli;

class TransferCli : public ::testing::Test {
 protected:
  TransferCli() {
    test::copyTestbed(home.path(), {5, 10, true});
    at = " --home '" + home.path().string() + "'";
    branch = db::openConnection(companyConnectionString("BR01", "embedded:servers/branch"), home.path());
    central = db::openConnection(companyConnectionString("HO01", "embedded:servers/central"), home.path());
  }

  long long transferJournals() {
    return branch->query("SELECT COUNT(*) FROM tblStockJournal WHERE ProfileID = 16").at(0, 0).toInt();
  }
  // ItemID -> quantity of the branch's movements of the imported transfer.
  std::map<long long, double> transferMovements() {
    std::map<long long, double> out;
    auto rs = branch->query(
        "SELECT h.ItemID, h.QtyIN - h.QtyOut FROM tblStockHistory h INNER JOIN tblStockJournal j ON j.InvID = "
        "h.RefId AND h.VchTypeID = 1005 WHERE j.ProfileID = 16");
    for (const auto& row : rs.rows) out[row[0].toInt()] += row[1].toDouble();
    return out;
  }
  std::string settings() { return test::readFile(home.path() / "Resources" / "Appsettings.ini"); }

  test::TempDir home;
  std::string at;
  std::unique_ptr<db::Connection> branch;
  std::unique_ptr<db::Connection> central;
};

TEST_F(TransferCli, HeadlessRunImportsWaitingTransfersOnlyWhenTold) {
  auto plain = runCli("run --passes 1 --wait-ms 0" + at);
  EXPECT_EQ(plain.exitCode, 0) << plain.output;
  EXPECT_EQ(plain.output.find("transfers imported"), std::string::npos) << plain.output;
  EXPECT_EQ(transferJournals(), 0);
  // The switch is in the settings file now, off, for the operator to find.
  EXPECT_NE(settings().find("\r\nAUTOSYNCHINTERIMSTOCKTRANSFER=0"), std::string::npos) << settings();

  auto told = runCli("run --passes 1 --wait-ms 0 --import-transfers" + at);
  EXPECT_EQ(told.exitCode, 0) << told.output;
  EXPECT_NE(told.output.find("transfers imported 2"), std::string::npos) << told.output;  // transfer and purchase
  EXPECT_EQ(transferJournals(), 1);
  const auto imported = transferMovements();
  EXPECT_EQ(imported, (std::map<long long, double>{{1, 10}, {2, 6}, {3, 12}}));

  // A later pass finds them marked and imports nothing more.
  auto later = runCli("run --passes 1 --wait-ms 0 --import-transfers" + at);
  EXPECT_NE(later.output.find("transfers imported 0"), std::string::npos) << later.output;
  EXPECT_EQ(transferMovements(), imported);
}

TEST_F(TransferCli, ServiceTakesTheSwitchFromTheSettingsFile) {
  std::string s = settings();
  test::writeFile(home.path() / "Resources" / "Appsettings.ini", s + "\r\nAUTOSYNCHINTERIMSTOCKTRANSFER=1");
  auto run = runCli("run --passes 1 --wait-ms 0" + at);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("transfers imported 2"), std::string::npos) << run.output;
  EXPECT_EQ(transferJournals(), 1);
  EXPECT_EQ(central->query("SELECT Customfield1 FROM tblStockJournal WHERE InvID = 3").at(0, 0).toString(),
            "DOWNLAODED");
}

TEST_F(TransferCli, CorrectedTransferImportedAgainReplacesTheFirst) {
  auto first = runCli("import-transfers 3 --type 16 --yes" + at);
  EXPECT_EQ(first.exitCode, 0) << first.output;
  EXPECT_NE(first.output.find("Voucher 3 imported: 3 stock lines"), std::string::npos) << first.output;
  const std::map<long long, double> before{{1, 10}, {2, 6}, {3, 12}};
  ASSERT_EQ(transferMovements(), before);

  // Head office corrects the transfer: item 1 now 7, item 3 out, item 4 in with 5.
  central->execute(
      "UPDATE tblStockHistory SET QtyIN = 7 WHERE VchTypeID = 16 AND RefId = 3 AND ItemID = 1 AND CCID = 2");
  central->execute("DELETE FROM tblStockHistory WHERE VchTypeID = 16 AND RefId = 3 AND ItemID = 3");
  central->execute(
      "INSERT INTO tblStockHistory (StockHisId, VchDate, VchTypeID, RefId, AdnlRefID, ItemID, QtyIN, QtyOut, "
      "BatchCode, BatchUnique, CCID, GodownID) VALUES (0, '05/Dec/2026', 16, 3, '', 4, 5, 0, 'B00004', 'B00004', 2, "
      "1)");

  // The link to the branch server is lost at the second corrected line: the first import stays whole.
  ::setenv("ERPSYNC_FAULT", "at=2;kind=drop;server=branch;match=insert into tblStockJournalDetail", 1);
  auto dropped = runCli("import-transfers 3 --type 16 --yes" + at);
  ::unsetenv("ERPSYNC_FAULT");
  EXPECT_EQ(dropped.exitCode, 1) << dropped.output;
  EXPECT_NE(dropped.output.find("Connection failure"), std::string::npos) << dropped.output;
  EXPECT_EQ(transferJournals(), 1);
  EXPECT_EQ(transferMovements(), before);

  auto again = runCli("import-transfers 3 --type 16 --yes" + at);
  EXPECT_EQ(again.exitCode, 0) << again.output;
  EXPECT_NE(again.output.find("(in place of its earlier import)"), std::string::npos) << again.output;
  EXPECT_EQ(transferJournals(), 1);
  EXPECT_EQ(transferMovements(), (std::map<long long, double>{{1, 7}, {2, 6}, {4, 5}}));
}

}  // namespace
}  // namespace erpsync
