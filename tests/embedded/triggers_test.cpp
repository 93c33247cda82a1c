// Statement-level triggers: the change-log triggers as the synchroniser writes them log one row
// per statement, taken from one affected row, and nothing for a statement that touches no row.
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

const char* kActivity =
    " CREATE TABLE [dbo].[tblActivity]( [ID] [numeric](18, 0) NOT NULL, [TableName] [varchar](50) NULL, [tblUniqueID] "
    "[numeric](18, 0) NULL,[Action] [varchar](50) NULL, [Active] [numeric](18, 0) NULL, [DateofAction] [datetime] "
    "NULL,  "
    "CONSTRAINT [PK_tblActivity] PRIMARY KEY CLUSTERED (     [id] Asc )WITH (PAD_INDEX  = OFF, STATISTICS_NORECOMPUTE  "
    "= OFF, IGNORE_DUP_KEY = OFF, ALLOW_ROW_LOCKS  = ON, ALLOW_PAGE_LOCKS  = ON) ON [PRIMARY] ) ON [PRIMARY]  ";

std::string lines(std::initializer_list<std::string> ls) {
  std::string r;
  for (auto& l : ls) r += l + "\r\n";
  return r;
}

std::string updateTrigger(const std::string& n, const std::string& t, const std::string& c, bool master) {
  return lines({" create trigger Trig_" + n + "update", " ON  " + t + " ", " for Update", " as", " DECLARE @name int",
                " DECLARE @IT int", " declare @VchTypeId INT", " declare @Type INT",
                " select @name=ISNull(max(ID),0) from tblActivity", " select @name = @name + 1", " ",
                master ? " select @IT = " + c + " ,@vchtypeid = 0 from  inserted"
                       : " select @IT = " + c + " ,@vchtypeid = Vchtypeid from  inserted",
                master ? " set @Type = 0"
                       : " select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on "
                         "tblVchType.Vchtypeid = inserted.Vchtypeid",
                " if @IT is Not NULL", " begin",
                " insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, "
                "VchTypeid,ActionTime) values (@name, '" +
                    t +
                    "',@IT,'Update',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, "
                    "CONVERT(Char(50), GETDATE()))",
                " End"});
}

std::string insertTrigger(const std::string& n, const std::string& t, const std::string& c, bool master) {
  return lines({"create trigger Trig_" + n + "Insert ", " ON " + t + " ", " FOR Insert", " as", " DECLARE @name int",
                " DECLARE @IT int", " declare @Type INT", " declare @VchTypeId INT",
                " select @name=ISNull(max(ID),0) from tblActivity", " select @name = @name + 1",
                master ? " select @IT =" + c + ",@VchTypeId =0  from  inserted"
                       : " select @IT =" + c + ",@VchTypeId =Vchtypeid  from  inserted",
                master ? " set @Type = 0"
                       : " select @Type = tblVchType.PARENTID from  inserted inner join tblVchType on "
                         "tblVchType.Vchtypeid = inserted.Vchtypeid",
                " if @IT is Not NULL", " begin",
                " insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , "
                "VchTypeid,ActionTime) values (@name, '" +
                    t +
                    "',@IT,'Insert',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112),@Type,@vchtypeid,"
                    "CONVERT(Char(50), GETDATE())) ",
                " End"});
}

std::string deleteTrigger(const std::string& n, const std::string& t, const std::string& c) {
  return lines({" create trigger Trig_" + n + "Delete", " ON  " + t + " ", " for delete as", " DECLARE @name int",
                " DECLARE @IT int", " DECLARE @ITRefID int", " declare @Type INT", " declare @VchTypeId INT",
                " select @name=ISNull(max(ID),0) from tblActivity", " select @name = @name + 1", " ",
                " select @IT =" + c + ",@ITRefID =ServInvID  ,@vchtypeid =Vchtypeid  from  deleted ",
                " select @Type = tblVchType.PARENTID from  deleted  inner join tblVchType on tblVchType.Vchtypeid = "
                "deleted.Vchtypeid",
                " if @IT is Not NULL", " begin",
                " insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId, "
                "VchTypeid,ActionTime,tblUniqueRefID) values (@name,'" +
                    t +
                    "',@IT,'Deleted',1,CONVERT(DATETIME, CONVERT(CHAR(8), GETDATE(), 112), 112) ,@type , @vchtypeid, "
                    "CONVERT(Char(50), GETDATE()),@ITRefID) ",
                " End"});
}

class EmbeddedTriggers : public EmbeddedFixture {
 protected:
  std::unique_ptr<db::Connection> c;
  void SetUp() override {
    c = server("srv");
    c->execute(kActivity);
    c->execute(" alter TABLE [dbo].[tblActivity] add ParentID [numeric](18, 0), VchTYpeID [numeric](18, 0)");
    c->execute(" alter TABLE [dbo].[tblActivity] add ActionTime datetime");
    c->execute(" alter TABLE [dbo].[tblActivity] add tblUniqueRefID [numeric](18, 0)");
    c->execute(
        "CREATE TABLE tblItemMaster (ItemID numeric(18,0) NOT NULL PRIMARY KEY, ItemName varchar(50), "
        "Srate numeric(18,2))");
    c->execute(
        "CREATE TABLE tblVchType (VchTypeID numeric(18,0) NOT NULL, VchType varchar(50), ParentID "
        "numeric(18,0))");
    c->execute(
        "CREATE TABLE tblSales (InvID numeric(18,0) NOT NULL, VchTypeID numeric(18,0), InvDate datetime, Party "
        "varchar(50), ServInvID numeric(18,0), SyncStat numeric(18,0))");
    c->execute("insert into tblVchType values (7, 'Sales B1', 1)");
    for (int i = 1; i <= 3; ++i)
      c->execute("insert into tblItemMaster values (" + std::to_string(i) + ", 'Item " + std::to_string(i) + "', 10)");
    c->execute(insertTrigger("Iteams", "tblItemMaster", "Itemid", true));
    c->execute(updateTrigger("Iteams", "tblItemMaster", "Itemid", true));
    c->execute(insertTrigger("Sales", "tblSales", "InvId", false));
    c->execute(deleteTrigger("Sales", "tblSales", "InvId"));
  }
  long long count(const std::string& where = "1=1") {
    return c->query("select count(*) from tblActivity where " + where).at(0, 0).toInt();
  }
};

TEST_F(EmbeddedTriggers, MultiRowUpdateLogsOneRowAndZeroRowUpdateNone) {
  EXPECT_EQ(c->execute("update tblItemMaster set Srate = 12"), 3);
  ASSERT_EQ(count(), 1);
  auto rs = c->query("select * from tblActivity");
  EXPECT_EQ(rs.at(0, "ID").toInt(), 1);
  EXPECT_EQ(rs.at(0, "Action").toString(), "Update");
  EXPECT_EQ(rs.at(0, "TableName").toString(), "tblItemMaster");
  EXPECT_EQ(rs.at(0, "ParentID").toInt(), 0);
  EXPECT_EQ(rs.at(0, "VchTYpeID").toInt(), 0);
  EXPECT_GE(rs.at(0, "tblUniqueID").toInt(), 1);
  EXPECT_TRUE(rs.at(0, "tblUniqueRefID").isNull());
  // DateofAction is today at midnight; ActionTime went through CONVERT(char(50)) so it is to the minute.
  auto day = rs.at(0, "DateofAction").toDateTime();
  auto at = rs.at(0, "ActionTime").toDateTime();
  ASSERT_TRUE(day && at);
  EXPECT_EQ(day->hour + day->minute + day->second, 0);
  EXPECT_EQ(at->dateOnly(), day->dateOnly());
  EXPECT_EQ(at->second, 0);

  EXPECT_EQ(c->execute("update tblItemMaster set Srate = 1 where ItemID = 99"), 0);
  EXPECT_EQ(count(), 1);
  c->execute("insert into tblItemMaster values (4, 'Four', 1)");
  EXPECT_EQ(count(), 2);
  EXPECT_EQ(c->query("select max(ID) from tblActivity").at(0, 0).toInt(), 2);
}

TEST_F(EmbeddedTriggers, VoucherInsertAndDeleteCarryTypeAndCentralId) {
  c->execute(
      "insert into tblSales (InvID, VchTypeID, InvDate, Party, ServInvID, SyncStat) values (5, 7, "
      "'06/Dec/2026', 'Cash', NULL, 0)");
  c->execute("update tblSales set ServInvID = 812, SyncStat = 1 where InvID = 5");  // no update trigger here
  EXPECT_EQ(c->execute("delete from tblSales where InvID = 5"), 1);
  auto rs = c->query(
      "select Action, TableName, tblUniqueID, ParentID, VchTYpeID, tblUniqueRefID from tblActivity "
      "order by ID");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, "Action").toString(), "Insert");
  EXPECT_EQ(rs.at(0, "ParentID").toInt(), 1);
  EXPECT_EQ(rs.at(0, "VchTYpeID").toInt(), 7);
  EXPECT_EQ(rs.at(1, "Action").toString(), "Deleted");
  EXPECT_EQ(rs.at(1, "TableName").toString(), "tblSales");
  EXPECT_EQ(rs.at(1, "tblUniqueRefID").toInt(), 812);
  EXPECT_EQ(rs.at(1, "ParentID").toInt(), 1);
  // A delete that matches nothing logs nothing.
  EXPECT_EQ(c->execute("delete from tblSales where InvID = 5"), 0);
  EXPECT_EQ(count(), 2);
}

TEST_F(EmbeddedTriggers, TriggerNamesAreObjectsOfTheDatabase) {
  EXPECT_EQ(errorOf(*c, insertTrigger("Sales", "tblSales", "InvId", false)),
            "There is already an object named 'Trig_SalesInsert' in the database.");
  EXPECT_EQ(errorOf(*c, "Drop trigger Trig_Nothingupdate"),
            "Cannot drop the trigger 'Trig_Nothingupdate', because it does not exist or you do not have permission.");
  EXPECT_EQ(errorOf(*c, "Drop trigger Trig_SalesInsert"), "");
  c->execute("insert into tblSales (InvID, VchTypeID) values (6, 7)");
  EXPECT_EQ(count(), 0);
}

TEST_F(EmbeddedTriggers, FailingTriggerRollsTheStatementBack) {
  // A change-log row with the id the trigger will compute makes the trigger's insert fail.
  c->execute("insert into tblActivity (ID, TableName) values (1, 'x')");
  c->execute("delete from tblActivity");
  c->execute("insert into tblActivity (ID, TableName) values (2, 'blocker')");
  c->execute("CREATE TRIGGER Trig_Block ON tblVchType FOR INSERT AS insert into tblActivity (ID) values (2)");
  std::string err = errorOf(*c, "insert into tblVchType values (8, 'X', 1)");
  EXPECT_NE(err.find("Violation of PRIMARY KEY constraint 'PK_tblActivity'"), std::string::npos) << err;
  EXPECT_EQ(c->query("select count(*) from tblVchType where VchTypeID = 8").at(0, 0).toInt(), 0);
}

TEST_F(EmbeddedTriggers, TriggersCreatedElsewhereFireHere) {
  auto other = connect("srv");
  other->execute("update tblItemMaster set ItemName = 'x' where ItemID = 2");
  EXPECT_EQ(count("TableName = 'tblItemMaster'"), 1);
  c->execute("drop trigger Trig_Iteamsupdate");
  other->execute("update tblItemMaster set ItemName = 'y' where ItemID = 2");
  EXPECT_EQ(count("TableName = 'tblItemMaster'"), 1);
}

TEST_F(EmbeddedTriggers, BoardRateTriggerLogsOnlyANewVoucher) {
  c->execute(
      "CREATE TABLE tblBoardRateMaster (ID int IDENTITY(1,1) NOT NULL, Vchdate datetime, ItemID numeric(18,0), "
      "SRate numeric(18,2), MRP numeric(18,2), VchID numeric(18,0))");
  std::string body =
      std::string(
          "CREATE trigger [dbo].[Trig_BoardRateUpdateInsert]  ON [dbo].[tblBoardRateMaster]  FOR Insert , "
          "Update  as DECLARE @name int declare @Type INT declare @IT INT declare @VchTypeId INT ") +
      "\r Select @IT= vchid from inserted " + "\r select @name=ISNull(max(ID),0) from tblActivity " +
      "\r select @name = @name + 1        set  @VchTypeId =0     set @Type = 0 " +
      "\r if   @IT <>  (select max(tblUniqueID) from tblActivity where TableName = 'tblBoardRateMaster') " +
      "\r  begin    insert into tblActivity (ID,TableName,tblUniqueID,Action,Active,DateofAction,ParentId , "
      "VchTypeid,ActionTime) values (@name, 'tblBoardRateMaster',@IT,'InsertUpdate',1,CONVERT(DATETIME, "
      "CONVERT(CHAR(8), "
      "GETDATE(), 112), 112),@Type,@vchtypeid,CONVERT(Char(50), GETDATE())) " +
      "\r End ";
  c->execute(body);
  c->execute("insert into tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID) values ('01/Dec/2026', 1, 5, 6, 10)");
  EXPECT_EQ(count(), 0);  // no board-rate row logged yet: the comparison with NULL is not true
  c->execute("insert into tblActivity (ID, TableName, tblUniqueID) values (50, 'tblBoardRateMaster', 10)");
  c->execute("update tblBoardRateMaster set SRate = 7 where VchID = 10");
  EXPECT_EQ(count(), 1);
  c->execute("insert into tblBoardRateMaster (Vchdate, ItemID, SRate, MRP, VchID) values ('02/Dec/2026', 1, 5, 6, 11)");
  EXPECT_EQ(count(), 2);
  EXPECT_EQ(c->query("select Action from tblActivity where ID = 51").at(0, 0).toString(), "InsertUpdate");
}

}  // namespace
}  // namespace erpsync::test
