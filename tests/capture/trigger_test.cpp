// The change-log triggers at work on real databases: what one statement on a watched table leaves in
// tblActivity.
#include <gtest/gtest.h>

#include <algorithm>

#include "capture/trigger_texts.h"
#include "pair_fixture.h"
#include "process_runner.h"
#include "simulator.h"

namespace erpsync::test {
namespace {

TEST(TriggerTexts, VoucherInsertTriggerIsSentLineForLine) {
  const std::string expected =
      "create trigger Trig_SalesInsert \r\n"
      " ON tblSales \r\n"
      " FOR Insert\r\n"
      " as\r\n"
      " DECLARE @name int\r\n"
      " DECLARE @IT int\r\n"
      " declare @Type INT\r\n"
      " declare @VchTypeId INT\r\n"
      " select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)\r\n"
      " select @name = @name + 1\r\n"
      " select @IT =InvId,@VchTypeId =Vchtypeid  from  inserted\r\n"
      " select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on tblVchType.Vchtypeid = "
      "inserted.Vchtypeid\r\n"
      " if @IT is Not NULL\r\n"
      " begin\r\n"
      " insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , VchTypeid,ActionTime) "
      "values (@name, 'tblSales',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), "
      "112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) \r\n"
      " End\r\n";
  EXPECT_EQ(capture::insertTriggerText("Sales", "tblSales", "InvId", false), expected);

  // Masters log no voucher type; deletes of vouchers carry the central id they were uploaded under.
  EXPECT_EQ(capture::updateTriggerText("Iteams", "tblItemMaster", "Itemid", true),
            " create trigger Trig_Iteamsupdate\r\n"
            " ON  tblItemMaster \r\n"
            " for Update\r\n"
            " as\r\n"
            " DECLARE @name int\r\n"
            " DECLARE @IT int\r\n"
            " declare @VchTypeId INT\r\n"
            " declare @Type INT\r\n"
            " select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)\r\n"
            " select @name = @name + 1\r\n"
            " \r\n"
            " select @IT = Itemid ,@vchtypeid = 0 from  inserted\r\n"
            " set @Type = 0\r\n"
            " if @IT is Not NULL\r\n"
            " begin\r\n"
            " insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, "
            "VchTypeid,ActionTime) values (@name, 'tblItemMaster',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), "
            "GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()))\r\n"
            " End\r\n");
  const std::string deleteTail =
      " if @IT is Not NULL\r\n"
      " begin\r\n"
      " insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, "
      "VchTypeid,ActionTime,tblUniqueRefID) values (@name,'tblNotes',@IT,'Deleted',1,CONVERT(DATETIME, "
      "CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, CONVERT(Char(50), GETDATE()),@ITRefID) \r\n"
      " End\r\n";
  const std::string deleteHead =
      " create trigger Trig_NotesDelete\r\n"
      " ON  tblNotes \r\n"
      " for delete as\r\n"
      " DECLARE @name int\r\n"
      " DECLARE @IT int\r\n"
      " DECLARE @ITRefID int\r\n"
      " declare @Type INT\r\n"
      " declare @VchTypeId INT\r\n"
      " select @name=ISNull(max(ID),0) from tblActivity with (updlock, holdlock)\r\n"
      " select @name = @name + 1\r\n"
      " \r\n";
  EXPECT_EQ(capture::deleteTriggerText("Notes", "tblNotes", "VchID", false),
            deleteHead +
                " select @IT =VchID,@ITRefID =ServInvID  ,@vchtypeid =Vchtypeid  from  deleted \r\n"
                " select @Type = tblVchType.PARENTID from  deleted  inner join tblVchType on tblVchType.Vchtypeid = "
                "deleted.Vchtypeid\r\n" +
                deleteTail);
  EXPECT_EQ(capture::deleteTriggerText("Notes", "tblNotes", "VchID", true),
            deleteHead +
                " select @IT = VchID,@vchtypeid = 0 from  deleted\r\n"
                " set @Type = 0\r\n"
                " set @ITRefID = 0\r\n" +
                deleteTail);

  // The board-rate trigger's fragments are joined by a bare CR.
  const auto& br = capture::boardRateTriggerText();
  EXPECT_EQ(br.find('\n'), std::string::npos);
  EXPECT_EQ(std::count(br.begin(), br.end(), '\r'), 6);
}

class ChangeLog : public PairFixture {
 protected:
  void SetUp() override { upgrade(); }

  db::Recordset activity(db::Connection& c, long long aboveId = 0) {
    return c.query(
        "SELECT ID, TableName, tblUniqueID, Action, Active, DateofAction, ParentID, VchTYpeID, ActionTime, "
        "tblUniqueRefID FROM tblActivity WHERE ID > " +
        std::to_string(aboveId) + " ORDER BY ID");
  }
  void insertSale(long long invId, long long vchType, const std::string& servInvId = "NULL") {
    branch().execute(
        "INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, Party, CCID, SyncStat, ServInvID) VALUES (" +
        std::to_string(invId) + ", 'S1', '05/Dec/2026', " + std::to_string(vchType) + ", 'O''Brien Traders', 2, 0, " +
        servInvId + ")");
  }
};

TEST_F(ChangeLog, BranchSaleInsertLogsOneRowWithItsTypeAndParentFromId1) {
  insertSale(41, 201);
  auto rs = activity(branch());
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "ID").toInt(), 1);
  EXPECT_EQ(rs.at(0, "TableName").toString(), "tblSales");
  EXPECT_EQ(rs.at(0, "tblUniqueID").toInt(), 41);
  EXPECT_EQ(rs.at(0, "Action").toString(), "Insert");
  EXPECT_EQ(rs.at(0, "Active").toInt(), 1);
  EXPECT_EQ(rs.at(0, "ParentID").toInt(), 1);
  EXPECT_EQ(rs.at(0, "VchTYpeID").toInt(), 201);
  EXPECT_TRUE(rs.at(0, "tblUniqueRefID").isNull());
  auto day = rs.at(0, "DateofAction").toDateTime();
  ASSERT_TRUE(day);
  EXPECT_EQ(*day, day->dateOnly());
  auto time = rs.at(0, "ActionTime").toDateTime();
  ASSERT_TRUE(time);
  EXPECT_EQ(time->dateOnly(), *day);
  EXPECT_EQ(time->second, 0);  // the default text form keeps minutes only

  insertSale(42, 204);  // a stock-journal type on a sale: the parent comes from the type
  rs = activity(branch(), 1);
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "ID").toInt(), 2);
  EXPECT_EQ(rs.at(0, "ParentID").toInt(), 5);
}

TEST_F(ChangeLog, OneStatementOneRowAndNoRowWhenNothingChanged) {
  const long long before = scalar(central(), "SELECT ISNULL(MAX(ID),0) FROM tblActivity");
  ASSERT_GT(scalar(central(), "SELECT COUNT(*) FROM tblItemMaster"), 1);
  central().execute("UPDATE tblItemMaster SET Srate = Srate + 1");
  auto rs = activity(central(), before);
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "TableName").toString(), "tblItemMaster");
  EXPECT_EQ(rs.at(0, "Action").toString(), "Update");
  EXPECT_EQ(rs.at(0, "ParentID").toInt(), 0);
  EXPECT_EQ(rs.at(0, "VchTYpeID").toInt(), 0);

  central().execute("UPDATE tblItemMaster SET Srate = 1 WHERE ItemID = -5");
  central().execute("DELETE FROM tblArea WHERE AreaID = -5");
  EXPECT_EQ(activity(central(), before).size(), 1u);
}

TEST_F(ChangeLog, DeletesCarryTheCentralIdOfAnUploadedVoucher) {
  insertSale(7, 201, "812");
  branch().execute("DELETE FROM tblSales WHERE InvID = 7");
  auto rs = activity(branch(), 1);
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "Action").toString(), "Deleted");
  EXPECT_EQ(rs.at(0, "TableName").toString(), "tblSales");
  EXPECT_EQ(rs.at(0, "tblUniqueID").toInt(), 7);
  EXPECT_EQ(rs.at(0, "tblUniqueRefID").toInt(), 812);
  EXPECT_EQ(rs.at(0, "ParentID").toInt(), 1);

  const long long before = scalar(central(), "SELECT ISNULL(MAX(ID),0) FROM tblActivity");
  central().execute("DELETE FROM tblArea WHERE AreaID = 4");
  rs = activity(central(), before);
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "Action").toString(), "Deleted");
  EXPECT_EQ(rs.at(0, "tblUniqueRefID").toInt(), 0);
}

// The first board-rate batch is logged although the log holds no board-rate row yet; afterwards a
// batch is logged once, whatever number of statements saves its rates.
TEST_F(ChangeLog, BoardRateBatchesAreLoggedOnceEachFromTheFirst) {
  auto rateRows = [&] {
    return central().query(
        "SELECT tblUniqueID, Action FROM tblActivity WHERE TableName='tblBoardRateMaster' ORDER BY ID");
  };
  auto addRate = [&](int vchId, int item) {
    central().execute(
        "INSERT INTO tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID, VchNo) VALUES ('05/Dec/2026', " +
        std::to_string(item) + ", 100, 120, " + std::to_string(vchId) + ", " + std::to_string(vchId) + ")");
  };
  ASSERT_EQ(rateRows().size(), 0u);
  addRate(5, 1);
  auto rs = rateRows();
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, 0).toInt(), 5);
  EXPECT_EQ(rs.at(0, 1).toString(), "InsertUpdate");

  addRate(5, 2);
  central().execute("UPDATE tblBoardRateMaster SET SRate = 101 WHERE VchID = 5");
  EXPECT_EQ(rateRows().size(), 1u);

  addRate(6, 1);
  rs = rateRows();
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(1, 0).toInt(), 6);
}

TEST_F(ChangeLog, SimulatedDayLeavesOneRowPerChange) {
  testbed::SimulationOptions o;
  o.sales = 4;
  o.orders = 2;
  o.stockJournals = 2;
  o.jobCards = 2;
  o.notes = 3;
  o.edits = 3;
  o.deletes = 2;
  o.masterChanges = 4;
  o.boardRates = 2;
  o.date = db::DateTime{2026, 12, 5};
  auto r = testbed::simulateErpActivity(&branch(), &central(), o);
  EXPECT_EQ(r.sales + r.orders + r.stockJournals + r.jobCards + r.notes, 13);

  auto count = [](db::Connection& c, const std::string& where) {
    return scalar(c, "SELECT COUNT(*) FROM tblActivity WHERE " + where);
  };
  EXPECT_EQ(count(branch(), "Action='Insert'"), 13);
  EXPECT_EQ(count(branch(), "Action='Update'"), 3);
  EXPECT_EQ(count(branch(), "Action='Deleted'"), 2);
  for (const char* t : {"tblSales", "tblOrder", "tblStockJournal", "tblJobcard", "tblNotes"})
    EXPECT_GT(count(branch(), std::string("Action='Insert' AND TableName='") + t + "'"), 0) << t;
  EXPECT_EQ(count(central(), "TableName<>'tblBoardRateMaster'"), 4);
  EXPECT_EQ(count(central(), "TableName='tblBoardRateMaster'"), 2);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblSalesItem WHERE InvID NOT IN (SELECT InvID FROM tblSales)"), 0);
}

// Saves at several workstations at the same moment all succeed and are all logged, each under its own
// change-log id.
TEST_F(ChangeLog, ConcurrentSavesAreAllLoggedWithDistinctIds) {
  const std::string home = "--home '" + dir.path().string() + "'";
  std::vector<std::string> args;
  for (int i = 1; i <= 3; ++i)
    args.push_back(
        "testbed simulate " + home +
        " --sales 12 --orders 0 --stock-journals 0 --job-cards 0 --notes 3 --edits 0 --deletes 0 --masters 0 "
        "--board-rates 0 --date 2026-12-05 --seed " +
        std::to_string(i));
  auto results = runCliInParallel(dir.path(), args);
  for (const auto& r : results) EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblSales"), 36);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblNotes"), 9);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblActivity WHERE Action='Insert' AND TableName='tblSales'"), 36);
  EXPECT_EQ(scalar(branch(), "SELECT COUNT(*) FROM tblActivity"), 45);
  EXPECT_EQ(scalar(branch(), "SELECT MAX(ID) FROM tblActivity"), 45);
}

}  // namespace
}  // namespace erpsync::test
