// Exact decimal arithmetic for numeric/decimal/money values of the embedded server.
#include "db/embedded/exact_decimal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "util/c_number.h"

namespace erpsync::db::embedded {

namespace {

__extension__ typedef unsigned __int128 UInt128;

constexpr int kMax = ExactDecimal::kMaxDigits;

// 10^n for n in 0..38 (10^38 still fits a signed 128-bit integer).
Int128 pow10(int n) {
  static const auto table = [] {
    struct T {
      Int128 v[kMax + 1];
    } t{};
    t.v[0] = 1;
    for (int i = 1; i <= kMax; ++i) t.v[i] = t.v[i - 1] * 10;
    return t;
  }();
  return table.v[n];
}

UInt128 magnitude(Int128 m) {
  return m < 0 ? UInt128(0) - static_cast<UInt128>(m) : static_cast<UInt128>(m);
}

bool fits(Int128 m) {
  return magnitude(m) < static_cast<UInt128>(pow10(kMax));
}

// m * 10^k; false when that leaves the 128-bit range.
bool scaleUp(Int128 m, int k, Int128& out) {
  if (m == 0 || k == 0) {
    out = m;
    return true;
  }
  if (k > kMax) return false;
  return !__builtin_mul_overflow(m, pow10(k), &out);
}

// m / 10^k rounded half away from zero (or truncated).
Int128 scaleDown(Int128 m, int k, bool truncate) {
  if (k <= 0) return m;
  if (k > kMax) return 0;  // |m| < 10^38 is below half of 10^39
  Int128 p = pow10(k);
  Int128 q = m / p;
  Int128 r = m % p;
  if (!truncate && magnitude(r) >= magnitude(p) - magnitude(r)) q += m < 0 ? -1 : 1;
  return q;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<ExactDecimal> ExactDecimal::parse(std::string_view s) {
  std::size_t i = 0, n = s.size();
  bool neg = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  std::size_t intBegin = i;
  while (i < n && isDigit(s[i])) ++i;
  std::size_t intEnd = i, fracBegin = i, fracEnd = i;
  if (i < n && s[i] == '.') {
    fracBegin = ++i;
    while (i < n && isDigit(s[i])) ++i;
    fracEnd = i;
  }
  if (intEnd == intBegin && fracEnd == fracBegin) return std::nullopt;
  long exponent = 0;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool expNeg = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) expNeg = s[i++] == '-';
    if (i == n || !isDigit(s[i])) return std::nullopt;
    for (; i < n && isDigit(s[i]); ++i) exponent = std::min(exponent * 10 + (s[i] - '0'), 100000L);
    if (expNeg) exponent = -exponent;
  }
  if (i != n) return std::nullopt;

  // The significant digits are the integer and fraction digits without leading zeros.
  std::size_t intLen = intEnd - intBegin, fracLen = fracEnd - fracBegin;
  auto digitAt = [&](std::size_t k) { return k < intLen ? s[intBegin + k] : s[fracBegin + (k - intLen)]; };
  std::size_t first = 0, total = intLen + fracLen;
  while (first < total && digitAt(first) == '0') ++first;
  long count = static_cast<long>(total - first);
  long scale = static_cast<long>(fracLen) - exponent;
  if (scale < 0) {
    // Trailing zeros the exponent adds to an integer.
    if (count > 0 && count - scale > kMax) return std::nullopt;
    count = count > 0 ? count - scale : 0;
  }
  long drop = std::max({0L, scale - kMax, count - kMax});
  if (scale >= 0 && drop > scale) return std::nullopt;  // the integer part alone is too long
  ExactDecimal d;
  long keep = count - drop;
  for (long k = 0; k < keep; ++k) {
    std::size_t at = first + static_cast<std::size_t>(k);
    d.mantissa = d.mantissa * 10 + (at < total ? digitAt(at) - '0' : 0);
  }
  if (drop > 0 && keep >= 0 && keep < count && first + static_cast<std::size_t>(keep) < total &&
      digitAt(first + static_cast<std::size_t>(keep)) >= '5')
    d.mantissa += 1;
  d.scale = static_cast<int>(std::max(0L, scale - drop));
  if (!fits(d.mantissa)) {
    if (d.scale == 0) return std::nullopt;
    d.mantissa /= 10;  // 10^38 after rounding up: one decimal fewer
    --d.scale;
  }
  if (neg) d.mantissa = -d.mantissa;
  return d;
}

ExactDecimal ExactDecimal::fromInt(std::int64_t v) {
  ExactDecimal d;
  d.mantissa = v;
  return d;
}

std::optional<ExactDecimal> ExactDecimal::fromDouble(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  std::string text = util::cFormat(v, 15);
  if (util::cNumber(text) != v) text = util::cFormat(v, 17);
  return parse(text);
}

std::string ExactDecimal::text() const {
  UInt128 u = magnitude(mantissa);
  std::string digits;
  do {
    digits += static_cast<char>('0' + static_cast<int>(u % 10));
    u /= 10;
  } while (u != 0);
  while (static_cast<int>(digits.size()) <= scale) digits += '0';
  std::reverse(digits.begin(), digits.end());
  if (scale > 0) digits.insert(digits.size() - static_cast<std::size_t>(scale), 1, '.');
  return mantissa < 0 ? "-" + digits : digits;
}

int ExactDecimal::integerDigits() const {
  UInt128 u = magnitude(scaleDown(mantissa, scale, true));
  int n = 0;
  for (; u != 0; u /= 10) ++n;
  return n;
}

bool ExactDecimal::rescale(int newScale, bool truncate) {
  newScale = std::clamp(newScale, 0, kMax);
  if (newScale >= scale) {
    Int128 m;
    if (!scaleUp(mantissa, newScale - scale, m) || !fits(m)) return false;
    mantissa = m;
  } else {
    mantissa = scaleDown(mantissa, scale - newScale, truncate);
  }
  scale = newScale;
  return true;
}

std::optional<std::int64_t> ExactDecimal::toInt64() const {
  Int128 q = scaleDown(mantissa, scale, true);
  if (q > std::numeric_limits<std::int64_t>::max() || q < std::numeric_limits<std::int64_t>::min()) return std::nullopt;
  return static_cast<std::int64_t>(q);
}

double ExactDecimal::toDouble() const {
  return util::cNumber(text());
}

int compare(const ExactDecimal& a, const ExactDecimal& b) {
  if (a.sign() != b.sign()) return a.sign() < b.sign() ? -1 : 1;
  Int128 x = a.mantissa, y = b.mantissa;
  // Bring both to the larger scale; a side that leaves the 128-bit range is the larger in size.
  if (a.scale < b.scale && !scaleUp(x, b.scale - a.scale, x)) return a.sign();
  if (b.scale < a.scale && !scaleUp(y, a.scale - b.scale, y)) return -b.sign();
  return x < y ? -1 : x > y ? 1 : 0;
}

namespace {

std::optional<ExactDecimal> addScaled(const ExactDecimal& a, const ExactDecimal& b, bool negateB) {
  int scale = std::max(a.scale, b.scale);
  Int128 x, y, r;
  if (!scaleUp(a.mantissa, scale - a.scale, x) || !scaleUp(b.mantissa, scale - b.scale, y)) return std::nullopt;
  if (negateB) y = -y;
  if (__builtin_add_overflow(x, y, &r) || !fits(r)) return std::nullopt;
  ExactDecimal d;
  d.mantissa = r;
  d.scale = scale;
  return d;
}

}  // namespace

std::optional<ExactDecimal> add(const ExactDecimal& a, const ExactDecimal& b) {
  return addScaled(a, b, false);
}

std::optional<ExactDecimal> subtract(const ExactDecimal& a, const ExactDecimal& b) {
  return addScaled(a, b, true);
}

std::optional<ExactDecimal> multiply(const ExactDecimal& a, const ExactDecimal& b) {
  ExactDecimal d;
  if (__builtin_mul_overflow(a.mantissa, b.mantissa, &d.mantissa)) return std::nullopt;
  d.scale = a.scale + b.scale;
  if (d.scale > kMax) {
    d.mantissa = scaleDown(d.mantissa, d.scale - kMax, false);
    d.scale = kMax;
  }
  // More than 38 digits: give up decimals first, as SQL Server narrows a product's scale.
  while (!fits(d.mantissa) && d.scale > 0) {
    d.mantissa = scaleDown(d.mantissa, 1, false);
    --d.scale;
  }
  if (!fits(d.mantissa)) return std::nullopt;
  return d;
}

std::optional<ExactDecimal> divide(const ExactDecimal& a, const ExactDecimal& b, int scale) {
  scale = std::clamp(scale, 0, kMax);
  // q = a.m * 10^(scale - a.scale + b.scale) / b.m, rounded.
  int k = scale - a.scale + b.scale;
  Int128 num = a.mantissa, den = b.mantissa;
  bool ok = k >= 0 ? scaleUp(num, k, num) : scaleUp(den, -k, den);
  ExactDecimal d;
  d.scale = scale;
  if (!ok && k < 0) return d;  // the divisor is beyond any dividend: rounds to zero
  if (!ok) {
    // A dividend too long for 128 bits after scaling: the quotient to long double precision.
    long double v = std::strtold(a.text().c_str(), nullptr) / std::strtold(b.text().c_str(), nullptr);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.*Lf", scale, v);
    auto p = ExactDecimal::parse(buf);
    if (!p || !p->rescale(scale)) return std::nullopt;
    return p;
  }
  Int128 q = num / den, r = num % den;
  if (magnitude(r) >= magnitude(den) - magnitude(r)) q += ((num < 0) != (den < 0)) ? -1 : 1;
  if (!fits(q)) return std::nullopt;
  d.mantissa = q;
  return d;
}

std::optional<ExactDecimal> roundAt(const ExactDecimal& x, int places, bool truncate) {
  if (places >= x.scale) return x;
  int k = x.scale - places;
  ExactDecimal d = x;
  if (k > kMax) {
    d.mantissa = 0;
    return d;
  }
  Int128 q = scaleDown(x.mantissa, k, truncate);
  if (!scaleUp(q, k, d.mantissa) || !fits(d.mantissa)) return std::nullopt;
  return d;
}

}  // namespace erpsync::db::embedded
