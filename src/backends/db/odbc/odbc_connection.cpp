// SQL Server through the standard ODBC API. Every statement runs on its own statement handle that
// is read to the end and freed before the call returns, so a connection never holds a pending
// result (FreeTDS allows only one active statement per connection).
#include "db/odbc/odbc_connection.h"

#ifdef _WIN32
#include <windows.h>
#endif
// Narrow and wide entry points are chosen explicitly, whatever UNICODE says.
#define SQL_NOUNICODEMAP
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "db/odbc/odbc_text.h"
#include "db/odbc/odbc_watchdog.h"
#include "util/text.h"

namespace erpsync::db::odbc {

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the ODBC wide API is expected to use UTF-16");

// Seconds an open may take before it gives up: an unreachable server must fail in seconds.
constexpr SQLULEN kLoginTimeoutSeconds = 10;
// Bound on requests other than statements (commit, rollback, metadata) for drivers that honour it,
// so a dead link cannot hang the program; generous enough for a large commit.
constexpr SQLULEN kRequestTimeoutSeconds = 30;
// The command time-out a connection starts with, as the OLE DB client library had it.
constexpr int kDefaultCommandTimeoutSeconds = 30;
// How long past the command time-out a driver call may run before the watchdog cancels it. Drivers
// that enforce the time-out themselves (SQL Server's) get to do so first, with their own clean-up.
constexpr auto kCancelGrace = std::chrono::seconds(1);
// Piece size for long values read with SQLGetData.
constexpr std::size_t kPieceBytes = 8192;

constexpr const char* kClosedText = "Operation is not allowed when the object is closed.";
constexpr const char* kTimeoutText = "Query timeout expired";

using WideText = std::vector<SQLWCHAR>;

WideText toWide(std::string_view utf8) {
  std::u16string u = detail::utf8ToUtf16(utf8);
  WideText w(u.begin(), u.end());
  w.push_back(0);
  return w;
}

std::string fromWide(const SQLWCHAR* text, std::size_t length) {
  std::u16string u(length, u'\0');
  for (std::size_t i = 0; i < length; ++i) u[i] = static_cast<char16_t>(text[i]);
  return detail::utf16ToUtf8(u);
}

// An ODBC handle that frees itself.
class Handle {
 public:
  Handle() = default;
  Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &h_))) {
      h_ = SQL_NULL_HANDLE;
      throw DbError(type == SQL_HANDLE_STMT
                        ? "Unable to allocate an ODBC statement handle"
                        : "Unable to allocate an ODBC handle (is the ODBC driver manager installed?)");
    }
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& o) noexcept : type_(o.type_), h_(std::exchange(o.h_, nullptr)) {}
  Handle& operator=(Handle&& o) noexcept {
    if (this != &o) {
      reset();
      type_ = o.type_;
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  ~Handle() { reset(); }

  void reset() {
    if (h_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, h_);
    h_ = SQL_NULL_HANDLE;
  }
  SQLHANDLE get() const { return h_; }
  SQLSMALLINT type() const { return type_; }

 private:
  SQLSMALLINT type_ = SQL_HANDLE_ENV;
  SQLHANDLE h_ = SQL_NULL_HANDLE;
};

struct DiagRecord {
  std::string state;
  long native = 0;
  std::string text;
};

std::vector<DiagRecord> diagnostics(const Handle& h, bool wide) {
  std::vector<DiagRecord> out;
  for (SQLSMALLINT i = 1;; ++i) {
    DiagRecord r;
    SQLINTEGER native = 0;
    SQLSMALLINT len = 0;
    SQLRETURN rc;
    if (wide) {
      SQLWCHAR state[6] = {};
      std::vector<SQLWCHAR> msg(1024);
      rc = SQLGetDiagRecW(h.type(), h.get(), i, state, &native, msg.data(), static_cast<SQLSMALLINT>(msg.size()), &len);
      if (rc == SQL_SUCCESS_WITH_INFO && len >= static_cast<SQLSMALLINT>(msg.size())) {
        msg.resize(static_cast<std::size_t>(len) + 1);
        rc = SQLGetDiagRecW(h.type(), h.get(), i, state, &native, msg.data(), static_cast<SQLSMALLINT>(msg.size()),
                            &len);
      }
      if (!SQL_SUCCEEDED(rc)) break;
      r.state = fromWide(state, 5);
      r.text = fromWide(msg.data(),
                        std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(len, 0)), msg.size() - 1));
    } else {
      SQLCHAR state[6] = {};
      std::vector<SQLCHAR> msg(2048);
      rc = SQLGetDiagRec(h.type(), h.get(), i, state, &native, msg.data(), static_cast<SQLSMALLINT>(msg.size()), &len);
      if (rc == SQL_SUCCESS_WITH_INFO && len >= static_cast<SQLSMALLINT>(msg.size())) {
        msg.resize(static_cast<std::size_t>(len) + 1);
        rc =
            SQLGetDiagRec(h.type(), h.get(), i, state, &native, msg.data(), static_cast<SQLSMALLINT>(msg.size()), &len);
      }
      if (!SQL_SUCCEEDED(rc)) break;
      r.state.assign(reinterpret_cast<const char*>(state), 5);
      r.text.assign(reinterpret_cast<const char*>(msg.data()),
                    std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(len, 0)), msg.size() - 1));
    }
    r.state = r.state.c_str();  // drop anything after an early terminator
    r.native = static_cast<long>(native);
    r.text = text::trimRight(detail::stripDriverPrefixes(r.text), text::kWhitespace);
    out.push_back(std::move(r));
  }
  return out;
}

// The error of the last call on a handle, worded as the server words it. Errors come before
// warnings ("01..." states such as a PRINT or "The statement has been terminated."), so the
// SQLSTATE and native number are those of the real error.
DbError errorFrom(const Handle& h, bool wide, std::string_view fallback, bool onOpenConnection = true) {
  std::vector<DiagRecord> records = diagnostics(h, wide);
  std::stable_partition(records.begin(), records.end(),
                        [](const DiagRecord& r) { return r.state.rfind("01", 0) != 0; });
  std::string description;
  std::vector<std::string> seen;
  for (const auto& r : records) {
    if (r.text.empty() || std::find(seen.begin(), seen.end(), r.text) != seen.end()) continue;
    seen.push_back(r.text);
    if (!description.empty()) description += ' ';
    description += r.text;
  }
  if (description.empty()) description = std::string(fallback);
  std::string state = records.empty() || records.front().state.empty() ? "HY000" : records.front().state;
  long native = records.empty() ? 0 : records.front().native;
  description = detail::withClientPhrases(std::move(description), state, onOpenConnection);
  return DbError(std::move(description), std::move(state), native);
}

void check(SQLRETURN rc, const Handle& h, bool wide, std::string_view what) {
  if (rc == SQL_INVALID_HANDLE) throw DbError(std::string(what) + ": invalid ODBC handle");
  if (!SQL_SUCCEEDED(rc)) throw errorFrom(h, wide, what);
}

std::optional<std::string> environment(const char* name) {
  const char* v = std::getenv(name);
  if (!v || !*v) return std::nullopt;
  return std::string(v);
}

// Whether text goes through the driver's wide (UTF-16) entry points. That is the only portable way
// to get unicode to SQL Server's drivers (the narrow ones use the process code page), but the
// SQLite ODBC driver has no wide entry points and is UTF-8 on its narrow ones: the driver manager's
// own conversion would damage everything outside Latin-1. ERPSYNC_ODBC_UNICODE=0/1 overrides.
std::optional<bool> wideOverride() {
  auto v = environment("ERPSYNC_ODBC_UNICODE");
  if (!v) return std::nullopt;
  const std::string l = text::lower(*v);
  return !(l == "0" || l == "no" || l == "false" || l == "off");
}

bool namesNarrowDriver(const std::string& name) {
  return text::lower(name).find("sqlite") != std::string::npos;
}

}  // namespace

struct OdbcConnection::Impl {
  Handle env;
  Handle dbc;
  bool connected = false;
  bool inTransaction = false;
  bool wide = true;
  // Whether the server runs sp_executesql (SQL Server does; the embedded server behind the wire
  // protocol does not): -1 until it is first asked on this connection.
  int executeSql = -1;
  // Kept across close and open, as the OLE DB connection object kept it.
  int commandTimeout = kDefaultCommandTimeoutSeconds;
  // Last, so its thread has stopped before the handles go.
  Watchdog watchdog;

  ~Impl() { disconnect(); }

  void disconnect() noexcept {
    if (connected) {
      if (inTransaction) SQLEndTran(SQL_HANDLE_DBC, dbc.get(), SQL_ROLLBACK);
      SQLDisconnect(dbc.get());
    }
    connected = false;
    inTransaction = false;
    executeSql = -1;
    dbc.reset();
    env.reset();
  }

  void requireOpen() const {
    if (!connected) throw DbError(kClosedText, "08003");
  }

  Handle newStatement() {
    requireOpen();
    Handle st(SQL_HANDLE_STMT, dbc.get());
    // Not every driver honours a query time-out; that is no reason to refuse the statement.
    SQLSetStmtAttr(st.get(), SQL_ATTR_QUERY_TIMEOUT,
                   reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(std::max(commandTimeout, 0))), 0);
    return st;
  }

  // Runs one driver call of a statement (execute, next result, fetch) under the command time-out:
  // the driver enforces it when it can, the watchdog cancels the call when the driver does not. A
  // cancelled call fails as SQL Server's time-out does, whatever the driver made of the cancel.
  template <typename Call>
  SQLRETURN timed(const Handle& st, Call call) {
    if (commandTimeout <= 0) return call();
    watchdog.arm(std::chrono::seconds(commandTimeout) + kCancelGrace, [h = st.get()] { SQLCancel(h); });
    const SQLRETURN rc = call();
    if (watchdog.disarm()) throw DbError(kTimeoutText, "HYT00");
    return rc;
  }

  SQLRETURN execDirect(const Handle& st, const std::string& sql) {
    if (wide) {
      WideText w = toWide(sql);
      return timed(st, [&] { return SQLExecDirectW(st.get(), w.data(), static_cast<SQLINTEGER>(w.size() - 1)); });
    }
    std::vector<SQLCHAR> n(sql.begin(), sql.end());
    n.push_back(0);
    return timed(st, [&] { return SQLExecDirect(st.get(), n.data(), static_cast<SQLINTEGER>(sql.size())); });
  }

  SQLRETURN moreResults(const Handle& st) {
    return timed(st, [&] { return SQLMoreResults(st.get()); });
  }

  void setAutocommit(bool on) {
    SQLRETURN rc = SQLSetConnectAttr(
        dbc.get(), SQL_ATTR_AUTOCOMMIT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
        SQL_IS_UINTEGER);
    check(rc, dbc, wide, "Unable to change the transaction mode");
  }

  // Ends the transaction and puts the connection back into autocommit, whatever happens; throws
  // the first failure afterwards.
  void endTransaction(SQLSMALLINT completion) {
    if (!inTransaction)
      throw completion == SQL_COMMIT
          ? DbError("The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.", "25000", 3902)
          : DbError("The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.", "25000", 3903);
    std::optional<DbError> failure;
    SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc.get(), completion);
    if (!SQL_SUCCEEDED(rc)) {
      failure = errorFrom(dbc, wide, "Unable to end the transaction");
      // A commit that failed must not leave its work pending on a connection that is about to go
      // back to autocommit (switching autocommit on would commit it).
      if (completion == SQL_COMMIT) SQLEndTran(SQL_HANDLE_DBC, dbc.get(), SQL_ROLLBACK);
    }
    inTransaction = false;
    try {
      setAutocommit(true);
    } catch (const DbError& e) {
      if (!failure) failure = e;
    }
    if (failure) throw *failure;
  }
};

namespace {

using detail::FetchKind;

// One cell read with SQLGetData, long values in pieces. Returns nullopt for NULL.
// `buffer` is scratch space shared by the cells of a result (SQLWCHAR keeps wide pieces aligned).
std::optional<std::string> readPieces(const Handle& st, bool wide, SQLUSMALLINT column, SQLSMALLINT cType,
                                      std::vector<SQLWCHAR>& buffer) {
  const std::size_t terminator = cType == SQL_C_WCHAR ? sizeof(SQLWCHAR) : cType == SQL_C_CHAR ? 1 : 0;
  buffer.resize(kPieceBytes / sizeof(SQLWCHAR));
  const auto bufferBytes = static_cast<SQLLEN>(buffer.size() * sizeof(SQLWCHAR));
  const std::size_t room = static_cast<std::size_t>(bufferBytes) - terminator;
  std::string bytes;
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(st.get(), column, cType, buffer.data(), bufferBytes, &indicator);
    if (rc == SQL_NO_DATA) break;  // every piece has been read
    check(rc, st, wide, "Unable to read a column value");
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    const bool more = indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > room;
    const std::size_t got = more ? room : static_cast<std::size_t>(indicator);
    bytes.append(reinterpret_cast<const char*>(buffer.data()), got);
    if (rc == SQL_SUCCESS || !more) break;
  }
  if (cType != SQL_C_WCHAR) return bytes;
  std::vector<SQLWCHAR> w(bytes.size() / sizeof(SQLWCHAR));
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(w.size() * sizeof(SQLWCHAR)),
            reinterpret_cast<char*>(w.data()));
  return fromWide(w.data(), w.size());
}

template <typename T>
bool readFixed(const Handle& st, bool wide, SQLUSMALLINT column, SQLSMALLINT cType, T& out) {
  SQLLEN indicator = 0;
  SQLRETURN rc = SQLGetData(st.get(), column, cType, &out, sizeof(T), &indicator);
  check(rc, st, wide, "Unable to read a column value");
  return indicator != SQL_NULL_DATA;
}

Value readCell(const Handle& st, bool wide, SQLUSMALLINT column, FetchKind kind, std::vector<SQLWCHAR>& buffer) {
  switch (kind) {
    case FetchKind::Text: {
      auto t = readPieces(st, wide, column, wide ? SQL_C_WCHAR : SQL_C_CHAR, buffer);
      return t ? Value(std::move(*t)) : Value();
    }
    case FetchKind::Decimal: {
      auto t = readPieces(st, wide, column, SQL_C_CHAR, buffer);
      return t ? Value(Decimal{detail::normalizeDecimalText(*t)}) : Value();
    }
    case FetchKind::Integer: {
      SQLBIGINT v = 0;
      return readFixed(st, wide, column, SQL_C_SBIGINT, v) ? Value(static_cast<std::int64_t>(v)) : Value();
    }
    case FetchKind::Double: {
      SQLDOUBLE v = 0;
      return readFixed(st, wide, column, SQL_C_DOUBLE, v) ? Value(static_cast<double>(v)) : Value();
    }
    case FetchKind::Boolean: {
      SQLCHAR v = 0;
      return readFixed(st, wide, column, SQL_C_BIT, v) ? Value(v != 0) : Value();
    }
    case FetchKind::Timestamp: {
      SQL_TIMESTAMP_STRUCT ts{};
      if (!readFixed(st, wide, column, SQL_C_TYPE_TIMESTAMP, ts)) return {};
      return Value(
          DateTime{ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second, static_cast<int>(ts.fraction / 1000000)});
    }
    case FetchKind::Date: {
      SQL_DATE_STRUCT d{};
      if (!readFixed(st, wide, column, SQL_C_TYPE_DATE, d)) return {};
      return Value(DateTime{d.year, d.month, d.day});
    }
    case FetchKind::Time: {
      // A time of day alone sits on SQL Server's day zero, as it does when converted to datetime.
      SQL_TIME_STRUCT t{};
      if (!readFixed(st, wide, column, SQL_C_TYPE_TIME, t)) return {};
      return Value(DateTime{1900, 1, 1, t.hour, t.minute, t.second});
    }
    case FetchKind::Binary: {
      auto b = readPieces(st, wide, column, SQL_C_BINARY, buffer);
      if (!b) return {};
      return Value(Bytes{std::vector<unsigned char>(b->begin(), b->end())});
    }
  }
  return {};
}

std::string columnName(const Handle& st, bool wide, SQLUSMALLINT column, SQLSMALLINT& sqlType) {
  SQLSMALLINT nameLength = 0, digits = 0, nullable = 0;
  SQLULEN size = 0;
  if (wide) {
    std::vector<SQLWCHAR> name(256);
    SQLRETURN rc = SQLDescribeColW(st.get(), column, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength,
                                   &sqlType, &size, &digits, &nullable);
    check(rc, st, wide, "Unable to describe a column");
    if (nameLength >= static_cast<SQLSMALLINT>(name.size())) {
      name.resize(static_cast<std::size_t>(nameLength) + 1);
      rc = SQLDescribeColW(st.get(), column, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength, &sqlType,
                           &size, &digits, &nullable);
      check(rc, st, wide, "Unable to describe a column");
    }
    return fromWide(name.data(), std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)),
                                                       name.size() - 1));
  }
  std::vector<SQLCHAR> name(512);
  SQLRETURN rc = SQLDescribeCol(st.get(), column, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength,
                                &sqlType, &size, &digits, &nullable);
  check(rc, st, wide, "Unable to describe a column");
  if (nameLength >= static_cast<SQLSMALLINT>(name.size())) {
    name.resize(static_cast<std::size_t>(nameLength) + 1);
    rc = SQLDescribeCol(st.get(), column, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength, &sqlType,
                        &size, &digits, &nullable);
    check(rc, st, wide, "Unable to describe a column");
  }
  return std::string(
      reinterpret_cast<const char*>(name.data()),
      std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)), name.size() - 1));
}

SQLSMALLINT columnCount(const Handle& st, bool wide) {
  SQLSMALLINT n = 0;
  check(SQLNumResultCols(st.get(), &n), st, wide, "Unable to read the result");
  return n;
}

// Reads the current result set to its end; `fetch` advances to the next row (SQLFetch).
template <typename Fetch>
Recordset readResultSet(const Handle& st, bool wide, SQLSMALLINT columns, Fetch fetch) {
  Recordset rs;
  std::vector<FetchKind> kinds;
  for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
    SQLSMALLINT sqlType = SQL_VARCHAR;
    std::string name = columnName(st, wide, c, sqlType);
    const detail::ColumnKind kind = detail::columnKindFor(sqlType);
    rs.fields.push_back(Field{std::move(name), kind.adoType, {}});
    kinds.push_back(kind.fetch);
  }
  std::vector<SQLWCHAR> buffer;
  for (;;) {
    SQLRETURN rc = fetch();
    if (rc == SQL_NO_DATA) break;
    check(rc, st, wide, "Unable to fetch a row");
    std::vector<Value> row;
    row.reserve(kinds.size());
    for (std::size_t c = 0; c < kinds.size(); ++c)
      row.push_back(readCell(st, wide, static_cast<SQLUSMALLINT>(c + 1), kinds[c], buffer));
    rs.rows.push_back(std::move(row));
  }
  return rs;
}

}  // namespace

OdbcConnection::OdbcConnection() : impl_(std::make_unique<Impl>()) {}
OdbcConnection::~OdbcConnection() = default;

void OdbcConnection::open(const std::string& connectionString) {
  close();
  Impl& c = *impl_;
  c.env = Handle(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  check(SQLSetEnvAttr(c.env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0), c.env, false,
        "Unable to select ODBC version 3");
  c.dbc = Handle(SQL_HANDLE_DBC, c.env.get());
  // Bound the login so an unreachable server fails in seconds rather than after the TCP time-out.
  SQLSetConnectAttr(c.dbc.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds),
                    SQL_IS_UINTEGER);
  SQLSetConnectAttr(c.dbc.get(), SQL_ATTR_CONNECTION_TIMEOUT, reinterpret_cast<SQLPOINTER>(kRequestTimeoutSeconds),
                    SQL_IS_UINTEGER);

  const std::string odbcString = toOdbcConnectionString(connectionString);
  const std::optional<bool> forced = wideOverride();
  c.wide = forced.value_or(!namesNarrowDriver(odbcString));
  SQLRETURN rc;
  if (c.wide) {
    WideText w = toWide(odbcString);
    rc = SQLDriverConnectW(c.dbc.get(), nullptr, w.data(), static_cast<SQLSMALLINT>(w.size() - 1), nullptr, 0, nullptr,
                           SQL_DRIVER_NOPROMPT);
  } else {
    std::vector<SQLCHAR> n(odbcString.begin(), odbcString.end());
    n.push_back(0);
    rc = SQLDriverConnect(c.dbc.get(), nullptr, n.data(), static_cast<SQLSMALLINT>(odbcString.size()), nullptr, 0,
                          nullptr, SQL_DRIVER_NOPROMPT);
  }
  if (!SQL_SUCCEEDED(rc)) {
    DbError e = rc == SQL_INVALID_HANDLE ? DbError("Unable to connect: invalid ODBC handle")
                                         : errorFrom(c.dbc, c.wide, "Unable to connect to the server", false);
    c.disconnect();
    throw e;
  }
  c.connected = true;
  if (!forced) {
    // A DSN hides the driver until we are connected; ask it now.
    SQLCHAR driver[256] = {};
    SQLSMALLINT len = 0;
    if (SQL_SUCCEEDED(SQLGetInfo(c.dbc.get(), SQL_DRIVER_NAME, driver, sizeof driver, &len)) &&
        namesNarrowDriver(reinterpret_cast<const char*>(driver)))
      c.wide = false;
  }
}

void OdbcConnection::close() {
  impl_->disconnect();
}

bool OdbcConnection::isOpen() const {
  return impl_->connected;
}

long long OdbcConnection::execute(const std::string& sql) {
  Impl& c = *impl_;
  Handle st = c.newStatement();
  SQLRETURN rc = c.execDirect(st, sql);
  // The count of the last statement that reports one. A trigger's own counts arrive before the
  // count of the statement that fired it, so this is the statement's count even with triggers
  // written without SET NOCOUNT ON; -1 when nothing reported a count (DDL). FreeTDS does not pass
  // trigger counts on as results: it keeps the trigger's last count as the statement's, and what
  // it reports is all this loop can see.
  long long affected = -1;
  for (;;) {
    if (rc == SQL_NO_DATA) {
      // A searched UPDATE or DELETE that matched no row; FreeTDS also answers so for a statement
      // that reports no count at all (DDL), and tells the two apart by the row count it keeps.
      SQLLEN n = 0;
      if (!SQL_SUCCEEDED(SQLRowCount(st.get(), &n))) n = 0;
      if (n >= 0) affected = n;
    } else {
      check(rc, st, c.wide, "Unable to run the statement");
      if (columnCount(st, c.wide) == 0) {
        SQLLEN n = -1;
        check(SQLRowCount(st.get(), &n), st, c.wide, "Unable to read the rows affected");
        if (n >= 0) affected = n;
      }
    }
    rc = c.moreResults(st);
    if (rc == SQL_NO_DATA) break;
  }
  return affected;
}

Recordset OdbcConnection::query(const std::string& sql) {
  Impl& c = *impl_;
  Handle st = c.newStatement();
  SQLRETURN rc = c.execDirect(st, sql);
  std::optional<Recordset> result;
  for (;;) {
    if (rc != SQL_NO_DATA) {
      check(rc, st, c.wide, "Unable to run the query");
      // Row counts of statements ahead of the SELECT come as results without columns: skip them.
      if (!result)
        if (SQLSMALLINT columns = columnCount(st, c.wide); columns > 0)
          result = readResultSet(st, c.wide, columns, [&] { return c.timed(st, [&] { return SQLFetch(st.get()); }); });
    }
    // Run the rest of the batch too, so its errors surface and its changes are made.
    rc = c.moreResults(st);
    if (rc == SQL_NO_DATA) break;
  }
  return result ? std::move(*result) : Recordset{};
}

Recordset OdbcConnection::queryWith(const std::string& sql, const std::vector<Param>& params) {
  Impl& c = *impl_;
  c.requireOpen();
  if (c.executeSql < 0) {
    try {
      query("EXEC sp_executesql N'SELECT 1 AS Answer'");
      c.executeSql = 1;
    } catch (const DbError& e) {
      if (e.linkLost()) throw;
      c.executeSql = 0;
    }
  }
  // Through sp_executesql the server compiles the text once and keeps its plan for every later call
  // with other values. A call takes at most 2 100 parameters; more are written into the text.
  if (c.executeSql == 1 && params.size() <= kMaxServerParams) return query(executeSqlCall(sql, params));
  return Connection::queryWith(sql, params);
}

std::vector<Recordset> OdbcConnection::queryEach(const std::vector<std::string>& selects) {
  Impl& c = *impl_;
  Handle st = c.newStatement();
  std::string sql;
  for (const auto& s : selects) sql += s + "\r\n";
  SQLRETURN rc = c.execDirect(st, sql);
  std::vector<Recordset> out;
  for (;;) {
    if (rc != SQL_NO_DATA) {
      check(rc, st, c.wide, "Unable to run the query");
      if (SQLSMALLINT columns = columnCount(st, c.wide); columns > 0)
        out.push_back(
            readResultSet(st, c.wide, columns, [&] { return c.timed(st, [&] { return SQLFetch(st.get()); }); }));
    }
    rc = c.moreResults(st);
    if (rc == SQL_NO_DATA) break;
  }
  if (out.size() != selects.size())
    throw DbError("The batch returned " + std::to_string(out.size()) + " result sets for " +
                      std::to_string(selects.size()) + " queries.",
                  "HY000");
  return out;
}

void OdbcConnection::beginTrans() {
  Impl& c = *impl_;
  c.requireOpen();
  if (c.inTransaction) throw DbError("Cannot start more transactions on this session.", "25000");
  c.setAutocommit(false);
  c.inTransaction = true;
}

void OdbcConnection::commitTrans() {
  impl_->requireOpen();
  impl_->endTransaction(SQL_COMMIT);
}

void OdbcConnection::rollbackTrans() {
  impl_->requireOpen();
  impl_->endTransaction(SQL_ROLLBACK);
}

void OdbcConnection::setCommandTimeout(int seconds) {
  impl_->commandTimeout = std::max(seconds, 0);
}

}  // namespace erpsync::db::odbc
