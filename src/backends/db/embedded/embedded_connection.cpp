// The embedded server's connection: parses and translates each T-SQL batch, runs it on the
// catalog's SQLite file, and reproduces the SQL Server behaviour the synchroniser relies on
// (statement-level triggers, identities, linked servers, error wording). This file holds the public
// class, opening and closing, and the low-level running of SQLite statements; connection_impl.h
// lists the other parts.
#include "db/embedded/embedded_connection.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "db/connection_string.h"
#include "db/embedded/connection_impl.h"
#include "db/embedded/embedded_server.h"
#include "db/embedded/fault_injection.h"
#include "db/embedded/link_simulator.h"
#include "util/utf8_path.h"

namespace erpsync::db::embedded {

namespace fs = std::filesystem;
using Impl = EmbeddedConnection::Impl;

namespace {
constexpr int kBusyTimeoutMs = 10000;
}  // namespace

// ------------------------------------------------------------------ values

std::string colText(sqlite3_stmt* st, int i) {
  const unsigned char* t = sqlite3_column_text(st, i);
  return t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(st, i)))
           : std::string();
}

SqlValue columnValue(sqlite3_stmt* st, int i) {
  SqlValue v;
  switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
      v.v = static_cast<std::int64_t>(sqlite3_column_int64(st, i));
      break;
    case SQLITE_FLOAT:
      v.v = sqlite3_column_double(st, i);
      break;
    case SQLITE_TEXT:
    case SQLITE_BLOB:
      v.v = colText(st, i);
      break;
    default:
      break;
  }
  return v;
}

void bindValue(sqlite3_stmt* st, int i, const SqlValue& v) {
  if (v.isNull())
    sqlite3_bind_null(st, i);
  else if (v.isInt())
    sqlite3_bind_int64(st, i, v.i());
  else if (v.isReal())
    sqlite3_bind_double(st, i, v.d());
  else
    sqlite3_bind_text(st, i, v.s().data(), static_cast<int>(v.s().size()), SQLITE_STATIC);
}

std::string sanitize(std::string_view s) {
  std::string r;
  for (char c : lower(s)) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
      r += c;
    else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "_%02x", static_cast<unsigned char>(c));
      r += buf;
    }
  }
  return r;
}

std::string valueText(const SqlValue& v) {
  if (v.isNull()) return "<NULL>";
  if (v.isInt()) return std::to_string(v.i());
  if (v.isReal()) return numberText(v, ColType{});
  return v.s();
}

// ------------------------------------------------------------------ low level

SchemaProvider::Found Impl::Provider::findTable(const CatalogRef& ref, std::string_view name) {
  Found f;
  std::string alias = im.resolveCatalog(ref);
  const TableMap& tm = im.tablesOf(alias);
  auto it = tm.find(std::string(name));
  if (it == tm.end()) return f;
  f.table = &it->second;
  f.alias = alias;
  return f;
}

Impl::~Impl() {
  if (!db) return;
  // Closing with a transaction open rolls it back, as SQL Server does when a session ends.
  if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  statements.clear();
  cookieStmt.reset();
  sqlite3_close_v2(db);
}

void Impl::exec(const std::string& sql) {
  char* err = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    sqlite3_free(err);
    sqliteError(rc);
  }
}

StatementLease Impl::prepare(const std::string& sql) {
  int rc = SQLITE_OK;
  StatementLease st = statements.acquire(db, sql, rc);
  if (rc != SQLITE_OK) sqliteError(rc);
  return st;
}

void Impl::run(const std::string& sql, const std::vector<SqlValue>& args, std::vector<std::vector<SqlValue>>* rows) {
  StatementLease lease = prepare(sql);
  sqlite3_stmt* st = lease.get();
  for (std::size_t i = 0; i < args.size(); ++i) bindValue(st, static_cast<int>(i) + 1, args[i]);
  while (true) {
    int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) sqliteError(rc);
    if (rows) {
      std::vector<SqlValue> r;
      int n = sqlite3_column_count(st);
      for (int i = 0; i < n; ++i) r.push_back(columnValue(st, i));
      rows->push_back(std::move(r));
    }
  }
}

int Impl::progress(void* p) {
  auto* self = static_cast<Impl*>(p);
  if (self->cancelRequested.load(std::memory_order_relaxed)) {
    self->timedOut = true;
    return 1;
  }
  if (self->deadlineActive && std::chrono::steady_clock::now() > self->deadline) {
    self->timedOut = true;
    return 1;
  }
  return 0;
}

int Impl::busyWait(void* p, int count) {
  // SQLite's own schedule (sqliteDefaultBusyCallback), up to kBusyTimeoutMs in all.
  static constexpr int delays[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
  static constexpr int totals[] = {0, 1, 3, 8, 18, 33, 53, 78, 103, 128, 178, 228};
  constexpr int n = static_cast<int>(std::size(delays));
  int delay = count < n ? delays[count] : delays[n - 1];
  const int prior = count < n ? totals[count] : totals[n - 1] + delays[n - 1] * (count - (n - 1));
  if (prior + delay > kBusyTimeoutMs) {
    delay = kBusyTimeoutMs - prior;
    if (delay <= 0) return 0;
  }
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(delay));
  static_cast<Impl*>(p)->callWait +=
      std::chrono::duration_cast<LockWaitStats::Micros>(std::chrono::steady_clock::now() - start);
  return 1;
}

Impl::Tx::Tx(Impl& i, const std::string& target) : im(i) {
  if (sqlite3_get_autocommit(im.db)) {
    if (!target.empty() && !im.attached.empty()) {
      im.exec("BEGIN DEFERRED");
      own = true;
      try {
        im.exec("DELETE FROM " + target + " WHERE 0");
      } catch (...) {
        sqlite3_exec(im.db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
      }
      return;
    }
    im.run("BEGIN IMMEDIATE");
    own = true;
  } else {
    // Named by nesting depth, so the few names there are stay prepared (every statement inside a
    // transaction runs in one).
    savepoint = "sp" + std::to_string(++im.savepointDepth);
    try {
      im.run("SAVEPOINT " + savepoint);
    } catch (...) {
      --im.savepointDepth;
      throw;
    }
  }
}

void Impl::Tx::commit() {
  if (own) {
    im.exec("COMMIT");
  } else {
    im.run("RELEASE " + savepoint);
    --im.savepointDepth;
  }
  done = true;
}

Impl::Tx::~Tx() {
  if (done) return;
  if (own) {
    sqlite3_exec(im.db, "ROLLBACK", nullptr, nullptr, nullptr);
  } else {
    --im.savepointDepth;
    for (const std::string& s : {"ROLLBACK TO " + savepoint, "RELEASE " + savepoint}) {
      try {
        im.run(s);
      } catch (...) {
      }
    }
  }
}

// ------------------------------------------------------------------ public class

namespace {
[[noreturn]] void notOpen() {
  throw DbError("Operation is not allowed when the object is closed.", "08003", 3704);
}
}  // namespace

EmbeddedConnection::EmbeddedConnection(std::filesystem::path baseDir) : baseDir_(std::move(baseDir)) {
  faults::loadFromEnvironment();
  link::loadFromEnvironment();
  loadLockWaitFileFromEnvironment();
}

namespace {
// The server folder and catalog with "/" between the parts on every system, as fault plans and the
// link simulator name them.
std::string serverAndCatalog(const fs::path& serverDir, const std::string& catalog) {
  std::string where = util::pathToUtf8(serverDir);
  if constexpr (fs::path::preferred_separator != '/')
    std::replace(where.begin(), where.end(), static_cast<char>(fs::path::preferred_separator), '/');
  return where + "/" + catalog;
}
}  // namespace
EmbeddedConnection::~EmbeddedConnection() = default;

void EmbeddedConnection::open(const std::string& connectionString) {
  close();
  ConnectionString cs = ConnectionString::parse(connectionString);
  std::string ds = cs.dataSource();
  while (!ds.empty() && (ds.front() == ' ')) ds.erase(ds.begin());
  if (!isEmbeddedDataSource(ds))
    throw DbError("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.", "08001", 17);
  fs::path dir = util::pathFromUtf8(ds.substr(kEmbeddedPrefix.size()));
  if (dir.is_relative()) dir = baseDir_ / dir;
  std::string user = cs.userId();
  if (!user.empty() && !iequals(user, "sa")) throw DbError("Login failed for user '" + user + "'.", "28000", 18456);
  std::error_code ec;
  if (!fs::is_directory(dir, ec) || !findCatalogFile(dir, "master"))
    throw DbError("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.", "08001", 17);
  std::string cat = cs.initialCatalog();
  if (cat.empty()) cat = cs.value("Database");
  if (cat.empty()) cat = "master";
  {
    // The open is a round trip too (three on a real link: TCP, TLS, the login), and can fail as one.
    const std::string where = serverAndCatalog(fs::absolute(dir, ec), cat);
    acrossLink_ = link::acrossLink(where);
    if (acrossLink_) link::wait(3);
    if (faults::active()) {
      const faults::Hit hit = faults::onCall(faults::Call::Open, "", where);
      if (hit.kind == faults::Kind::Crash) faults::crash();
      if (hit.kind == faults::Kind::Drop)
        throw DbError("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.", "08001",
                      17);
      if (hit.kind == faults::Kind::Error) faults::throwError(hit);
    }
  }
  auto file = findCatalogFile(dir, cat);
  if (!file)
    throw DbError("Cannot open database \"" + cat + "\" requested by the login. The login failed.", "42000", 4060);
  auto im = std::make_unique<Impl>();
  im->baseDir = baseDir_;
  im->serverDir = fs::absolute(dir, ec);
  im->catalog = util::pathToUtf8(file->stem());
  im->catalogFile = fs::absolute(*file, ec);
  im->commandTimeout = commandTimeout_;
  if (sqlite3_open_v2(util::pathToUtf8(im->catalogFile).c_str(), &im->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    throw DbError("Cannot open database \"" + cat + "\" requested by the login. The login failed.", "42000", 4060);
  }
  sqlite3_busy_handler(im->db, &Impl::busyWait, im.get());
  sqlite3_extended_result_codes(im->db, 1);
  registerFunctions(im->db, &im->host);
  sqlite3_progress_handler(im->db, 2000, &Impl::progress, im.get());
  sqlite3_exec(im->db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA temp_store=MEMORY", nullptr, nullptr,
               nullptr);
  im->ensureSchema();
  impl_ = std::move(im);
}

void EmbeddedConnection::close() {
  impl_.reset();
  linkLost_ = false;
}
bool EmbeddedConnection::isOpen() const {
  // A lost link is not noticed until the next call, as with a real client: the object stays open.
  return impl_ != nullptr || linkLost_;
}

// ------------------------------------------------------------------ fault injection hooks

void EmbeddedConnection::checkUsable() const {
  if (linkLost_) faults::throwLinkLost();
  if (!impl_) notOpen();
}

faults::Hit EmbeddedConnection::faultBefore(faults::Call call, const std::string& sql) {
  faults::Hit hit = faults::onCall(call, sql, serverAndCatalog(impl_->serverDir, impl_->catalog));
  if (hit.kind != faults::Kind::None && !hit.after) applyFault(hit);
  return hit;
}

void EmbeddedConnection::faultAfter(const faults::Hit& hit) {
  if (hit.kind != faults::Kind::None && hit.after) applyFault(hit);
}

void EmbeddedConnection::applyFault(const faults::Hit& hit) {
  switch (hit.kind) {
    case faults::Kind::Crash:
      faults::crash();
    case faults::Kind::Drop:
      // The session ends at the server: its open transaction is rolled back.
      impl_.reset();
      linkLost_ = true;
      faults::throwLinkLost();
    case faults::Kind::Error:
      // A failed statement inside an API transaction leaves the transaction open, as SQL Server does
      // for most errors; the caller decides whether to roll back.
      faults::throwError(hit);
    case faults::Kind::None:
      break;
  }
}

// ------------------------------------------------------------------ calls

EmbeddedConnection::CallWait::CallWait(EmbeddedConnection& conn) : c(conn) {
  if (c.impl_) c.impl_->callWait = LockWaitStats::Micros{0};
}

EmbeddedConnection::CallWait::~CallWait() {
  // A call that lost its session (an injected drop) took its wait with it.
  const LockWaitStats::Micros waited = c.impl_ ? c.impl_->callWait : LockWaitStats::Micros{0};
  c.lockWaits_.add(waited);
  recordLockWait(waited);
}

LockWaitStats EmbeddedConnection::lockWaitStats() const {
  LockWaitStats s = lockWaits_;
  s.wall = std::chrono::duration_cast<LockWaitStats::Micros>(std::chrono::steady_clock::now() - made_);
  return s;
}

long long EmbeddedConnection::execute(const std::string& sql) {
  checkUsable();
  CallWait counted(*this);
  if (acrossLink_) link::wait();
  if (!faults::active()) return impl_->runBatch(sql, nullptr);
  faults::Hit hit = faultBefore(faults::Call::Statement, sql);
  long long n = impl_->runBatch(sql, nullptr);
  faultAfter(hit);
  return n;
}

Recordset EmbeddedConnection::query(const std::string& sql) {
  checkUsable();
  CallWait counted(*this);
  if (acrossLink_) link::wait();
  faults::Hit hit;
  if (faults::active()) hit = faultBefore(faults::Call::Statement, sql);
  Recordset rs;
  impl_->runBatch(sql, &rs);
  faultAfter(hit);
  return rs;
}

void EmbeddedConnection::beginTrans() {
  checkUsable();
  CallWait counted(*this);
  if (acrossLink_) link::wait();
  faults::Hit hit;
  if (faults::active()) hit = faultBefore(faults::Call::Begin, "BEGIN TRANSACTION");
  impl_->beginTrans();
  faultAfter(hit);
}
void EmbeddedConnection::commitTrans() {
  checkUsable();
  CallWait counted(*this);
  if (acrossLink_) link::wait();
  faults::Hit hit;
  if (faults::active()) {
    try {
      hit = faultBefore(faults::Call::Commit, "COMMIT TRANSACTION");
    } catch (const DbError&) {
      // A commit that fails leaves no transaction open: its work is rolled back.
      if (impl_) {
        try {
          impl_->rollbackTrans();
        } catch (const DbError&) {
        }
      }
      throw;
    }
  }
  impl_->commitTrans();
  faultAfter(hit);
}
void EmbeddedConnection::rollbackTrans() {
  checkUsable();
  if (acrossLink_) link::wait();
  if (faults::active()) {
    const faults::Hit hit = faults::onCall(faults::Call::Rollback, "ROLLBACK TRANSACTION",
                                           serverAndCatalog(impl_->serverDir, impl_->catalog));
    if (hit.kind != faults::Kind::None) {
      // Whatever went wrong on the way, the server rolls the work back when the session ends.
      if (hit.kind == faults::Kind::Crash) faults::crash();
      impl_.reset();
      linkLost_ = true;
      faults::throwLinkLost();
    }
  }
  impl_->rollbackTrans();
}
void EmbeddedConnection::run(const std::string& sql, BatchSink& sink) {
  checkUsable();
  CallWait counted(*this);
  if (acrossLink_) link::wait();
  faults::Hit hit;
  if (faults::active()) hit = faultBefore(faults::Call::Statement, sql);
  impl_->runBatch(sql, nullptr, &sink);
  faultAfter(hit);
}

std::vector<Recordset> EmbeddedConnection::queryEach(const std::vector<std::string>& selects) {
  struct Collect : BatchSink {
    std::vector<Recordset> sets;
    void statementAt(std::size_t) override {}
    void resultSet(Recordset rs, bool) override { sets.push_back(std::move(rs)); }
    void rowCount(long long, bool) override {}
  } collect;
  std::string sql;
  for (const auto& s : selects) sql += s + "\r\n";
  run(sql, collect);
  if (collect.sets.size() != selects.size())
    throw DbError("The batch returned " + std::to_string(collect.sets.size()) + " result sets for " +
                      std::to_string(selects.size()) + " queries.",
                  "HY000");
  return std::move(collect.sets);
}

void EmbeddedConnection::cancel() {
  if (impl_) impl_->cancelRequested.store(true, std::memory_order_relaxed);
}

int EmbeddedConnection::transactionCount() const {
  return impl_ ? impl_->tranCount : 0;
}

void EmbeddedConnection::setCommandTimeout(int seconds) {
  // Kept by the object, so it also applies after the next open.
  commandTimeout_ = seconds < 0 ? 0 : seconds;
  if (impl_) impl_->commandTimeout = commandTimeout_;
}

}  // namespace erpsync::db::embedded
