// Exact decimal arithmetic on its own: the digits numeric/decimal/money values keep, how they round
// and where 38 digits end.
#include "db/embedded/exact_decimal.h"

#include <gtest/gtest.h>

#include <string>

namespace erpsync::db::embedded {
namespace {

ExactDecimal dec(const char* text) {
  auto d = ExactDecimal::parse(text);
  EXPECT_TRUE(d.has_value()) << text;
  return d.value_or(ExactDecimal{});
}

std::string textOf(const std::optional<ExactDecimal>& d) {
  return d ? d->text() : "<none>";
}

TEST(ExactDecimal, ParsesAndPrintsEveryDigit) {
  EXPECT_EQ(dec("1234567890123456.78").text(), "1234567890123456.78");
  EXPECT_EQ(dec("-999999999999999999").text(), "-999999999999999999");
  EXPECT_EQ(dec("12345678901234567890123456789012345678").text(), "12345678901234567890123456789012345678");
  EXPECT_EQ(dec("-0.00000000000000000000000000000000000001").text(), "-0.00000000000000000000000000000000000001");
  EXPECT_EQ(dec("+.5").text(), "0.5");
  EXPECT_EQ(dec("007.50").text(), "7.50");
  EXPECT_EQ(dec("-0.00").text(), "0.00");  // no negative zero
  EXPECT_EQ(dec("5.").text(), "5");
  // Exponents, as a float's text carries them.
  EXPECT_EQ(dec("1.5E+3").text(), "1500");
  EXPECT_EQ(dec("1e-05").text(), "0.00001");
  EXPECT_EQ(dec("1.0e+20").text(), "100000000000000000000");
  for (const char* bad : {"", "-", ".", "1.2.3", "12a", "1e", "e5", " 1", "1,5", "0x10"})
    EXPECT_FALSE(ExactDecimal::parse(bad).has_value()) << bad;
  // An integer part beyond 38 digits is no numeric; decimals beyond 38 digits in all round off.
  EXPECT_FALSE(ExactDecimal::parse("123456789012345678901234567890123456789").has_value());
  EXPECT_FALSE(ExactDecimal::parse("1e38").has_value());
  EXPECT_EQ(dec("1234567890123456789012345678901234567.85").text(), "1234567890123456789012345678901234567.9");
  EXPECT_EQ(dec("0.000000000000000000000000000000000000005").text(), "0.00000000000000000000000000000000000001");
  EXPECT_EQ(dec("1e-50").text(), "0.00000000000000000000000000000000000000");
}

TEST(ExactDecimal, ConvertsIntegersAndFloats) {
  EXPECT_EQ(ExactDecimal::fromInt(-9223372036854775807 - 1).text(), "-9223372036854775808");
  EXPECT_EQ(textOf(ExactDecimal::fromDouble(12.35)), "12.35");  // not 12.3499999...
  EXPECT_EQ(textOf(ExactDecimal::fromDouble(0.1 + 0.2)), "0.30000000000000004");
  EXPECT_EQ(textOf(ExactDecimal::fromDouble(-1e-7)), "-0.0000001");
  EXPECT_FALSE(ExactDecimal::fromDouble(1.0 / 0.0).has_value());
  EXPECT_FALSE(ExactDecimal::fromDouble(1e40).has_value());
  EXPECT_EQ(dec("-12345.678").toInt64().value(), -12345);  // truncates toward zero
  EXPECT_FALSE(dec("9223372036854775808").toInt64().has_value());
  EXPECT_EQ(dec("-9223372036854775808.99").toInt64().value(), -9223372036854775807 - 1);
  EXPECT_DOUBLE_EQ(dec("2.5").toDouble(), 2.5);
  EXPECT_EQ(dec("0.5").integerDigits(), 0);
  EXPECT_EQ(dec("-123.5").integerDigits(), 3);
}

TEST(ExactDecimal, RescalesHalfAwayFromZero) {
  auto at = [](const char* text, int scale, bool truncate = false) {
    ExactDecimal d = dec(text);
    return d.rescale(scale, truncate) ? d.text() : "<overflow>";
  };
  EXPECT_EQ(at("12.555", 2), "12.56");
  EXPECT_EQ(at("-12.555", 2), "-12.56");
  EXPECT_EQ(at("12.554", 2), "12.55");
  EXPECT_EQ(at("-0.005", 2), "-0.01");
  EXPECT_EQ(at("-0.004", 2), "0.00");
  EXPECT_EQ(at("99.995", 2), "100.00");
  EXPECT_EQ(at("12.559", 2, true), "12.55");
  EXPECT_EQ(at("7", 4), "7.0000");
  // Decimals added must still fit 38 digits.
  EXPECT_EQ(at("12345678901234567890123456789012345678", 1), "<overflow>");
  EXPECT_EQ(at("1234567890123456789012345678901234567", 1), "1234567890123456789012345678901234567.0");
}

TEST(ExactDecimal, SumsAndDifferencesAreExact) {
  EXPECT_EQ(textOf(add(dec("0.1"), dec("0.2"))), "0.3");
  EXPECT_EQ(textOf(add(dec("1234567890123456.78"), dec("0.01"))), "1234567890123456.79");
  EXPECT_EQ(textOf(add(dec("1.5"), dec("-1.50"))), "0.00");
  EXPECT_EQ(textOf(subtract(dec("10"), dec("0.001"))), "9.999");
  EXPECT_EQ(textOf(subtract(dec("-99999999999999999999999999999999999999"), dec("-1"))),
            "-99999999999999999999999999999999999998");
  // Past 38 digits is an overflow, not a wrapped or rounded number.
  EXPECT_FALSE(add(dec("99999999999999999999999999999999999999"), dec("1")).has_value());
  EXPECT_FALSE(subtract(dec("-99999999999999999999999999999999999999"), dec("1")).has_value());
  EXPECT_FALSE(add(dec("12345678901234567890123456789012345678"), dec("0.1")).has_value());
  // A running sum of many cents stays exact where a double drifts.
  ExactDecimal total;
  double drift = 0;
  for (int i = 0; i < 100000; ++i) {
    total = *add(total, dec("0.10"));
    drift += 0.10;
  }
  EXPECT_EQ(total.text(), "10000.00");
  EXPECT_NE(drift, 10000.0);
}

TEST(ExactDecimal, ProductsAddScalesAndQuotientsRound) {
  EXPECT_EQ(textOf(multiply(dec("1.25"), dec("0.5"))), "0.625");
  EXPECT_EQ(textOf(multiply(dec("-999999999999999999.99"), dec("100"))), "-99999999999999999999.00");
  EXPECT_EQ(textOf(multiply(dec("123456789.123456789"), dec("987654321.987654321"))),
            "121932631356500531.347203169112635269");
  // A product beyond 38 digits gives up decimals first, then overflows.
  EXPECT_EQ(textOf(multiply(dec("1234567890123456789.5"), dec("1234567890123456789.5"))).size(), 39u);
  EXPECT_FALSE(multiply(dec("12345678901234567890123"), dec("12345678901234567890123")).has_value());

  EXPECT_EQ(textOf(divide(dec("2"), dec("3"), 6)), "0.666667");
  EXPECT_EQ(textOf(divide(dec("-2"), dec("3"), 6)), "-0.666667");
  EXPECT_EQ(textOf(divide(dec("7"), dec("-2.0"), 2)), "-3.50");
  EXPECT_EQ(textOf(divide(dec("1"), dec("8"), 2)), "0.13");
  EXPECT_EQ(textOf(divide(dec("1234567890123456.78"), dec("1"), 2)), "1234567890123456.78");
  EXPECT_EQ(textOf(divide(dec("1"), dec("99999999999999999999999999999999999999"), 6)), "0.000000");
  // A dividend too long for 128 bits once scaled still gives the quotient (to long double precision).
  auto big = divide(dec("12345678901234567890123456789012"), dec("1000000.000000"), 6);
  ASSERT_TRUE(big.has_value());
  EXPECT_EQ(big->text().substr(0, 15), "123456789012345");
  EXPECT_EQ(big->scale, 6);
  EXPECT_FALSE(divide(dec("99999999999999999999999999999999999999"), dec("3"), 6).has_value());
}

TEST(ExactDecimal, ComparesAcrossScales) {
  EXPECT_EQ(compare(dec("1.5"), dec("1.50")), 0);
  EXPECT_EQ(compare(dec("9.50"), dec("10")), -1);
  EXPECT_EQ(compare(dec("-10"), dec("-9.99")), -1);
  EXPECT_EQ(compare(dec("0.00"), dec("-0.01")), 1);
  EXPECT_EQ(compare(dec("1234567890123456.78"), dec("1234567890123456.77")), 1);
  // Scales so far apart that one side cannot be brought to the other's scale in 128 bits.
  EXPECT_EQ(compare(dec("99999999999999999999999999999999999999"), dec("0.00000000000000000000000000000000000001")), 1);
  EXPECT_EQ(compare(dec("-99999999999999999999999999999999999999"), dec("-0.1")), -1);
  EXPECT_EQ(compare(dec("0.1"), dec("99999999999999999999999999999999999999")), -1);
}

TEST(ExactDecimal, RoundsAtAPlaceKeepingTheScale) {
  auto r = [](const char* text, int places, bool truncate = false) {
    return textOf(roundAt(dec(text), places, truncate));
  };
  EXPECT_EQ(r("10.56", 1), "10.60");
  EXPECT_EQ(r("-10.55", 1), "-10.60");
  EXPECT_EQ(r("10.59", 1, true), "10.50");
  EXPECT_EQ(r("1250", -2), "1300");
  EXPECT_EQ(r("1234.5", 3), "1234.5");
  EXPECT_EQ(r("4.5", -40), "0.0");
  EXPECT_EQ(r("99999999999999999999999999999999999999", -1), "<none>");
}

}  // namespace
}  // namespace erpsync::db::embedded
