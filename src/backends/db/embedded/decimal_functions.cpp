// Exact numerics inside SQLite. Values of numeric/decimal/money arrive as integers, decimal text or
// (from float arithmetic and older catalogs) floats; every function reads all three. Results are
// exact at the scale the translator asks for (a quotient is rounded there); a result with no
// decimals that fits 64 bits comes back as an integer, anything else as decimal text.
#include "db/embedded/decimal_functions.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "db/db_error.h"
#include "db/embedded/exact_decimal.h"
#include "db/embedded/sql_types.h"
#include "db/embedded/sqlite_functions.h"

namespace erpsync::db::embedded {

namespace {

[[noreturn]] void overflowError() {
  throw DbError("Arithmetic overflow error converting expression to data type numeric.", "22003", 8115);
}

void fail(sqlite3_context* ctx, const DbError& e) {
  std::string t = encodeFunctionError(e.description(), e.sqlState(), e.nativeError());
  sqlite3_result_error(ctx, t.data(), static_cast<int>(t.size()));
}

// The argument as an exact decimal; nullopt for NULL. Text that is no number fails as SQL Server
// fails converting a varchar to numeric.
std::optional<ExactDecimal> arg(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      return std::nullopt;
    case SQLITE_INTEGER:
      return ExactDecimal::fromInt(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
      if (auto d = ExactDecimal::fromDouble(sqlite3_value_double(v))) return d;
      overflowError();
    default: {
      const char* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
      SqlValue s{std::string(t ? t : "", static_cast<std::size_t>(sqlite3_value_bytes(v)))};
      if (auto d = exactOf(s)) return d;
      throw DbError("Error converting data type varchar to numeric.", "22018", 8114);
    }
  }
}

void result(sqlite3_context* ctx, const ExactDecimal& d) {
  SqlValue v = decimalValue(d);
  if (v.isInt()) {
    sqlite3_result_int64(ctx, v.i());
    return;
  }
  sqlite3_result_text(ctx, v.s().data(), static_cast<int>(v.s().size()), SQLITE_TRANSIENT);
}

void resultAt(sqlite3_context* ctx, std::optional<ExactDecimal> d, int scale) {
  if (!d || !d->rescale(scale)) overflowError();
  result(ctx, *d);
}

// Runs a two-operand function body with SQL NULL and error handling around it.
template <typename F>
void binary(sqlite3_context* ctx, sqlite3_value** a, F body) {
  try {
    auto x = arg(a[0]), y = arg(a[1]);
    if (!x || !y) {
      sqlite3_result_null(ctx);
      return;
    }
    body(*x, *y);
  } catch (const DbError& e) {
    fail(ctx, e);
  }
}

void fnAdd(sqlite3_context* ctx, int, sqlite3_value** a) {
  binary(ctx, a, [&](auto& x, auto& y) { resultAt(ctx, add(x, y), sqlite3_value_int(a[2])); });
}
void fnSub(sqlite3_context* ctx, int, sqlite3_value** a) {
  binary(ctx, a, [&](auto& x, auto& y) { resultAt(ctx, subtract(x, y), sqlite3_value_int(a[2])); });
}
void fnMul(sqlite3_context* ctx, int, sqlite3_value** a) {
  binary(ctx, a, [&](auto& x, auto& y) { resultAt(ctx, multiply(x, y), sqlite3_value_int(a[2])); });
}
void fnDiv(sqlite3_context* ctx, int, sqlite3_value** a) {
  binary(ctx, a, [&](auto& x, auto& y) {
    if (y.sign() == 0) throw DbError("Divide by zero error encountered.", "22012", 8134);
    int scale = sqlite3_value_int(a[2]);
    resultAt(ctx, divide(x, y, scale), scale);
  });
}
void fnCmp(sqlite3_context* ctx, int, sqlite3_value** a) {
  binary(ctx, a, [&](auto& x, auto& y) { sqlite3_result_int(ctx, compare(x, y)); });
}

void fnAbs(sqlite3_context* ctx, int, sqlite3_value** a) {
  try {
    auto x = arg(a[0]);
    if (!x) return sqlite3_result_null(ctx);
    if (x->mantissa < 0) x->mantissa = -x->mantissa;
    result(ctx, *x);
  } catch (const DbError& e) {
    fail(ctx, e);
  }
}

// tsql_dround(x, places, truncate)
void fnRound(sqlite3_context* ctx, int, sqlite3_value** a) {
  try {
    auto x = arg(a[0]);
    if (!x || sqlite3_value_type(a[1]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    long long places = sqlite3_value_int64(a[1]);
    places = places < -ExactDecimal::kMaxDigits  ? -ExactDecimal::kMaxDigits
             : places > ExactDecimal::kMaxDigits ? ExactDecimal::kMaxDigits
                                                 : places;
    auto r = roundAt(*x, static_cast<int>(places), sqlite3_value_int64(a[2]) != 0);
    if (!r) overflowError();
    result(ctx, *r);
  } catch (const DbError& e) {
    fail(ctx, e);
  }
}

// ---- aggregates ----
// SQLite keeps an aggregate's state in zeroed memory aligned for 8 bytes only; a 128-bit mantissa
// wants 16, so the state is copied in and out.

struct SumState {
  Int128 mantissa;
  int scale;
  long long count;
};

struct ExtremeState {
  Int128 mantissa;
  int scale;
  bool any;
};

template <typename T>
bool loadState(sqlite3_context* ctx, int bytes, T& state) {
  void* p = sqlite3_aggregate_context(ctx, bytes);
  if (!p) return false;
  std::memcpy(&state, p, sizeof state);
  return true;
}

template <typename T>
void storeState(sqlite3_context* ctx, const T& state) {
  if (void* p = sqlite3_aggregate_context(ctx, sizeof state)) std::memcpy(p, &state, sizeof state);
}

ExactDecimal decimalOf(Int128 mantissa, int scale) {
  ExactDecimal d;
  d.mantissa = mantissa;
  d.scale = scale;
  return d;
}

// Adds one value to a running exact sum (NULL values are skipped, as SUM skips them).
void sumStep(sqlite3_context* ctx, int, sqlite3_value** a) {
  try {
    auto x = arg(a[0]);
    if (!x) return;
    SumState st{};
    if (!loadState(ctx, sizeof st, st)) return sqlite3_result_error_nomem(ctx);
    auto r = add(decimalOf(st.mantissa, st.scale), *x);
    if (!r) overflowError();
    st.mantissa = r->mantissa;
    st.scale = r->scale;
    ++st.count;
    storeState(ctx, st);
  } catch (const DbError& e) {
    fail(ctx, e);
  }
}

void sumFinal(sqlite3_context* ctx) {
  SumState st{};
  if (!loadState(ctx, 0, st) || st.count == 0) return sqlite3_result_null(ctx);
  result(ctx, decimalOf(st.mantissa, st.scale));
}

// The average keeps at least six decimals, as SQL Server's AVG of a numeric does.
void avgFinal(sqlite3_context* ctx) {
  try {
    SumState st{};
    if (!loadState(ctx, 0, st) || st.count == 0) return sqlite3_result_null(ctx);
    int scale = std::max(st.scale, 6);
    resultAt(ctx, divide(decimalOf(st.mantissa, st.scale), ExactDecimal::fromInt(st.count), scale), scale);
  } catch (const DbError& e) {
    fail(ctx, e);
  }
}

template <int Sign>
void extremeStep(sqlite3_context* ctx, int, sqlite3_value** a) {
  try {
    auto x = arg(a[0]);
    if (!x) return;
    ExtremeState st{};
    if (!loadState(ctx, sizeof st, st)) return sqlite3_result_error_nomem(ctx);
    if (!st.any || compare(*x, decimalOf(st.mantissa, st.scale)) * Sign > 0) {
      st.mantissa = x->mantissa;
      st.scale = x->scale;
      st.any = true;
      storeState(ctx, st);
    }
  } catch (const DbError& e) {
    fail(ctx, e);
  }
}

void extremeFinal(sqlite3_context* ctx) {
  ExtremeState st{};
  if (!loadState(ctx, 0, st) || !st.any) return sqlite3_result_null(ctx);
  result(ctx, decimalOf(st.mantissa, st.scale));
}

// Decimal texts compare as numbers ("9.50" < "10.00", "1.5" = "1.50"); text that is no number
// sorts after every number, by its bytes.
int collateDecimal(void*, int n1, const void* p1, int n2, const void* p2) {
  std::string_view a(static_cast<const char*>(p1), static_cast<std::size_t>(n1));
  std::string_view b(static_cast<const char*>(p2), static_cast<std::size_t>(n2));
  auto trim = [](std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
  };
  auto x = ExactDecimal::parse(trim(a)), y = ExactDecimal::parse(trim(b));
  if (x && y) return compare(*x, *y);
  if (x || y) return x ? -1 : 1;
  int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  return c != 0 ? c : (a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0);
}

}  // namespace

void registerDecimalFunctions(sqlite3* db) {
  const int det = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  sqlite3_create_function(db, "tsql_dadd", 3, det, nullptr, guarded<fnAdd>, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_dsub", 3, det, nullptr, guarded<fnSub>, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_dmul", 3, det, nullptr, guarded<fnMul>, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_ddiv", 3, det, nullptr, guarded<fnDiv>, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_dcmp", 2, det, nullptr, guarded<fnCmp>, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_dabs", 1, det, nullptr, guarded<fnAbs>, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_dround", 3, det, nullptr, guarded<fnRound>, nullptr, nullptr);
  sqlite3_create_function(db, "tsql_dsum", 1, det, nullptr, nullptr, guarded<sumStep>, guardedFinal<sumFinal>);
  sqlite3_create_function(db, "tsql_davg", 1, det, nullptr, nullptr, guarded<sumStep>, guardedFinal<avgFinal>);
  sqlite3_create_function(db, "tsql_dmin", 1, det, nullptr, nullptr, guarded<extremeStep<-1>>,
                          guardedFinal<extremeFinal>);
  sqlite3_create_function(db, "tsql_dmax", 1, det, nullptr, nullptr, guarded<extremeStep<1>>,
                          guardedFinal<extremeFinal>);
  sqlite3_create_collation(db, "TSQLDEC", SQLITE_UTF8, nullptr, collateDecimal);
}

}  // namespace erpsync::db::embedded
