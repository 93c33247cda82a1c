// The testbed: script splitting, and init building both servers, their databases and settings files.
#include "testbed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "db/connection.h"
#include "test_support.h"

namespace erpsync {
namespace {

namespace fs = std::filesystem;

long long count(db::Connection& c, const std::string& sql) {
  return c.query(sql).at(0, 0).toInt();
}

TEST(SplitBatches, SplitsAtGoLinesOnlyAndDropsCommentOnlyBatches) {
  auto b = testbed::splitBatches(
      "-- header comment\nGO\nSELECT 'GO' AS x\n  go  \r\nINSERT INTO t VALUES (1)\nGOTO_NOT_A_SEPARATOR\nGo\n"
      "/* block */\n\nGO\nUPDATE t SET a = 1");
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(b[0], "SELECT 'GO' AS x");
  EXPECT_EQ(b[1], "INSERT INTO t VALUES (1)\nGOTO_NOT_A_SEPARATOR");
  EXPECT_EQ(b[2], "UPDATE t SET a = 1");
}

TEST(SplitBatches, KeepsStatementTextAsWritten) {
  auto b = testbed::splitBatches("  SELECT 1  \n  FROM x  \nGO\n");
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0], "  SELECT 1  \n  FROM x  ");
}

TEST(Schema, NamesEveryTableTheSynchroniserUsesAndNoneItCreatesItself) {
  auto names = testbed::tableNames();
  for (const char* t : {"tblSales",
                        "tblSalesItem",
                        "tblNotes",
                        "tblStockJournal",
                        "tblStockJournalDetail",
                        "tblOrder",
                        "tblOrderItem",
                        "tblJobcard",
                        "tblJobCardDetail",
                        "tblStock",
                        "tblStockHistory",
                        "tblVoucher",
                        "tblItemMaster",
                        "tblLedger",
                        "tblVchType",
                        "tblAppSettings",
                        "tblSettings",
                        "tblBoardRateMaster",
                        "tblpricelist",
                        "tblPurchase",
                        "tblItemRates",
                        "tblStockHistorySerialNo",
                        "tblGodown",
                        "tblUserGroupMaster",
                        "tblCustomerCard",
                        "tblCurrencyDetail",
                        "tblAttendance"})
    EXPECT_NE(std::find(names.begin(), names.end(), t), names.end()) << t;
  for (const char* t : {"tblActivity", "tblDayActivity"})
    EXPECT_EQ(std::find(names.begin(), names.end(), t), names.end()) << t;
  auto schema = std::string(testbed::sqlFile("company_schema.sql"));
  EXPECT_NE(schema.find("UNIQUE CLUSTERED INDEX [CIDX_tblStock]"), std::string::npos);
  EXPECT_NE(schema.find("UNIQUE NONCLUSTERED INDEX [IX_tblStock_BatchCode_mainIndex]"), std::string::npos);
  // The upload columns belong to the synchroniser's upgrade.
  EXPECT_EQ(schema.find("SyncStat]"), std::string::npos);
  EXPECT_EQ(schema.find("ServInvID"), std::string::npos);
}

class TestbedInit : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = new test::TempDir;
    testbed::InitOptions o;
    o.home = home_->path();
    testbed::init(o);
  }
  static void TearDownTestSuite() {
    delete home_;
    home_ = nullptr;
  }
  static std::unique_ptr<db::Connection> open(const std::string& server, const std::string& dbName) {
    return db::openConnection(testbed::companyConnectionString(server, dbName), home_->path());
  }
  static test::TempDir* home_;
};
test::TempDir* TestbedInit::home_ = nullptr;

TEST_F(TestbedInit, WritesTheSettingsFilesByteExact) {
  auto resources = home_->path() / "Resources";
  EXPECT_EQ(test::readFile(resources / "ServerName.ini"), "embedded:servers/branch");
  EXPECT_EQ(test::readFile(resources / "Appsettings.ini"),
            "SYNCSERVER=embedded:servers/central\r\nLOCALDBCODE=BR01\r\nWEBDBCODE=HO01\r\nKEEPAUTOSYNCHON=0\r\n"
            "BLNSHOWDAYSTARTEND=1\r\nDEFCOSTCENTREID=2\r\nSYNCHVCHTYPEIDS=201;202;203;204;205;206;207;");
  EXPECT_FALSE(fs::exists(resources / "AppsettingsLoop.ini"));
  EXPECT_TRUE(fs::is_directory(home_->path() / "servers" / "branch"));
  EXPECT_TRUE(fs::is_directory(home_->path() / "servers" / "central"));
}

TEST_F(TestbedInit, BothCompaniesHoldTheSameMastersAndOnlyTheCentralOneVouchers) {
  auto branch = open("embedded:servers/branch", "BR01");
  auto central = open("embedded:servers/central", "HO01");
  auto b = testbed::tableCounts(*branch);
  auto c = testbed::tableCounts(*central);
  ASSERT_EQ(b.size(), testbed::tableNames().size());
  ASSERT_EQ(c.size(), b.size());
  const std::vector<std::string> centralOnly = {
      "tblStock",   "tblStockHistory", "tblStockJournal", "tblStockJournalDetail",
      "tblVoucher", "tblPurchase",     "tblPurchaseItem"};
  for (std::size_t i = 0; i < b.size(); ++i) {
    const auto& table = b[i].first;
    if (std::find(centralOnly.begin(), centralOnly.end(), table) != centralOnly.end()) {
      EXPECT_EQ(b[i].second, 0) << table;
      EXPECT_GT(c[i].second, 0) << table;
    } else {
      EXPECT_EQ(b[i].second, c[i].second) << table;
    }
  }
  EXPECT_EQ(count(*branch, "SELECT COUNT(*) FROM tblItemMaster"), 50);
  EXPECT_EQ(count(*branch, "SELECT COUNT(*) FROM tblLedger"), 20);
  EXPECT_EQ(count(*central, "SELECT COUNT(*) FROM tblStock"), 100);
  EXPECT_EQ(count(*branch, "SELECT COUNT(*) FROM tblSales"), 0);
  // Branch One's own voucher types, as the voucher-type list selects them.
  EXPECT_EQ(count(*branch, "SELECT COUNT(*) FROM tblVchType WHERE PrimaryCCIDS = '2' AND BLNUseForClientSync = 1"), 7);
  EXPECT_EQ(count(*branch, "SELECT COUNT(*) FROM tblSettings"), 1);
  // The identity columns number the fixed rows from 1.
  EXPECT_EQ(count(*branch, "SELECT MAX(GodownID) FROM tblGodown"), 2);
  EXPECT_EQ(count(*branch, "SELECT MAX(ID) FROM tblUserGroupMaster"), 2);
}

TEST_F(TestbedInit, CentralStockAgreesWithItsHistory) {
  auto central = open("embedded:servers/central", "HO01");
  // Branch One's stock: opening plus the transfer and the purchase addressed to it.
  EXPECT_EQ(count(*central, "SELECT COUNT(*) FROM tblStock WHERE CCID = 2"), 50);
  EXPECT_EQ(count(*central, "SELECT SUM(QtyIN - QtyOut) FROM tblStockHistory WHERE ItemID = 1 AND CCID = 2"), 27);
  EXPECT_EQ(count(*central, "SELECT COUNT(*) FROM tblStock WHERE BatchCode = 'LOT''5'"), 2);
  EXPECT_EQ(count(*central, "SELECT COUNT(*) FROM tblStockJournal WHERE DestCCID = 2 AND VchTypeid = 16"), 1);
}

TEST_F(TestbedInit, StartupCatalogsListTheCompanies) {
  for (const auto& [server, own] :
       {std::pair{"embedded:servers/branch", "BR01"}, std::pair{"embedded:servers/central", "HO01"}}) {
    auto c = db::openConnection(testbed::startupConnectionString(server), home_->path());
    auto rs = c->query(
        "Select * from tblcompany where (ApplicationID IN (33) and active=1) or companyID=33 order by CompanyCode ");
    ASSERT_EQ(rs.size(), 2u) << server;
    EXPECT_EQ(rs.at(1, "CompanyCode").toString(), own);
  }
}

TEST(TestbedOptions, SizesFollowTheOptionsAndInitStartsAfresh) {
  test::TempDir home;
  testbed::InitOptions o;
  o.home = home.path();
  o.items = 8;
  o.ledgers = 12;
  testbed::init(o);
  {
    auto branch = db::openConnection(testbed::companyConnectionString(o.branchServer, o.branchDb), home.path());
    EXPECT_EQ(count(*branch, "SELECT COUNT(*) FROM tblItemMaster"), 8);
    EXPECT_EQ(count(*branch, "SELECT COUNT(*) FROM tblLedger"), 12);
    branch->execute("INSERT INTO tblSales (InvID, InvNo, InvDate) VALUES (1, 'X1', '06/Dec/2026')");
  }
  test::writeFile(home.path() / "Resources" / "AppsettingsLoop.ini", "MaxActivityID=99");
  o.items = 3;  // below the fixed sample: the fixed five stay
  testbed::init(o);
  auto branch = db::openConnection(testbed::companyConnectionString(o.branchServer, o.branchDb), home.path());
  EXPECT_EQ(count(*branch, "SELECT COUNT(*) FROM tblSales"), 0);
  EXPECT_EQ(count(*branch, "SELECT COUNT(*) FROM tblItemMaster"), 5);
  EXPECT_FALSE(fs::exists(home.path() / "Resources" / "AppsettingsLoop.ini"));
  auto central = db::openConnection(testbed::companyConnectionString(o.centralServer, o.centralDb), home.path());
  EXPECT_EQ(count(*central, "SELECT COUNT(*) FROM tblStock"), 10);
}

}  // namespace
}  // namespace erpsync
