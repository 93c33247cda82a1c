// A calendar date and time of day, as SQL Server's datetime holds it.
#include "util/date_time.h"

#include <cstdio>

namespace erpsync {

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

}  // namespace erpsync
