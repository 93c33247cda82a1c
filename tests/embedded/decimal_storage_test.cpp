// numeric/decimal/money through the embedded server: stored, compared, summed, converted and
// copied without a binary float losing the last digits.
#include "db/recordset.h"
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

class EmbeddedDecimals : public EmbeddedFixture {
 protected:
  std::unique_ptr<db::Connection> c;
  void SetUp() override {
    c = server("srv", "A");
    c->execute(
        "CREATE TABLE tblLedger (ID int NOT NULL, Amount numeric(18,2) NULL, Rate numeric(9,3) NULL, Big "
        "numeric(38,6) NULL, Whole numeric(38,0) NULL, Cash money NULL, Petty smallmoney NULL, F float NULL)");
  }
  std::string dec(const std::string& sql) {
    db::Value v = c->query(sql).at(0, 0);
    auto* d = std::get_if<db::Decimal>(&v.storage());
    return d ? d->text : "<not a decimal: " + v.toString() + ">";
  }
  std::vector<long long> ids(const std::string& where) {
    auto rs = c->query("select ID from tblLedger " + where);
    std::vector<long long> r;
    for (std::size_t i = 0; i < rs.size(); ++i) r.push_back(rs.at(i, 0).toInt());
    return r;
  }
  void amounts(std::initializer_list<const char*> values) {
    int id = 1;
    for (const char* v : values)
      c->execute("insert into tblLedger (ID, Amount) values (" + std::to_string(id++) + ", " + v + ")");
  }
};

TEST_F(EmbeddedDecimals, StoresEveryDigitOfTheDeclaredPrecision) {
  c->execute(
      "insert into tblLedger (ID, Amount, Big, Whole, Cash, Petty) values (1, 1234567890123456.78, "
      "12345678901234567890123456789012.123456, 12345678901234567890123456789012345678, 922337203685477.5807, "
      "-214748.3648)");
  c->execute("insert into tblLedger (ID, Amount, Cash) values (2, '-9999999999999999.99', '12.34567')");
  auto rs = c->query("select Amount, Big, Whole, Cash, Petty from tblLedger order by ID");
  for (std::size_t i = 0; i < rs.fields.size(); ++i) EXPECT_EQ(rs.fields[i].type, db::adNumeric);
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "Amount").storage()).text, "1234567890123456.78");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "Big").storage()).text, "12345678901234567890123456789012.123456");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "Whole").storage()).text, "12345678901234567890123456789012345678");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "Cash").storage()).text, "922337203685477.5807");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "Petty").storage()).text, "-214748.3648");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(1, "Amount").storage()).text, "-9999999999999999.99");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(1, "Cash").storage()).text, "12.3457");
  // Past the declared precision, or money's range, is an overflow, never a cut or clamped value.
  EXPECT_EQ(errorOf(*c, "insert into tblLedger (ID, Amount) values (3, 12345678901234567.5)"),
            "Arithmetic overflow error converting numeric to data type numeric.");
  EXPECT_EQ(errorOf(*c, "insert into tblLedger (ID, Cash) values (3, 922337203685477.5808)"),
            "Arithmetic overflow error converting numeric to data type money.");
  EXPECT_EQ(errorOf(*c, "insert into tblLedger (ID, Petty) values (3, 214748.3648)"),
            "Arithmetic overflow error converting numeric to data type smallmoney.");
  EXPECT_EQ(c->query("select count(*) from tblLedger").at(0, 0).toInt(), 2);
}

TEST_F(EmbeddedDecimals, CopiesBetweenTablesAndCatalogsUnchanged) {
  auto other = server("srv", "B");
  other->execute("CREATE TABLE tblLedger (ID int NOT NULL, Amount numeric(18,2) NULL, Wide numeric(24,4) NULL)");
  c->execute("CREATE TABLE tblCopy (ID int NOT NULL, Amount numeric(18,2) NULL, Wide numeric(24,4) NULL)");
  amounts({"1234567890123456.78", "-0.01", "99999999999999.99"});
  c->execute("insert into tblCopy (ID, Amount, Wide) select ID, Amount, Amount from tblLedger");
  c->execute("insert into B.dbo.tblLedger select ID, Amount, Wide from tblCopy");
  auto rs = other->query("select Amount, Wide from tblLedger order by ID");
  ASSERT_EQ(rs.size(), 3u);
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "Amount").storage()).text, "1234567890123456.78");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "Wide").storage()).text, "1234567890123456.7800");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(1, "Wide").storage()).text, "-0.0100");
  // And back from the other catalog into a narrower scale: rounded as SQL Server rounds.
  c->execute("CREATE TABLE tblNarrow (ID int NOT NULL, Amount numeric(16,1) NULL)");
  c->execute("insert into tblNarrow select ID, Amount from B.dbo.tblLedger where ID <> 1");
  EXPECT_EQ(dec("select Amount from tblNarrow where ID = 2"), "0.0");
  EXPECT_EQ(dec("select Amount from tblNarrow where ID = 3"), "100000000000000.0");
  EXPECT_EQ(errorOf(*c, "insert into tblNarrow select ID, Amount from B.dbo.tblLedger where ID = 1"),
            "Arithmetic overflow error converting numeric to data type numeric.");
}

TEST_F(EmbeddedDecimals, UpdatesAddExactlyAndRefuseOverflow) {
  amounts({"1234567890123456.78", "9999999999999999.99"});
  c->execute("update tblLedger set Amount = Amount + 0.01 where ID = 1");
  EXPECT_EQ(dec("select Amount from tblLedger where ID = 1"), "1234567890123456.79");
  c->execute("update tblLedger set Amount = Amount - 1234567890123456 where ID = 1");
  EXPECT_EQ(dec("select Amount from tblLedger where ID = 1"), "0.79");
  c->execute("update tblLedger set Rate = 1.125, Amount = -Amount where ID = 1");
  c->execute("update tblLedger set Amount = Amount * Rate where ID = 1");
  EXPECT_EQ(dec("select Amount from tblLedger where ID = 1"), "-0.89");  // -0.88875 rounded
  // A sum that leaves numeric(18,2) fails and leaves the row as it was.
  EXPECT_EQ(errorOf(*c, "update tblLedger set Amount = Amount + 1 where ID = 2"),
            "Arithmetic overflow error converting numeric to data type numeric.");
  EXPECT_EQ(dec("select Amount from tblLedger where ID = 2"), "9999999999999999.99");
}

TEST_F(EmbeddedDecimals, AggregatesAreExact) {
  std::string sql = "insert into tblLedger (ID, Amount, F) values ";
  for (int i = 1; i <= 1000; ++i) sql += (i > 1 ? ", (" : "(") + std::to_string(i) + ", 0.10, 0.1)";
  c->execute(sql);
  c->execute("insert into tblLedger (ID, Amount) values (1001, 1234567890123456.78), (1002, -5.25)");
  EXPECT_EQ(dec("select sum(Amount) from tblLedger"), "1234567890123551.53");
  EXPECT_EQ(dec("select sum(Amount) from tblLedger where ID <= 1000"), "100.00");
  EXPECT_EQ(dec("select sum(distinct Amount) from tblLedger"), "1234567890123451.63");
  EXPECT_EQ(dec("select min(Amount) from tblLedger"), "-5.25");
  EXPECT_EQ(dec("select max(Amount) from tblLedger"), "1234567890123456.78");
  EXPECT_EQ(dec("select avg(Amount) from tblLedger where ID in (1, 1002)"), "-2.575000");
  EXPECT_EQ(dec("select sum(Amount) from tblLedger where ID > 5000"), "<not a decimal: >");  // NULL
  auto rs = c->query(
      "select Amount, count(*) n, sum(Amount) s from tblLedger group by Amount having sum(Amount) > 50 order by "
      "sum(Amount) desc");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "s").storage()).text, "1234567890123456.78");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(1, "s").storage()).text, "100.00");
  EXPECT_EQ(rs.at(1, "n").toInt(), 1000);
  // The float column next to it drifts; the numeric one does not.
  EXPECT_NE(c->query("select sum(F) from tblLedger").at(0, 0).toDouble(), 100.0);
}

TEST_F(EmbeddedDecimals, ComparesAndSortsAsNumbers) {
  amounts({"9.50", "10", "-1.25", "100", "1234567890123456.78", "1234567890123456.77", "NULL"});
  using V = std::vector<long long>;
  EXPECT_EQ(ids("where Amount > 9.5 order by ID"), (V{2, 4, 5, 6}));
  EXPECT_EQ(ids("where Amount = 10"), V{2});
  EXPECT_EQ(ids("where Amount = '10.0'"), V{2});
  EXPECT_EQ(ids("where Amount = 1234567890123456.78"), V{5});
  EXPECT_EQ(ids("where Amount <> 1234567890123456.78 and Amount > 1000"), V{6});
  EXPECT_EQ(ids("where Amount between 9.5 and 100 order by ID"), (V{1, 2, 4}));
  EXPECT_EQ(ids("where Amount not between -1.25 and 10 order by ID"), (V{4, 5, 6}));
  EXPECT_EQ(ids("where Amount in (10, 100.00, -1.250) order by ID"), (V{2, 3, 4}));
  EXPECT_EQ(ids("where ID < 7 and Amount not in (10, 100.00) order by ID"), (V{1, 3, 5, 6}));
  EXPECT_EQ(ids("where Amount is not null order by Amount"), (V{3, 1, 2, 4, 6, 5}));
  EXPECT_EQ(ids("where Amount is not null order by Amount desc"), (V{5, 6, 4, 2, 1, 3}));
  EXPECT_EQ(ids("where Amount is not null order by Amount * 2, ID"), (V{3, 1, 2, 4, 6, 5}));
  EXPECT_EQ(ids("where ID < 7 and ID <> 5 order by 1 + Amount desc"), (V{6, 4, 2, 1, 3}));
  // Column against column, across scales and in a join.
  c->execute("update tblLedger set Rate = 10.000 where ID in (2, 4)");
  EXPECT_EQ(ids("where Amount = Rate"), V{2});
  EXPECT_EQ(ids("where Amount > Rate order by ID"), V{4});
  auto rs = c->query(
      "select a.ID from tblLedger a inner join tblLedger b on a.Amount = b.Rate where a.ID <> b.ID order by a.ID");
  ASSERT_EQ(rs.size(), 1u);
  EXPECT_EQ(rs.at(0, 0).toInt(), 2);
  rs = c->query(
      "select case Amount when 10 then 'ten' when 9.5 then 'nine and a half' else 'other' end t, nullif(Amount, "
      "10) n from tblLedger where ID in (1, 2) order by ID");
  EXPECT_EQ(rs.at(0, "t").toString(), "nine and a half");
  EXPECT_EQ(rs.at(1, "t").toString(), "ten");
  EXPECT_TRUE(rs.at(1, "n").isNull());
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, "n").storage()).text, "9.50");
  // A union whose branches mix integers and decimals still sorts by value.
  rs = c->query("select 5 as v union select Amount from tblLedger where ID in (1, 3) union select 0.5 order by v");
  ASSERT_EQ(rs.size(), 4u);
  EXPECT_EQ(std::get<db::Decimal>(rs.at(0, 0).storage()).text, "-1.25");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(1, 0).storage()).text, "0.50");
  EXPECT_EQ(std::get<db::Decimal>(rs.at(3, 0).storage()).text, "9.50");
  // A float compares with a numeric as a float.
  c->execute("update tblLedger set F = 9.75 where ID = 1");
  EXPECT_EQ(ids("where F > Amount"), V{1});
  EXPECT_EQ(c->query("select case when sum(F) < sum(Amount) then 1 else 0 end from tblLedger").at(0, 0).toInt(), 1);
}

TEST_F(EmbeddedDecimals, ConvertsAndComputesExactly) {
  amounts({"1234567890123456.78", "-1.25", "12.50"});
  EXPECT_EQ(c->query("select convert(varchar(30), Amount) from tblLedger where ID = 1").at(0, 0).toString(),
            "1234567890123456.78");
  EXPECT_EQ(c->query("select 'Rs ' + cast(Amount as varchar(30)) from tblLedger where ID = 1").at(0, 0).toString(),
            "Rs 1234567890123456.78");
  EXPECT_EQ(c->query("select convert(varchar(40), sum(Amount)) from tblLedger").at(0, 0).toString(),
            "1234567890123468.03");
  EXPECT_EQ(c->query("select cast(Amount as bigint) from tblLedger where ID = 1").at(0, 0).toInt(), 1234567890123456);
  EXPECT_EQ(c->query("select cast(Amount as int) from tblLedger where ID = 2").at(0, 0).toInt(), -1);
  EXPECT_EQ(c->query("select cast(Amount as float) from tblLedger where ID = 3").at(0, 0).toDouble(), 12.5);
  EXPECT_EQ(dec("select cast('12.345' as numeric(18,2))"), "12.35");
  // Numbers written in the statement keep every digit.
  EXPECT_EQ(dec("select 1234567890123456.78"), "1234567890123456.78");
  EXPECT_EQ(dec("select 9223372036854775807"), "9223372036854775807");
  EXPECT_EQ(dec("select 1234567890123456.78 - 0.78"), "1234567890123456.00");
  EXPECT_EQ(dec("select cast(Amount as numeric(20,4)) from tblLedger where ID = 1"), "1234567890123456.7800");
  // Products add the scales; quotients keep at least six decimals; minus, ABS and ROUND stay exact.
  EXPECT_EQ(dec("select Amount * 1.125 from tblLedger where ID = 3"), "14.06250");
  EXPECT_EQ(dec("select Amount * 3 from tblLedger where ID = 1"), "3703703670370370.34");
  EXPECT_EQ(dec("select Amount / 3 from tblLedger where ID = 3"), "4.166667");
  EXPECT_EQ(dec("select -Amount from tblLedger where ID = 1"), "-1234567890123456.78");
  EXPECT_EQ(dec("select abs(Amount) from tblLedger where ID = 2"), "1.25");
  EXPECT_EQ(dec("select round(Amount, 1) from tblLedger where ID = 1"), "1234567890123456.80");
  EXPECT_EQ(dec("select '5' + Amount from tblLedger where ID = 3"), "17.50");
  EXPECT_EQ(errorOf(*c, "select Amount / 0 from tblLedger"), "Divide by zero error encountered.");
  EXPECT_EQ(errorOf(*c, "select Amount / (Amount - Amount) from tblLedger"), "Divide by zero error encountered.");
  EXPECT_EQ(errorOf(*c, "select 1.5E0 / (Amount - Amount) from tblLedger"), "Divide by zero error encountered.");
  EXPECT_EQ(errorOf(*c, "select 'abc' + Amount from tblLedger"), "Error converting data type varchar to numeric.");
  // Variables hold the exact value too.
  EXPECT_EQ(dec("declare @t numeric(18,2) select @t = sum(Amount) from tblLedger select @t + 0.01"),
            "1234567890123468.04");
}

}  // namespace
}  // namespace erpsync::test
