// Values written into statements: what the server must read back exactly, under any language setting.
#include "db/sql_literal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace erpsync::db;

TEST(SqlLiteral, NumbersReadBackExactlyAndZeroHasNoSign) {
  EXPECT_EQ(decimalLiteral(-0.0), "0");
  EXPECT_EQ(decimalLiteral(0.0), "0");
  EXPECT_EQ(decimalLiteral(0.1), "0.1");
  EXPECT_EQ(decimalLiteral(-2.345), "-2.345");
  EXPECT_EQ(decimalLiteral(1234567.5), "1234567.5");  // no digit grouping
  EXPECT_EQ(decimalLiteral(std::nan("")), "0");
  EXPECT_EQ(decimalLiteral(std::numeric_limits<double>::infinity()), "0");
  EXPECT_EQ(integerLiteral(-7), "-7");
  EXPECT_EQ(dateTimeLiteral(DateTime{2026, 12, 7, 22, 5, 9, 30}), "'2026-12-07T22:05:09.030'");
}

TEST(SqlLiteral, OnlyAnExactWholeNumberIsOne) {
  EXPECT_EQ(wholeNumber(Value(std::int64_t{9007199254740993})), 9007199254740993LL);  // beyond a double's 2^53
  EXPECT_EQ(wholeNumber(Value(12.0)), 12);
  EXPECT_EQ(wholeNumber(Value(std::string("-12"))), -12);
  EXPECT_FALSE(wholeNumber(Value()));
  EXPECT_FALSE(wholeNumber(Value(12.5)));
  EXPECT_FALSE(wholeNumber(Value(1e300)));
  // Texts that merely start with a number, or are written another way, are not keys this program wrote.
  for (const char* t : {"12abc", " 12", "012", "12.0", "1; drop table tblSales", ""})
    EXPECT_FALSE(wholeNumber(Value(std::string(t)))) << t;
}
