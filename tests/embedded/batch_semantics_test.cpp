// Many statements in one batch, as the voucher upload and the push-lock take send them to head
// office: the result set that comes back after the writes, the session options that decide what an
// error does to the open transaction, the row and transaction counters the batch reads, and one
// round trip for the whole batch.
#include <fmt/format.h>

#include "db/embedded/fault_injection.h"
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

namespace faults = db::embedded::faults;

struct Voucher {
  int branchNo;
  std::string invNo;
  int lines = 3;
};

// The upload's batch: each voucher found by its natural key under UPDLOCK, HOLDLOCK, or numbered
// from the central maximum and inserted with its lines; the central numbers come back as one result.
std::string uploadBatch(const std::vector<Voucher>& vs, bool xactAbort = true) {
  std::string declare = "DECLARE @c numeric(18,0), @lock int";
  std::string body;
  std::string result;
  for (std::size_t i = 0; i < vs.size(); ++i) {
    const Voucher& v = vs[i];
    const std::size_t k = i + 1;
    declare += fmt::format(", @n{0} numeric(18,0), @a{0} int", k);
    body += fmt::format(
        "SET @c = NULL\r\n"
        "SELECT TOP 1 @c = InvID FROM tblSales WITH (UPDLOCK, HOLDLOCK) WHERE isnull(Party,'')<>'#DELETEDFROMBRANCH#' "
        "and InvNo='{0}' and InvDate='2026-12-07' and VchTypeID=201 and CCID=2 ORDER BY InvID\r\n"
        "IF @c IS NULL\r\nBEGIN\r\n"
        "  SELECT @c = isnull(max(InvID),0) + 1 FROM tblSales WITH (UPDLOCK, HOLDLOCK)\r\n"
        "  INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID, Party, Amount) VALUES (@c, '{0}', "
        "'2026-12-07', 201, 2, 'Cash', {1}.50)\r\n",
        v.invNo, v.branchNo);
    for (int l = 1; l <= v.lines; ++l)
      body += fmt::format("  INSERT INTO tblSalesItem (InvID, SlNo, ItemID, Qty) VALUES (@c, {0}, {1}, {0}.250)\r\n", l,
                          500 + l);
    body += fmt::format("  SET @a{0} = 0\r\nEND\r\nELSE SET @a{0} = 1\r\nSET @n{0} = @c\r\n", k);
    result += fmt::format("{0}SELECT {1}{2}, @n{3}{4}, @a{3}{5}, @lock{6}", i ? " UNION ALL " : "", v.branchNo,
                          i ? "" : " AS BranchNo", k, i ? "" : " AS CentralNo", i ? "" : " AS Already",
                          i ? "" : " AS LockHeld");
  }
  return std::string(xactAbort ? "SET XACT_ABORT ON\r\n" : "") + "SET NOCOUNT ON\r\n" + declare +
         "\r\nBEGIN TRANSACTION\r\n"
         "UPDATE [tblDayActivity] SET Timeof=getDate() WHERE Activity='BLOCKFASTPUSH' AND SQLSERVERNAME='Branch "
         "One'\r\n"
         "SET @lock = @@ROWCOUNT\r\n" +
         body + "COMMIT TRANSACTION\r\n" + result;
}

class BatchSemantics : public EmbeddedFixture {
 protected:
  void SetUp() override {
    faults::reset();
    ho = server("central");
    ho->execute(
        "CREATE TABLE tblSales (InvID numeric(18,0) NOT NULL PRIMARY KEY, InvNo varchar(20) NOT NULL, InvDate datetime "
        "NULL, VchTypeID int NULL, CCID int NULL, Party varchar(50) NULL, Amount numeric(18,2) NULL)");
    ho->execute(
        "CREATE TABLE tblSalesItem (InvID numeric(18,0) NOT NULL, SlNo int NOT NULL, ItemID int NULL, Qty "
        "numeric(18,3) NULL, CONSTRAINT PK_tblSalesItem PRIMARY KEY (InvID, SlNo))");
    ho->execute(
        "CREATE TABLE tblDayActivity (ID int IDENTITY(1,1) NOT NULL, Activity varchar(50) NULL, BlockDataEntry int "
        "NULL, SQLSERVERNAME varchar(50) NULL, SystemName varchar(50) NULL, ActivitiesDetail varchar(100) NULL, Timeof "
        "datetime NULL)");
    ho->execute("CREATE TABLE tblSalesLog (ID int NOT NULL PRIMARY KEY, InvID numeric(18,0) NULL, N int NULL)");
    ho->execute(
        "INSERT INTO tblDayActivity (Activity, SQLSERVERNAME, Timeof) VALUES ('BLOCKFASTPUSH', 'Branch One', "
        "'2026-12-07 09:00')");
  }
  void TearDown() override { faults::reset(); }

  long long count(const std::string& table) { return ho->query("SELECT count(*) FROM " + table).at(0, 0).toInt(); }
  long long tranCount(db::Connection& c) { return c.query("SELECT @@TRANCOUNT AS n").at(0, "n").toInt(); }
  std::string failureOf(db::Connection& c, const std::string& sql) {
    try {
      c.query(sql);
    } catch (const db::DbError& e) {
      return e.description();
    }
    return "(no error)";
  }

  std::unique_ptr<db::Connection> ho;
};

TEST_F(BatchSemantics, UploadBatchHandsBackCentralNumbersAfterItsWritesAndReusesAVoucherAlreadyThere) {
  ho->execute("INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID) VALUES (7, 'S-2', '2026-12-07', 201, 2)");
  // The same number on another day or of another type is another voucher.
  ho->execute("INSERT INTO tblSales (InvID, InvNo, InvDate, VchTypeID, CCID) VALUES (9, 'S-1', '2026-12-08', 201, 2)");
  db::Recordset rs = ho->query(uploadBatch({{101, "S-1"}, {102, "S-2"}, {103, "S-3", 1}}));

  ASSERT_EQ(rs.fields.size(), 4u);
  EXPECT_EQ(rs.fields[0].name, "BranchNo");
  EXPECT_EQ(rs.fields[1].name, "CentralNo");
  EXPECT_TRUE(db::isNumericType(rs.fields[1].type)) << rs.fields[1].type;
  ASSERT_EQ(rs.size(), 3u);
  EXPECT_EQ(rs.at(0, "BranchNo").toInt(), 101);
  EXPECT_EQ(rs.at(0, "CentralNo").toInt(), 10);  // numbered after the central maximum
  EXPECT_EQ(rs.at(0, "Already").toInt(), 0);
  EXPECT_EQ(rs.at(1, "CentralNo").toInt(), 7);  // found by its natural key, not copied again
  EXPECT_EQ(rs.at(1, "Already").toInt(), 1);
  EXPECT_EQ(rs.at(2, "CentralNo").toInt(), 11);
  for (std::size_t r = 0; r < 3; ++r) {
    EXPECT_TRUE(rs.at(r, "CentralNo").isNumber());
    EXPECT_EQ(rs.at(r, "LockHeld").toInt(), 1);
  }
  EXPECT_EQ(count("tblSales"), 4);
  EXPECT_EQ(count("tblSalesItem"), 4);
  EXPECT_EQ(ho->query("SELECT count(*) FROM tblSalesItem WHERE InvID = 10").at(0, 0).toInt(), 3);
  EXPECT_EQ(ho->query("SELECT Amount FROM tblSales WHERE InvID = 11").at(0, 0).toString(), "103.5");
  EXPECT_EQ(tranCount(*ho), 0);

  // Run again, every voucher is recognised and nothing is written twice.
  rs = ho->query(uploadBatch({{101, "S-1"}, {102, "S-2"}, {103, "S-3", 1}}));
  ASSERT_EQ(rs.size(), 3u);
  EXPECT_EQ(rs.at(0, "CentralNo").toInt(), 10);
  EXPECT_EQ(rs.at(2, "CentralNo").toInt(), 11);
  EXPECT_EQ(rs.at(2, "Already").toInt(), 1);
  EXPECT_EQ(count("tblSales"), 4);

  // A variable never set comes back as NULL; a lock nobody holds as 0.
  ho->execute("DELETE FROM tblDayActivity");
  rs = ho->query(
      "DECLARE @n numeric(18,0), @s varchar(20), @lock int UPDATE tblDayActivity SET Timeof = getdate() "
      "SET @lock = @@ROWCOUNT SELECT 1 AS BranchNo, @n AS CentralNo, @s AS Name, @lock AS LockHeld UNION ALL "
      "SELECT 2, 12, 'x', @lock");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_TRUE(rs.at(0, "CentralNo").isNull());
  EXPECT_TRUE(rs.at(0, "Name").isNull());
  EXPECT_EQ(rs.at(0, "LockHeld"), db::Value(0));
  EXPECT_EQ(rs.at(1, "CentralNo").toInt(), 12);
}

TEST_F(BatchSemantics, FiftyVouchersGoUpInOneCallAndHeadOfficeTriggersFireForEachStatement) {
  ho->execute(
      "CREATE TRIGGER trg_SalesLog ON tblSales FOR INSERT AS DECLARE @id int SELECT @id = isnull(max(ID),0) + 1 FROM "
      "tblSalesLog INSERT INTO tblSalesLog (ID, InvID, N) SELECT @id, max(InvID), count(*) FROM inserted");
  std::vector<Voucher> vs;
  for (int i = 1; i <= 50; ++i) vs.push_back({100 + i, "S-" + std::to_string(i)});
  const std::string batch = uploadBatch(vs);

  auto plan = faults::parse("at=0");
  ASSERT_TRUE(plan);
  faults::configure(*plan);
  db::Recordset rs = ho->query(batch);
  EXPECT_EQ(faults::counted(), 1) << "the batch is one round trip";
  faults::reset();

  ASSERT_EQ(rs.size(), 50u);
  for (std::size_t r = 0; r < 50; ++r) {
    EXPECT_EQ(rs.at(r, "BranchNo").toInt(), 101 + static_cast<long long>(r));
    EXPECT_EQ(rs.at(r, "CentralNo").toInt(), 1 + static_cast<long long>(r));
    EXPECT_EQ(rs.at(r, "Already").toInt(), 0);
  }
  EXPECT_EQ(count("tblSales"), 50);
  EXPECT_EQ(count("tblSalesItem"), 150);
  // One log row per INSERT statement, written inside the batch's transaction.
  EXPECT_EQ(count("tblSalesLog"), 50);
  EXPECT_EQ(ho->query("SELECT InvID, N FROM tblSalesLog WHERE ID = 50").at(0, "InvID").toInt(), 50);
  EXPECT_EQ(tranCount(*ho), 0);
}

// The push-lock take: clear a stale or own row, add ours unless a live one is there, say who holds it.
std::string takeLock(const std::string& me) {
  const std::string live = "DATEDIFF(second, Timeof, getDate()) < 50 and DATEDIFF(second, Timeof, getDate()) > -50";
  return "SET XACT_ABORT ON\r\nSET NOCOUNT ON\r\nBEGIN TRANSACTION\r\n"
         " Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' and (SQLSERVERNAME='" +
         me +
         "' or BlockDataEntry is null or BlockDataEntry<>1 or (Timeof is null or DATEDIFF(second, Timeof, getDate()) "
         ">= 50 or DATEDIFF(second, Timeof, getDate()) <= -50))\r\n"
         " INSERT INTO [dbo].[tblDayActivity]([Activity],[BlockDataEntry],[SQLSERVERNAME],SystemName,"
         "ActivitiesDetail,Timeof) Select 'BLOCKFASTPUSH',1,'" +
         me +
         "','','Blocking for data pushing from client',getDate() where not exists (Select 1 from [tblDayActivity] "
         "with (updlock, holdlock) where Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and " +
         live +
         ")\r\nCOMMIT TRANSACTION\r\nSelect top 1 SQLSERVERNAME as Holder from [tblDayActivity] where "
         "Activity='BLOCKFASTPUSH' and BlockDataEntry=1 and " +
         live + " order by ID";
}

TEST_F(BatchSemantics, PushLockTakeIsOneBatchThatSaysWhoHoldsTheLock) {
  auto other = connect("central");
  db::Recordset rs = ho->query(takeLock("Branch One"));
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "Holder").toString(), "Branch One");
  rs = other->query(takeLock("Branch Two"));
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "Holder").toString(), "Branch One");
  // Taken again by its holder, the row is renewed, not doubled.
  EXPECT_EQ(ho->query(takeLock("Branch One")).at(0, "Holder").toString(), "Branch One");
  EXPECT_EQ(count("tblDayActivity"), 1);
  EXPECT_EQ(tranCount(*ho) + tranCount(*other), 0);
}

TEST_F(BatchSemantics, WithXactAbortAnErrorRollsBackTheWholeTransactionAndEndsTheBatch) {
  // A voucher whose line repeats a key: the earlier vouchers of the batch must not stay behind.
  std::string batch = uploadBatch({{101, "S-1"}, {102, "S-2"}});
  const std::string line = "INSERT INTO tblSalesItem (InvID, SlNo, ItemID, Qty) VALUES (@c, 3, 503, 3.250)\r\n";
  const std::size_t at = batch.rfind(line);
  ASSERT_NE(at, std::string::npos);
  batch.insert(at, line);
  EXPECT_NE(failureOf(*ho, batch).find("Cannot insert duplicate key"), std::string::npos);
  EXPECT_EQ(tranCount(*ho), 0);
  EXPECT_EQ(count("tblSales"), 0);
  EXPECT_EQ(count("tblSalesItem"), 0);
  EXPECT_EQ(ho->query("SELECT count(*) FROM tblDayActivity WHERE Timeof > '2026-12-07 09:00'").at(0, 0).toInt(), 0);
  // The connection goes on: the same batch without the repeat goes up whole.
  EXPECT_EQ(ho->query(uploadBatch({{101, "S-1"}, {102, "S-2"}})).size(), 2u);
  EXPECT_EQ(count("tblSalesItem"), 6);

  // The option stays for the session: a later batch's conversion error and a table missing at run
  // time roll back too, as does nesting BEGIN TRAN.
  for (const std::string failing :
       {"INSERT INTO tblSalesLog (ID, N) VALUES (2, 'many')", "INSERT INTO tblNoSuchTable (ID) VALUES (1)",
        "BEGIN TRAN INSERT INTO tblSalesLog (ID) VALUES (1)"}) {
    SCOPED_TRACE(failing);
    EXPECT_NE(failureOf(*ho, "BEGIN TRAN BEGIN TRAN INSERT INTO tblSalesLog (ID) VALUES (1) " + failing +
                                 " COMMIT COMMIT SELECT 1 AS done"),
              "(no error)");
    EXPECT_EQ(tranCount(*ho), 0);
    EXPECT_EQ(count("tblSalesLog"), 0);
  }

  // A transaction the caller began through the connection goes the same way.
  ho->beginTrans();
  ho->execute("INSERT INTO tblSalesLog (ID) VALUES (1)");
  EXPECT_NE(failureOf(*ho, "INSERT INTO tblSalesLog (ID) VALUES (2) INSERT INTO tblSalesLog (ID) VALUES (2)"),
            "(no error)");
  EXPECT_EQ(tranCount(*ho), 0);
  EXPECT_EQ(count("tblSalesLog"), 0);
  EXPECT_THROW(ho->commitTrans(), db::DbError) << "nothing is left to commit";

  // A batch that does not parse does not run, and leaves an open transaction alone.
  ho->beginTrans();
  ho->execute("INSERT INTO tblSalesLog (ID) VALUES (3)");
  EXPECT_NE(failureOf(*ho, "INSERT INTO tblSalesLog (ID) VALUES (4) SELECT FROM WHERE"), "(no error)");
  EXPECT_EQ(tranCount(*ho), 1);
  ho->commitTrans();
  EXPECT_EQ(count("tblSalesLog"), 1);

  // Switched off, the default behaviour below returns.
  ho->execute("SET XACT_ABORT OFF");
  ho->execute("BEGIN TRAN INSERT INTO tblSalesLog (ID) VALUES (5)");
  EXPECT_NE(failureOf(*ho, "INSERT INTO tblSalesLog (ID) VALUES (5)"), "(no error)");
  EXPECT_EQ(tranCount(*ho), 1);
  ho->execute("ROLLBACK");
}

// Without XACT_ABORT, SQL Server undoes only the failing statement and, for most errors, carries on
// with the batch, so a COMMIT after the error commits the rest. This server stops the batch at the
// error instead: the failing statement is undone, nothing after it runs, and the transaction stays
// open and uncommitted until the caller ends it. Either way nothing is committed that the caller
// did not see succeed. An error inside a trigger rolls the whole transaction back, as SQL Server
// runs triggers with XACT_ABORT ON.
TEST_F(BatchSemantics, WithoutXactAbortAFailedStatementLeavesItsTransactionOpenAndUncommitted) {
  ho->execute("INSERT INTO tblSalesLog (ID) VALUES (1)");
  EXPECT_NE(failureOf(*ho, uploadBatch({{101, "S-1"}}, false) +
                               " BEGIN TRAN INSERT INTO tblSales (InvID, InvNo) VALUES (20, 'S-20') INSERT INTO "
                               "tblSalesLog (ID) VALUES (1) COMMIT TRAN SELECT 1 AS done"),
            "(no error)");
  EXPECT_EQ(tranCount(*ho), 1);
  auto other = connect("central");
  EXPECT_EQ(other->query("SELECT count(*) FROM tblSales").at(0, 0).toInt(), 1) << "the first voucher committed";
  ho->execute("ROLLBACK TRAN");
  EXPECT_EQ(count("tblSales"), 1);
  EXPECT_EQ(tranCount(*ho), 0);

  ho->execute(
      "CREATE TRIGGER trg_SalesLog ON tblSales FOR INSERT AS INSERT INTO tblSalesLog (ID, InvID) SELECT 1, InvID FROM "
      "inserted");
  EXPECT_NE(failureOf(*ho,
                      "BEGIN TRAN INSERT INTO tblSalesItem (InvID, SlNo) VALUES (30, 1) INSERT INTO tblSales "
                      "(InvID, InvNo) VALUES (30, 'S-30') COMMIT TRAN"),
            "(no error)");
  EXPECT_EQ(tranCount(*ho), 0);
  EXPECT_EQ(count("tblSalesItem"), 3) << "only the first voucher's lines";
  ho->execute("INSERT INTO tblSalesItem (InvID, SlNo) VALUES (31, 1)");  // the connection goes on
}

TEST_F(BatchSemantics, NoCountIsKeptOtherSessionOptionsAreRefused) {
  ho->execute("INSERT INTO tblSales (InvID, InvNo) VALUES (1, 'a'), (2, 'b')");
  EXPECT_EQ(ho->execute("UPDATE tblSales SET Party = 'x'"), 2);
  // Under NOCOUNT the server reports no count for the statements it runs.
  EXPECT_EQ(ho->execute("SET NOCOUNT ON UPDATE tblSales SET Party = 'y'"), -1);
  EXPECT_EQ(ho->execute("UPDATE tblSales SET Party = 'z' WHERE InvID = 1"), -1);
  EXPECT_EQ(ho->execute("SET NOCOUNT OFF UPDATE tblSales SET Party = 'w' WHERE InvID = 1"), 1);
  // A trigger's own SET NOCOUNT ON ends with the trigger.
  ho->execute("CREATE TRIGGER trg_Quiet ON tblSales FOR UPDATE AS SET NOCOUNT ON SET XACT_ABORT OFF");
  EXPECT_EQ(ho->execute("UPDATE tblSales SET Party = 'v'"), 2);
  EXPECT_EQ(ho->execute("UPDATE tblSales SET Party = 'u'"), 2);

  for (const std::string option :
       {"ANSI_NULLS OFF", "ANSI_NULLS ON", "QUOTED_IDENTIFIER OFF", "ANSI_WARNINGS OFF", "CONCAT_NULL_YIELDS_NULL OFF",
        "ARITHABORT OFF", "IMPLICIT_TRANSACTIONS ON", "DATEFORMAT dmy", "TRANSACTION ISOLATION LEVEL SERIALIZABLE",
        "ROWCOUNT 1", "LOCK_TIMEOUT 100", "DEADLOCK_PRIORITY LOW"}) {
    const std::string name = option.substr(0, option.find(' '));
    EXPECT_EQ(errorOf(*ho, "SET " + option + " UPDATE tblSales SET Party = 'q'"),
              "Incorrect syntax near '" + name + "'.");
  }
  EXPECT_EQ(ho->query("SELECT count(*) FROM tblSales WHERE Party = 'q'").at(0, 0).toInt(), 0);
}

TEST_F(BatchSemantics, RowAndTransactionCountersAndAssignmentsReadAsOnSqlServer) {
  ho->execute(
      "INSERT INTO tblSales (InvID, InvNo, InvDate) VALUES (3, 'a', '2026-12-07'), (5, 'a', '2026-12-07'), "
      "(4, 'b', '2026-12-07')");
  db::Recordset rs = ho->query(
      "DECLARE @c numeric(18,0), @hi numeric(18,0), @r1 int, @r2 int, @r3 int, @r4 int, @r5 int, @name varchar(10)\r\n"
      "UPDATE tblSales SET Party = 'p' WHERE InvNo = 'a'\r\nSET @r1 = @@ROWCOUNT\r\nSET @r2 = @@ROWCOUNT\r\n"
      "SELECT TOP 1 @c = InvID FROM tblSales WITH (UPDLOCK, HOLDLOCK) WHERE InvNo = 'a' ORDER BY InvID\r\n"
      "SELECT TOP 1 @hi = InvID FROM tblSales WHERE InvNo = 'a' ORDER BY InvID DESC\r\n"
      "SET @r3 = @@ROWCOUNT\r\n"
      "SELECT @name = InvNo FROM tblSales WHERE InvID = 99\r\nSET @r4 = @@ROWCOUNT\r\n"
      "BEGIN TRAN\r\nSET @r5 = @@ROWCOUNT\r\nCOMMIT\r\n"
      "IF @name IS NULL BEGIN SET @name = 'none' END ELSE SET @name = 'some'\r\n"
      "SELECT @c AS c, @hi AS hi, @r1 AS r1, @r2 AS r2, @r3 AS r3, @r4 AS r4, @r5 AS r5, @name AS name");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "c").toInt(), 3);
  EXPECT_EQ(rs.at(0, "hi").toInt(), 5);
  EXPECT_EQ(rs.at(0, "r1").toInt(), 2);
  EXPECT_EQ(rs.at(0, "r2").toInt(), 1) << "a simple assignment counts one row";
  EXPECT_EQ(rs.at(0, "r3").toInt(), 1) << "TOP 1 reads one row";
  EXPECT_EQ(rs.at(0, "r4").toInt(), 0) << "the read found no row";
  EXPECT_EQ(rs.at(0, "r5").toInt(), 0) << "BEGIN TRAN counts no row";
  EXPECT_EQ(rs.at(0, "name").toString(), "none");

  // An assignment that reads no row leaves the variable as it was.
  rs = ho->query(
      "DECLARE @c numeric(18,0) SET @c = 42 SELECT @c = InvID FROM tblSales WHERE InvID = 99 "
      "SELECT @c AS c, @@ROWCOUNT AS n");
  EXPECT_EQ(rs.at(0, "c").toInt(), 42);

  // BEGIN TRAN nests inside the batch and inside the caller's transaction; the outer COMMIT commits.
  rs = ho->query(
      "DECLARE @t1 int, @t2 int BEGIN TRAN BEGIN TRAN SET @t2 = @@TRANCOUNT COMMIT SET @t1 = @@TRANCOUNT "
      "COMMIT SELECT @t2 AS t2, @t1 AS t1, @@TRANCOUNT AS t0");
  EXPECT_EQ(rs.at(0, "t2").toInt(), 2);
  EXPECT_EQ(rs.at(0, "t1").toInt(), 1);
  EXPECT_EQ(rs.at(0, "t0").toInt(), 0);
  ho->beginTrans();
  EXPECT_EQ(ho->query("BEGIN TRAN UPDATE tblSales SET Party = 't' SELECT @@TRANCOUNT AS n").at(0, "n").toInt(), 2);
  EXPECT_EQ(ho->query("COMMIT TRAN SELECT @@TRANCOUNT AS n").at(0, "n").toInt(), 1);
  ho->rollbackTrans();
  EXPECT_EQ(ho->query("SELECT count(*) FROM tblSales WHERE Party = 't'").at(0, 0).toInt(), 0);

  // execute() of a batch reports the last count (a SELECT that assigns reports the rows it read);
  // query() of it the first result set.
  EXPECT_EQ(ho->execute("DECLARE @x int SET @x = 1 IF @x = 1 BEGIN UPDATE tblSales SET Party = 'e' END"), 3);
  EXPECT_EQ(ho->execute("DECLARE @x int UPDATE tblSales SET Party = 'e' SELECT @x = count(*) FROM tblSales"), 1);
  rs = ho->query(
      "DECLARE @x int SELECT @x = 2 UPDATE tblSales SET Party = 'f' WHERE InvID = 3 "
      "IF @x = 2 SELECT InvID FROM tblSales WHERE Party = 'f' SELECT 'second' AS s");
  ASSERT_EQ(rs.fields.size(), 1u);
  EXPECT_EQ(rs.fields[0].name, "InvID");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, 0).toInt(), 3);
}

}  // namespace
}  // namespace erpsync::test
