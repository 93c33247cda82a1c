// Statement shapes: two texts that differ only in their values are one shape; a change of a name, a
// column or a clause is another.
#include "statement_shape.h"

#include <gtest/gtest.h>

namespace erpsync::test {
namespace {

TEST(StatementShape, ValuesWhitespaceAndCaseDoNotMakeAnotherShape) {
  const std::string a = statementShape("update tblSales set  LockMode=1 where iNVdate <='06/Dec/2026' ");
  EXPECT_EQ(a, "update tblsales set lockmode = ? where invdate < = ?");
  EXPECT_EQ(statementShape("UPDATE tblSales SET LockMode = 0\r\n WHERE InvDate <= 'O''Brien -- not a comment'"), a);
  // N'' texts, negative and decimal numbers, exponents and NULL are values too.
  EXPECT_EQ(statementShape("INSERT INTO t (a, b, c, d) VALUES (N'x', -1.50, 2E+3, NULL)"),
            statementShape("insert into t (a,b,c,d) values ('y',7,0.5,'z')"));
  EXPECT_EQ(statementShape("SELECT TOP 1 x FROM t WHERE y=-5"), "select top ? x from t where y = ?");
  // How many voucher types are ticked does not change the statement.
  EXPECT_EQ(statementShape("select * from t where VchTypeID in (201, 204, 207)"),
            statementShape("select * from t where vchtypeid IN (5)"));
  // Comments are not what the server runs.
  EXPECT_EQ(statementShape("select a -- the first\nfrom t /* all */"), "select a from t");
}

TEST(StatementShape, NamesColumnsAndOperatorsStay) {
  // Digits inside names are part of the name.
  EXPECT_NE(statementShape("select AlterUnit2 from tblSales_1"), statementShape("select AlterUnit from tblSales"));
  EXPECT_EQ(statementShape("select AlterUnit2 from tblSales_1"), "select alterunit2 from tblsales_1");
  // Bracketed names and four-part names keep their text (in lower case).
  EXPECT_EQ(statementShape("SELECT * FROM [embedded:servers/central].HO01.dbo.tblSales"),
            "select * from [embedded:servers/central] . ho01 . dbo . tblsales");
  // A subtraction is not a negative value; a column more is another statement.
  EXPECT_NE(statementShape("select a-1 from t"), statementShape("select a 1 from t"));
  EXPECT_EQ(statementShape("select a-1 from t"), "select a - ? from t");
  EXPECT_NE(statementShape("insert into t (a, b) values (1, 2)"), statementShape("insert into t (a) values (1)"));
  // An IN list of columns or a subquery is kept.
  EXPECT_EQ(statementShape("where x in (a, b)"), "where x in ( a , b )");
  EXPECT_EQ(statementShape("where x in (1, b)"), "where x in ( ? , b )");
}

}  // namespace
}  // namespace erpsync::test
