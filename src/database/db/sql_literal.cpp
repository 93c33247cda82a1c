// How a value becomes part of a T-SQL statement.
#include "db/sql_literal.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace erpsync::db {

std::string integerLiteral(long long value) {
  return std::to_string(value);
}

std::string decimalLiteral(double value) {
  if (!std::isfinite(value) || value == 0) return "0";
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, r.ptr);
}

std::string dateTimeLiteral(const DateTime& t) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "'%04d-%02d-%02dT%02d:%02d:%02d.%03d'", t.year, t.month, t.day, t.hour, t.minute,
                t.second, t.millisecond);
  return buf;
}

std::optional<long long> wholeNumber(const Value& v) {
  if (v.isNull()) return std::nullopt;
  if (auto* i = std::get_if<std::int64_t>(&v.storage())) return *i;
  const double d = v.toDouble();
  // Beyond 2^63 a double has no whole number of this type.
  if (!std::isfinite(d) || d >= 9.2233720368547758e18 || d < -9.2233720368547758e18) return std::nullopt;
  const auto whole = static_cast<long long>(d);
  if (d != static_cast<double>(whole)) return std::nullopt;
  if (v.isText() && v.toString() != std::to_string(whole)) return std::nullopt;
  return whole;
}

}  // namespace erpsync::db
