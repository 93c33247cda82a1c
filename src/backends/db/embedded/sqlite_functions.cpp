#include "db/embedded/sqlite_functions.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "db/db_error.h"
#include "db/embedded/datetime_text.h"
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

void result(sqlite3_context* ctx, const SqlValue& v) {
  if (v.isNull())
    sqlite3_result_null(ctx);
  else if (v.isInt())
    sqlite3_result_int64(ctx, v.i());
  else if (v.isReal())
    sqlite3_result_double(ctx, v.d());
  else
    sqlite3_result_text(ctx, v.s().data(), static_cast<int>(v.s().size()), SQLITE_TRANSIENT);
}

void fail(sqlite3_context* ctx, const DbError& e) {
  std::string t = encodeFunctionError(e.description(), e.sqlState(), e.nativeError());
  sqlite3_result_error(ctx, t.data(), static_cast<int>(t.size()));
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
  try {
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
  } catch (const DbError& e) {
    fail(ctx, e);
  }
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
  std::string t = roundToDatetimeTicks(serverNow()).iso();
  sqlite3_result_text(ctx, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
}
void fnGetUtcDate(sqlite3_context* ctx, int, sqlite3_value**) {
  std::string t = roundToDatetimeTicks(serverUtcNow()).iso();
  sqlite3_result_text(ctx, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
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

void fnDateAdd(sqlite3_context* ctx, int, sqlite3_value** a) {
  try {
    std::string part(reinterpret_cast<const char*>(sqlite3_value_text(a[0])));
    if (sqlite3_value_type(a[1]) == SQLITE_NULL || sqlite3_value_type(a[2]) == SQLITE_NULL) {
      sqlite3_result_null(ctx);
      return;
    }
    SqlValue nv = fromSqlite(a[1]);
    ColType bi;
    bi.base = BaseType::BigInt;
    long long n = 0;
    if (nv.isReal())
      n = static_cast<long long>(std::trunc(nv.d()));
    else
      n = convertValue(nv, nv.isText() ? ColType{BaseType::VarChar, 30} : ColType{}, bi, false).i();
    auto t = dateArg(a[2]);
    if (!t) {
      sqlite3_result_null(ctx);
      return;
    }
    DateTime r = *t;
    if (part == "year")
      r = addMonths(r, n * 12);
    else if (part == "quarter")
      r = addMonths(r, n * 3);
    else if (part == "month")
      r = addMonths(r, n);
    else if (part == "day" || part == "dayofyear" || part == "weekday")
      r = fromTotalMs(totalMs(r) + n * 86400000LL);
    else if (part == "week")
      r = fromTotalMs(totalMs(r) + n * 7 * 86400000LL);
    else if (part == "hour")
      r = fromTotalMs(totalMs(r) + n * 3600000LL);
    else if (part == "minute")
      r = fromTotalMs(totalMs(r) + n * 60000LL);
    else if (part == "second")
      r = fromTotalMs(totalMs(r) + n * 1000LL);
    else
      r = fromTotalMs(totalMs(r) + n);
    if (!r.valid() || r.year < 1753)
      throw DbError("Adding a value to a 'datetime' column caused an overflow.", "22008", 517);
    std::string s = r.iso();
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
  } catch (const DbError& e) {
    fail(ctx, e);
  }
}

long long weekIndex(const DateTime& t) {
  long long dn = t.dayNumber();  // day 0 (1900-01-01) is a Monday
  long long x = dn + 1;
  return x >= 0 ? x / 7 : -((-x + 6) / 7);
}

void fnDateDiff(sqlite3_context* ctx, int, sqlite3_value** a) {
  try {
    std::string part(reinterpret_cast<const char*>(sqlite3_value_text(a[0])));
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
    if (r > 2147483647LL || r < -2147483648LL)
      throw DbError(
          "The datediff function resulted in an overflow. The number of dateparts separating two date/time "
          "instances is too large. Try to use datediff with a less precise datepart.",
          "22003", 535);
    sqlite3_result_int64(ctx, r);
  } catch (const DbError& e) {
    fail(ctx, e);
  }
}

void fnDatePart(sqlite3_context* ctx, int, sqlite3_value** a) {
  try {
    std::string part(reinterpret_cast<const char*>(sqlite3_value_text(a[0])));
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
  } catch (const DbError& e) {
    fail(ctx, e);
  }
}

// text + text concatenates, number + number adds, and a text meeting a number is read as a number.
void fnAdd(sqlite3_context* ctx, int, sqlite3_value** a) {
  try {
    SqlValue x = fromSqlite(a[0]), y = fromSqlite(a[1]);
    if (x.isNull() || y.isNull()) {
      sqlite3_result_null(ctx);
      return;
    }
    if (x.isText() && y.isText()) {
      std::string s = x.s() + y.s();
      sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
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
    if (x.isInt() && y.isInt())
      sqlite3_result_int64(ctx, x.i() + y.i());
    else
      sqlite3_result_double(ctx, x.asDouble() + y.asDouble());
  } catch (const DbError& e) {
    fail(ctx, e);
  }
}

std::string textArg(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  return t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_value_bytes(v)))
           : std::string();
}

char fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
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
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
    ++k;
  }
  std::string r = s.substr(i);
  sqlite3_result_text(ctx, r.data(), static_cast<int>(r.size()), SQLITE_TRANSIENT);
}

std::size_t findCi(const std::string& hay, const std::string& needle, std::size_t from) {
  if (needle.empty()) return std::string::npos;
  for (std::size_t i = from; i + needle.size() <= hay.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && fold(hay[i + k]) == fold(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string::npos;
}

void fnReplace(sqlite3_context* ctx, int, sqlite3_value** a) {
  for (int i = 0; i < 3; ++i)
    if (sqlite3_value_type(a[i]) == SQLITE_NULL) {
      sqlite3_result_null(ctx);
      return;
    }
  std::string s = textArg(a[0]), f = textArg(a[1]), r = textArg(a[2]);
  if (f.empty()) {
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    return;
  }
  std::string out;
  std::size_t pos = 0;
  while (true) {
    std::size_t hit = findCi(s, f, pos);
    if (hit == std::string::npos) break;
    out.append(s, pos, hit - pos);
    out += r;
    pos = hit + f.size();
  }
  out.append(s, pos, std::string::npos);
  sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
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

void fnReplicate(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (sqlite3_value_type(a[0]) == SQLITE_NULL || sqlite3_value_type(a[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  std::string s = textArg(a[0]);
  long long n = sqlite3_value_int64(a[1]);
  if (n < 0) {
    sqlite3_result_null(ctx);
    return;
  }
  std::string out;
  if (s.size() * static_cast<std::size_t>(n) > 8000)
    n = static_cast<long long>(8000 / std::max<std::size_t>(1, s.size()));
  for (long long i = 0; i < n; ++i) out += s;
  sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void fnRound(sqlite3_context* ctx, int, sqlite3_value** a) {
  if (sqlite3_value_type(a[0]) == SQLITE_NULL || sqlite3_value_type(a[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  long long places = sqlite3_value_int64(a[1]);
  bool truncate = sqlite3_value_int64(a[2]) != 0;
  if (sqlite3_value_type(a[0]) == SQLITE_INTEGER && places >= 0) {
    sqlite3_result_int64(ctx, sqlite3_value_int64(a[0]));
    return;
  }
  double x = sqlite3_value_double(a[0]);
  if (places > 15) places = 15;
  if (places < -15) places = -15;
  double f = std::pow(10.0, static_cast<double>(places));
  double y = x * f;
  // Correct for representation error before rounding half away from zero.
  double r = truncate ? std::trunc(y) : std::round(y + (y >= 0 ? 1e-9 : -1e-9));
  double v = r / f;
  if (sqlite3_value_type(a[0]) == SQLITE_INTEGER)
    sqlite3_result_int64(ctx, static_cast<long long>(v));
  else
    sqlite3_result_double(ctx, v);
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

// tsql_divisor(x): x itself, or the error SQL Server raises when it divides by zero.
void fnDivisor(sqlite3_context* ctx, int, sqlite3_value** a) {
  int t = sqlite3_value_type(a[0]);
  if ((t == SQLITE_INTEGER && sqlite3_value_int64(a[0]) == 0) ||
      (t == SQLITE_FLOAT && sqlite3_value_double(a[0]) == 0)) {
    fail(ctx, DbError("Divide by zero error encountered.", "22012", 8134));
    return;
  }
  sqlite3_result_value(ctx, a[0]);
}

void fnIdent(sqlite3_context* ctx, int, sqlite3_value**) {
  auto* h = static_cast<FunctionHost*>(sqlite3_user_data(ctx));
  if (!h || !h->identityActive) {
    sqlite3_result_null(ctx);
    return;
  }
  std::int64_t v = h->identityNext;
  h->identityLast = v;
  h->identityNext += h->identityIncrement;
  ++h->identityCount;
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

void registerFunctions(sqlite3* db, FunctionHost* host) {
  const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  const int nondet = SQLITE_UTF8;
  sqlite3_create_function(db, "tsql_conv", 11, det, nullptr, fnConv, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_getdate", 0, nondet, nullptr, fnGetDate, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_getutcdate", 0, nondet, nullptr, fnGetUtcDate, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_dateadd", 3, det, nullptr, fnDateAdd, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_datediff", 3, det, nullptr, fnDateDiff, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_datepart", 2, det, nullptr, fnDatePart, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_add", 2, det, nullptr, fnAdd, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_right", 2, det, nullptr, fnRight, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_replace", 3, det, nullptr, fnReplace, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_charindex", 2, det, nullptr, fnCharIndex, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_charindex", 3, det, nullptr, fnCharIndex, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_replicate", 2, det, nullptr, fnReplicate, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_round", 3, det, nullptr, fnRound, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_ceiling", 1, det, nullptr, fnCeiling, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_floor", 1, det, nullptr, fnFloor, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_divisor", 1, det, nullptr, fnDivisor, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_ident", 0, nondet, host, fnIdent, nullptr, nullptr);
  sqlite3_create_collation(db, "TSQL", SQLITE_UTF8, nullptr, collateTsql);
}

}  // namespace erpsync::db::embedded
