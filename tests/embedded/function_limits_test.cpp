// The T-SQL functions at the edges of their ranges: results too long for their type are cut as SQL
// Server cuts them, numbers and dates out of range fail with SQL Server's errors, and no failure
// inside a function escapes as anything but a DbError.
#include <sqlite3.h>

#include <climits>
#include <new>
#include <stdexcept>

#include "db/embedded/sqlite_functions.h"
#include "embedded_test_util.h"

namespace erpsync::test {
namespace {

using db::DbError;

class FunctionLimits : public EmbeddedFixture {
 protected:
  std::unique_ptr<db::Connection> c;
  void SetUp() override { c = server("srv"); }

  std::string scalar(const std::string& expr) { return c->query("SELECT " + expr).at(0, 0).toString(); }
  long long number(const std::string& expr) { return c->query("SELECT " + expr).at(0, 0).toInt(); }
  bool isNull(const std::string& expr) { return c->query("SELECT " + expr).at(0, 0).isNull(); }

  // The error a query raises, with its number and state.
  DbError failure(const std::string& sql) {
    try {
      c->query(sql);
    } catch (const DbError& e) {
      return e;
    }
    ADD_FAILURE() << "no error from: " << sql;
    return DbError("", "", 0);
  }
};

constexpr const char* kDateOverflow = "Adding a value to a 'datetime' column caused an overflow.";
constexpr const char* kIntOverflow = "Arithmetic overflow error converting expression to data type int.";

TEST_F(FunctionLimits, ReplicateCutsAtTheTypesLength) {
  // A count far beyond memory: the result stops at 8000 bytes instead of exhausting memory.
  EXPECT_EQ(number("LEN(REPLICATE('abcd', 4611686018427387904))"), 8000);
  EXPECT_EQ(scalar("RIGHT(REPLICATE('abcd', 4611686018427387904), 6)"), "cdabcd");
  // Cut inside the last copy, not before it.
  EXPECT_EQ(number("LEN(REPLICATE('abc', 3000))"), 8000);
  EXPECT_EQ(scalar("RIGHT(REPLICATE('abc', 3000), 5)"), "abcab");
  EXPECT_EQ(number("LEN(REPLICATE(N'ab', 5000))"), 4000);
  EXPECT_EQ(number("LEN(REPLICATE('ab', 10))"), 20);
  EXPECT_EQ(scalar("REPLICATE('ab', 0)"), "");
  EXPECT_TRUE(isNull("REPLICATE('ab', -1)"));
  EXPECT_TRUE(isNull("REPLICATE(NULL, 3)"));
  EXPECT_EQ(number("DATALENGTH(SPACE(9000))"), 8000);
  EXPECT_TRUE(isNull("SPACE(-1)"));
  // A max type grows past 8000, up to what the server holds.
  EXPECT_EQ(number("LEN(REPLICATE(CAST('ab' AS varchar(max)), 6000))"), 12000);
  DbError e = failure("SELECT REPLICATE(CAST('ab' AS varchar(max)), 4611686018427387904)");
  EXPECT_NE(e.description().find("Attempting to grow LOB beyond maximum allowed size of"), std::string::npos)
      << e.description();
  EXPECT_EQ(e.nativeError(), 7119);
}

TEST_F(FunctionLimits, ReplaceCutsAtTheTypesLength) {
  EXPECT_EQ(number("LEN(REPLACE(REPLICATE('a', 8000), 'a', 'bb'))"), 8000);
  EXPECT_EQ(number("LEN(REPLACE(REPLICATE(N'a', 4000), 'a', 'bbb'))"), 4000);
  EXPECT_EQ(number("LEN(REPLACE(REPLICATE(CAST('a' AS varchar(max)), 9000), 'a', 'bb'))"), 18000);
  EXPECT_EQ(scalar("REPLACE('Tally tally', 'LL', 'l')"), "Taly taly");
  c->execute("CREATE TABLE tblNote (Note varchar(20) NULL)");
  c->execute("INSERT INTO tblNote VALUES ('abcabc')");
  EXPECT_EQ(c->query("SELECT REPLACE(Note, 'b', 'xx') FROM tblNote").at(0, 0).toString(), "axxcaxxc");
}

TEST_F(FunctionLimits, DateAddOutOfRangeFailsAsSqlServer) {
  // The number is an int: a bigger one fails before any date arithmetic.
  DbError e = failure("SELECT DATEADD(day, 9223372036854775, getdate())");
  EXPECT_EQ(e.description(), kIntOverflow);
  EXPECT_EQ(e.nativeError(), 8115);
  EXPECT_EQ(failure("SELECT DATEADD(second, 2147483648, '2000-01-01')").description(), kIntOverflow);
  EXPECT_EQ(failure("SELECT DATEADD(day, 3e10, '2000-01-01')").description(), kIntOverflow);
  // An int that carries the date past the datetime range.
  e = failure("SELECT DATEADD(day, 2147483647, getdate())");
  EXPECT_EQ(e.description(), kDateOverflow);
  EXPECT_EQ(e.nativeError(), 517);
  EXPECT_EQ(failure("SELECT DATEADD(week, -2147483647, '2000-01-01')").description(), kDateOverflow);
  EXPECT_EQ(failure("SELECT DATEADD(year, -300, '2000-01-01')").description(), kDateOverflow);
  EXPECT_EQ(failure("SELECT DATEADD(month, -23999, '2000-01-15')").description(), kDateOverflow);
  EXPECT_EQ(failure("SELECT DATEADD(year, 2147483647, '2000-01-01')").description(), kDateOverflow);
  EXPECT_EQ(failure("SELECT DATEADD(day, 1, '9999-12-31')").description(), kDateOverflow);
  EXPECT_EQ(failure("SELECT DATEADD(ms, -1, '1753-01-01')").description(), kDateOverflow);
  // The edges themselves, and a fraction dropped.
  EXPECT_EQ(scalar("DATEADD(year, 7999, '2000-02-29')"), "9999-02-28 00:00:00.000");
  EXPECT_EQ(scalar("DATEADD(day, -1, '1753-01-02')"), "1753-01-01 00:00:00.000");
  EXPECT_EQ(scalar("DATEADD(ms, 2147483647, '2000-01-01')"), "2000-01-25 20:31:23.647");
  EXPECT_EQ(scalar("DATEADD(day, 1.9, '2000-01-01')"), "2000-01-02 00:00:00.000");
  EXPECT_EQ(scalar("DATEADD(month, -1, '2000-03-31')"), "2000-02-29 00:00:00.000");
}

TEST_F(FunctionLimits, NumbersFarOutsideTheDateRangeAreNoDate) {
  // Found by the fuzzer: these once turned infinity or a huge day count into a date (undefined
  // behaviour). They fail with an error now, whatever its wording.
  for (const char* sql : {"SELECT DATEADD(day, 1, 888888888888888888883888)", "SELECT CONVERT(datetime, 1e300)",
                          "SELECT CONVERT(datetime, -1e300)"}) {
    try {
      auto rs = c->query(sql);
      ADD_FAILURE() << "no error from: " << sql << " (got " << rs.at(0, 0).toString() << ")";
    } catch (const DbError& e) {
      EXPECT_FALSE(e.description().empty()) << sql;
    }
  }
  EXPECT_EQ(scalar("CONVERT(datetime, 2958463)"), "9999-12-31 00:00:00.000");
}

TEST_F(FunctionLimits, DateArithmeticCountsDaysWithTheirFraction) {
  const std::string d = "CAST('2000-01-01' AS datetime)";
  EXPECT_EQ(scalar(d + " + 1.5"), "2000-01-02 12:00:00.000");
  EXPECT_EQ(scalar("1.5 + " + d), "2000-01-02 12:00:00.000");
  EXPECT_EQ(scalar(d + " - 0.25"), "1999-12-31 18:00:00.000");
  EXPECT_EQ(scalar(d + " + 2"), "2000-01-03 00:00:00.000");
  // Rounded to datetime's ticks of 1/300 second.
  EXPECT_EQ(scalar(d + " + 0.00000001"), "2000-01-01 00:00:00.000");
  // Exact decimals: a fraction of a day here, dropped by DATEADD.
  EXPECT_EQ(scalar(d + " + CAST(2.5 AS numeric(18,2))"), "2000-01-03 12:00:00.000");
  EXPECT_EQ(scalar("DATEADD(day, CAST(2.5 AS numeric(18,2)), " + d + ")"), "2000-01-03 00:00:00.000");
  EXPECT_EQ(failure("SELECT " + d + " + 3000000").description(),
            "Arithmetic overflow error converting expression to data type datetime.");
  EXPECT_EQ(failure("SELECT CAST('9999-12-31' AS datetime) + 1").description(), kDateOverflow);
}

TEST_F(FunctionLimits, IntegerRoundingIsExactAndOverflowFails) {
  const std::string big = "CAST('9223372036854775807' AS bigint)";
  DbError e = failure("SELECT ROUND(" + big + ", -1)");
  EXPECT_EQ(e.description(), "Arithmetic overflow error converting expression to data type bigint.");
  EXPECT_EQ(e.nativeError(), 8115);
  EXPECT_EQ(failure("SELECT ROUND(-" + big + ", -1)").description(),
            "Arithmetic overflow error converting expression to data type bigint.");
  // Large integers round in integer arithmetic, not through a double.
  EXPECT_EQ(scalar("ROUND(CAST('9223372036854775707' AS bigint), -2)"), "9223372036854775700");
  EXPECT_EQ(scalar("ROUND(" + big + ", -2, 1)"), "9223372036854775800");
  EXPECT_EQ(number("ROUND(125, -1)"), 130);
  EXPECT_EQ(number("ROUND(-125, -1)"), -130);
  EXPECT_EQ(number("ROUND(-125, -1, 1)"), -120);
  EXPECT_EQ(number("ROUND(125, -20)"), 0);
  EXPECT_EQ(number("ROUND(125, 2)"), 125);
  // A number meeting a text adds as numbers; past the bigint range it fails.
  EXPECT_EQ(failure("SELECT " + big + " + '1'").description(),
            "Arithmetic overflow error converting expression to data type bigint.");
  EXPECT_EQ(number("CAST('41' AS bigint) + '1'"), 42);
}

TEST_F(FunctionLimits, IdentityStopsAtItsTypesRange) {
  c->execute("CREATE TABLE tblTiny (ID tinyint IDENTITY(254,1) NOT NULL, Note varchar(10) NULL)");
  c->execute("INSERT INTO tblTiny (Note) VALUES ('a')");
  c->execute("INSERT INTO tblTiny (Note) VALUES ('b')");
  EXPECT_EQ(errorOf(*c, "INSERT INTO tblTiny (Note) VALUES ('c')"),
            "Arithmetic overflow error converting IDENTITY to data type tinyint.");
  auto rs = c->query("SELECT ID FROM tblTiny ORDER BY ID");
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs.at(1, 0).toInt(), 255);

  c->execute("CREATE TABLE tblInt (ID int IDENTITY(2147483646,1) NOT NULL, Note varchar(10) NULL)");
  // A statement that runs out part way inserts none of its rows.
  EXPECT_EQ(errorOf(*c, "INSERT INTO tblInt (Note) SELECT 'a' UNION ALL SELECT 'b' UNION ALL SELECT 'c'"),
            "Arithmetic overflow error converting IDENTITY to data type int.");
  EXPECT_EQ(c->query("SELECT COUNT(*) FROM tblInt").at(0, 0).toInt(), 0);
  c->execute("INSERT INTO tblInt (Note) SELECT 'a' UNION ALL SELECT 'b'");
  EXPECT_EQ(c->query("SELECT MAX(ID) FROM tblInt").at(0, 0).toInt(), 2147483647);

  c->execute("CREATE TABLE tblDown (ID numeric(3,0) IDENTITY(-998,-1) NOT NULL, Note varchar(10) NULL)");
  c->execute("INSERT INTO tblDown (Note) VALUES ('a')");
  c->execute("INSERT INTO tblDown (Note) VALUES ('b')");
  EXPECT_EQ(errorOf(*c, "INSERT INTO tblDown (Note) VALUES ('c')"),
            "Arithmetic overflow error converting IDENTITY to data type numeric.");
}

// ---- the guard around every function: no C++ exception crosses SQLite's C frames ----

void throwsBadAlloc(sqlite3_context*, int, sqlite3_value**) {
  throw std::bad_alloc();
}
void throwsLogicError(sqlite3_context*, int, sqlite3_value**) {
  throw std::logic_error("broken");
}
void throwsDbError(sqlite3_context*, int, sqlite3_value**) {
  throw DbError("Custom failure.", "42000", 50000);
}

// The decoded error of "SELECT f()" on a bare SQLite connection with the function registered.
DbError callFails(void (*fn)(sqlite3_context*, int, sqlite3_value**)) {
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  sqlite3_create_function(db, "f", 0, SQLITE_UTF8, nullptr, fn, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT f()", -1, &st, nullptr);
  int rc = sqlite3_step(st);
  std::string text = sqlite3_errmsg(db);
  sqlite3_finalize(st);
  sqlite3_close(db);
  EXPECT_EQ(rc, SQLITE_ERROR);
  std::string message, state;
  long native = 0;
  EXPECT_TRUE(db::embedded::decodeFunctionError(text, message, state, native)) << text;
  return DbError(message, state, native);
}

TEST(FunctionGuard, EveryExceptionBecomesTheFunctionsError) {
  using db::embedded::guarded;
  DbError oom = callFails(guarded<throwsBadAlloc>);
  EXPECT_EQ(oom.description(), "There is insufficient system memory in resource pool 'default' to run this query.");
  EXPECT_EQ(oom.nativeError(), 701);
  DbError custom = callFails(guarded<throwsDbError>);
  EXPECT_EQ(custom.description(), "Custom failure.");
  EXPECT_EQ(custom.nativeError(), 50000);
  EXPECT_EQ(custom.sqlState(), "42000");
  EXPECT_NE(callFails(guarded<throwsLogicError>).description().find("broken"), std::string::npos);
}

}  // namespace
}  // namespace erpsync::test
