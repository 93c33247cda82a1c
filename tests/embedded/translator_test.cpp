// The translator on its own: it needs no database, binds every literal as a parameter (so one
// translation serves every statement of the same shape) and refuses what it does not know.
#include "db/embedded/translator.h"

#include <gtest/gtest.h>

#include "db/db_error.h"

namespace erpsync::db::embedded {
namespace {

class OneTable : public SchemaProvider {
 public:
  OneTable() {
    t_.name = "tblSales";
    auto col = [](const char* name, BaseType base, int length, int precision, bool nullable) {
      ColumnInfo c;
      c.name = name;
      c.type.base = base;
      c.type.length = length;
      c.type.precision = precision;
      c.nullable = nullable;
      return c;
    };
    t_.columns = {col("InvID", BaseType::Numeric, 0, 18, false), col("InvDate", BaseType::DateTime, 0, 0, true),
                  col("Party", BaseType::VarChar, 50, 0, true)};
  }
  Found findTable(const CatalogRef& ref, std::string_view name) override {
    Found f;
    if (ref.server.empty() && ref.catalog.empty() && (name == "tblSales" || name == "TBLSALES")) {
      f.table = &t_;
      f.alias = "main";
    }
    return f;
  }
  std::string currentCatalog() const override { return "DB"; }

 private:
  TableInfo t_;
};

std::string refusal(const std::string& sql) {
  OneTable s;
  try {
    translateBatch(sql, s);
  } catch (const DbError& e) {
    return e.description();
  }
  return {};
}

TEST(Translator, LiteralsBecomeTypedParameters) {
  OneTable s;
  auto out = translateBatch("select top 1 Party from TBLSALES where InvDate = '06/Dec/2026' and Party = 'x'", s);
  ASSERT_EQ(out.size(), 1u);
  const Translated& t = out[0];
  EXPECT_EQ(t.sql.find("06/Dec"), std::string::npos);
  ASSERT_EQ(t.params.size(), 3u);
  int dates = 0;
  for (auto& p : t.params)
    if (p.coerce && p.target.isDate()) ++dates;  // the date text is read as a date when bound
  EXPECT_EQ(dates, 1);
  EXPECT_NE(t.sql.find("COLLATE TSQL"), std::string::npos);
  EXPECT_NE(t.sql.find("LIMIT"), std::string::npos);
  ASSERT_EQ(t.columnTypes.size(), 1u);
  EXPECT_EQ(t.columnTypes[0].adoType(), 200);
}

TEST(Translator, RefusesWhatItDoesNotSupport) {
  EXPECT_EQ(refusal("WITH x AS (select 1 a) select * from x"), "Incorrect syntax near 'WITH'.");
  EXPECT_EQ(refusal("select * into tblNew from tblSales"), "Incorrect syntax near 'INTO'.");
  EXPECT_EQ(refusal("select top 10 percent * from tblSales"), "Incorrect syntax near 'PERCENT'.");
  EXPECT_EQ(refusal("select sum(InvID) over (order by InvID) from tblSales"), "Incorrect syntax near 'OVER'.");
  EXPECT_EQ(refusal("select row_number() over (order by InvID rows unbounded preceding) from tblSales"),
            "Incorrect syntax near 'rows'.");
  EXPECT_EQ(refusal("select row_number() from tblSales"), "The function 'row_number' must have an OVER clause.");
  EXPECT_EQ(refusal("select row_number() over (partition by Party) from tblSales"),
            "The function 'row_number' must have an OVER clause with ORDER BY.");
  EXPECT_EQ(refusal("select InvID from tblSales where row_number() over (order by InvID) = 1"),
            "Windowed functions can only appear in the SELECT or ORDER BY clauses.");
  EXPECT_EQ(refusal("select (select max(InvID) from tblSales where row_number() over (order by InvID) = 1)"),
            "Windowed functions can only appear in the SELECT or ORDER BY clauses.");
  EXPECT_EQ(refusal("update tblSales set InvID = row_number() over (order by InvID)"),
            "Windowed functions can only appear in the SELECT or ORDER BY clauses.");
  EXPECT_EQ(refusal("select row_number() over (order by 1) from tblSales"),
            "Windowed functions, aggregates and NEXT VALUE FOR functions do not support integer indices as ORDER BY "
            "clause expressions.");
  EXPECT_EQ(refusal("select * from tblSales where Party like 'a' collate"), "Incorrect syntax near 'collate'.");
  EXPECT_EQ(refusal("select Nothing from tblSales"), "Invalid column name 'Nothing'.");
  EXPECT_EQ(refusal("select * from tblNothing"), "Invalid object name 'tblNothing'.");
  EXPECT_EQ(refusal("select @x"), "Must declare the scalar variable \"@x\".");
  EXPECT_EQ(refusal("select InvID from tblSales a, tblSales b"), "Ambiguous column name 'InvID'.");
}

}  // namespace
}  // namespace erpsync::db::embedded
