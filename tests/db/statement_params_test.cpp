// A statement's values beside its text: written into the text for a server that takes no parameters
// (two calls of one statement then differ only inside quotes), or passed to sp_executesql.
#include "db/statement_params.h"

#include <gtest/gtest.h>

namespace erpsync::db {
namespace {

// The text with every quoted run emptied: what two calls of one statement must share.
std::string withoutQuoted(const std::string& s) {
  std::string out;
  bool in = false;
  for (char c : s) {
    if (c == '\'') {
      in = !in;
      out += c;
    } else if (!in) {
      out += c;
    }
  }
  return out;
}

TEST(StatementParams, InlineWritesEachValueWhereItsNameStands) {
  const std::vector<Param> p{{"@v1", "varchar(50)", "'O''Brien'"},
                             {"@v2", "numeric(18,2)", "1359.9"},
                             {"@v3", "datetime", "NULL"},
                             {"@v4", "nvarchar(20)", "N'Zoë'"},
                             {"@v10", "int", "-7"}};
  EXPECT_EQ(inlineParams("INSERT INTO t (a,b,c,d,e) VALUES (@v1,@v2,@v3,@v4,@v10)", p),
            "INSERT INTO t (a,b,c,d,e) VALUES ('O''Brien','1359.9',NULL,N'Zoë','-7')");
  // Names inside quotes, brackets and comments, and names of no parameter (a variable), stay.
  EXPECT_EQ(inlineParams("SELECT '@v1', [@v2], @lock -- @v1\r\nFROM t WHERE x=@v1 /* @v2 */", p),
            "SELECT '@v1', [@v2], @lock -- @v1\r\nFROM t WHERE x='O''Brien' /* @v2 */");
  // @v1 is not the start of @v10, nor of @v1x.
  EXPECT_EQ(inlineParams("SELECT @v10, @v1x", p), "SELECT '-7', @v1x");
}

TEST(StatementParams, TwoCallsOfOneStatementDifferOnlyInsideQuotes) {
  const std::string sql = "SELECT @v1 + 1, @v2 WHERE k = @v3";
  const std::string a = inlineParams(sql, {{"@v1", "int", "5"}, {"@v2", "float", "2.5"}, {"@v3", "varchar(9)", "'S-1'"}});
  const std::string b =
      inlineParams(sql, {{"@v1", "int", "123456789012"}, {"@v2", "float", "1e+20"}, {"@v3", "varchar(9)", "'S-22'"}});
  EXPECT_NE(a, b);
  EXPECT_EQ(withoutQuoted(a), withoutQuoted(b));
  EXPECT_EQ(a, "SELECT '5' + 1, '2.5' WHERE k = 'S-1'");
}

TEST(StatementParams, NamesOutOfOrderAreFoundByName) {
  const std::vector<Param> p{{"@me", "varchar(50)", "'Branch One'"}, {"@v2", "int", "3"}, {"@v1", "int", "4"}};
  EXPECT_EQ(inlineParams("SELECT @v1, @v2, @me", p), "SELECT '4', '3', 'Branch One'");
}

TEST(StatementParams, ExecuteSqlPassesTheTextOnceAndTheValuesBesideIt) {
  const std::vector<Param> p{{"@v1", "varchar(50)", "'O''Brien'"}, {"@v2", "numeric(18,2)", "12.5"}};
  EXPECT_EQ(executeSqlCall("SELECT Party FROM t WHERE Party = @v1 AND n = 'x' AND a = @v2", p),
            "EXEC sp_executesql N'SELECT Party FROM t WHERE Party = @v1 AND n = ''x'' AND a = @v2', "
            "N'@v1 varchar(50), @v2 numeric(18,2)', @v1 = 'O''Brien', @v2 = 12.5");
  EXPECT_EQ(executeSqlCall("SELECT 1", {}), "EXEC sp_executesql N'SELECT 1'");
}

}  // namespace
}  // namespace erpsync::db
