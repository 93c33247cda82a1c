// Error descriptions worded as SQL Server words them (operations look for phrases in them), opening
// failures, schema changes that keep data, refused syntax, and two connections writing one server.
#include <chrono>
#include <thread>

#include "db/embedded/translator.h"
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

using db::DbError;

class EmbeddedErrors : public EmbeddedFixture {
 protected:
  std::unique_ptr<db::Connection> c;
  void SetUp() override {
    c = server("srv");
    c->execute(
        "CREATE TABLE [dbo].[tblStock]([StockID] [numeric](18, 0) NOT NULL, [ItemID] [int] NOT NULL, [BatchCode] "
        "[varchar](10) NULL, [CCID] [numeric](18, 0) NULL, [Qty] [numeric](18, 2) NULL, CONSTRAINT "
        "[CIDX_tblStock] PRIMARY KEY CLUSTERED ([StockID] ASC) ON [PRIMARY], CONSTRAINT [UQ_tblStock_Item] "
        "UNIQUE ([ItemID], [CCID]))");
    c->execute(
        "CREATE UNIQUE NONCLUSTERED INDEX [IX_tblStock_BatchCode_mainIndex] ON [dbo].[tblStock] ([BatchCode] "
        "ASC, [CCID] ASC)");
    c->execute("insert into tblStock values (1, 1, 'B1', 1, 5)");
  }
};

TEST_F(EmbeddedErrors, ConstraintAndConversionWordings) {
  EXPECT_EQ(errorOf(*c, "insert into tblStock values (1, 2, 'B2', 1, 0)"),
            "Violation of PRIMARY KEY constraint 'CIDX_tblStock'. Cannot insert duplicate key in object "
            "'dbo.tblStock'. The duplicate key value is (1).");
  EXPECT_EQ(errorOf(*c, "insert into tblStock values (2, 1, 'B2', 1, 0)"),
            "Violation of UNIQUE KEY constraint 'UQ_tblStock_Item'. Cannot insert duplicate key in object "
            "'dbo.tblStock'. The duplicate key value is (1, 1).");
  EXPECT_EQ(errorOf(*c, "insert into tblStock values (2, 2, 'b1 ', 1, 0)"),
            "Cannot insert duplicate key row in object 'dbo.tblStock' with unique index "
            "'IX_tblStock_BatchCode_mainIndex'. The duplicate key value is (b1 , 1).");
  EXPECT_EQ(errorOf(*c, "insert into tblStock values (2, 2, 'B12345678901', 1, 0)"),
            "String or binary data would be truncated.");
  EXPECT_EQ(errorOf(*c, "insert into tblStock values (2, 2, 'B2', 'abc', 0)"),
            "Error converting data type varchar to numeric.");
  EXPECT_EQ(errorOf(*c, "insert into tblStock values (2, 'x', 'B2', 1, 0)"),
            "Conversion failed when converting the varchar value 'x' to data type int.");
  EXPECT_EQ(errorOf(*c, "insert into tblStock (StockID, BatchCode) values (2, 'B2')"),
            "Cannot insert the value NULL into column 'ItemID', table 'DB.dbo.tblStock'; column does not allow "
            "nulls. INSERT fails.");
  EXPECT_EQ(errorOf(*c, "select * from tblNothing"), "Invalid object name 'tblNothing'.");
  EXPECT_EQ(errorOf(*c, "select Nothing from tblStock"), "Invalid column name 'Nothing'.");
  EXPECT_EQ(errorOf(*c, "update tblStock set Nothing = 1"), "Invalid column name 'Nothing'.");
  // A failed statement has no effect; numbers given as text convert and round to the scale.
  EXPECT_EQ(c->query("select count(*) from tblStock").at(0, 0).toInt(), 1);
  c->execute("insert into tblStock values ('2', 2, 'B2', 1, '12.345')");
  EXPECT_EQ(c->query("select Qty from tblStock where StockID = 2").at(0, 0).toString(), "12.35");
}

TEST_F(EmbeddedErrors, DdlWordings) {
  EXPECT_EQ(errorOf(*c, "CREATE TABLE tblStock (x int)"),
            "There is already an object named 'tblStock' in the database.");
  EXPECT_EQ(errorOf(*c, "Alter table tblStock add Qty numeric"),
            "Column names in each table must be unique. Column name 'Qty' in table 'tblStock' is specified more than "
            "once.");
  EXPECT_EQ(errorOf(*c, " DROP TABLE [dbo].[tblDayActivity] "),
            "Cannot drop the table 'dbo.tblDayActivity', because it does not exist or you do not have permission.");
  EXPECT_EQ(errorOf(*c, "Alter table tblStock Drop column SynchStat "),
            "ALTER TABLE DROP COLUMN failed because column 'SynchStat' does not exist in table 'tblStock'.");
  EXPECT_EQ(errorOf(*c, "CREATE DATABASE DB"), "Database 'DB' already exists. Choose a different database name.");
}

TEST_F(EmbeddedErrors, OpeningFailures) {
  auto err = [&](const std::string& cs) {
    try {
      db::openConnection(cs, base());
    } catch (const DbError& e) {
      return e.description() + "|" + e.sqlState() + "|" + std::to_string(e.nativeError());
    }
    return std::string();
  };
  EXPECT_EQ(err(embeddedConnString("srv", "Missing")),
            "Cannot open database \"Missing\" requested by the login. The login failed.|42000|4060");
  EXPECT_EQ(err(embeddedConnString("nosrv", "DB")),
            "[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.|08001|17");
  EXPECT_EQ(err("User ID=bob;Initial Catalog=DB;Data Source=embedded:srv"), "Login failed for user 'bob'.|28000|18456");
  EXPECT_EQ(err("User ID=SA;Initial Catalog=db;Data Source=embedded:srv"), "");  // names ignore case
}

TEST_F(EmbeddedErrors, AlterAndDropColumnKeepData) {
  c->execute(
      "CREATE TABLE tblGodown (GodownID numeric(18,0) IDENTITY(1,1) NOT NULL, GodownName varchar(50), "
      "CatchAll varchar(10))");
  c->execute("insert into tblGodown (GodownName, CatchAll) values ('Main', '12'), ('Back', NULL)");
  // The upgrade's way of turning an identity column into a plain numeric one.
  for (const char* s : {"Alter Table tblGodown ADD NEWID Numeric", "update tblGodown set NEWID =GodownID",
                        "Alter Table tblGodown Drop column GodownID", "Alter Table tblGodown ADD GodownID Numeric",
                        "update tblGodown set GodownID=NEWID", "Alter Table tblGodown Drop column NEWID",
                        "Alter table tblGodown  alter column CatchAll Numeric "})
    ASSERT_EQ(errorOf(*c, s), "") << s;
  auto rs = c->query("select GodownID, GodownName, CatchAll from tblGodown order by GodownID");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(1, "GodownID").toInt(), 2);
  EXPECT_EQ(rs.at(1, "GodownName").toString(), "Back");
  EXPECT_EQ(rs.fields[2].type, db::adNumeric);
  EXPECT_EQ(rs.at(0, "CatchAll").toInt(), 12);
  c->execute("insert into tblGodown (GodownID, GodownName) values (7, 'Copied')");  // no identity any more
  // A type change that cannot convert the data fails and changes nothing.
  c->execute("alter table tblGodown alter column GodownName varchar(50)");
  EXPECT_EQ(errorOf(*c, "alter table tblGodown alter column GodownName int"),
            "Conversion failed when converting the varchar value 'Main' to data type int.");
  EXPECT_EQ(c->query("select GodownName from tblGodown where GodownID = 1").at(0, 0).toString(), "Main");
  // Indexes survive a rebuild, and a column an index uses cannot be dropped.
  c->execute("alter table tblStock alter column Qty numeric(18,3)");
  EXPECT_NE(errorOf(*c, "insert into tblStock values (1, 9, 'Z', 1, 0)").find("CIDX_tblStock"), std::string::npos);
  EXPECT_EQ(errorOf(*c, "alter table tblStock drop column BatchCode"),
            "The object 'IX_tblStock_BatchCode_mainIndex' is dependent on column 'BatchCode'. ALTER TABLE DROP COLUMN "
            "BatchCode failed because one or more objects access this column.");
  // Adding a NOT NULL column needs an empty table.
  EXPECT_NE(errorOf(*c,
                    " Alter TABLE tblStock add BlockDataEntry [numeric](18, 0),SQLSERVERNAME  [varchar](50) NOT "
                    "NULL  ")
                .find("cannot be added to non-empty table 'tblStock'"),
            std::string::npos);
  EXPECT_EQ(c->query("select * from tblStock").fields.size(), 5u);
}

TEST_F(EmbeddedErrors, RefusedSyntaxNamesTheToken) {
  EXPECT_EQ(errorOf(*c, "select * from tblStock where ItemID = 1 for xml auto"), "Incorrect syntax near 'for'.");
  EXPECT_EQ(errorOf(*c, "MERGE tblStock USING x ON 1=1"), "Incorrect syntax near 'MERGE'.");
  EXPECT_EQ(errorOf(*c, "select * from tblStock a full outer join tblStock b on a.ItemID = b.ItemID"),
            "Incorrect syntax near 'FULL'.");
  EXPECT_EQ(errorOf(*c, "select ItemID from tblStock where"), "Incorrect syntax near 'where'.");
  EXPECT_EQ(errorOf(*c, "select 'abc"), "Unclosed quotation mark after the character string 'abc'.");
  EXPECT_EQ(errorOf(*c, "select NOSUCHFN(1)"), "'nosuchfn' is not a recognized built-in function name.");
  // Nothing of a refused batch runs.
  EXPECT_NE(errorOf(*c, "delete from tblStock select * from"), "");
  EXPECT_EQ(c->query("select count(*) from tblStock").at(0, 0).toInt(), 1);
}

TEST_F(EmbeddedErrors, TwoConnectionsWriteOneServer) {
  c->execute("CREATE TABLE tblLog (n int IDENTITY(1,1) NOT NULL, who varchar(10))");
  auto work = [&](const std::string& who) {
    auto conn = connect("srv");
    for (int i = 0; i < 50; ++i) conn->execute("insert into tblLog (who) values ('" + who + "')");
  };
  std::thread a(work, "a"), b(work, "b");
  a.join();
  b.join();
  auto rs = c->query("select count(*), count(distinct n), max(n) from tblLog");
  EXPECT_EQ(rs.at(0, 0).toInt(), 100);
  EXPECT_EQ(rs.at(0, 1).toInt(), 100);
  EXPECT_EQ(rs.at(0, 2).toInt(), 100);
}

TEST_F(EmbeddedErrors, CommandTimeoutStopsALongQuery) {
  c->execute("CREATE TABLE tblN (n int)");
  c->execute("insert into tblN values (1), (2), (3), (4), (5), (6), (7), (8), (9), (10)");
  for (int i = 0; i < 6; ++i) c->execute("insert into tblN select n + 1 from tblN");
  c->setCommandTimeout(1);
  auto start = std::chrono::steady_clock::now();
  try {
    c->query("select count(*) from tblN a, tblN b, tblN c, tblN d");
    ADD_FAILURE() << "the query should have timed out";
  } catch (const DbError& e) {
    EXPECT_EQ(e.description(), "Query timeout expired");
    EXPECT_EQ(e.sqlState(), "HYT00");
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  c->setCommandTimeout(30);
  EXPECT_EQ(c->query("select count(*) from tblN").at(0, 0).toInt(), 640);
}

TEST_F(EmbeddedErrors, TransactionsRollBack) {
  c->beginTrans();
  c->execute("insert into tblStock values (5, 5, 'B5', 1, 0)");
  c->rollbackTrans();
  EXPECT_EQ(c->query("select count(*) from tblStock").at(0, 0).toInt(), 1);
  c->beginTrans();
  c->execute("insert into tblStock values (5, 5, 'B5', 1, 0)");
  c->commitTrans();
  EXPECT_EQ(c->query("select count(*) from tblStock").at(0, 0).toInt(), 2);
  EXPECT_THROW(c->commitTrans(), DbError);
}

}  // namespace
}  // namespace erpsync::test
