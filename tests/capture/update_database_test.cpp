// "Update Database" on a fresh pair of company databases and again on an upgraded pair.
#include <gtest/gtest.h>

#include "capture/trigger_texts.h"
#include "pair_fixture.h"

namespace erpsync::test {
namespace {

using UpdateDatabase = PairFixture;

bool hasColumn(db::Connection& c, const std::string& table, const std::string& column) {
  try {
    c.query("SELECT " + column + " FROM " + table + " WHERE 1=0");
    return true;
  } catch (const db::DbError&) {
    return false;
  }
}

long long newestActivityOf(db::Connection& c, const std::string& action) {
  auto rs = c.query("SELECT TOP 1 Action FROM tblActivity ORDER BY ID DESC");
  return !rs.empty() && rs.at(0, 0).toString() == action ? 1 : 0;
}

TEST_F(UpdateDatabase, FirstRunPreparesBothDatabases) {
  auto godownsBefore = branch().query("SELECT GodownID, GodownName FROM tblGodown ORDER BY GodownID");
  ASSERT_FALSE(godownsBefore.empty());
  upgrade();
  // A first run finds no trigger to drop; that is no failure, so the operator is not told about it.
  EXPECT_TRUE(upgradeNotices.empty()) << upgradeNotices.front();

  for (db::Connection* c : {&branch(), &central()}) {
    for (const char* t : {"tblSales", "tblNotes", "tblStockJournal", "tblJobcard", "tblOrder"}) {
      EXPECT_TRUE(hasColumn(*c, t, "SyncStat")) << t;
      EXPECT_TRUE(hasColumn(*c, t, "ServInvID")) << t;
    }
    EXPECT_TRUE(hasColumn(*c, "tblBoardRateMaster", "VchID"));
    EXPECT_TRUE(hasColumn(*c, "tblBoardRateMaster", "CUSTOMFIELD1"));
    EXPECT_TRUE(hasColumn(*c, "tblActivity", "tblUniqueRefID"));
    EXPECT_TRUE(hasColumn(*c, "tblDayActivity", "SQLSERVERNAME"));
    EXPECT_EQ(scalar(*c, "SELECT COUNT(*) FROM tblItemMaster WHERE sRatePerOnMRP IS NULL"), 0);
  }
  EXPECT_FALSE(hasColumn(branch(), "tblSales", "SynchStat"));
  EXPECT_TRUE(hasColumn(central(), "tblSales", "SynchStat"));

  // Godown ids are plain numbers holding the same values, so ids from head office can be stored.
  auto godownsAfter = branch().query("SELECT GodownID, GodownName FROM tblGodown ORDER BY GodownID");
  EXPECT_EQ(godownsAfter.rows, godownsBefore.rows);
  EXPECT_FALSE(hasColumn(branch(), "tblGodown", "NEWID"));
  branch().execute("INSERT INTO tblGodown (GodownID, GodownName) VALUES (77, 'Back Store')");
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblGodown WHERE GodownID = 77"), 1);

  // Masters are watched at head office, vouchers at the branch.
  central().execute("UPDATE tblCurrency SET Symbol = Symbol");
  central().execute("UPDATE tblArea SET AreaName = AreaName WHERE AreaID = 1");
  EXPECT_EQ(scalar(central(), "SELECT COUNT(*) FROM tblActivity WHERE TableName IN ('tblArea','tblCurrency')"),
            1 + scalar(central(), "SELECT COUNT(*) FROM tblCurrency"));
  branch().execute(
      "INSERT INTO tblNotes (VchID, VchDate, VchTypeID, Amount, CCID) VALUES (1, '05/Dec/2026', 202, 10, 2)");
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblActivity WHERE TableName='tblNotes' AND Action='Insert'"), 1);
}

// A second run keeps every day row and a live push lock, and puts the current trigger texts in place on
// both databases (the branch's voucher triggers included).
TEST_F(UpdateDatabase, SecondRunKeepsDayRowsAndLockAndReplacesEveryTrigger) {
  upgrade();
  for (db::Connection* c : {&branch(), &central()})
    c->execute(
        " INSERT INTO [tblDayActivity] ([Activity],[TimeOf],[SystemName],[DateOF],[ActivitiesDetail],[BlnStarted],"
        "[BlnEnded],[CCID],BlockDataEntry ,SQLSERVERNAME) Values ( 'DayStart','14:05:33','','05/Dec/2026','Day Start "
        "Finished',1,0,2,0,'BRPC')");
  central().execute(
      " INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,"
      "ActivitiesDetail,Timeof) Values ('BLOCKFASTPUSH',1,'Branch Two','','Blocking for data pushing from "
      "client',getDate())");
  // Triggers of an older program, on a voucher table at the branch and on a master the old upgrade never
  // dropped.
  branch().execute("Drop trigger Trig_SalesInsert");
  branch().execute(
      "create trigger Trig_SalesInsert ON tblSales FOR Insert as insert into tblActivity (ID,TableName,Action) "
      "select isnull(max(ID),0)+1, 'tblSales', 'OldInsert' from tblActivity");
  central().execute("Drop trigger Trig_Currencyupdate");
  central().execute(
      "create trigger Trig_Currencyupdate ON tblCurrency for Update as insert into tblActivity (ID,TableName,Action) "
      "select isnull(max(ID),0)+1, 'tblCurrency', 'OldUpdate' from tblActivity");
  upgrade();

  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblDayActivity"), 1);
  EXPECT_EQ(scalar(central(), "SELECT COUNT(*) FROM tblDayActivity WHERE Activity='DayStart'"), 1);
  EXPECT_EQ(scalar(central(),
                   "SELECT COUNT(*) FROM tblDayActivity WHERE Activity='BLOCKFASTPUSH' AND "
                   "SQLSERVERNAME='Branch Two'"),
            1);
  // The attendance table's triggers, which nothing creates, are missing to drop: no notice either.
  EXPECT_TRUE(upgradeNotices.empty()) << upgradeNotices.front();

  branch().execute(
      "INSERT INTO tblSales (InvID, InvDate, VchTypeID, CCID, SyncStat) VALUES (90, '05/Dec/2026', 201, 2, 0)");
  EXPECT_EQ(newestActivityOf(branch(), "Insert"), 1);
  central().execute("UPDATE tblCurrency SET Symbol = Symbol");
  EXPECT_EQ(newestActivityOf(central(), "Update"), 1);
  EXPECT_EQ(scalar(central(), "SELECT COUNT(*) FROM tblActivity WHERE Action LIKE 'Old%'"), 0);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblActivity WHERE Action LIKE 'Old%'"), 0);

  // The triggers in place are the current ones on both sides: a statement over several rows logs each.
  const long long centralBefore = scalar(central(), "SELECT MAX(ID) FROM tblActivity");
  EXPECT_EQ(central().execute("UPDATE tblItemMaster SET MRP = MRP + 7 WHERE ItemID IN (3, 4, 5)"), 3);
  EXPECT_EQ(scalar(central(), "SELECT COUNT(*) FROM tblActivity WHERE TableName='tblItemMaster' AND ID > " +
                                  std::to_string(centralBefore)),
            3);
  branch().execute(
      "INSERT INTO tblSales (InvID, InvDate, VchTypeID, CCID, SyncStat) VALUES (91, '05/Dec/2026', 201, 2, 0), "
      "(92, '05/Dec/2026', 201, 2, 0)");
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblActivity WHERE TableName='tblSales' AND tblUniqueID IN (91, 92)"),
            2);
}

// A day table left by an older program keeps its rows and gains the two newer columns.
// The synchroniser's own indexes are made where they serve (head office, or both sides), can be
// dropped by name at any time, and the next run makes them again.
TEST_F(UpdateDatabase, OwnIndexesAreMadeWhereTheyServeAndComeBackAfterADrop) {
  auto drops = [](db::Connection& c, const std::string& name, const std::string& table) {
    try {
      c.execute("DROP INDEX " + name + " ON " + table);
      return true;
    } catch (const db::DbError&) {
      return false;
    }
  };
  upgrade();
  EXPECT_TRUE(drops(central(), "erpsync_tblDayActivity_Activity", "tblDayActivity"));
  EXPECT_TRUE(drops(branch(), "erpsync_tblDayActivity_Activity", "tblDayActivity"));
  EXPECT_TRUE(drops(branch(), "erpsync_tblActivity_tblUniqueID", "tblActivity"));
  EXPECT_FALSE(drops(central(), "erpsync_tblActivity_tblUniqueID", "tblActivity")) << "a branch index only";
  EXPECT_TRUE(drops(central(), "erpsync_tblSales_VchTypeID_InvDate_InvNo", "tblSales"));
  EXPECT_FALSE(drops(branch(), "erpsync_tblSales_VchTypeID_InvDate_InvNo", "tblSales")) << "a head-office index only";
  EXPECT_FALSE(drops(central(), "erpsync_tblSales_VchTypeID_InvDate_InvNo", "tblSales"));

  upgrade();
  EXPECT_TRUE(drops(central(), "erpsync_tblDayActivity_Activity", "tblDayActivity"));
  EXPECT_TRUE(drops(central(), "erpsync_tblSales_VchTypeID_InvDate_InvNo", "tblSales"));
  EXPECT_TRUE(drops(central(), "erpsync_tblJobcard_VchTypeID_JobCardDate_JobCardNo", "tblJobcard"));
}

TEST_F(UpdateDatabase, OlderDayTableKeepsItsRowsAndGainsTheNewColumns) {
  central().execute(
      "CREATE TABLE [dbo].[tblDayActivity]( [ID] [numeric](18, 0) IDENTITY(1,1) NOT NULL, [Activity] [varchar](50) NOT "
      "NULL, [TimeOf] [datetime] NULL, [SystemName] [varchar](50) not NULL, [DateOF] [datetime] NULL, "
      "[ActivitiesDetail] [varchar](500) NOT NULL, [BlnStarted] [numeric](18, 0) NULL, [BlnEnded] [numeric](18, 0) "
      "NULL, "
      "[CCID] [numeric](18, 0) NULL)");
  central().execute(
      "INSERT INTO tblDayActivity (Activity, TimeOf, SystemName, DateOF, ActivitiesDetail, BlnStarted, "
      "BlnEnded, CCID) VALUES ('DayEnd', '18:00:00', '', '04/Dec/2026', 'Day End Completed', 0, 1, 3)");
  upgrade();
  EXPECT_TRUE(hasColumn(central(), "tblDayActivity", "BlockDataEntry"));
  EXPECT_TRUE(hasColumn(central(), "tblDayActivity", "SQLSERVERNAME"));
  EXPECT_EQ(scalar(central(), "SELECT COUNT(*) FROM tblDayActivity WHERE Activity='DayEnd' AND CCID=3"), 1);
}

TEST_F(UpdateDatabase, EndsWithItsMessageWhenTheCentralServerIsAway) {
  ctx.WebConnection.reset();
  upgrade();
  branch().execute(
      "INSERT INTO tblSales (InvID, InvDate, VchTypeID, CCID, SyncStat) VALUES (1, '05/Dec/2026', 201, 2, 0)");
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblActivity WHERE TableName='tblSales'"), 1);
}

}  // namespace
}  // namespace erpsync::test
