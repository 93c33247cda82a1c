// SQL Server semantics the synchroniser relies on: dates read as us_english reads them and compared
// as dates, case-insensitive text, IDENTITY, T-SQL functions and joins.
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

class EmbeddedSemantics : public EmbeddedFixture {
 protected:
  std::unique_ptr<db::Connection> c;
  void SetUp() override {
    c = server("srv");
    c->execute(
        "CREATE TABLE tblDay (ID numeric(18,0) IDENTITY(1,1) NOT NULL, Activity varchar(50) NOT NULL, TimeOf "
        "datetime NULL, DateOF datetime NULL, Note varchar(30) NULL, CCID numeric(18,0) NULL)");
  }
};

TEST_F(EmbeddedSemantics, DateTextsAreReadAsSqlServerReadsThem) {
  struct Case {
    const char* text;
    const char* iso;
  } cases[] = {{"06/Dec/2026", "2026-12-06 00:00:00.000"},
               {"12-May-2020", "2020-05-12 00:00:00.000"},
               {"6 Dec 2026", "2026-12-06 00:00:00.000"},
               {"12/06/2026", "2026-12-06 00:00:00.000"},
               {"2026-12-06", "2026-12-06 00:00:00.000"},
               {"20261206", "2026-12-06 00:00:00.000"},
               {"10:15 AM", "1900-01-01 10:15:00.000"},
               {"10:15:07 PM", "1900-01-01 22:15:07.000"},
               {"Dec  6 2026 10:15AM", "2026-12-06 10:15:00.000"},
               {"12/06/2026 10:15:07 PM", "2026-12-06 22:15:07.000"},
               {" ", "1900-01-01 00:00:00.000"},
               {"2026-12-06 23:59:59.997", "2026-12-06 23:59:59.997"}};
  for (auto& k : cases) {
    c->execute("delete from tblDay");
    c->execute(std::string("insert into tblDay (Activity, DateOF, Note) values ('x', '") + k.text + "', '" + k.text +
               "')");
    auto rs = c->query("select DateOF, Note from tblDay");
    ASSERT_EQ(rs.size(), 1u) << k.text;
    ASSERT_TRUE(rs.at(0, "DateOF").isDateTime()) << k.text;
    EXPECT_EQ(rs.at(0, "DateOF").toDateTime()->iso(), k.iso) << k.text;
    EXPECT_EQ(rs.at(0, "Note").toString(), k.text);  // a varchar keeps the text as written
  }
  EXPECT_EQ(errorOf(*c, "insert into tblDay (Activity, DateOF) values ('x', '31/31/2026')"),
            "Conversion failed when converting date and/or time from character string.");
}

TEST_F(EmbeddedSemantics, DatesCompareAndSortAsDates) {
  c->execute("insert into tblDay (Activity, DateOF, TimeOf, CCID) values ('a', '06/Dec/2026', '9:05:00 AM', 1)");
  c->execute("insert into tblDay (Activity, DateOF, TimeOf, CCID) values ('b', '06/Dec/2026', '10:15:00 AM', 1)");
  c->execute("insert into tblDay (Activity, DateOF, TimeOf, CCID) values ('c', '30/Nov/2026', '11:00 PM', 1)");
  c->execute("insert into tblDay (Activity, DateOF, TimeOf, CCID) values ('d', '01/Jan/2027', '1:00 AM', 1)");
  EXPECT_EQ(c->query("select * from tblDay where DateOF = '06/Dec/2026'").size(), 2u);
  EXPECT_EQ(c->query("select * from tblDay where DateOF = '2026-12-06'").size(), 2u);
  EXPECT_EQ(c->query("select * from tblDay where DateOF BETWEEN '01/Dec/2026' and '06/Dec/2026'").size(), 2u);
  EXPECT_EQ(c->query("select * from tblDay where DateOF >= '12/01/2026'").size(), 3u);
  EXPECT_EQ(c->query("select * from tblDay where DateOF in ('30/Nov/2026', '01/Jan/2027')").size(), 2u);
  auto rs = c->query(
      "SELECT     TOP (1) ID, Activity, TimeOf, DateOF From tblDay  where CCID=1 ORDER BY DateOF "
      "DESC,  TimeOf DESC");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, "Activity").toString(), "d");
  rs = c->query("select Activity from tblDay where DateOF = '06/Dec/2026' order by TimeOf desc");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, 0).toString(), "b");  // 10:15 sorts after 9:05
  // Derived tables keep the column types, so their date columns compare as dates too.
  EXPECT_EQ(c->query("select * from (select DateOF as d, Activity from tblDay union select DateOF, Activity from "
                     "tblDay) as M where m.d = '06/Dec/2026'")
                .size(),
            2u);
  // Date functions with SQL Server's boundary semantics.
  rs = c->query(
      "select datediff(day, '31/Dec/2026 23:59', '01/Jan/2027 00:01') as d, datediff(year, '31/Dec/2026', "
      "'01/Jan/2027') as y, dateadd(Minute, 330, '06/Dec/2026 20:00') as a, DAY(DateOF) as dd, "
      "MONTH(DateOF) mm, YEAR(DateOF) yy from tblDay where Activity = 'c'");
  EXPECT_EQ(rs.at(0, "d").toInt(), 1);
  EXPECT_EQ(rs.at(0, "y").toInt(), 1);
  EXPECT_EQ(rs.at(0, "a").toDateTime()->iso(), "2026-12-07 01:30:00.000");
  EXPECT_EQ(rs.fields[2].type, db::adDBTimeStamp);
  EXPECT_EQ(rs.at(0, "dd").toInt(), 30);
  EXPECT_EQ(rs.at(0, "mm").toInt(), 11);
  EXPECT_EQ(rs.at(0, "yy").toInt(), 2026);
  rs = c->query(
      "select CONVERT(CHAR(8), DateOF, 112) as s, CONVERT(DATETIME, '20261206', 112) as t from tblDay where "
      "Activity = 'c'");
  EXPECT_EQ(rs.at(0, "s").toString(), "20261130");
  EXPECT_EQ(rs.at(0, "t").toDateTime()->iso(), "2026-12-06 00:00:00.000");
}

TEST_F(EmbeddedSemantics, TextComparesWithoutRegardToCaseOrTrailingBlanks) {
  c->execute("insert into tblDay (Activity, Note) values ('BLOCKFASTPUSH', 'Cash')");
  c->execute("insert into tblDay (Activity, Note) values ('DayStart', 'cash  ')");
  EXPECT_EQ(c->query("select * from tblDay where Activity = 'blockfastpush'").size(), 1u);
  EXPECT_EQ(c->query("select * from tblDay where Note = 'CASH'").size(), 2u);
  EXPECT_EQ(c->query("select * from tblDay where Note in ('cAsH')").size(), 2u);
  EXPECT_EQ(c->query("select * from tblDay where Activity like 'day%'").size(), 1u);
  EXPECT_EQ(c->query("select distinct Note from tblDay").size(), 1u);
  EXPECT_EQ(c->query("select Note from tblDay group by Note").size(), 1u);
  // A union of texts that differ only in case keeps one row.
  EXPECT_EQ(c->query(" SELECT 'AccountGroup' AS Property, COUNT(ID) AS Nos From tblDay  Union SELECT 'Accountgroup' AS "
                     "Property, COUNT(ID) AS Nos From tblDay ORDER BY Property ")
                .size(),
            1u);
  auto rs = c->query("select Activity from tblDay order by Activity");
  EXPECT_EQ(rs.at(0, 0).toString(), "BLOCKFASTPUSH");
}

TEST_F(EmbeddedSemantics, IdentityNumbersRowsAndRefusesExplicitValues) {
  c->execute("insert into tblDay (Activity) values ('a')");
  c->execute("insert into tblDay (Activity) values ('b')");
  c->execute("delete from tblDay where Activity = 'b'");
  c->execute("insert into tblDay (Activity) values ('c')");
  auto rs = c->query("select ID from tblDay order by ID");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(0, 0).toInt(), 1);
  EXPECT_EQ(rs.at(1, 0).toInt(), 3);  // numbering goes on after a delete
  EXPECT_EQ(errorOf(*c, "insert into tblDay (ID, Activity) values (10, 'x')"),
            "Cannot insert explicit value for identity column in table 'tblDay' when IDENTITY_INSERT is set to OFF.");
  c->execute("SET IDENTITY_INSERT tblDay ON");
  c->execute("insert into tblDay (ID, Activity) values (10, 'x')");
  c->execute("SET IDENTITY_INSERT tblDay OFF");
  c->execute("insert into tblDay (Activity) values ('y')");
  EXPECT_EQ(c->query("select max(ID) from tblDay").at(0, 0).toInt(), 11);
  c->execute("CREATE TABLE t2 (n int IDENTITY(100, 5) NOT NULL, v varchar(5))");
  c->execute("insert into t2 (v) select Activity from tblDay");
  EXPECT_EQ(c->query("select max(n) from t2").at(0, 0).toInt(), 100 + 5 * 3);
  EXPECT_EQ(c->query("select @@IDENTITY").at(0, 0).toInt(), 115);
}

TEST_F(EmbeddedSemantics, FunctionsOperatorsAndJoins) {
  c->execute("CREATE TABLE tblA (AID int, Name varchar(20), Amt numeric(18,2))");
  c->execute("CREATE TABLE tblB (BID int, AID int, Qty numeric(18,3))");
  c->execute("CREATE TABLE tblC (CID int, BID int, Tag varchar(10))");
  c->execute("insert into tblA values (1, '  Ab ', 10.555), (2, 'cd', 2)");
  c->execute("insert into tblB values (10, 1, 1.5), (11, 1, 2), (12, 2, 4)");
  c->execute("insert into tblC values (100, 10, 'x'), (101, 12, 'y')");
  auto rs = c->query(
      "select ISNULL(NULL, 5) as a, LTRIM(RTRIM(Name)) as b, LEN(Name) as c, UPPER(Name) u, "
      "SUBSTRING('abcdef', 2, 3) s, LEFT('abc', 2) l, RIGHT('abc', 2) r, REPLACE('aXbx', 'x', '-') rp, "
      "CHARINDEX('B', 'abc') ci, ABS(-3) ab, ROUND(Amt, 1) ro, Name + 'Del' cat, AID + '5' num, "
      "CAST(Amt AS int) ci2 from tblA where AID = 1");
  EXPECT_EQ(rs.at(0, "a").toInt(), 5);
  EXPECT_EQ(rs.at(0, "b").toString(), "Ab");
  EXPECT_EQ(rs.at(0, "c").toInt(), 4);
  EXPECT_EQ(rs.at(0, "s").toString(), "bcd");
  EXPECT_EQ(rs.at(0, "l").toString(), "ab");
  EXPECT_EQ(rs.at(0, "r").toString(), "bc");
  EXPECT_EQ(rs.at(0, "rp").toString(), "a-b-");
  EXPECT_EQ(rs.at(0, "ci").toInt(), 2);
  EXPECT_EQ(rs.at(0, "ab").toInt(), 3);
  EXPECT_EQ(rs.at(0, "ro").toString(), "10.6");
  EXPECT_EQ(rs.at(0, "cat").toString(), "  Ab Del");
  EXPECT_EQ(rs.at(0, "num").toInt(), 6);
  EXPECT_EQ(rs.at(0, "ci2").toInt(), 10);
  // numeric(18,2) keeps its scale; SUM of it stays exact numeric.
  rs = c->query("select Amt, SUM(Amt) over_all from tblA where AID = 2 group by Amt");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "Amt").storage()).text, "2.00");
  EXPECT_EQ(rs.fields[1].type, db::adNumeric);
  // T-SQL's nested join form, comma joins, correlated subqueries, HAVING, NOT IN, EXISTS.
  rs = c->query(
      "SELECT tblA.Name, tblC.Tag FROM tblA INNER JOIN tblB INNER JOIN tblC ON tblB.BID = tblC.BID ON "
      "tblA.AID = tblB.AID order by tblC.Tag");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(1, "Tag").toString(), "y");
  EXPECT_EQ(
      c->query("select count(tblB.BID) from tblA, tblB where tblA.AID = tblB.AID and Name = 'cd'").at(0, 0).toInt(), 1);
  rs = c->query("select AID, (select SUM(Qty) from tblB where AID = tblA.AID) q from tblA order by AID");
  EXPECT_EQ(rs.at(0, "q").toDouble(), 3.5);
  EXPECT_EQ(c->query("select AID, count(*) n from tblB group by AID having count(*) > 1").size(), 1u);
  EXPECT_EQ(c->query("select * from tblB where BID not in (select BID from tblC)").size(), 1u);
  EXPECT_EQ(c->query("select * from tblA a where exists (select 1 from tblB b where b.AID = a.AID and Qty > 3)").size(),
            1u);
  rs =
      c->query("select a.AID, b.BID from tblB b right outer join tblA a on a.AID = b.AID and b.Qty > 3 order by a.AID");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_TRUE(rs.at(0, "BID").isNull());
  rs = c->query("Select * from tblA Order by 2");
  EXPECT_EQ(rs.at(0, "AID").toInt(), 1);  // '  Ab ' sorts before 'cd'
  rs = c->query("select top 1 getDate() as Now, * from tblA order by AID desc");
  EXPECT_EQ(rs.fields.size(), 4u);
  EXPECT_EQ(rs.fields[0].type, db::adDBTimeStamp);
  EXPECT_EQ(rs.at(0, "AID").toInt(), 2);
  rs = c->query("select max(AID) + 1 as MAxid from tblA");
  EXPECT_EQ(rs.at(0, "MaxID").toInt(), 3);
  // A batch reports the count of its last statement that reported one (here 1 row of tblB).
  EXPECT_EQ(c->execute("update tblA set Name = Name + 'Del' where AID = 2 update tblB set Qty = 0 where AID = 2"), 1);
  EXPECT_EQ(c->query("select Name from tblA where AID = 2").at(0, 0).toString(), "cdDel");
}

// ROW_NUMBER() numbers rows as SQL Server does: by the window's order (decimals as numbers, text without
// regard to case), afresh in every partition, whatever order the rows are read in.
TEST_F(EmbeddedSemantics, RowNumberFollowsTheWindowOrder) {
  c->execute(
      "CREATE TABLE tblRate (ItemID numeric(18,0) NOT NULL, Grp varchar(10) NULL, MRP numeric(18,2) NULL, "
      "Name varchar(20) NULL)");
  c->execute(
      "insert into tblRate values (30, 'a', 10.5, 'delta'), (4, 'B', 9.75, 'Alpha'), (200, 'b', 100, 'charlie'), "
      "(15, 'A', 2, 'bravo')");
  auto rs = c->query(
      "select ItemID, row_number() over (order by ItemID) as n, row_number() over (order by MRP desc) as byRate, "
      "row_number() over (partition by Grp order by Name) as inGroup, 40 + row_number() over (order by Name) as "
      "fromForty from tblRate order by ItemID");
  ASSERT_EQ(rs.size(), 4u);
  const long long ids[] = {4, 15, 30, 200}, n[] = {1, 2, 3, 4}, byRate[] = {3, 4, 2, 1}, inGroup[] = {1, 1, 2, 2},
                  fromForty[] = {41, 42, 44, 43};
  for (std::size_t r = 0; r < 4; ++r) {
    EXPECT_EQ(rs.at(r, "ItemID").toInt(), ids[r]);
    EXPECT_EQ(rs.at(r, "n").toInt(), n[r]) << r;
    EXPECT_EQ(rs.at(r, "byRate").toInt(), byRate[r]) << r;
    EXPECT_EQ(rs.at(r, "inGroup").toInt(), inGroup[r]) << r;
    EXPECT_EQ(rs.at(r, "fromForty").toInt(), fromForty[r]) << r;
  }
  EXPECT_EQ(rs.fields[1].type, 20);  // bigint, as SQL Server types it

  // Numbering the rows an INSERT ... SELECT writes, above a stored maximum.
  c->execute("CREATE TABLE tblLog (ID numeric(18,0) NOT NULL PRIMARY KEY, ItemID numeric(18,0) NULL)");
  c->execute("insert into tblLog values (7, 0)");
  c->execute(
      "declare @top int select @top = max(ID) from tblLog insert into tblLog (ID, ItemID) select @top + "
      "row_number() over (order by ItemID), ItemID from tblRate where ItemID > 10");
  auto log = c->query("select ID, ItemID from tblLog order by ID");
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log.at(1, 0).toInt(), 8);
  EXPECT_EQ(log.at(1, 1).toInt(), 15);
  EXPECT_EQ(log.at(3, 0).toInt(), 10);
  EXPECT_EQ(log.at(3, 1).toInt(), 200);
}

TEST_F(EmbeddedSemantics, ServerClockCanBeShifted) {
  db::embedded::setClockOffsetSeconds(0);
  auto t0 = c->query("select getdate()").at(0, 0).toDateTime();
  db::embedded::setClockOffsetSeconds(-3600);
  auto t1 = c->query("select getdate()").at(0, 0).toDateTime();
  db::embedded::setClockOffsetSeconds(0);
  ASSERT_TRUE(t0 && t1);
  long long diff = t0->totalSeconds() - t1->totalSeconds();
  EXPECT_GE(diff, 3599);
  EXPECT_LE(diff, 3601);
}

}  // namespace
}  // namespace erpsync::test
