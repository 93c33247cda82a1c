// Date-time text as SQL Server reads and writes it (see datetime_text.h).
#include "db/embedded/datetime_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "util/text.h"

namespace erpsync::db::embedded {

namespace {

const char* const kMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                               "july",    "august",   "september", "october", "november", "december"};
const char* const kMonAbbr[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int monthFromWord(const std::string& w) {
  if (w.size() < 3) return 0;
  for (int i = 0; i < 12; ++i) {
    std::string_view full = kMonths[i];
    if (w.size() <= full.size() && full.substr(0, w.size()) == w) return i + 1;
  }
  if (w == "sept") return 9;
  return 0;
}

struct Tok {
  enum Kind { Num, Word, Sep, Space } kind;
  std::string text;
};

std::vector<Tok> scan(std::string_view s, bool& ok) {
  std::vector<Tok> out;
  std::size_t i = 0;
  ok = true;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (std::isdigit(c)) {
      std::size_t b = i;
      while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
      out.push_back({Tok::Num, std::string(s.substr(b, i - b))});
    } else if (std::isalpha(c)) {
      std::size_t b = i;
      while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) ++i;
      out.push_back({Tok::Word, text::lower(s.substr(b, i - b))});
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
      out.push_back({Tok::Space, " "});
    } else if (c == '/' || c == '-' || c == '.' || c == ',' || c == ':') {
      out.push_back({Tok::Sep, std::string(1, static_cast<char>(c))});
      ++i;
    } else {
      ok = false;
      return out;
    }
  }
  return out;
}

bool toInt(const std::string& s, int& v) {
  if (s.empty() || s.size() > 9) return false;
  v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  return true;
}

int fullYear(const std::string& digits, int v) {
  if (digits.size() <= 2) return v < 50 ? 2000 + v : 1900 + v;
  return v;
}

bool daysOk(int y, int m, int d) {
  DateTime t{y, m, d};
  return t.valid();
}

}  // namespace

namespace {

// Where the time begins: the first "Num :" pair, or a trailing "Num AM|PM"; toks.size() when there
// is none.
std::size_t timeStart(const std::vector<Tok>& toks) {
  for (std::size_t i = 0; i + 1 < toks.size(); ++i)
    if (toks[i].kind == Tok::Num && toks[i + 1].kind == Tok::Sep && toks[i + 1].text == ":") return i;
  const std::size_t last = toks.size() - 1;
  if (toks[last].kind == Tok::Word && (toks[last].text == "am" || toks[last].text == "pm")) {
    std::size_t j = last;
    if (j > 0 && toks[j - 1].kind == Tok::Space) --j;
    if (j > 0 && toks[j - 1].kind == Tok::Num) return j - 1;
  }
  return toks.size();
}

// A number of at most two digits at t[p] (minutes, seconds).
bool twoDigits(const std::vector<Tok>& t, std::size_t p, int& v) {
  return p < t.size() && t[p].kind == Tok::Num && t[p].text.size() <= 2 && toInt(t[p].text, v);
}

bool sepAt(const std::vector<Tok>& t, std::size_t p, const char* sep) {
  return p < t.size() && t[p].kind == Tok::Sep && t[p].text == sep;
}

// The fraction after the seconds: ".5" is half a second (rounded to milliseconds), ":5" is 5 ms.
bool fraction(const std::vector<Tok>& t, std::size_t& p, int& ms) {
  const bool dot = t[p].text == ".";
  ++p;
  if (p >= t.size() || t[p].kind != Tok::Num) return false;
  std::string f = t[p].text;
  ++p;
  if (dot) {
    while (f.size() < 3) f += '0';
    int v = 0;
    toInt(f.substr(0, 3), v);
    if (f.size() > 3 && f[3] >= '5') ++v;
    ms = v;
  } else if (f.size() > 3 || !toInt(f, ms)) {
    return false;
  }
  if (ms >= 1000) ms = 999;
  return true;
}

// An AM or PM after the time: 12 AM is midnight, 1 to 11 PM the afternoon.
bool meridiem(const std::vector<Tok>& t, std::size_t& p, int& h) {
  if (!(p < t.size() && t[p].kind == Tok::Word && (t[p].text == "am" || t[p].text == "pm"))) return true;
  if ((h > 12 || h == 0) && !(h == 0 && t[p].text == "am")) return false;
  if (t[p].text == "am" && h == 12) h = 0;
  if (t[p].text == "pm" && h < 12) h += 12;
  ++p;
  return true;
}

// "h[:mm[:ss[.fff]]] [AM|PM]" into r.
bool parseTime(const std::vector<Tok>& t, DateTime& r) {
  std::size_t p = 0;
  int h = 0, mi = 0, sec = 0, ms = 0;
  if (!toInt(t[p].text, h) || t[p].text.size() > 2) return false;
  ++p;
  if (sepAt(t, p, ":")) {
    if (!twoDigits(t, ++p, mi)) return false;
    ++p;
    if (sepAt(t, p, ":")) {
      if (!twoDigits(t, ++p, sec)) return false;
      ++p;
      if ((sepAt(t, p, ".") || sepAt(t, p, ":")) && !fraction(t, p, ms)) return false;
    }
  }
  if (p < t.size() && t[p].kind == Tok::Space) ++p;
  if (!meridiem(t, p, h)) return false;
  if (p < t.size() && t[p].kind == Tok::Space) ++p;
  if (p != t.size() || h > 23 || mi > 59 || sec > 59) return false;
  r.hour = h;
  r.minute = mi;
  r.second = sec;
  r.millisecond = ms;
  return true;
}

// A date of numbers alone: yyyymmdd, yymmdd, yyyy, or three numbers in the session's order (a
// four-digit first number is always the year).
bool numericDate(const std::vector<Tok>& items, DateOrder order, int& y, int& m, int& d) {
  int a = 0, b = 0, c = 0;
  if (items.size() == 1) {
    const std::string& s = items[0].text;
    if (s.size() == 8) {
      toInt(s.substr(0, 4), a), toInt(s.substr(4, 2), b), toInt(s.substr(6, 2), c);
      y = a, m = b, d = c;
    } else if (s.size() == 6) {
      toInt(s.substr(0, 2), a), toInt(s.substr(2, 2), b), toInt(s.substr(4, 2), c);
      y = fullYear("00", a), m = b, d = c;
    } else if (s.size() == 4) {
      toInt(s, a);
      y = a, m = 1, d = 1;
    } else {
      return false;
    }
    return true;
  }
  if (items.size() != 3) return false;
  if (!toInt(items[0].text, a) || !toInt(items[1].text, b) || !toInt(items[2].text, c)) return false;
  if (items[0].text.size() == 4) {
    y = a, m = b, d = c;
  } else if (items[2].text.size() > 4 || items[0].text.size() > 2 || items[1].text.size() > 2) {
    return false;
  } else if (order == DateOrder::DMY) {
    d = a, m = b, y = fullYear(items[2].text, c);
  } else if (order == DateOrder::YMD) {
    y = fullYear(items[0].text, a), m = b, d = c;
  } else {
    m = a, d = b, y = fullYear(items[2].text, c);
  }
  return true;
}

// A date with its month as a word: "6 Dec 2026", "Dec 6 2026", "2026 Dec 6", "Dec 2026".
bool wordDate(const std::vector<Tok>& items, int& y, int& m, int& d) {
  std::vector<int> nums;
  std::vector<std::string> numText;
  for (const Tok& it : items) {
    if (it.kind == Tok::Word) {
      m = monthFromWord(it.text);
      continue;
    }
    int v = 0;
    if (!toInt(it.text, v)) return false;
    nums.push_back(v);
    numText.push_back(it.text);
  }
  if (m == 0) return false;
  if (nums.size() == 2) {
    if (numText[0].size() == 4)
      y = nums[0], d = nums[1];
    else
      d = nums[0], y = fullYear(numText[1], nums[1]);
    return true;
  }
  if (nums.size() != 1 || numText[0].size() != 4) return false;
  y = nums[0], d = 1;
  return true;
}

// The date's numbers and month words; a separator must sit between two of them.
bool dateItems(const std::vector<Tok>& toks, std::vector<Tok>& items) {
  for (std::size_t i = 0; i < toks.size(); ++i) {
    if (toks[i].kind == Tok::Num || toks[i].kind == Tok::Word)
      items.push_back(toks[i]);
    else if (i == 0 || i + 1 >= toks.size())
      return false;
  }
  return true;
}

}  // namespace

std::optional<DateTime> parseDateText(std::string_view text, DateOrder order) {
  bool ok = false;
  std::vector<Tok> toks = scan(text, ok);
  if (!ok) return std::nullopt;
  // Drop leading/trailing blanks.
  while (!toks.empty() && toks.front().kind == Tok::Space) toks.erase(toks.begin());
  while (!toks.empty() && toks.back().kind == Tok::Space) toks.pop_back();
  DateTime r;  // 1900-01-01 00:00:00.000
  if (toks.empty()) return r;

  const std::size_t timeAt = timeStart(toks);
  if (timeAt < toks.size()) {
    if (!parseTime(std::vector<Tok>(toks.begin() + static_cast<long>(timeAt), toks.end()), r)) return std::nullopt;
    toks.resize(timeAt);
    while (!toks.empty() && toks.back().kind == Tok::Space) toks.pop_back();
    if (!toks.empty() && toks.back().kind == Tok::Word && toks.back().text == "t") toks.pop_back();
  }
  if (toks.empty()) return r;

  std::vector<Tok> items;
  if (!dateItems(toks, items)) return std::nullopt;
  int y = 0, m = 0, d = 0;
  const auto words = std::count_if(items.begin(), items.end(), [](const Tok& t) { return t.kind == Tok::Word; });
  if (words == 0 ? !numericDate(items, order, y, m, d) : words == 1 ? !wordDate(items, y, m, d) : true)
    return std::nullopt;
  if (y < 1753 || y > 9999 || !daysOk(y, m, d)) return std::nullopt;
  r.year = y;
  r.month = m;
  r.day = d;
  return r;
}

std::string formatDateStyle(const DateTime& t, int style) {
  char buf[64];
  int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  const char* ampm = t.hour < 12 ? "AM" : "PM";
  const char* mon = kMonAbbr[(t.month >= 1 && t.month <= 12) ? t.month - 1 : 0];
  switch (style) {
    case 1:
      std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", t.month, t.day, t.year % 100);
      break;
    case 101:
      std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", t.month, t.day, t.year);
      break;
    case 3:
      std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", t.day, t.month, t.year % 100);
      break;
    case 103:
      std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", t.day, t.month, t.year);
      break;
    case 105:
      std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", t.day, t.month, t.year);
      break;
    case 106:
      std::snprintf(buf, sizeof buf, "%02d %s %04d", t.day, mon, t.year);
      break;
    case 108:
      std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
      break;
    case 110:
      std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", t.month, t.day, t.year);
      break;
    case 111:
      std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", t.year, t.month, t.day);
      break;
    case 112:
      std::snprintf(buf, sizeof buf, "%04d%02d%02d", t.year, t.month, t.day);
      break;
    case 113:
      std::snprintf(buf, sizeof buf, "%02d %s %04d %02d:%02d:%02d:%03d", t.day, mon, t.year, t.hour, t.minute, t.second,
                    t.millisecond);
      break;
    case 114:
      std::snprintf(buf, sizeof buf, "%02d:%02d:%02d:%03d", t.hour, t.minute, t.second, t.millisecond);
      break;
    case 120:
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                    t.second);
      break;
    case 121:
      return t.iso();
    case 126:
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute,
                    t.second, t.millisecond);
      break;
    case 23:
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.year, t.month, t.day);
      break;
    case 109:
      std::snprintf(buf, sizeof buf, "%s %2d %04d %2d:%02d:%02d:%03d%s", mon, t.day, t.year, h12, t.minute, t.second,
                    t.millisecond, ampm);
      break;
    default:
      std::snprintf(buf, sizeof buf, "%s %2d %04d %2d:%02d%s", mon, t.day, t.year, h12, t.minute, ampm);
      break;
  }
  return buf;
}

std::optional<DateTime> addMonths(const DateTime& t, long long months) {
  long long total = 0;
  if (__builtin_add_overflow(static_cast<long long>(t.year) * 12 + (t.month - 1), months, &total)) return std::nullopt;
  if (total < 12 || total > 9999LL * 12 + 11) return std::nullopt;
  DateTime r = t;
  r.year = static_cast<int>(total / 12);
  r.month = static_cast<int>(total % 12) + 1;
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int dim = days[r.month - 1];
  bool leap = (r.year % 4 == 0 && r.year % 100 != 0) || r.year % 400 == 0;
  if (r.month == 2 && leap) dim = 29;
  if (r.day > dim) r.day = dim;
  return r;
}

}  // namespace erpsync::db::embedded
