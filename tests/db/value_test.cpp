#include "db/value.h"

#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/recordset.h"

using namespace erpsync::db;

TEST(DateTime, DayArithmeticRoundTripsAcrossLeapYears) {
  for (long long d : {0LL, 59LL, 60LL, 36524LL, 45000LL, 46000LL}) {
    DateTime t = DateTime::fromDayNumber(d);
    EXPECT_EQ(t.dayNumber(), d) << t.iso();
  }
  EXPECT_EQ(DateTime::fromDayNumber(0).iso(), "1900-01-01 00:00:00.000");
  EXPECT_EQ((DateTime{2024, 3, 1}.dayNumber() - DateTime{2024, 2, 28}.dayNumber()), 2);
  auto t = DateTime::fromTotalSeconds(DateTime{2026, 12, 6, 23, 59, 50}.totalSeconds() + 20);
  EXPECT_EQ(t.iso(), "2026-12-07 00:00:10.000");
}

TEST(DateTime, IsoParsingAcceptsShortFormsAndRejectsNonsense) {
  EXPECT_EQ(DateTime::fromIso("2026-12-06")->iso(), "2026-12-06 00:00:00.000");
  EXPECT_EQ(DateTime::fromIso("2026-12-06T10:15")->iso(), "2026-12-06 10:15:00.000");
  EXPECT_EQ(DateTime::fromIso("2026-12-06 10:15:07.5")->millisecond, 500);
  EXPECT_FALSE(DateTime::fromIso("2026-02-30"));
  EXPECT_FALSE(DateTime::fromIso("06/Dec/2026"));
  EXPECT_FALSE(DateTime::fromIso("2026-12-06 10:15:07x"));
}

TEST(Value, TextAndNumbersReadAsTheErpReadsThem) {
  EXPECT_EQ(Value(Decimal{"12.500"}).toString(), "12.5");
  EXPECT_EQ(Value(Decimal{"7.000"}).toString(), "7");
  EXPECT_EQ(Value(Decimal{"-.50"}).toString(), "-0.5");
  EXPECT_EQ(Value(2.5).toString(), "2.5");
  EXPECT_EQ(Value().toString(), "");
  EXPECT_EQ(Value("12abc").toDouble(), 12);
  EXPECT_EQ(Value("abc").toInt(), 0);
  EXPECT_EQ(leadingNumber("  -3.25 Minutes"), -3.25);
}

TEST(Recordset, FieldLookupIgnoresCase) {
  Recordset rs;
  rs.fields = {{"MAxid", adNumeric}};
  rs.rows = {{Value(Decimal{"42"})}};
  EXPECT_EQ(rs.at(0, "MaxID").toInt(), 42);
  EXPECT_THROW(rs.at(0, "Other"), DbError);
}

TEST(ConnectionString, ParsesOleDbFormsWithQuotes) {
  auto cs = ConnectionString::parse(
      "Provider=SQLOLEDB.1;Password=PLOVERS318#;Persist Security Info=True;User ID=sa;Initial Catalog=Br01;"
      "Data Source=embedded:servers/branch");
  EXPECT_EQ(cs.initialCatalog(), "Br01");
  EXPECT_EQ(cs.value("user id"), "sa");
  EXPECT_EQ(cs.password(), "PLOVERS318#");
  EXPECT_TRUE(isEmbeddedDataSource(cs.dataSource()));
  auto q = ConnectionString::parse("Data Source=\"a;b\";Initial Catalog='x''y';");
  EXPECT_EQ(q.dataSource(), "a;b");
  EXPECT_EQ(q.initialCatalog(), "x'y");
}

TEST(Sql, QuotingDoublesEmbeddedQuotes) {
  EXPECT_EQ(sqlQuote("O'Brien"), "'O''Brien'");
  EXPECT_EQ(sqlBracket("a]b"), "[a]]b]");
}
