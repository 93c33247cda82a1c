#include "db/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace erpsync::db {

namespace {

bool isLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Days from 0001-01-01 (civil calendar), Howard Hinnant's algorithm.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

const long long kDay1900 = daysFromCivil(1900, 1, 1);

bool readInt(std::string_view s, std::size_t& pos, std::size_t digits, int& out) {
  if (pos + digits > s.size()) return false;
  int v = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    char c = s[pos + i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  pos += digits;
  out = v;
  return true;
}

std::string formatNumber(double d) {
  if (std::isnan(d) || std::isinf(d)) return d > 0 ? "1.#INF" : "NaN";
  if (d == std::floor(d) && std::fabs(d) < 1e15) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", d);
    return buf;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", d);
  return buf;
}

}  // namespace

bool DateTime::valid() const {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month) &&
         hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 && millisecond >= 0 &&
         millisecond < 1000;
}

std::string DateTime::iso() const {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", year, month, day, hour, minute, second,
                millisecond);
  return buf;
}

std::optional<DateTime> DateTime::fromIso(std::string_view s) {
  DateTime t;
  std::size_t p = 0;
  if (!readInt(s, p, 4, t.year) || p >= s.size() || s[p++] != '-' || !readInt(s, p, 2, t.month) || p >= s.size() ||
      s[p++] != '-' || !readInt(s, p, 2, t.day))
    return std::nullopt;
  if (p < s.size()) {
    if (s[p] != ' ' && s[p] != 'T') return std::nullopt;
    ++p;
    if (!readInt(s, p, 2, t.hour) || p >= s.size() || s[p++] != ':' || !readInt(s, p, 2, t.minute)) return std::nullopt;
    if (p < s.size()) {
      if (s[p++] != ':' || !readInt(s, p, 2, t.second)) return std::nullopt;
      if (p < s.size()) {
        if (s[p++] != '.') return std::nullopt;
        int ms = 0, digits = 0;
        while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
          if (digits < 3) ms = ms * 10 + (s[p] - '0');
          ++digits;
          ++p;
        }
        if (digits == 0 || p != s.size()) return std::nullopt;
        for (int i = digits; i < 3; ++i) ms *= 10;
        t.millisecond = ms;
      }
    }
  }
  if (!t.valid()) return std::nullopt;
  return t;
}

long long DateTime::dayNumber() const {
  return daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kDay1900;
}

DateTime DateTime::fromDayNumber(long long days) {
  DateTime t;
  civilFromDays(days + kDay1900, t.year, t.month, t.day);
  return t;
}

long long DateTime::totalSeconds() const {
  return dayNumber() * 86400LL + hour * 3600LL + minute * 60LL + second;
}

DateTime DateTime::fromTotalSeconds(long long seconds) {
  long long days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  long long rest = seconds - days * 86400;
  DateTime t = fromDayNumber(days);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

bool Value::isNumber() const {
  return std::holds_alternative<std::int64_t>(v_) || std::holds_alternative<double>(v_) ||
         std::holds_alternative<Decimal>(v_) || std::holds_alternative<bool>(v_);
}

std::string Value::toString() const {
  struct V {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(std::int64_t i) const { return std::to_string(i); }
    std::string operator()(double d) const { return formatNumber(d); }
    std::string operator()(const Decimal& d) const {
      // Exact decimals read without trailing zeros, as a number field does: "12.50" -> "12.5".
      std::string t = d.text;
      if (t.find('.') != std::string::npos) {
        while (!t.empty() && t.back() == '0') t.pop_back();
        if (!t.empty() && t.back() == '.') t.pop_back();
      }
      if (t.empty() || t == "-") return "0";
      if (t == "-0") return "0";
      if (t.rfind("-.", 0) == 0) t.insert(1, "0");
      if (t.rfind(".", 0) == 0) t.insert(0, "0");
      return t;
    }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(const DateTime& t) const { return t.iso(); }
    std::string operator()(bool b) const { return b ? "1" : "0"; }
    std::string operator()(const Bytes& b) const { return std::string(b.data.begin(), b.data.end()); }
  };
  return std::visit(V{}, v_);
}

double leadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
  }
  if (!digits) return 0;
  std::string part(text.substr(start, i - start));
  return std::strtod(part.c_str(), nullptr);
}

double Value::toDouble() const {
  struct V {
    double operator()(std::monostate) const { return 0; }
    double operator()(std::int64_t i) const { return static_cast<double>(i); }
    double operator()(double d) const { return d; }
    double operator()(const Decimal& d) const { return leadingNumber(d.text); }
    double operator()(const std::string& s) const { return leadingNumber(s); }
    double operator()(const DateTime& t) const {
      return static_cast<double>(t.dayNumber()) + (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
    }
    double operator()(bool b) const { return b ? 1 : 0; }
    double operator()(const Bytes&) const { return 0; }
  };
  return std::visit(V{}, v_);
}

std::int64_t Value::toInt() const {
  if (auto* i = std::get_if<std::int64_t>(&v_)) return *i;
  return static_cast<std::int64_t>(std::llround(toDouble()));
}

std::optional<DateTime> Value::toDateTime() const {
  if (auto* t = std::get_if<DateTime>(&v_)) return *t;
  if (auto* s = std::get_if<std::string>(&v_)) return DateTime::fromIso(*s);
  return std::nullopt;
}

}  // namespace erpsync::db
