// The SQL functions and the TSQL collation the translated statements call inside SQLite.
#include "db/embedded/sqlite_functions.h"

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string_view>

#include "db/db_error.h"
#include "db/embedded/datetime_text.h"
#include "db/embedded/decimal_functions.h"
#include "db/embedded/embedded_server.h"
#include "db/embedded/sql_types.h"

namespace erpsync::db::embedded {

namespace {

constexpr char kMark = '\x01';

SqlValue fromSqlite(sqlite3_value* v) {
  SqlValue r;
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      r.v = static_cast<std::int64_t>(sqlite3_value_int64(v));
      break;
    case SQLITE_FLOAT:
      r.v = sqlite3_value_double(v);
      break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
      const unsigned char* t = sqlite3_value_text(v);
      int n = sqlite3_value_bytes(v);
      r.v = std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(n));
      break;
    }
    default:
      break;
  }
  return r;
}

void fail(sqlite3_context* ctx, const DbError& e) {
  std::string t = encodeFunctionError(e.description(), e.sqlState(), e.nativeError());
  sqlite3_result_error(ctx, t.data(), static_cast<int>(t.size()));
}

[[noreturn]] void overflow(const char* type) {
  throw DbError(std::string("Arithmetic overflow error converting expression to data type ") + type + ".", "22003",
                8115);
}

// The longest text or binary value this server holds (SQLite's length limit for the connection).
std::size_t maxValueBytes(sqlite3_context* ctx) {
  int limit = sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1);
  return limit > 0 ? static_cast<std::size_t>(limit) : 0;
}

// A large value grown past what the server can hold fails as SQL Server's LOB limit does.
void checkValueSize(sqlite3_context* ctx, std::size_t bytes) {
  std::size_t limit = maxValueBytes(ctx);
  if (bytes > limit)
    throw DbError("Attempting to grow LOB beyond maximum allowed size of " + std::to_string(limit) + " bytes.", "42000",
                  7119);
}

void resultText(sqlite3_context* ctx, const std::string& s) {
  checkValueSize(ctx, s.size());
  sqlite3_result_text64(ctx, s.data(), s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void result(sqlite3_context* ctx, const SqlValue& v) {
  if (v.isNull())
    sqlite3_result_null(ctx);
  else if (v.isInt())
    sqlite3_result_int64(ctx, v.i());
  else if (v.isReal())
    sqlite3_result_double(ctx, v.d());
  else
    resultText(ctx, v.s());
}

ColType typeFrom(sqlite3_value** a) {
  ColType t;
  t.base = static_cast<BaseType>(sqlite3_value_int(a[0]));
  t.length = sqlite3_value_int(a[1]);
  t.precision = sqlite3_value_int(a[2]);
  t.scale = sqlite3_value_int(a[3]);
  return t;
}

// tsql_conv(x, src base,len,prec,scale, dst base,len,prec,scale, style, assign)
void fnConv(sqlite3_context* ctx, int, sqlite3_value** a) {
  SqlValue v = fromSqlite(a[0]);
  ColType src = typeFrom(a + 1);
  ColType dst = typeFrom(a + 5);
  int style = sqlite3_value_int(a[9]);
  bool assign = sqlite3_value_int(a[10]) != 0;
  if (!src.known()) {
    // An expression of unknown type: numbers arrive as numbers, everything else as text.
    src = ColType{};
  }
  result(ctx, convertValue(v, src, dst, assign, style));
}

std::string textArg(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  return t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_value_bytes(v)))
           : std::string();
}

std::optional<DateTime> dateArg(sqlite3_value* v) {
  SqlValue s = fromSqlite(v);
  if (s.isNull()) return std::nullopt;
  ColType dt;
  dt.base = BaseType::DateTime;
  ColType src;
  if (s.isText()) src.base = BaseType::VarChar;
  SqlValue c = convertValue(s, src, dt, false, -1);
  return DateTime::fromIso(c.s());
}

void fnGetDate(sqlite3_context* ctx, int, sqlite3_value**) {
  resultText(ctx, roundToDatetimeTicks(serverNow()).iso());
}
void fnGetUtcDate(sqlite3_context* ctx, int, sqlite3_value**) {
  resultText(ctx, roundToDatetimeTicks(serverUtcNow()).iso());
}

long long totalMs(const DateTime& t) {
  return t.totalSeconds() * 1000LL + t.millisecond;
}
DateTime fromTotalMs(long long ms) {
  long long s = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
  DateTime t = DateTime::fromTotalSeconds(s);
  t.millisecond = static_cast<int>(ms - s * 1000);
  return t;
}

// DATEADD's number is an int: anything beyond fails as SQL Server's conversion does, and a
// fraction is dropped. Exact decimals arrive as their text.
long long dateAddNumber(sqlite3_value* v) {
  SqlValue nv = fromSqlite(v);
  if (nv.isReal()) {
    double d = std::trunc(nv.d());
    if (!(d >= INT_MIN && d <= INT_MAX)) overflow("int");
    return static_cast<long long>(d);
  }
  if (nv.isText()) {
    auto d = exactOf(nv);
    if (!d) return convertValue(nv, ColType{BaseType::VarChar, 30}, ColType{BaseType::Int}, false).i();
    auto i = d->toInt64();
    if (!i || *i < INT_MIN || *i > INT_MAX) overflow("int");
    return *i;
  }
  if (nv.i() < INT_MIN || nv.i() > INT_MAX) overflow("int");
  return nv.i();
}

// datetime + number: the number is read as a datetime, a count of days whose fraction is part of a
// day, so it must lie within the datetime range itself.
long long dayCountMs(sqlite3_value* v) {
  SqlValue nv = fromSqlite(v);
  double days = 0;
  if (nv.isInt()) {
    days = static_cast<double>(nv.i());
  } else if (nv.isReal()) {
    days = nv.d();
  } else {
    auto d = exactOf(nv);
    if (!d) return convertValue(nv, ColType{BaseType::VarChar, 30}, ColType{BaseType::Int}, false).i() * 86400000LL;
    days = d->toDouble();
  }
  // 1753-01-01 is day -53690 and 9999-12-31 day 2958463.
  if (!(days >= -53690.0 && days < 2958464.0)) overflow("datetime");
  return std::llround(days * 86400000.0);
}

void fnDateAdd(sqlite3_context* ctx, int, sqlite3_value** a) {
  std::string part = textArg(a[0]);
  if (sqlite3_value_type(a[1]) == SQLITE_NULL || sqlite3_value_type(a[2]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  bool days = part == "days";
  long long n = days ? dayCountMs(a[1]) : dateAddNumber(a[1]);
  auto t = dateArg(a[2]);
  if (!t) {
    sqlite3_result_null(ctx);
    return;
  }
  // The datetime range, 1753-01-01 to 9999-12-31 23:59:59.997, checked before a date is built
  // from the sum. With n an int (or a count of milliseconds within the range), none of the products
  // below overflows.
  static const long long kFirstMs = totalMs(DateTime{1753, 1, 1});
  static const long long kLastMs = totalMs(DateTime{9999, 12, 31, 23, 59, 59, 997});
  std::optional<DateTime> r;
  if (part == "year" || part == "quarter" || part == "month") {
    r = addMonths(*t, n * (part == "year" ? 12 : part == "quarter" ? 3 : 1));
  } else {
    long long unit = part == "day" || part == "dayofyear" || part == "weekday" ? 86400000LL
                     : part == "week"                                          ? 7 * 86400000LL
                     : part == "hour"                                          ? 3600000LL
                     : part == "minute"                                        ? 60000LL
                     : part == "second"                                        ? 1000LL
                                                                               : 1LL;
    long long ms = totalMs(*t) + n * unit;
    if (ms >= kFirstMs && ms <= kLastMs) r = fromTotalMs(ms);
  }
  if (!r || !r->valid() || r->year < 1753)
    throw DbError("Adding a value to a 'datetime' column caused an overflow.", "22008", 517);
  if (days) r = roundToDatetimeTicks(*r);
  resultText(ctx, r->iso());
}

long long weekIndex(const DateTime& t) {
  long long dn = t.dayNumber();  // day 0 (1900-01-01) is a Monday
  long long x = dn + 1;
  return x >= 0 ? x / 7 : -((-x + 6) / 7);
}

void fnDateDiff(sqlite3_context* ctx, int, sqlite3_value** a) {
  std::string part = textArg(a[0]);
  auto x = dateArg(a[1]);
  auto y = dateArg(a[2]);
  if (!x || !y) {
    sqlite3_result_null(ctx);
    return;
  }
  long long r = 0;
  if (part == "year")
    r = y->year - x->year;
  else if (part == "quarter")
    r = (y->year * 4LL + (y->month - 1) / 3) - (x->year * 4LL + (x->month - 1) / 3);
  else if (part == "month")
    r = (y->year * 12LL + y->month) - (x->year * 12LL + x->month);
  else if (part == "day" || part == "dayofyear" || part == "weekday")
    r = y->dayNumber() - x->dayNumber();
  else if (part == "week")
    r = weekIndex(*y) - weekIndex(*x);
  else if (part == "hour")
    r = (y->dayNumber() * 24 + y->hour) - (x->dayNumber() * 24 + x->hour);
  else if (part == "minute")
    r = (y->dayNumber() * 1440 + y->hour * 60 + y->minute) - (x->dayNumber() * 1440 + x->hour * 60 + x->minute);
  else if (part == "second")
    r = y->totalSeconds() - x->totalSeconds();
  else
    r = totalMs(*y) - totalMs(*x);
  if (r > INT_MAX || r < INT_MIN)
    throw DbError(
        "The datediff function resulted in an overflow. The number of dateparts separating two date/time "
        "instances is too large. Try to use datediff with a less precise datepart.",
        "22003", 535);
  sqlite3_result_int64(ctx, r);
}

void fnDatePart(sqlite3_context* ctx, int, sqlite3_value** a) {
  std::string part = textArg(a[0]);
  auto t = dateArg(a[1]);
  if (!t) {
    sqlite3_result_null(ctx);
    return;
  }
  long long r = 0;
  DateTime jan1{t->year, 1, 1};
  long long doy = t->dayNumber() - jan1.dayNumber() + 1;
  long long wd = ((t->dayNumber() % 7) + 7 + 1) % 7 + 1;  // Sunday = 1
  if (part == "year")
    r = t->year;
  else if (part == "quarter")
    r = (t->month - 1) / 3 + 1;
  else if (part == "month")
    r = t->month;
  else if (part == "dayofyear")
    r = doy;
  else if (part == "day")
    r = t->day;
  else if (part == "weekday")
    r = wd;
  else if (part == "week") {
    long long wdJan1 = ((jan1.dayNumber() % 7) + 7 + 1) % 7 + 1;
    r = (doy + wdJan1 - 2) / 7 + 1;
  } else if (part == "hour")
    r = t->hour;
  else if (part == "minute")
    r = t->minute;
  else if (part == "second")
    r = t->second;
  else
    r = t->millisecond;
  sqlite3_result_int64(ctx, r);
}

// text + text concatenates, number + number adds, and a text meeting a number is read as a number.
void fnAdd(sqlite3_context* ctx, int, sqlite3_value** a) {
  SqlValue x = fromSqlite(a[0]), y = fromSqlite(a[1]);
  if (x.isNull() || y.isNull()) {
    sqlite3_result_null(ctx);
    return;
  }
  if (x.isText() && y.isText()) {
    checkValueSize(ctx, x.s().size() + y.s().size());
    resultText(ctx, x.s() + y.s());
    return;
  }
  auto num = [](const SqlValue& v, const SqlValue& other) {
    if (!v.isText()) return v;
    ColType src{BaseType::VarChar, 8000};
    ColType t;
    t.base = other.isReal() ? BaseType::Float : BaseType::Int;
    return convertValue(v, src, t, false);
  };
  x = num(x, y);
  y = num(y, x);
  if (x.isInt() && y.isInt()) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(x.i(), y.i(), &sum)) overflow("bigint");
    sqlite3_result_int64(ctx, sum);
  } else {
    sqlite3_result_double(ctx, x.asDouble() + y.asDouble());
  }
}

char fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool continuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Characters of a UTF-8 text.
std::size_t charCount(std::string_view s) {
  std::size_t n = 0;
  for (char c : s)
    if (!continuationByte(c)) ++n;
  return n;
}

// The bytes of the first `chars` characters of a UTF-8 text.
std::size_t prefixBytes(std::string_view s, std::size_t chars) {
  std::size_t i = 0;
  for (std::size_t k = 0; i < s.size(); ++i) {
    if (!continuationByte(s[i]) && k++ == chars) break;
  }
  return i;
}

// The result limit the translator passes to the text functions that grow a value: SQL Server cuts
// a result that is not of a max type at 8000 bytes (8000 characters, 4000 for N types); -1 means
// a max type, which may grow up to the largest value the server holds.
long long limitArg(int argc, sqlite3_value** a, int i) {
  return argc > i ? sqlite3_value_int64(a[i]) : -1;
}

// Cuts `out` to `limit` characters, or fails when a max type outgrows the server.
void fitResult(sqlite3_context* ctx, std::string& out, long long limit) {
  if (limit >= 0)
    out.resize(prefixBytes(out, static_cast<std::size_t>(limit)));
  else
    checkValueSize(ctx, out.size());
}

void fnRight(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (sqlite3_value_type(a[0]) == SQLITE_NULL || sqlite3_value_type(a[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  std::string s = textArg(a[0]);
  long long n = sqlite3_value_int64(a[1]);
  if (n <= 0) {
    sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
    return;
  }
  // Count characters from the end (UTF-8 aware).
  std::size_t i = s.size();
  long long k = 0;
  while (i > 0 && k < n) {
    --i;
    while (i > 0 && continuationByte(s[i])) --i;
    ++k;
  }
  resultText(ctx, s.substr(i));
}

std::size_t findCi(const std::string& hay, const std::string& needle, std::size_t from) {
  if (needle.empty() || from > hay.size()) return std::string::npos;
  for (std::size_t i = from; i + needle.size() <= hay.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && fold(hay[i + k]) == fold(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string::npos;
}

// tsql_replace(text, find, replacement[, limit])
void fnReplace(sqlite3_context* ctx, int argc, sqlite3_value** a) {
  for (int i = 0; i < 3; ++i)
    if (sqlite3_value_type(a[i]) == SQLITE_NULL) {
      sqlite3_result_null(ctx);
      return;
    }
  std::string s = textArg(a[0]), f = textArg(a[1]), r = textArg(a[2]);
  long long limit = limitArg(argc, a, 3);
  if (f.empty()) {
    fitResult(ctx, s, limit);
    resultText(ctx, s);
    return;
  }
  // Stop building once the result is past what can be kept (a character is at most 4 bytes).
  std::size_t enough = limit >= 0 ? static_cast<std::size_t>(limit) * 4 : maxValueBytes(ctx);
  std::string out;
  std::size_t pos = 0;
  while (out.size() <= enough) {
    std::size_t hit = findCi(s, f, pos);
    if (hit == std::string::npos) {
      out.append(s, pos, std::string::npos);
      break;
    }
    out.append(s, pos, hit - pos);
    out += r;
    pos = hit + f.size();
  }
  fitResult(ctx, out, limit);
  resultText(ctx, out);
}

void fnCharIndex(sqlite3_context* ctx, int n, sqlite3_value** a) {
  if (sqlite3_value_type(a[0]) == SQLITE_NULL || sqlite3_value_type(a[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  std::string f = textArg(a[0]), s = textArg(a[1]);
  long long start = n > 2 ? sqlite3_value_int64(a[2]) : 1;
  if (start < 1) start = 1;
  std::size_t hit = findCi(s, f, static_cast<std::size_t>(start - 1));
  sqlite3_result_int64(ctx, hit == std::string::npos ? 0 : static_cast<long long>(hit) + 1);
}

// tsql_replicate(text, count[, limit]): a negative count gives NULL.
void fnReplicate(sqlite3_context* ctx, int argc, sqlite3_value** a) {
  if (sqlite3_value_type(a[0]) == SQLITE_NULL || sqlite3_value_type(a[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  std::string s = textArg(a[0]);
  long long n = sqlite3_value_int64(a[1]);
  long long limit = limitArg(argc, a, 2);
  if (n < 0) {
    sqlite3_result_null(ctx);
    return;
  }
  std::size_t count = static_cast<std::size_t>(n);
  std::size_t copies = count;
  if (s.empty()) {
    copies = 0;
  } else if (limit >= 0) {
    // One copy more than fits whole, cut to the limit below (the byte bound keeps text that is
    // not UTF-8 from growing without end).
    std::size_t chars = std::max<std::size_t>(1, charCount(s));
    std::size_t lim = static_cast<std::size_t>(limit);
    copies = std::min(count, std::min(lim / chars, 4 * lim / s.size()) + 1);
  } else if (count > maxValueBytes(ctx) / s.size()) {
    checkValueSize(ctx, maxValueBytes(ctx) + 1);
  }
  std::string out;
  out.reserve(s.size() * copies);
  for (std::size_t i = 0; i < copies; ++i) out += s;
  fitResult(ctx, out, limit);
  resultText(ctx, out);
}

// ROUND of an integer to tens, hundreds ...: exact, half away from zero (or truncated).
std::int64_t roundInteger(std::int64_t x, long long places, bool truncate) {
  if (places >= 0) return x;
  if (places < -18) {
    // 10^19 and more: only zero fits, unless the value rounds away to 10^19 itself.
    if (!truncate && (x >= 5000000000000000000LL || x <= -5000000000000000000LL)) overflow("bigint");
    return 0;
  }
  std::int64_t m = 1;
  for (long long i = 0; i < -places; ++i) m *= 10;
  std::int64_t q = x / m, r = x % m;
  if (!truncate && (r >= 0 ? r : -r) >= m - (r >= 0 ? r : -r)) q += x < 0 ? -1 : 1;
  std::int64_t v = 0;
  if (__builtin_mul_overflow(q, m, &v)) overflow("bigint");
  return v;
}

void fnRound(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (sqlite3_value_type(a[0]) == SQLITE_NULL || sqlite3_value_type(a[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  long long places = sqlite3_value_int64(a[1]);
  bool truncate = sqlite3_value_int64(a[2]) != 0;
  if (sqlite3_value_type(a[0]) == SQLITE_INTEGER) {
    sqlite3_result_int64(ctx, roundInteger(sqlite3_value_int64(a[0]), places, truncate));
    return;
  }
  double x = sqlite3_value_double(a[0]);
  if (places > 15) places = 15;
  if (places < -15) places = -15;
  double f = std::pow(10.0, static_cast<double>(places));
  double y = x * f;
  // Correct for representation error before rounding half away from zero.
  double r = truncate ? std::trunc(y) : std::round(y + (y >= 0 ? 1e-9 : -1e-9));
  sqlite3_result_double(ctx, r / f);
}

void fnCeilFloor(sqlite3_context* ctx, sqlite3_value* v, bool ceil) {
  if (sqlite3_value_type(v) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  if (sqlite3_value_type(v) == SQLITE_INTEGER) {
    sqlite3_result_int64(ctx, sqlite3_value_int64(v));
    return;
  }
  double x = sqlite3_value_double(v);
  double r = ceil ? std::ceil(x) : std::floor(x);
  if (std::fabs(r) < 9e15)
    sqlite3_result_int64(ctx, static_cast<long long>(r));
  else
    sqlite3_result_double(ctx, r);
}
void fnCeiling(sqlite3_context* ctx, int, sqlite3_value** a) {
  fnCeilFloor(ctx, a[0], true);
}
void fnFloor(sqlite3_context* ctx, int, sqlite3_value** a) {
  fnCeilFloor(ctx, a[0], false);
}

void divideByZero(sqlite3_context* ctx) {
  fail(ctx, DbError("Divide by zero error encountered.", "22012", 8134));
}

// tsql_divisor(x): x itself, or the error SQL Server raises when it divides by zero. Column defaults
// written into a catalog's tables before tsql_div existed may still call it.
void fnDivisor(sqlite3_context* ctx, int, sqlite3_value** a) {
  int t = sqlite3_value_type(a[0]);
  if ((t == SQLITE_INTEGER && sqlite3_value_int64(a[0]) == 0) ||
      (t == SQLITE_FLOAT && sqlite3_value_double(a[0]) == 0)) {
    divideByZero(ctx);
    return;
  }
  sqlite3_result_value(ctx, a[0]);
}

// An operand of / and % read as SQLite's arithmetic reads it: an integer stays one, text is read
// as a number.
struct Operand {
  bool integer;
  long long i;
  double r;
};
Operand operandOf(sqlite3_value* v) {
  if (sqlite3_value_numeric_type(v) == SQLITE_INTEGER) return {true, sqlite3_value_int64(v), 0};
  double r = sqlite3_value_double(v);
  if (sqlite3_value_type(v) != SQLITE_FLOAT && std::fabs(r) < 9e18 && r == std::trunc(r))
    return {true, static_cast<long long>(r), 0};
  return {false, 0, r};
}

// tsql_div(x, y) and tsql_mod(x, y): x / y and x % y as SQLite computes them, except that a zero
// divisor is SQL Server's error. A NULL operand makes the result NULL before the divisor is looked
// at: NULL / 0 is NULL, as in SQL Server.
void fnDivide(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (sqlite3_value_type(a[0]) == SQLITE_NULL || sqlite3_value_type(a[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  Operand x = operandOf(a[0]), y = operandOf(a[1]);
  if (x.integer && y.integer) {
    if (y.i == 0) return divideByZero(ctx);
    if (!(y.i == -1 && x.i == LLONG_MIN)) return sqlite3_result_int64(ctx, x.i / y.i);
  }
  double xr = x.integer ? static_cast<double>(x.i) : x.r, yr = y.integer ? static_cast<double>(y.i) : y.r;
  if (yr == 0) return divideByZero(ctx);
  double q = xr / yr;
  if (std::isnan(q)) return sqlite3_result_null(ctx);
  sqlite3_result_double(ctx, q);
}
void fnModulo(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (sqlite3_value_type(a[0]) == SQLITE_NULL || sqlite3_value_type(a[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  Operand x = operandOf(a[0]), y = operandOf(a[1]);
  if ((y.integer && y.i == 0) || (!y.integer && y.r == 0)) return divideByZero(ctx);
  // A float operand is taken as an integer, as SQLite does; a divisor that becomes 0 gives NULL.
  auto whole = [](const Operand& o) {
    if (o.integer) return o.i;
    if (std::isnan(o.r)) return 0LL;
    return o.r <= -9.2e18 ? LLONG_MIN : o.r >= 9.2e18 ? LLONG_MAX : static_cast<long long>(o.r);
  };
  long long xi = whole(x), yi = whole(y);
  if (yi == 0) return sqlite3_result_null(ctx);
  if (yi == -1) yi = 1;
  if (x.integer && y.integer) return sqlite3_result_int64(ctx, xi % yi);
  sqlite3_result_double(ctx, static_cast<double>(xi % yi));
}

// tsql_ident([lowest, highest, type name]): the next identity value of the statement being run. A
// value outside the column's type, or past the last one a 64-bit counter holds, fails as SQL
// Server's identity overflow does.
void fnIdent(sqlite3_context* ctx, int argc, sqlite3_value** a) {
  auto* h = static_cast<FunctionHost*>(sqlite3_user_data(ctx));
  if (!h || !h->identityActive) {
    sqlite3_result_null(ctx);
    return;
  }
  std::string type = argc > 2 ? textArg(a[2]) : std::string("bigint");
  auto identityOverflow = [&] {
    throw DbError("Arithmetic overflow error converting IDENTITY to data type " + type + ".", "22003", 8115);
  };
  // An increment of zero marks a counter that has run past the 64-bit range.
  if (h->identityIncrement == 0) identityOverflow();
  std::int64_t v = h->identityNext;
  if (argc > 2 && (v < sqlite3_value_int64(a[0]) || v > sqlite3_value_int64(a[1]))) identityOverflow();
  h->identityLast = v;
  ++h->identityCount;
  if (__builtin_add_overflow(v, h->identityIncrement, &h->identityNext)) h->identityIncrement = 0;
  sqlite3_result_int64(ctx, v);
}

// Case-insensitive (ASCII letters) and blind to trailing blanks, as SQL Server's default collation.
int collateTsql(void*, int n1, const void* p1, int n2, const void* p2) {
  const char* a = static_cast<const char*>(p1);
  const char* b = static_cast<const char*>(p2);
  while (n1 > 0 && a[n1 - 1] == ' ') --n1;
  while (n2 > 0 && b[n2 - 1] == ' ') --n2;
  int n = n1 < n2 ? n1 : n2;
  for (int i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(fold(a[i]));
    unsigned char y = static_cast<unsigned char>(fold(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
}

}  // namespace

std::string encodeFunctionError(const std::string& message, const std::string& state, long native) {
  return std::string(1, kMark) + std::to_string(native) + kMark + state + kMark + message;
}

bool decodeFunctionError(const std::string& text, std::string& message, std::string& state, long& native) {
  if (text.empty() || text[0] != kMark) return false;
  std::size_t a = text.find(kMark, 1);
  if (a == std::string::npos) return false;
  std::size_t b = text.find(kMark, a + 1);
  if (b == std::string::npos) return false;
  native = std::atol(text.substr(1, a - 1).c_str());
  state = text.substr(a + 1, b - a - 1);
  message = text.substr(b + 1);
  return true;
}

void reportFunctionException(sqlite3_context* ctx) noexcept {
  try {
    try {
      throw;
    } catch (const DbError& e) {
      fail(ctx, e);
    } catch (const std::bad_alloc&) {
      fail(ctx,
           DbError("There is insufficient system memory in resource pool 'default' to run this query.", "HY001", 701));
    } catch (const std::exception& e) {
      fail(ctx, DbError(std::string("Internal error in a server function: ") + e.what(), "HY000", 0));
    } catch (...) {
      fail(ctx, DbError("Internal error in a server function.", "HY000", 0));
    }
  } catch (...) {
    // Reporting itself ran out of memory.
    sqlite3_result_error_nomem(ctx);
  }
}

void registerFunctions(sqlite3* db, FunctionHost* host) {
  using Fn = void (*)(sqlite3_context*, int, sqlite3_value**);
  struct Registration {
    const char* name;
    int argc;
    bool deterministic;
    Fn fn;
  };
  static constexpr Registration kFunctions[] = {
      {"tsql_conv", 11, true, guarded<fnConv>},
      {"tsql_getdate", 0, false, guarded<fnGetDate>},
      {"tsql_getutcdate", 0, false, guarded<fnGetUtcDate>},
      {"tsql_dateadd", 3, true, guarded<fnDateAdd>},
      {"tsql_datediff", 3, true, guarded<fnDateDiff>},
      {"tsql_datepart", 2, true, guarded<fnDatePart>},
      {"tsql_add", 2, true, guarded<fnAdd>},
      {"tsql_right", 2, true, guarded<fnRight>},
      {"tsql_replace", 3, true, guarded<fnReplace>},
      {"tsql_replace", 4, true, guarded<fnReplace>},
      {"tsql_charindex", 2, true, guarded<fnCharIndex>},
      {"tsql_charindex", 3, true, guarded<fnCharIndex>},
      {"tsql_replicate", 2, true, guarded<fnReplicate>},
      {"tsql_replicate", 3, true, guarded<fnReplicate>},
      {"tsql_round", 3, true, guarded<fnRound>},
      {"tsql_ceiling", 1, true, guarded<fnCeiling>},
      {"tsql_floor", 1, true, guarded<fnFloor>},
      {"tsql_divisor", 1, true, guarded<fnDivisor>},
      {"tsql_div", 2, true, guarded<fnDivide>},
      {"tsql_mod", 2, true, guarded<fnModulo>},
  };
  for (const Registration& r : kFunctions)
    sqlite3_create_function(db, r.name, r.argc, SQLITE_UTF8 | (r.deterministic ? SQLITE_DETERMINISTIC : 0), nullptr,
                            r.fn, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_ident", 0, SQLITE_UTF8, host, guarded<fnIdent>, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_ident", 3, SQLITE_UTF8, host, guarded<fnIdent>, nullptr, nullptr);
  sqlite3_create_collation(db, "TSQL", SQLITE_UTF8, nullptr, collateTsql);
  registerDecimalFunctions(db);
}

}  // namespace erpsync::db::embedded
