// The copy builders' literals: a row written out with them and inserted elsewhere must arrive equal,
// whatever the column type.
#include "sync/field_literal.h"

#include <gtest/gtest.h>

#include "../embedded/embedded_test_util.h"
#include "db/recordset.h"

namespace erpsync {
namespace {

using db::Value;

TEST(FieldLiteral, TheSpecialCasesOfEachType) {
  EXPECT_EQ(sync::FieldLiteral(Value("O'Brien"), db::adVarChar), "'O''Brien'");
  EXPECT_EQ(sync::FieldLiteral(Value(), db::adVarChar), "' '");
  EXPECT_EQ(sync::FieldLiteral(Value("Çay 'özel'"), db::adVarWChar), "N'Çay ''özel'''");
  EXPECT_EQ(sync::FieldLiteral(Value(), db::adVarWChar), "' '");
  EXPECT_EQ(sync::FieldLiteral(Value(db::Decimal{"12.50"}), db::adNumeric), "12.5");
  EXPECT_EQ(sync::FieldLiteral(Value(db::Decimal{"1234567890123456.78"}), db::adNumeric), "1234567890123456.78");
  EXPECT_EQ(sync::FieldLiteral(Value(std::int64_t{9007199254740993}), db::adBigInt), "9007199254740993");
  EXPECT_EQ(sync::FieldLiteral(Value(0.1), db::adDouble), "0.1");
  EXPECT_EQ(sync::FieldLiteral(Value(), db::adNumeric), "0");
  EXPECT_EQ(sync::FieldLiteral(Value(true), db::adBoolean), "1");
  EXPECT_EQ(sync::FieldLiteral(Value("True"), db::adBoolean), "1");
  EXPECT_EQ(sync::FieldLiteral(Value("False"), db::adBoolean), "0");
  EXPECT_EQ(sync::FieldLiteral(Value(db::DateTime{2026, 12, 7, 23, 59, 58, 997}), db::adDBTimeStamp),
            "'2026-12-07T23:59:58.997'");
  EXPECT_EQ(sync::FieldLiteral(Value(db::DateTime{2026, 12, 7}), db::adDBTimeStamp), "'2026-12-07T00:00:00.000'");
  EXPECT_EQ(sync::FieldLiteral(Value(), db::adDBTimeStamp), "NULL");
  EXPECT_EQ(sync::FieldLiteral(Value("6F9619FF-8B86-D011-B42D-00C04FC964FF"), 72), "'6F9619FF-8B86-D011-B42D-00C04FC964FF'");
  EXPECT_EQ(sync::FieldLiteral(Value(db::Bytes{{0x01, 0xAB}}), db::adVarBinary), "0x01AB");
}

TEST(FieldLiteral, HostileTextStaysOneLiteral) {
  for (std::string s : {"'; DROP TABLE tblSales; --", "a''b", "'", "x\n'y", "]\"'"}) {
    const std::string lit = sync::FieldLiteral(Value(s), db::adVarChar);
    EXPECT_EQ(lit.front(), '\'');
    EXPECT_EQ(lit.back(), '\'');
    std::string inner = lit.substr(1, lit.size() - 2);
    // Every quote inside comes in a pair, so the literal cannot end early.
    for (std::size_t i = 0; i < inner.size(); ++i) {
      if (inner[i] != '\'') continue;
      ASSERT_LT(i + 1, inner.size());
      EXPECT_EQ(inner[i + 1], '\'');
      ++i;
    }
  }
}

class FieldLiteralCopy : public test::EmbeddedFixture {};

TEST_F(FieldLiteralCopy, RowWrittenOutArrivesEqualColumnByColumn) {
  auto c = server("srv");
  const std::string columns =
      "(Name varchar(40) NULL, UName nvarchar(40) NULL, Active bit NULL, Amount numeric(18,2) NULL, "
      "Big bigint NULL, Rate float NULL, At datetime NULL, Qty int NULL)";
  c->execute("CREATE TABLE src " + columns);
  c->execute("CREATE TABLE dst " + columns);
  c->execute(
      "INSERT INTO src VALUES ('it''s', N'Çay ''özel''', 1, 1234567.89, 9007199254740993, 0.1, "
      "'2026-12-07 23:59:58.997', 42)");
  c->execute("INSERT INTO src VALUES ('plain', N'x', 0, 0.5, -1, 2.5, '2026-01-31', 0)");
  c->execute("INSERT INTO src (Name) VALUES ('nulls')");

  auto rs = c->query("SELECT * FROM src");
  for (std::size_t r = 0; r < rs.size(); ++r) {
    std::string values;
    for (std::size_t f = 0; f < rs.fields.size(); ++f)
      values += (f ? "," : "") + sync::FieldLiteral(rs.at(r, f), rs.fields[f].type);
    c->execute("INSERT INTO dst VALUES (" + values + ")");
  }

  // Equal where the source has values; NULL dates stay NULL, NULL texts become a blank, NULL numbers 0.
  auto same = c->query(
      "SELECT count(*) AS n FROM src s JOIN dst d ON d.Name = s.Name AND d.UName = s.UName AND d.Active = s.Active "
      "AND d.Amount = s.Amount AND d.Big = s.Big AND d.Rate = s.Rate AND d.At = s.At AND d.Qty = s.Qty");
  EXPECT_EQ(same.at(0, 0).toInt(), 2);
  auto nulls = c->query("SELECT UName, Active, Amount, At FROM dst WHERE Name = 'nulls'");
  ASSERT_EQ(nulls.size(), 1u);
  EXPECT_EQ(nulls.at(0, 0).toString(), " ");
  EXPECT_EQ(nulls.at(0, 1).toInt(), 0);
  EXPECT_EQ(nulls.at(0, 2).toDouble(), 0);
  EXPECT_TRUE(nulls.at(0, 3).isNull());
}

}  // namespace
}  // namespace erpsync
