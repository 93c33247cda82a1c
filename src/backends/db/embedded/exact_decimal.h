// Exact decimal arithmetic for numeric/decimal/money values of the embedded server.
//
// A value is a 128-bit integer mantissa and a scale (value = mantissa / 10^scale), which holds the
// 38 digits SQL Server allows. Parsing, rescaling, sums, differences, products and comparisons are
// exact; rounding to fewer decimals goes half away from zero, as SQL Server rounds a numeric.
// Not exact: a quotient is rounded at the scale asked for (and, when the dividend scaled there
// would pass 38 digits, worked out in long double), and a value read from a float is only as exact
// as the float (its shortest text that reads back as the same double).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace erpsync::db::embedded {

__extension__ typedef __int128 Int128;

struct ExactDecimal {
  static constexpr int kMaxDigits = 38;

  Int128 mantissa = 0;
  int scale = 0;

  // Plain decimal text ("-12.50", "+3", ".5") or with an exponent ("1.5E+3"); nullopt when the
  // text is not a number or its integer part needs more than 38 digits. Decimals beyond 38
  // digits in all are rounded off.
  static std::optional<ExactDecimal> parse(std::string_view text);
  static ExactDecimal fromInt(std::int64_t v);
  // nullopt for infinity, NaN and magnitudes beyond 38 digits.
  static std::optional<ExactDecimal> fromDouble(double d);

  // The value with exactly `scale` decimals: "-12.50", "0.00", "7".
  std::string text() const;
  // Digits before the decimal point (0 for a value below 1).
  int integerDigits() const;
  int sign() const { return mantissa < 0 ? -1 : mantissa > 0 ? 1 : 0; }
  // Changes the scale, rounding half away from zero (or cutting off when truncate); false when
  // the result would need more than 38 digits.
  bool rescale(int newScale, bool truncate = false);
  // The integer part (truncated toward zero) when it fits 64 bits.
  std::optional<std::int64_t> toInt64() const;
  double toDouble() const;
};

// -1, 0, 1 as a is below, equal to or above b (scales may differ).
int compare(const ExactDecimal& a, const ExactDecimal& b);
// Exact results at the larger scale (sum, difference) or the sum of the scales (product);
// nullopt when the result needs more than 38 digits.
std::optional<ExactDecimal> add(const ExactDecimal& a, const ExactDecimal& b);
std::optional<ExactDecimal> subtract(const ExactDecimal& a, const ExactDecimal& b);
std::optional<ExactDecimal> multiply(const ExactDecimal& a, const ExactDecimal& b);
// a / b rounded half away from zero to `scale` decimals; b must not be zero. nullopt when the
// quotient needs more than 38 digits.
std::optional<ExactDecimal> divide(const ExactDecimal& a, const ExactDecimal& b, int scale);
// ROUND(x, places[, truncate]): the scale stays, the digits past `places` become zero (a negative
// `places` rounds to tens, hundreds ...). nullopt when rounding up needs more than 38 digits.
std::optional<ExactDecimal> roundAt(const ExactDecimal& x, int places, bool truncate);

}  // namespace erpsync::db::embedded
