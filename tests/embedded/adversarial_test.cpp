// Corners of SQL Server behaviour the copy builders, the uploads and the count comparisons run into:
// field type codes, literal values as the builders write them, mixed-type expressions, numbering,
// grouping over dates, transactions and a second connection to the same catalog.
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

class EmbeddedAdversarial : public EmbeddedFixture {
 protected:
  std::unique_ptr<db::Connection> c;
  void SetUp() override {
    c = server("srv");
    c->execute(
        "CREATE TABLE tblSales (InvID numeric(18,0) NOT NULL, InvNo varchar(20) NULL, Party nvarchar(50) NULL, Code "
        "char(5) NULL, Amount numeric(18,2) NULL, Qty int NULL, Rate float NULL, Posted bit NULL, InvDate datetime "
        "NULL, BillTime datetime NULL, SyncStat numeric(18,0) NULL, CONSTRAINT PK_tblSales PRIMARY KEY (InvID))");
  }
  std::string decimalText(const db::Value& v) {
    auto* d = std::get_if<db::Decimal>(&v.storage());
    return d ? d->text : "<not a decimal: " + v.toString() + ">";
  }
};

TEST_F(EmbeddedAdversarial, SelectStarAndExpressionsReportSqlServerTypeCodes) {
  c->execute(
      "insert into tblSales values (1, 'A1', N'P', 'ab', 12.5, 3, 1.25, 1, '06/Dec/2026', '06/Dec/2026 08:05:03 PM', "
      "0)");
  auto rs = c->query("Select * from tblSales");
  ASSERT_EQ(rs.fields.size(), 11u);
  const int expected[] = {db::adNumeric,     db::adVarChar,     db::adVarWChar, db::adChar,
                          db::adNumeric,     db::adInteger,     db::adDouble,   db::adBoolean,
                          db::adDBTimeStamp, db::adDBTimeStamp, db::adNumeric};
  for (size_t i = 0; i < 11; ++i) EXPECT_EQ(rs.fields[i].type, expected[i]) << rs.fields[i].name;
  EXPECT_EQ(decimalText(rs.at(0, "Amount")), "12.50");
  EXPECT_EQ(decimalText(rs.at(0, "InvID")), "1");
  EXPECT_EQ(rs.at(0, "Code").toString(), "ab   ");  // char pads to its length
  EXPECT_EQ(rs.at(0, "Posted").toString(), "1");
  EXPECT_EQ(rs.at(0, "BillTime").toDateTime()->iso(), "2026-12-06 20:05:03.000");

  rs = c->query(
      "select max(InvID) + 1 as MAxid, count(*) as n, 0 as ID, 'tblSales' as tablename, N'u' as w, sum(Amount) as s, "
      "getdate() as g, isnull(SyncStat, 0) as ss, CONVERT(varchar, InvDate, 112) as d, Qty * 2 as q, Amount * 2 as "
      "a2 from tblSales");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.fields[0].type, db::adNumeric);
  EXPECT_EQ(rs.fields[1].type, db::adInteger);
  EXPECT_EQ(rs.fields[2].type, db::adInteger);
  EXPECT_EQ(rs.fields[3].type, db::adVarChar);
  EXPECT_EQ(rs.fields[4].type, db::adVarWChar);
  EXPECT_EQ(rs.fields[5].type, db::adNumeric);
  EXPECT_EQ(rs.fields[6].type, db::adDBTimeStamp);
  EXPECT_EQ(rs.fields[7].type, db::adNumeric);
  EXPECT_EQ(rs.fields[8].type, db::adVarChar);
  EXPECT_EQ(rs.fields[9].type, db::adInteger);
  EXPECT_EQ(rs.fields[10].type, db::adNumeric);
  EXPECT_EQ(rs.at(0, "MaxID").toInt(), 2);  // field names match without regard to case
  EXPECT_EQ(decimalText(rs.at(0, "s")), "12.50");
  EXPECT_EQ(decimalText(rs.at(0, "a2")), "25.00");
  EXPECT_EQ(rs.at(0, "d").toString(), "20261206");
  EXPECT_EQ(rs.at(0, "q").toInt(), 6);

  // Numbering on an empty table: MAX over no rows is NULL, and so is NULL + 1.
  c->execute("delete from tblSales");
  rs = c->query("Select max(InvID) + 1 as MAxid from tblSales");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_TRUE(rs.at(0, 0).isNull());
  EXPECT_EQ(rs.fields[0].type, db::adNumeric);
}

TEST_F(EmbeddedAdversarial, LiteralsAsTheCopyBuildersWriteThem) {
  // Quotes doubled, blanks for NULL texts and dates, numbers as plain literals, midnight as a bare date.
  EXPECT_EQ(c->execute("Insert into tblSales (InvID,InvNo,Party,Code,Amount,Qty,Rate,Posted,InvDate,BillTime,SyncStat) "
                       "values (7,'O''Brien''s',0,' ',12.5,3,0.1,1,'06/Dec/2026','06/Dec/2026 08:05:03 PM',0)"),
            1);
  EXPECT_EQ(c->execute("Insert into tblSales (InvID,InvNo,Party,Code,Amount,Qty,Rate,Posted,InvDate,BillTime,SyncStat) "
                       "values (8,' ',N'Ünïcødé ₹',' ',0,0,0,0,' ',' ',0)"),
            1);
  auto rs = c->query("select * from tblSales order by InvID");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, "InvNo").toString(), "O'Brien's");
  EXPECT_EQ(rs.at(0, "Party").toString(), "0");
  EXPECT_EQ(rs.at(0, "Rate").toDouble(), 0.1);
  EXPECT_EQ(rs.at(1, "Party").toString(), "Ünïcødé ₹");
  EXPECT_EQ(rs.at(1, "InvNo").toString(), " ");
  EXPECT_EQ(rs.at(1, "InvDate").toDateTime()->iso(), "1900-01-01 00:00:00.000");
  EXPECT_EQ(decimalText(rs.at(1, "Amount")), "0.00");

  // Exact numerics round to the column's scale; an int target truncates a decimal literal.
  c->execute("Insert into tblSales (InvID, Amount, Qty) values (9, 12.555, 3.9)");
  rs = c->query("select Amount, Qty from tblSales where InvID = 9");
  EXPECT_EQ(decimalText(rs.at(0, "Amount")), "12.56");
  EXPECT_EQ(rs.at(0, "Qty").toInt(), 3);
  // A bit takes any non-zero number as 1.
  c->execute("Insert into tblSales (InvID, Posted) values (10, 5)");
  EXPECT_EQ(c->query("select Posted from tblSales where InvID = 10").at(0, 0).toString(), "1");
  // Numbers given as text convert when they can, and fail as SQL Server fails when they cannot.
  c->execute("Insert into tblSales (InvID, Qty, Amount) values ('11', '42', '3.5')");
  rs = c->query("select Qty, Amount from tblSales where InvID = 11");
  EXPECT_EQ(rs.at(0, "Qty").toInt(), 42);
  EXPECT_EQ(decimalText(rs.at(0, "Amount")), "3.50");
  EXPECT_EQ(errorOf(*c, "Insert into tblSales (InvID, Qty) values (12, 'x1')"),
            "Conversion failed when converting the varchar value 'x1' to data type int.");
  EXPECT_EQ(errorOf(*c, "Insert into tblSales (InvID, Amount) values (12, 'abc')"),
            "Error converting data type varchar to numeric.");
  EXPECT_EQ(c->query("select count(*) from tblSales where InvID = 12").at(0, 0).toInt(), 0);
  // Trailing blanks past a varchar's length are dropped silently; other characters are not.
  EXPECT_EQ(errorOf(*c, "Insert into tblSales (InvID, Code) values (13, 'abcde   ')"), "");
  EXPECT_EQ(c->query("select Code from tblSales where InvID = 13").at(0, 0).toString(), "abcde");
  EXPECT_NE(errorOf(*c, "Insert into tblSales (InvID, Code) values (14, 'abcdef')")
                .find("String or binary data would be truncated"),
            std::string::npos);
}

TEST_F(EmbeddedAdversarial, NumbersInExponentFormConvertToExactColumns) {
  // A double written back as text takes the exponent form when it is very large or very small.
  EXPECT_EQ(errorOf(*c, "Insert into tblSales (InvID, Amount, Qty, Rate) values (1, 1.5E+3, 2E+1, 1E-05)"), "");
  EXPECT_EQ(errorOf(*c, "Insert into tblSales (InvID, Amount) values (1E+15, 1E-05)"), "");
  EXPECT_EQ(errorOf(*c, "update tblSales set Amount = 2.5E+1 where InvID = 1"), "");
  auto rs = c->query("select InvID, Amount, Qty, Rate from tblSales order by InvID");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(decimalText(rs.at(0, "Amount")), "25.00");
  EXPECT_EQ(rs.at(0, "Qty").toInt(), 20);
  EXPECT_EQ(rs.at(0, "Rate").toDouble(), 1e-05);
  EXPECT_EQ(decimalText(rs.at(1, "InvID")), "1000000000000000");
  EXPECT_EQ(decimalText(rs.at(1, "Amount")), "0.00");
  // As text, the exponent form is not a numeric.
  EXPECT_EQ(errorOf(*c, "Insert into tblSales (InvID, Amount) values (3, '1.5E+3')"),
            "Error converting data type varchar to numeric.");
  // Too many digits for the column.
  EXPECT_EQ(errorOf(*c, "Insert into tblSales (InvID, Amount) values (4, 1E+17)"),
            "Arithmetic overflow error converting float to data type numeric.");
}

TEST_F(EmbeddedAdversarial, DateColumnsAgainstDateTextsGroupingAndOrder) {
  const char* rows[] = {"(1, '06/Dec/2026', '06/Dec/2026 09:05:00 AM')", "(2, '2026-12-06', '06/Dec/2026 10:15:00 PM')",
                        "(3, '12/05/2026', '05/Dec/2026 11:00:00 PM')", "(4, '01/Jan/2027', '01/Jan/2027 01:00:00 AM')",
                        "(5, '30/Nov/2026', '30/Nov/2026 12:00:00 PM')"};
  for (auto* r : rows) c->execute(std::string("insert into tblSales (InvID, InvDate, BillTime) values ") + r);
  for (auto* d : {"06/Dec/2026", "2026-12-06", "12/06/2026", "20261206", "6 Dec 2026"})
    EXPECT_EQ(c->query(std::string("select InvID from tblSales where InvDate = '") + d + "'").size(), 2u) << d;
  // A date text with no time is midnight: a time-stamped column does not equal it.
  EXPECT_EQ(c->query("select InvID from tblSales where BillTime = '06/Dec/2026'").size(), 0u);
  EXPECT_EQ(c->query("select InvID from tblSales where BillTime >= '06/Dec/2026' and BillTime < '07/Dec/2026'").size(),
            2u);
  EXPECT_EQ(c->query("select InvID from tblSales where InvDate between '01/Dec/2026' and '12/06/2026'").size(), 3u);

  auto rs = c->query(
      "select CONVERT(varchar, InvDate, 112) as d, count(InvID) as n from tblSales group by CONVERT(varchar, InvDate, "
      "112) order by CONVERT(varchar, InvDate, 112)");
  ASSERT_EQ(rs.size(), 4u);
  EXPECT_EQ(rs.at(0, "d").toString(), "20261130");
  EXPECT_EQ(rs.at(2, "d").toString(), "20261206");
  EXPECT_EQ(rs.at(2, "n").toInt(), 2);
  rs = c->query("select InvDate, count(InvID) as n from tblSales group by InvDate order by InvDate desc");
  ASSERT_EQ(rs.size(), 4u);
  EXPECT_EQ(rs.fields[0].type, db::adDBTimeStamp);
  EXPECT_EQ(rs.at(0, "InvDate").toDateTime()->iso(), "2027-01-01 00:00:00.000");
  EXPECT_EQ(rs.at(1, "n").toInt(), 2);
  rs = c->query("select InvID from tblSales order by BillTime");
  ASSERT_EQ(rs.size(), 5u);
  EXPECT_EQ(rs.at(0, 0).toInt(), 5);
  EXPECT_EQ(rs.at(1, 0).toInt(), 3);
  EXPECT_EQ(rs.at(2, 0).toInt(), 1);
  EXPECT_EQ(rs.at(3, 0).toInt(), 2);
  EXPECT_EQ(rs.at(4, 0).toInt(), 4);
  // datetime holds 1/300 s steps; milliseconds round to them.
  const char* ms[][2] = {{"23:59:59.999", "2026-12-07 00:00:00.000"}, {"23:59:59.998", "2026-12-06 23:59:59.997"},
                         {"10:00:00.001", "2026-12-06 10:00:00.000"}, {"10:00:00.002", "2026-12-06 10:00:00.003"},
                         {"10:00:00.005", "2026-12-06 10:00:00.007"}, {"10:00:00.990", "2026-12-06 10:00:00.990"}};
  for (auto& m : ms) {
    c->execute(std::string("update tblSales set BillTime = '2026-12-06 ") + m[0] + "' where InvID = 5");
    EXPECT_EQ(c->query("select BillTime from tblSales where InvID = 5").at(0, 0).toDateTime()->iso(), m[1]) << m[0];
  }
  c->execute("update tblSales set BillTime = '30/Nov/2026 12:00:00 PM' where InvID = 5");
  rs = c->query(
      "select CONVERT(varchar(11), BillTime, 106) as a, CONVERT(varchar, BillTime, 103) as b, CONVERT(varchar, "
      "BillTime, 101) as c, CONVERT(varchar, BillTime, 108) as t from tblSales where InvID = 2");
  EXPECT_EQ(rs.at(0, "a").toString(), "06 Dec 2026");
  EXPECT_EQ(rs.at(0, "b").toString(), "06/12/2026");
  EXPECT_EQ(rs.at(0, "c").toString(), "12/06/2026");
  EXPECT_EQ(rs.at(0, "t").toString(), "22:15:00");
}

TEST_F(EmbeddedAdversarial, MixedTypesInIsnullComparisonAndConcatenation) {
  c->execute("insert into tblSales (InvID, InvNo, Qty, SyncStat) values (1, NULL, NULL, NULL)");
  c->execute("insert into tblSales (InvID, InvNo, Qty, SyncStat) values (2, '5', 4, 1)");
  auto rs = c->query(
      "select isnull(InvNo, 0) as a, isnull(Qty, '') as b, isnull(InvDate, '') as d, isnull(SyncStat, 0) as s from "
      "tblSales where InvID = 1");
  EXPECT_EQ(rs.at(0, "a").toString(), "0");
  EXPECT_EQ(rs.fields[0].type, db::adVarChar);
  EXPECT_EQ(rs.at(0, "b").toInt(), 0);
  EXPECT_EQ(rs.fields[1].type, db::adInteger);
  EXPECT_EQ(rs.at(0, "d").toDateTime()->iso(), "1900-01-01 00:00:00.000");
  EXPECT_EQ(c->query("select InvID from tblSales where isnull(SyncStat,0)=0").size(), 1u);
  // Text against a number compares as numbers: '5' = 5.
  EXPECT_EQ(c->query("select InvID from tblSales where InvNo = 5").size(), 1u);
  // Text + number converts the text; NULL + text is NULL; text + text concatenates.
  rs = c->query(
      "select '5' + 1 as n, InvNo + Qty as m, 'x' + InvNo as t, 'x' + NULL as z from tblSales where InvID = 2");
  EXPECT_EQ(rs.at(0, "n").toInt(), 6);
  EXPECT_EQ(rs.at(0, "m").toInt(), 9);
  EXPECT_EQ(rs.at(0, "t").toString(), "x5");
  EXPECT_TRUE(rs.at(0, "z").isNull());
  EXPECT_EQ(errorOf(*c, "select 'Inv ' + Qty from tblSales"),
            "Conversion failed when converting the varchar value 'Inv ' to data type int.");
  try {
    c->query("select 'Inv ' + Qty from tblSales where InvID = 2");
    ADD_FAILURE() << "no error";
  } catch (const db::DbError& e) {
    EXPECT_EQ(e.description(), "Conversion failed when converting the varchar value 'Inv ' to data type int.");
  }
  // Case-insensitive text and trailing blanks ignored in comparison.
  c->execute("update tblSales set InvNo = 'ab' where InvID = 1");
  EXPECT_EQ(c->query("select InvID from tblSales where InvNo = 'AB  '").size(), 1u);
}

TEST_F(EmbeddedAdversarial, TransactionsKeepEarlierStatementsUntilRollback) {
  c->beginTrans();
  EXPECT_EQ(c->execute("insert into tblSales (InvID, InvNo) values (1, 'a')"), 1);
  EXPECT_EQ(c->execute("insert into tblSales (InvID, InvNo) values (2, 'b')"), 1);
  EXPECT_NE(errorOf(*c, "insert into tblSales (InvID, InvNo) values (1, 'dup')").find("Cannot insert duplicate key"),
            std::string::npos);
  EXPECT_NE(errorOf(*c, "insert into tblSales (InvID, Qty) values (3, 'bad')").find("Conversion failed"),
            std::string::npos);
  EXPECT_EQ(c->query("select count(*) from tblSales").at(0, 0).toInt(), 2);
  EXPECT_EQ(c->query("select max(InvID) + 1 as MAxid from tblSales").at(0, 0).toInt(), 3);
  EXPECT_EQ(c->execute("update tblSales set InvNo = 'z'"), 2);
  // A statement that fails part way leaves none of its own rows.
  EXPECT_NE(errorOf(*c,
                    "insert into tblSales (InvID, InvNo) select InvID + 2, InvNo from tblSales union all select "
                    "2, 'again'"),
            "");
  EXPECT_EQ(c->query("select count(*) from tblSales").at(0, 0).toInt(), 2);
  c->rollbackTrans();
  EXPECT_EQ(c->query("select count(*) from tblSales").at(0, 0).toInt(), 0);

  // A failed statement inside a committed transaction leaves the others in place.
  c->beginTrans();
  c->execute("insert into tblSales (InvID, InvNo) values (1, 'a')");
  EXPECT_NE(errorOf(*c, "insert into tblSales (InvID, InvNo) values (1, 'b')"), "");
  c->execute("insert into tblSales (InvID, InvNo) values (2, 'c')");
  c->commitTrans();
  EXPECT_EQ(c->query("select count(*) from tblSales").at(0, 0).toInt(), 2);
  // Affected-row counts: an update that matches nothing reports 0, a delete reports what it removed.
  EXPECT_EQ(c->execute("update tblSales set InvNo = 'q' where InvID = 99"), 0);
  auto rs = c->query("update tblSales set InvNo = 'q' where InvID = 1 select @@ROWCOUNT as n");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "n").toInt(), 1);
  EXPECT_EQ(c->execute("delete from tblSales where InvID in (1, 2, 3)"), 2);
}

TEST_F(EmbeddedAdversarial, SecondConnectionSeesOnlyCommittedRows) {
  auto other = connect("srv");
  c->execute("insert into tblSales (InvID, InvNo) values (1, 'a')");
  EXPECT_EQ(other->query("select count(*) from tblSales").at(0, 0).toInt(), 1);
  c->beginTrans();
  c->execute("insert into tblSales (InvID, InvNo) values (2, 'b')");
  c->rollbackTrans();
  EXPECT_EQ(other->query("select count(*) from tblSales").at(0, 0).toInt(), 1);
  c->beginTrans();
  c->execute("insert into tblSales (InvID, InvNo) values (3, 'c')");
  c->commitTrans();
  EXPECT_EQ(other->query("select count(*) from tblSales").at(0, 0).toInt(), 2);
  EXPECT_EQ(other->execute("insert into tblSales (InvID, InvNo) values (4, 'd')"), 1);
}

TEST_F(EmbeddedAdversarial, ChangeLogQueriesNumberingAndStockSums) {
  c->execute("ALTER TABLE tblSales ADD ServInvID numeric(18,0) NULL");
  c->execute(
      "CREATE TABLE tblJobCard (Jobcardid numeric(18,0), ServInvID numeric(18,0), JobcardDate datetime, JObcardTime "
      "datetime, SyncStat numeric(18,0))");
  c->execute(
      "CREATE TABLE tblactivity (Id numeric(18,0), tablename varchar(50), tbluniqueid numeric(18,0), tblUniquerefID "
      "numeric(18,0), Action varchar(50), active numeric(18,0), dateofaction datetime, ActionTime varchar(50), "
      "ParentID numeric(18,0), vchtypeID numeric(18,0))");
  c->execute("insert into tblSales (InvID, InvDate, BillTime, SyncStat) values (1, '06/Dec/2026', '10:15:00 AM', 0)");
  c->execute("insert into tblSales (InvID, InvDate, BillTime, SyncStat) values (2, '01/Dec/2026', '11:15:00 AM', 0)");
  c->execute("insert into tblSales (InvID, InvDate, BillTime, SyncStat) values (3, '01/Dec/2026', '11:20:00 AM', 1)");
  c->execute("insert into tblJobCard values (5, NULL, '01/Dec/2026', '11:15:00 AM', 0)");
  c->execute("insert into tblactivity values (1, 'tblSales', 1, NULL, 'Insert', 1, '06/Dec/2026', 'x', 1, 3)");
  c->execute("insert into tblactivity values (2, 'tblSales', 1, NULL, 'Update', 1, '06/Dec/2026', 'x', 1, 3)");
  c->execute("insert into tblactivity values (3, 'TBLSALES', 1, 7, 'Deleted', 1, '06/Dec/2026', 'x', 1, 3)");
  c->execute("insert into tblactivity values (4, 'tblSales', 2, NULL, 'Insert', 1, '06/Dec/2026', 'x', 0, 3)");
  // Every unsynced header of any date, the union's columns named by its first select.
  auto rs = c->query(
      "select * from (SELECT 0 as ID, 'tblSales' AS tablename, InvId AS tbluniqueid, ServInvID AS tblUniquerefID, "
      "'Insert' AS Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat  FROM  tblSales WHERE "
      " (SyncStat = 0) Union Select 0 as ID, 'tblJobCard' AS tablename, Jobcardid AS tbluniqueid, ServInvID AS "
      "tblUniquerefID, 'Insert' AS Action, 1 AS active, JobcardDate AS dateofaction, JObcardTime,SyncStat AS "
      "ActionTime FROM  tblJobCard WHERE (SyncStat = 0) ) as M where m.dateofaction='06/Dec/2026' or SyncStat =0");
  ASSERT_EQ(rs.size(), 3u);
  EXPECT_EQ(rs.fields[7].name, "ActionTime");
  EXPECT_EQ(rs.fields[7].type, db::adDBTimeStamp);
  EXPECT_EQ(rs.fields[0].type, db::adInteger);
  // The latest insert or delete row of each voucher, aliases and table names matched without regard to case.
  rs = c->query(
      " select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from tblactivity O "
      "where ParentID in(1,3,5,7,8,9,10,14,18,41,42,43,44,45) and ISNULL(pARENTid,0) <> 0 AND Action not "
      "in('Update') and DateofAction='06/Dec/2026' and vchtypeID in (3) and id = (select max(A.id) from tblactivity "
      "A where o.tblUniqueID=a.tblUniqueID and o.tablename = a.tablename and a.Action not in('Update')) Order by "
      "o.ID ");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "Id").toInt(), 3);
  EXPECT_EQ(rs.at(0, "tblUniquerefID").toInt(), 7);

  // Batch numbering over negative ids.
  c->execute(
      "CREATE TABLE tblStock (StockID numeric(18,0), BatchID numeric(18,0), ItemID numeric(18,0), CCID "
      "numeric(18,0), BatchUnique varchar(50))");
  c->execute("CREATE TABLE tblStockHistory (ItemID numeric(18,0), CCID numeric(18,0), QtyIN float, QtyOut float)");
  c->execute("insert into tblStock values (1, -7, 10, 1, '  B7 ')");
  c->execute("insert into tblStock values (2, 3, 11, 1, 'B3')");
  c->execute("insert into tblStockHistory values (10, 1, 5.5, 1.25)");
  c->execute("insert into tblStockHistory values (10, 1, 2, 0)");
  c->execute("insert into tblStockHistory values (10, 2, 100, 0)");
  rs = c->query("Select max(ABS(BatchID)) + 1 as MAxid from tblStock");
  EXPECT_EQ(rs.at(0, "MaxID").toInt(), 8);
  EXPECT_EQ(rs.fields[0].type, db::adNumeric);
  rs = c->query(
      "SELECT dbo.tblStock.ItemID, '12-May-2020' AS Expiry, (SELECT     SUM(QtyIN - QtyOut) AS Expr1 From "
      "dbo.tblStockHistory  WHERE      (ItemID = dbo.tblStock.ItemID) AND (dbo.tblStock.CCID = CCID)  ) as Qty from "
      "dbo.tblStock order by dbo.tblStock.ItemID");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.fields[1].type, db::adVarChar);
  EXPECT_EQ(rs.fields[2].type, db::adDouble);
  EXPECT_EQ(rs.at(0, "Qty").toDouble(), 6.25);
  EXPECT_TRUE(rs.at(1, "Qty").isNull());
  EXPECT_EQ(c->query("select StockID from tblStock where Rtrim(Ltrim(BatchUnique)) = 'b7'").size(), 1u);
  rs = c->query("Select top 1 dateadd(Minute,330,getutcdate()) as ServDate from tblStock");
  EXPECT_EQ(rs.fields[0].type, db::adDBTimeStamp);
}

class EmbeddedAdversarialLinked : public EmbeddedFixture {
 protected:
  std::unique_ptr<db::Connection> branch, central;
  void SetUp() override {
    central = server("central", "W");
    branch = server("branch", "B");
    for (auto* c : {central.get(), branch.get()}) {
      c->execute(
          "CREATE TABLE tblSales (InvID numeric(18,0) NOT NULL, InvNo varchar(20), InvDate datetime, Party "
          "varchar(50), Amount numeric(18,2), CONSTRAINT PK_tblSales PRIMARY KEY (InvID))");
      c->execute(
          "CREATE TABLE tblActivity (ID numeric(18,0) NOT NULL, TableName varchar(50), tblUniqueID numeric(18,0), "
          "Action varchar(50))");
    }
    branch->execute(
        "create trigger Trig_SalesInsert ON tblSales FOR Insert as DECLARE @name int DECLARE @IT int select "
        "@name=ISNull(max(ID),0) from tblActivity select @name = @name + 1 select @IT = InvID from inserted if @IT is "
        "Not NULL begin insert into tblActivity (ID,TableName,tblUniqueID,Action) values (@name, "
        "'tblSales',@IT,'Insert') End");
    branch->execute("EXEC master.dbo.sp_addlinkedserver @server = N'central', @srvproduct=N'SQL Server'");
    branch->execute(
        "EXEC master.dbo.sp_addlinkedsrvlogin @rmtsrvname=N'central',@useself=N'False',@locallogin=NULL,@rmtuser="
        "NULL,@rmtpassword=NULL");
    central->execute("insert into tblSales values (1, 'A1', '06/Dec/2026', 'X', 1.5)");
    central->execute("insert into tblSales values (2, 'A2', '06/Dec/2026', 'Y', 2.25)");
    central->execute("insert into tblSales values (3, 'A3', '07/Dec/2026', 'Z', 3)");
  }
};

TEST_F(EmbeddedAdversarialLinked, InsertSelectFromFourPartNameFiresLocalTriggerOncePerStatement) {
  EXPECT_EQ(
      branch->execute("Insert into tblSales select * from [central].W.dbo.tblSales where InvDate = '06/Dec/2026'"), 2);
  EXPECT_EQ(branch->execute("Insert into tblSales(InvID,InvNo,InvDate,Party,Amount) select InvID,InvNo,InvDate,Party,"
                            "Amount from [central].W.dbo.tblSales where InvID = 3"),
            1);
  auto log = branch->query("select ID, tblUniqueID from tblActivity order by ID");
  ASSERT_EQ(log.size(), 2u);
  // Rolled back with the rows it logged.
  branch->beginTrans();
  EXPECT_EQ(branch->execute("Insert into tblSales(InvID,InvNo) select InvID + 10, InvNo from [central].W.dbo.tblSales"),
            3);
  EXPECT_EQ(branch->query("select count(*) from tblActivity").at(0, 0).toInt(), 3);
  branch->rollbackTrans();
  EXPECT_EQ(branch->query("select count(*) from tblActivity").at(0, 0).toInt(), 2);
  EXPECT_EQ(branch->query("select count(*) from tblSales").at(0, 0).toInt(), 3);
  EXPECT_EQ(log.at(1, "ID").toInt(), 2);
  EXPECT_EQ(log.at(1, "tblUniqueID").toInt(), 3);
  auto rs = branch->query("select Amount, InvDate from tblSales order by InvID");
  ASSERT_EQ(rs.size(), 3u);
  EXPECT_EQ(std::get<db::Decimal>(rs.at(1, "Amount").storage()).text, "2.25");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(2, "Amount").storage()).text, "3.00");
  EXPECT_EQ(rs.at(0, "InvDate").toDateTime()->iso(), "2026-12-06 00:00:00.000");
  // Reading through the linked server keeps the column types.
  rs = branch->query("select * from [central].W.dbo.tblSales");
  EXPECT_EQ(rs.fields[0].type, db::adNumeric);
  EXPECT_EQ(rs.fields[1].type, db::adVarChar);
  EXPECT_EQ(rs.fields[2].type, db::adDBTimeStamp);
  EXPECT_EQ(rs.fields[4].type, db::adNumeric);
  // Correlated delete against the linked table; a remote update reports its count.
  EXPECT_EQ(branch->execute("delete from tblSales where InvID in (select InvID from [central].W.dbo.tblSales M where "
                            "M.InvID = tblSales.InvID and M.Party = 'x')"),
            1);
  EXPECT_EQ(branch->execute("update [central].W.dbo.tblSales set Party = '#DELETEDFROMBRANCH#' where INvID=2"), 1);
  EXPECT_EQ(central->query("select Party from tblSales where InvID = 2").at(0, 0).toString(), "#DELETEDFROMBRANCH#");
  // Counts per date on both sides side by side, through the linked server.
  rs = branch->query(
      "select InvDate ,sum(DESKTOPSALE) as DESKTOPSALE , sum(ONLINESALE) as ONLINESALE from( SELECT     InvDate, 0 AS "
      "DESKTOPSALE, COUNT(InvId) AS ONLINESALE From [central].W.dbo.tblSales WHERE     (InvDate between "
      "'01/Dec/2026' and '31/Dec/2026')  GROUP BY InvDate Union All SELECT     InvDate, COUNT(InvId) AS DESKTOPSALE, "
      "0 AS ONLINESALE FROM  tblSales AS tblSales_1 WHERE     (InvDate between '01/Dec/2026' and '31/Dec/2026' ) "
      "GROUP BY InvDate ) m group by m.invdate order by m.invdate");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, "ONLINESALE").toInt(), 2);
  EXPECT_EQ(rs.at(0, "DESKTOPSALE").toInt(), 1);
  EXPECT_EQ(rs.at(1, "ONLINESALE").toInt(), 1);
  EXPECT_EQ(rs.at(1, "DESKTOPSALE").toInt(), 1);
  EXPECT_EQ(rs.fields[0].type, db::adDBTimeStamp);
  EXPECT_EQ(rs.fields[1].type, db::adInteger);
}

TEST_F(EmbeddedAdversarial, ArithmeticUnionsAndCaseInsensitiveGrouping) {
  c->execute("insert into tblSales (InvID, InvNo, Qty, Amount) values (1, 'a', NULL, 12.5)");
  c->execute("insert into tblSales (InvID, InvNo, Qty, Amount) values (2, 'A', 7, -1.25)");
  c->execute("insert into tblSales (InvID, InvNo, Qty, Amount) values (3, 'b', 2, 1.5E+3)");
  auto rs = c->query(
      "select 7/2 as i, 7/2.0 as d, isnull(Qty, 1.5) as q, coalesce(Qty, 1.5) as k, CAST(Amount AS varchar) as t, "
      "'Rs ' + CAST(Amount AS varchar(20)) as r from tblSales where InvID = 1");
  EXPECT_EQ(rs.at(0, "i").toInt(), 3);
  EXPECT_EQ(rs.fields[0].type, db::adInteger);
  EXPECT_EQ(decimalText(rs.at(0, "d")), "3.500000");
  EXPECT_EQ(rs.at(0, "q").toInt(), 1);
  EXPECT_EQ(rs.fields[2].type, db::adInteger);
  EXPECT_EQ(decimalText(rs.at(0, "k")), "1.5");
  EXPECT_EQ(rs.at(0, "t").toString(), "12.50");
  EXPECT_EQ(rs.at(0, "r").toString(), "Rs 12.50");
  EXPECT_EQ(decimalText(c->query("select Amount from tblSales where InvID = 2").at(0, 0)), "-1.25");
  EXPECT_EQ(decimalText(c->query("select Amount from tblSales where InvID = 3").at(0, 0)), "1500.00");
  EXPECT_EQ(decimalText(c->query("select sum(Amount) from tblSales").at(0, 0)), "1511.25");
  EXPECT_EQ(errorOf(*c, "select Qty / 0 from tblSales"), "Divide by zero error encountered.");
  // A varchar meeting a numeric converts to numeric.
  rs = c->query("select '5' + Amount as v from tblSales where InvID = 1");
  EXPECT_EQ(decimalText(rs.at(0, "v")), "17.50");

  // A union takes the higher type of its branches and drops duplicates without regard to case.
  rs = c->query("select 0 as x union select Amount from tblSales where InvID = 1");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.fields[0].type, db::adNumeric);
  EXPECT_EQ(decimalText(rs.at(0, 0)), "0.00");
  EXPECT_EQ(
      c->query("select InvNo from tblSales where InvID < 3 union select InvNo from tblSales where InvID < 3").size(),
      1u);
  rs = c->query("select InvNo, count(InvID) as n, count(Qty) as q from tblSales group by InvNo order by InvNo");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, "n").toInt(), 2);
  EXPECT_EQ(rs.at(0, "q").toInt(), 1);
  EXPECT_EQ(c->query("select distinct InvNo from tblSales").size(), 2u);
  EXPECT_EQ(c->query("select InvID from tblSales where InvNo like 'A%'").size(), 2u);
  rs = c->query("select InvID from tblSales order by InvNo desc, InvID");
  EXPECT_EQ(rs.at(0, 0).toInt(), 3);
  // NOT IN over a list holding NULL selects nothing.
  EXPECT_EQ(c->query("select InvID from tblSales where InvID not in (select Qty from tblSales)").size(), 0u);
}

TEST_F(EmbeddedAdversarialLinked, ReadingTheLinkedCatalogDoesNotWaitForItsWriters) {
  branch->execute("CREATE TABLE tblItem (ItemID int, ItemName varchar(20))");
  central->execute("CREATE TABLE tblItem (ItemID int, ItemName varchar(20))");
  central->execute("insert into tblItem values (1, 'Ring')");
  // Another connection to the central catalog is in the middle of a voucher upload.
  central->beginTrans();
  central->execute("insert into tblSales values (9, 'A9', '06/Dec/2026', 'Q', 1)");
  EXPECT_EQ(errorOf(*branch, "Insert into tblItem select * from [central].W.dbo.tblItem"), "");
  EXPECT_EQ(errorOf(*branch,
                    "update tblItem set ItemName = (select ItemName from [central].W.dbo.tblItem st where "
                    "tblItem.ItemID = st.ItemID)"),
            "");
  EXPECT_EQ(errorOf(*branch, "delete from tblSales where InvID in (select InvID from [central].W.dbo.tblSales)"), "");
  // The uncommitted central row is not visible to the branch.
  EXPECT_EQ(branch->query("select count(*) from [central].W.dbo.tblSales").at(0, 0).toInt(), 3);
  central->rollbackTrans();
  EXPECT_EQ(branch->query("select ItemName from tblItem").at(0, 0).toString(), "Ring");
}

}  // namespace
}  // namespace erpsync::test
