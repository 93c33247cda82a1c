// Expressions answered or refused as SQL Server answers or refuses them: division by zero when an
// operand is NULL, conditions nested deeply, and predicates where a value belongs.
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

const char* const kTooDeep =
    "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up into smaller queries.";

class EmbeddedExpressions : public EmbeddedFixture {
 protected:
  std::unique_ptr<db::Connection> c;
  void SetUp() override {
    c = server("srv");
    c->execute(
        "CREATE TABLE tblRate (ID int NOT NULL, Qty int NULL, Units int NULL, Rate float NULL, Amount "
        "numeric(18,2) NULL, Note varchar(20) NULL, Share int NULL)");
    c->execute("insert into tblRate values (1, 10, 4, 2.5, 12.50, 'a', 0)");
    c->execute("insert into tblRate values (2, NULL, 0, NULL, NULL, 'b', 0)");
    c->execute("insert into tblRate values (3, 7, 0, 1.5, 3.00, 'c', 0)");
    c->execute("insert into tblRate values (4, -7, 2, 0, 0, NULL, 0)");
  }
};

TEST_F(EmbeddedExpressions, NullDividedByZeroIsNullAnyOtherDivisionByZeroFails) {
  const std::string zero = "Divide by zero error encountered.";
  for (const char* sql : {"select NULL / 0", "select NULL % 0", "select CAST(NULL AS int) / 0",
                          "select CAST(NULL AS float) / 0.0", "select NULL / (1 - 1)", "select 0 / NULL"}) {
    auto rs = c->query(sql);
    ASSERT_EQ(rs.size(), 1u) << sql;
    EXPECT_TRUE(rs.at(0, 0).isNull()) << sql;
  }
  // A value over zero is SQL Server's error, whatever the types, and the statement changes nothing.
  for (const char* sql :
       {"select 5 / 0", "select 5 % 0", "select 1.5E0 / 0", "select 2.5 / 0.0", "select Qty / Units from tblRate",
        "select Qty % Units from tblRate", "select Rate / Units from tblRate", "select Amount / Units from tblRate",
        "select ID from tblRate where 1 / (Units - Units) = 1"})
    EXPECT_EQ(errorOf(*c, sql), zero) << sql;
  EXPECT_EQ(errorOf(*c, "update tblRate set Share = Qty / Units"), zero);
  EXPECT_EQ(c->query("select ID from tblRate where Share = 0").size(), 4u);

  // A NULL column over a zero column, in the select list, in a condition and in an update of many rows.
  auto rs = c->query(
      "select Qty / Units as q, Qty % Units as m, Rate / Units as r, Amount / Units as a from tblRate "
      "where ID = 2");
  ASSERT_EQ(rs.size(), 1u);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(rs.at(0, i).isNull()) << i;
  c->execute("update tblRate set Units = 1 where ID = 3");
  EXPECT_EQ(c->query("select ID from tblRate where Qty / Units > 0 or Rate / Units > 100").size(), 2u);
  EXPECT_EQ(c->execute("update tblRate set Share = Qty / Units"), 4);
  rs = c->query("select Share from tblRate order by ID");
  EXPECT_EQ(rs.at(0, 0).toInt(), 2);
  EXPECT_TRUE(rs.at(1, 0).isNull());
  EXPECT_EQ(rs.at(2, 0).toInt(), 7);
  EXPECT_EQ(rs.at(3, 0).toInt(), -3);

  // Integer division truncates toward zero, a remainder takes the dividend's sign, text reads as a number.
  rs = c->query("select 7 / 2, -7 / 2, 7 % 3, -7 % 3, 7 / 2.0, Qty / Units, '9' / 2 from tblRate where ID = 1");
  EXPECT_EQ(rs.at(0, 0).toInt(), 3);
  EXPECT_EQ(rs.at(0, 1).toInt(), -3);
  EXPECT_EQ(rs.at(0, 2).toInt(), 1);
  EXPECT_EQ(rs.at(0, 3).toInt(), -1);
  EXPECT_DOUBLE_EQ(rs.at(0, 4).toDouble(), 3.5);
  EXPECT_EQ(rs.at(0, 5).toInt(), 2);
  EXPECT_EQ(rs.at(0, 6).toInt(), 4);
}

// A condition of many terms, as a generated filter or the head office's selection of many codes.
TEST_F(EmbeddedExpressions, LongAndDeeplyNestedConditionsRun) {
  std::string chain = "ID = 0";
  for (int i = 1; i < 400; ++i)
    chain += (i % 2 ? " OR ID = " : " or (ID = ") + std::to_string(i % 7) + (i % 2 ? "" : ")");
  EXPECT_EQ(c->query("select ID from tblRate where " + chain).size(), 4u);
  std::string both = "Qty IS NULL";
  for (int i = 0; i < 300; ++i) both += i % 3 ? " AND ID > -" + std::to_string(i) : " OR Note = 'c'";
  EXPECT_EQ(c->query("select ID from tblRate where " + both).size(), 2u);

  // Parentheses as written, nested as deep as the corpus of generated queries nests them.
  std::string nested = "ID = 3";
  for (int i = 0; i < 10; ++i)
    nested = i % 2 ? "((((ID = 1 OR (" + nested + ")))) OR Qty < -100)" : "(ID > 0 AND ((" + nested + ")))";
  EXPECT_EQ(c->query("select ID from tblRate where " + nested + " order by ID").size(), 2u);

  // A long sum in the select list, a long chain of updates to one value.
  std::string sum = "Qty";
  for (int i = 0; i < 300; ++i) sum += " + 1";
  EXPECT_EQ(c->query("select " + sum + " from tblRate where ID = 1").at(0, 0).toInt(), 310);
  std::string both2 = "Units";
  for (int i = 0; i < 300; ++i) both2 += i % 2 ? " - 1" : " * 1";
  EXPECT_EQ(c->execute("update tblRate set Share = " + both2 + " where ID = 1"), 1);
  EXPECT_EQ(c->query("select Share from tblRate where ID = 1").at(0, 0).toInt(), 4 - 150);
}

TEST_F(EmbeddedExpressions, NestingBeyondTheServersReachIsRefusedAsSqlServerRefusesIt) {
  // Each level needs its parentheses: OR inside AND inside OR ...
  auto alternating = [](int levels) {
    std::string s = "ID = 1";
    for (int i = 0; i < levels; ++i) s = "ID > " + std::to_string(i) + (i % 2 ? " OR (" : " AND (") + s + ")";
    return s;
  };
  EXPECT_EQ(c->query("select ID from tblRate where " + alternating(20)).size(), 0u);
  for (int levels : {40, 120}) {
    std::string err = errorOf(*c, "select ID from tblRate where " + alternating(levels));
    EXPECT_EQ(err, kTooDeep) << levels;
  }
  std::string sub = "select max(ID) from tblRate";
  for (int i = 0; i < 40; ++i) sub = "select (" + sub + ") + 0";
  EXPECT_EQ(errorOf(*c, sub), kTooDeep);
}

TEST_F(EmbeddedExpressions, PredicatesWhereAValueBelongsAreRefused) {
  struct Case {
    const char* sql;
    const char* near;
  } refused[] = {
      {"select Qty > Units from tblRate", ">"},
      {"select ID, Qty != Units as x from tblRate", "!="},
      {"select ID + 1 = 2 and Units = 0 from tblRate", "="},
      {"select Qty = 1 and Units = 0 from tblRate", "and"},  // Qty = is a column alias
      {"select Qty and Units from tblRate", "and"},
      {"select Qty is null from tblRate", "is"},
      {"select Qty not between 1 and 2 from tblRate", "not"},
      {"select Qty in (1, 2) from tblRate", "in"},
      {"select Note like 'a%' from tblRate", "like"},
      {"select not Qty from tblRate", "not"},
      {"select exists (select 1 from tblRate)", "exists"},
      {"select 1 + (Qty < Units) from tblRate", "<"},
      {"select (Qty <= 1) + 1 > 0 from tblRate", "<="},
      {"select abs(Qty >= 1) from tblRate", ">="},
      {"select case when Qty > 1 then Qty = 1 else 0 end from tblRate", "="},
      {"select ID from tblRate order by Qty > Units", ">"},
      {"select count(*) from tblRate group by Qty > 1", ">"},
      {"update tblRate set Share = Qty > Units", ">"},
      {"insert into tblRate (ID, Share) values (9, 1 < 2)", "<"},
      {"declare @v int; set @v = (select max(ID) from tblRate) > 1", ">"},
  };
  for (auto& k : refused)
    EXPECT_EQ(errorOf(*c, k.sql), std::string("Incorrect syntax near '") + k.near + "'.") << k.sql;
  EXPECT_EQ(c->query("select count(*) from tblRate where ID = 9").at(0, 0).toInt(), 0);

  // Where T-SQL takes a condition, comparisons stay.
  EXPECT_EQ(c->query("select ID from tblRate where Qty > Units and not Note like 'b%' or ID in (2)").size(), 3u);
  EXPECT_EQ(c->query("select a.ID from tblRate a join tblRate b on a.ID = b.ID and b.Qty < 0").size(), 1u);
  EXPECT_EQ(c->query("select Note from tblRate group by Note having count(*) > 0 and Note is not null").size(), 3u);
  auto rs = c->query(
      "select case when Qty > Units then 1 when Qty is null then 2 else 0 end as k, case Units when 0 then 'z' end as "
      "u, (select count(*) from tblRate x where x.ID < tblRate.ID) as n from tblRate where exists (select 1 from "
      "tblRate) order by ID");
  ASSERT_EQ(rs.size(), 4u);
  EXPECT_EQ(rs.at(0, "k").toInt(), 1);
  EXPECT_EQ(rs.at(1, "k").toInt(), 2);
  EXPECT_EQ(rs.at(3, "k").toInt(), 0);
  EXPECT_EQ(rs.at(1, "u").toString(), "z");
  EXPECT_EQ(rs.at(3, "n").toInt(), 3);
  EXPECT_EQ(c->execute("update tblRate set Share = 5 where Qty > Units or Qty is null"), 3);
  EXPECT_EQ(c->execute("delete from tblRate where not (Share = 5)"), 1);
  c->execute(
      "declare @n int; set @n = 0; if (select count(*) from tblRate) > 2 and 1 = 1 set @n = 1; "
      "update tblRate set Share = @n where ID = 1");
  EXPECT_EQ(c->query("select Share from tblRate where ID = 1").at(0, 0).toInt(), 1);
}

}  // namespace
}  // namespace erpsync::test
