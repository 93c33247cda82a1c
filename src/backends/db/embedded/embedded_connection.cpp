// The embedded server's connection: parses and translates each T-SQL batch, runs it on the
// catalog's SQLite file, and reproduces the SQL Server behaviour the synchroniser relies on
// (statement-level triggers, identities, linked servers, error wording).
#include "db/embedded/embedded_connection.h"

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <set>
#include <unordered_map>

#include "db/connection_string.h"
#include "db/embedded/ast.h"
#include "db/embedded/catalog_file.h"
#include "db/embedded/embedded_server.h"
#include "db/embedded/lexer.h"
#include "db/embedded/parser.h"
#include "db/embedded/sql_types.h"
#include "db/embedded/sqlite_functions.h"
#include "db/embedded/translator.h"

namespace erpsync::db::embedded {

namespace fs = std::filesystem;
using namespace ast;

namespace {

constexpr int kBusyTimeoutMs = 10000;
constexpr int kMaxNesting = 32;

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

std::string joinCols(const std::vector<std::string>& cols) {
  std::string r;
  for (std::size_t i = 0; i < cols.size(); ++i) {
    if (i) r += '\x1f';
    r += cols[i];
  }
  return r;
}

bool isDdl(Stmt::Kind k) {
  switch (k) {
    case Stmt::CreateTable:
    case Stmt::AlterTable:
    case Stmt::DropTable:
    case Stmt::CreateIndex:
    case Stmt::DropIndex:
    case Stmt::CreateDatabase:
    case Stmt::DropDatabase:
    case Stmt::CreateTrigger:
    case Stmt::DropTrigger:
      return true;
    default:
      return false;
  }
}

bool containsDdl(const Stmt& s) {
  if (isDdl(s.kind)) return true;
  if (s.kind == Stmt::If) {
    auto& i = static_cast<const IfStmt&>(s);
    return containsDdl(*i.then) || (i.otherwise && containsDdl(*i.otherwise));
  }
  if (s.kind == Stmt::Block)
    for (auto& c : static_cast<const BlockStmt&>(s).body)
      if (containsDdl(*c)) return true;
  return false;
}

[[noreturn]] void objectExists(const std::string& name) {
  throw DbError("There is already an object named '" + name + "' in the database.", "42S01", 2714);
}

std::string valueText(const SqlValue& v) {
  if (v.isNull()) return "<NULL>";
  if (v.isInt()) return std::to_string(v.i());
  if (v.isReal()) return numberText(v, ColType{});
  return v.s();
}

}  // namespace

// A parsed batch (or trigger) and the translations of its statements.
struct Unit {
  LexResult lex;
  Batch batch;
  bool cacheable = true;
  struct Plan {
    std::uint64_t generation = 0;
    std::string varsKey;
    Translated t;
  };
  std::unordered_map<const void*, Plan> plans;
};

struct Var {
  ColType type;
  SqlValue value;
};

struct Ctx {
  Unit* unit = nullptr;
  std::vector<const Token*> lits;
  std::map<std::string, Var> vars;
  const TriggerContext* trigger = nullptr;
  int depth = 0;
  long long rowsAffected = -1;
  Recordset* result = nullptr;
  bool haveResult = false;
  bool returned = false;
};

struct Attached {
  std::string alias;
  fs::path file;
  std::string catalog;
  TableMap tables;
};

struct EmbeddedConnection::Impl {
  fs::path baseDir;
  fs::path serverDir;
  std::string catalog;
  fs::path catalogFile;
  sqlite3* db = nullptr;
  FunctionHost host;

  int commandTimeout = 30;
  std::chrono::steady_clock::time_point deadline{};
  bool deadlineActive = false;
  bool timedOut = false;

  int tranCount = 0;
  int savepointSeq = 0;

  long long schemaCookie = -1;
  std::uint64_t generation = 1;
  TableMap tables;
  std::vector<TriggerDef> triggers;
  std::vector<std::string> tempObjects;  // temp tables/triggers made for the triggers
  std::map<std::string, TriggerContext, CiLess> triggerContexts;
  std::map<std::string, std::shared_ptr<Unit>, CiLess> triggerUnits;
  std::set<std::string, CiLess> firing;

  std::map<std::string, Attached> attached;  // alias -> catalog

  std::set<std::string, CiLess> identityInsert;
  std::optional<std::int64_t> lastIdentity;
  long long lastRowCount = 0;

  std::unordered_map<std::string, std::shared_ptr<Unit>> batchCache;
  std::unordered_map<std::string, sqlite3_stmt*> stmtCache;
  sqlite3_stmt* cookieStmt = nullptr;

  class Provider : public SchemaProvider {
   public:
    explicit Provider(Impl& i) : im(i) {}
    Found findTable(const CatalogRef& ref, std::string_view name) override {
      Found f;
      std::string alias = im.resolveCatalog(ref);
      const TableMap& tm = im.tablesOf(alias);
      auto it = tm.find(std::string(name));
      if (it == tm.end()) return f;
      f.table = &it->second;
      f.alias = alias;
      return f;
    }
    std::string currentCatalog() const override { return im.catalog; }
    Impl& im;
  };
  Provider provider{*this};

  ~Impl() {
    for (auto& [k, st] : stmtCache) sqlite3_finalize(st);
    sqlite3_finalize(cookieStmt);
    if (db) sqlite3_close_v2(db);
  }

  // ---------------------------------------------------------------- low level
  [[noreturn]] void sqliteError(int rc, const std::string& sqlText = {}) {
    std::string msg = sqlite3_errmsg(db);
    int ext = sqlite3_extended_errcode(db);
    (void)sqlText;
    std::string m, state;
    long native = 0;
    if (decodeFunctionError(msg, m, state, native)) throw DbError(m, state, native);
    if (rc == SQLITE_INTERRUPT || timedOut) throw DbError("Query timeout expired", "HYT00", 0);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED || ext == SQLITE_BUSY_SNAPSHOT)
      throw DbError("Lock request time out period exceeded.", "HY000", 1222);
    auto strip = [](std::string s) {
      std::size_t d = s.find('.');
      if (d != std::string::npos && s.rfind("main", 0) == 0) s = s.substr(d + 1);
      return s;
    };
    if (msg.rfind("no such table: ", 0) == 0) {
      std::string n = strip(msg.substr(15));
      throw DbError("Invalid object name '" + n + "'.", "42S02", 208);
    }
    if (msg.rfind("no such column: ", 0) == 0) {
      std::string n = msg.substr(16);
      std::size_t d = n.rfind('.');
      if (d != std::string::npos) n = n.substr(d + 1);
      throw DbError("Invalid column name '" + n + "'.", "42S22", 207);
    }
    if (msg.rfind("ambiguous column name: ", 0) == 0)
      throw DbError("Ambiguous column name '" + msg.substr(23) + "'.", "42000", 209);
    throw DbError(msg, "HY000", rc);
  }

  void exec(const std::string& sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
      sqlite3_free(err);
      sqliteError(rc, sql);
    }
  }

  sqlite3_stmt* prepare(const std::string& sql) {
    auto it = stmtCache.find(sql);
    if (it != stmtCache.end()) return it->second;
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &st, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(st);
      sqliteError(rc, sql);
    }
    if (stmtCache.size() > 2000) {
      for (auto& [k, s] : stmtCache) sqlite3_finalize(s);
      stmtCache.clear();
    }
    stmtCache.emplace(sql, st);
    return st;
  }

  struct StmtReset {
    sqlite3_stmt* st;
    ~StmtReset() {
      sqlite3_reset(st);
      sqlite3_clear_bindings(st);
    }
  };

  // Runs one internal statement with bound values; returns rows when `rows` is given.
  void run(const std::string& sql, const std::vector<SqlValue>& args = {},
           std::vector<std::vector<SqlValue>>* rows = nullptr) {
    sqlite3_stmt* st = prepare(sql);
    StmtReset guard{st};
    for (std::size_t i = 0; i < args.size(); ++i) bindValue(st, static_cast<int>(i) + 1, args[i]);
    while (true) {
      int rc = sqlite3_step(st);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) sqliteError(rc, sql);
      if (rows) {
        std::vector<SqlValue> r;
        int n = sqlite3_column_count(st);
        for (int i = 0; i < n; ++i) r.push_back(columnValue(st, i));
        rows->push_back(std::move(r));
      }
    }
  }

  static int progress(void* p) {
    auto* self = static_cast<Impl*>(p);
    if (self->deadlineActive && std::chrono::steady_clock::now() > self->deadline) {
      self->timedOut = true;
      return 1;
    }
    return 0;
  }

  // A statement's own transaction: BEGIN IMMEDIATE outside a transaction, a savepoint inside one.
  struct Tx {
    Impl& im;
    bool own = false;
    std::string savepoint;
    bool done = false;
    // target: the table the statement writes ("alias"."table"). When other catalogs are attached
    // (linked servers, three-part names), only the target's catalog is locked for writing, so a
    // statement that reads another catalog does not wait for that catalog's writers.
    explicit Tx(Impl& i, const std::string& target = {}) : im(i) {
      if (sqlite3_get_autocommit(im.db)) {
        if (!target.empty() && !im.attached.empty()) {
          im.exec("BEGIN DEFERRED");
          own = true;
          try {
            im.exec("DELETE FROM " + target + " WHERE 0");
          } catch (...) {
            char* err = nullptr;
            sqlite3_exec(im.db, "ROLLBACK", nullptr, nullptr, &err);
            sqlite3_free(err);
            throw;
          }
          return;
        }
        im.exec("BEGIN IMMEDIATE");
        own = true;
      } else {
        savepoint = "sp" + std::to_string(++im.savepointSeq);
        im.exec("SAVEPOINT " + savepoint);
      }
    }
    void commit() {
      if (own)
        im.exec("COMMIT");
      else
        im.exec("RELEASE " + savepoint);
      done = true;
    }
    ~Tx() {
      if (done) return;
      char* err = nullptr;
      if (own) {
        sqlite3_exec(im.db, "ROLLBACK", nullptr, nullptr, &err);
      } else {
        std::string s = "ROLLBACK TO " + savepoint + "; RELEASE " + savepoint;
        sqlite3_exec(im.db, s.c_str(), nullptr, nullptr, &err);
      }
      sqlite3_free(err);
    }
  };

  // ---------------------------------------------------------------- schema
  long long readCookie() {
    if (!cookieStmt) {
      if (sqlite3_prepare_v2(db, "PRAGMA main.schema_version", -1, &cookieStmt, nullptr) != SQLITE_OK)
        sqliteError(SQLITE_ERROR);
    }
    long long v = -1;
    int rc = sqlite3_step(cookieStmt);
    if (rc == SQLITE_ROW) v = sqlite3_column_int64(cookieStmt, 0);
    sqlite3_reset(cookieStmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) sqliteError(rc);
    return v;
  }

  void ensureSchema() {
    long long c = readCookie();
    if (c != schemaCookie) reloadSchema(c);
  }

  void reloadSchema(long long cookie) {
    tables = loadTables(db, "main");
    triggers = loadTriggers(db);
    triggerUnits.clear();
    schemaCookie = cookie;
    ++generation;
    refreshTempTriggers();
  }

  void schemaChanged() {
    // Another connection learns of catalog-only changes (triggers) through the schema cookie.
    exec("CREATE TABLE IF NOT EXISTS __tsql_bump(x); DROP TABLE __tsql_bump");
  }

  void afterDdl() { reloadSchema(readCookie()); }

  void refreshTempTriggers() {
    for (auto it = tempObjects.rbegin(); it != tempObjects.rend(); ++it) {
      char* err = nullptr;
      sqlite3_exec(db, it->c_str(), nullptr, nullptr, &err);
      sqlite3_free(err);
    }
    tempObjects.clear();
    triggerContexts.clear();
    std::map<std::string, std::array<bool, 3>, CiLess> events;
    for (auto& t : triggers) {
      auto& e = events[t.table];
      e[0] = e[0] || t.onInsert;
      e[1] = e[1] || t.onUpdate;
      e[2] = e[2] || t.onDelete;
    }
    for (auto& [tbl, ev] : events) {
      auto ti = tables.find(tbl);
      if (ti == tables.end()) continue;
      const TableInfo& info = ti->second;
      std::string ins = "__ins_" + sanitize(info.name);
      std::string del = "__del_" + sanitize(info.name);
      std::string cols, newCols, oldCols;
      for (std::size_t i = 0; i < info.columns.size(); ++i) {
        if (i) cols += ",", newCols += ",", oldCols += ",";
        cols += quoteIdent(info.columns[i].name);
        newCols += "NEW." + quoteIdent(info.columns[i].name);
        oldCols += "OLD." + quoteIdent(info.columns[i].name);
      }
      auto make = [&](const std::string& create, const std::string& drop) {
        exec(create);
        tempObjects.push_back(drop);
      };
      make("CREATE TEMP TABLE IF NOT EXISTS " + quoteIdent(ins) + "(" + cols + ")",
           "DROP TABLE IF EXISTS temp." + quoteIdent(ins));
      make("CREATE TEMP TABLE IF NOT EXISTS " + quoteIdent(del) + "(" + cols + ")",
           "DROP TABLE IF EXISTS temp." + quoteIdent(del));
      exec("DELETE FROM temp." + quoteIdent(ins) + "; DELETE FROM temp." + quoteIdent(del));
      std::string base = "main." + quoteIdent(info.name);
      if (ev[0]) {
        std::string n = "__tri_" + sanitize(info.name);
        make("CREATE TEMP TRIGGER IF NOT EXISTS " + quoteIdent(n) + " AFTER INSERT ON " + base + " BEGIN INSERT INTO " +
                 quoteIdent(ins) + " VALUES(" + newCols + "); END",
             "DROP TRIGGER IF EXISTS temp." + quoteIdent(n));
      }
      if (ev[1]) {
        std::string n = "__tru_" + sanitize(info.name);
        make("CREATE TEMP TRIGGER IF NOT EXISTS " + quoteIdent(n) + " AFTER UPDATE ON " + base + " BEGIN INSERT INTO " +
                 quoteIdent(ins) + " VALUES(" + newCols + "); INSERT INTO " + quoteIdent(del) + " VALUES(" + oldCols +
                 "); END",
             "DROP TRIGGER IF EXISTS temp." + quoteIdent(n));
      }
      if (ev[2]) {
        std::string n = "__trd_" + sanitize(info.name);
        make("CREATE TEMP TRIGGER IF NOT EXISTS " + quoteIdent(n) + " AFTER DELETE ON " + base + " BEGIN INSERT INTO " +
                 quoteIdent(del) + " VALUES(" + oldCols + "); END",
             "DROP TRIGGER IF EXISTS temp." + quoteIdent(n));
      }
      TriggerContext tc;
      tc.table = &info;
      tc.insertedTable = "temp." + quoteIdent(ins);
      tc.deletedTable = "temp." + quoteIdent(del);
      triggerContexts[info.name] = tc;
    }
  }

  const TableMap& tablesOf(const std::string& alias) {
    if (alias == "main") return tables;
    auto it = attached.find(alias);
    if (it == attached.end()) throw DbError("Invalid object name '" + alias + "'.", "42S02", 208);
    return it->second.tables;
  }

  std::string catalogOfAlias(const std::string& alias) {
    if (alias == "main") return catalog;
    auto it = attached.find(alias);
    return it == attached.end() ? alias : it->second.catalog;
  }

  std::string attachFile(const fs::path& file, const std::string& catalogName, const std::string& alias) {
    std::error_code ec;
    if (fs::equivalent(file, catalogFile, ec)) return "main";
    auto it = attached.find(alias);
    if (it != attached.end()) return alias;
    run("ATTACH DATABASE ? AS " + quoteIdent(alias), {SqlValue{file.string()}});
    Attached a;
    a.alias = alias;
    a.file = file;
    a.catalog = catalogName;
    try {
      a.tables = loadTables(db, alias);
    } catch (...) {
      run("DETACH DATABASE " + quoteIdent(alias));
      throw;
    }
    attached.emplace(alias, std::move(a));
    return alias;
  }

  void detachAll() {
    if (attached.empty() || !sqlite3_get_autocommit(db)) return;
    for (auto it = attached.begin(); it != attached.end();) {
      char* err = nullptr;
      std::string s = "DETACH DATABASE " + quoteIdent(it->first);
      sqlite3_exec(db, s.c_str(), nullptr, nullptr, &err);
      sqlite3_free(err);
      it = attached.erase(it);
    }
    // Statements that named the detached schemas must be prepared again.
    for (auto it = stmtCache.begin(); it != stmtCache.end();) {
      if (it->first.find("\"__c_") != std::string::npos || it->first.find("\"__l_") != std::string::npos) {
        sqlite3_finalize(it->second);
        it = stmtCache.erase(it);
      } else {
        ++it;
      }
    }
  }

  std::string masterAlias() {
    if (iequals(catalog, "master")) return "main";
    auto f = findCatalogFile(serverDir, "master");
    if (!f)
      throw DbError("Database 'master' does not exist. Make sure that the name is entered correctly.", "42000", 911);
    return attachFile(*f, "master", "__c_master");
  }

  struct LinkedServer {
    long long id = 0;
    std::string name;
    std::string dataSource;
    bool dataAccess = true;
  };

  std::optional<LinkedServer> findServer(const std::string& name) {
    std::string m = masterAlias();
    std::vector<std::vector<SqlValue>> rows;
    run("SELECT server_id, name, data_source, is_data_access_enabled FROM " + quoteIdent(m) +
            ".__servers WHERE name = ? COLLATE NOCASE",
        {SqlValue{name}}, &rows);
    if (rows.empty()) return std::nullopt;
    LinkedServer s;
    s.id = rows[0][0].isInt() ? rows[0][0].i() : 0;
    s.name = rows[0][1].isText() ? rows[0][1].s() : name;
    s.dataSource = rows[0][2].isText() ? rows[0][2].s() : std::string();
    s.dataAccess = rows[0][3].isNull() ? true : rows[0][3].asDouble() != 0;
    return s;
  }

  [[noreturn]] static void unknownServer(const std::string& name) {
    throw DbError("Could not find server '" + name +
                      "' in sys.servers. Verify that the correct server name was specified. If necessary, execute the "
                      "stored procedure sp_addlinkedserver to add the server to sys.servers.",
                  "42000", 7202);
  }

  fs::path linkedServerDir(const LinkedServer& s) {
    std::string target = s.name;
    if (isEmbeddedDataSource(s.dataSource)) target = s.dataSource;
    if (isEmbeddedDataSource(target)) {
      fs::path p = target.substr(kEmbeddedPrefix.size());
      return p.is_relative() ? baseDir / p : p;
    }
    fs::path parent = serverDir.parent_path();
    fs::path exact = parent / target;
    std::error_code ec;
    if (fs::is_directory(exact, ec)) return exact;
    for (auto it = fs::directory_iterator(parent, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
      if (it->is_directory(ec) && iequals(it->path().filename().string(), target)) return it->path();
    throw DbError("OLE DB provider \"SQLNCLI11\" for linked server \"" + s.name +
                      "\" returned message \"Login timeout expired\". Named Pipes Provider: Could not open a "
                      "connection to SQL Server [53].",
                  "08001", 53);
  }

  std::string resolveCatalog(const CatalogRef& ref) {
    if (ref.server.empty()) {
      if (ref.catalog.empty() || iequals(ref.catalog, catalog)) return "main";
      auto f = findCatalogFile(serverDir, ref.catalog);
      if (!f)
        throw DbError("Database '" + ref.catalog + "' does not exist. Make sure that the name is entered correctly.",
                      "42000", 911);
      return attachFile(*f, f->stem().string(), "__c_" + sanitize(ref.catalog));
    }
    auto s = findServer(ref.server);
    if (!s) unknownServer(ref.server);
    fs::path dir;
    if (s->id == 0) {
      dir = serverDir;
    } else {
      if (!s->dataAccess) throw DbError("Server '" + s->name + "' is not configured for DATA ACCESS.", "42000", 7411);
      dir = linkedServerDir(*s);
    }
    auto f = findCatalogFile(dir, ref.catalog);
    if (!f)
      throw DbError("Cannot open database \"" + ref.catalog + "\" requested by the login. The login failed.", "42000",
                    4060);
    return attachFile(*f, f->stem().string(), "__l_" + sanitize(ref.server) + "_" + sanitize(ref.catalog));
  }

  // ---------------------------------------------------------------- batches
  std::shared_ptr<Unit> unitFor(const std::string& sql, LexResult& lx) {
    lx = lex(sql);
    std::string key;
    key.reserve(sql.size());
    for (auto& t : lx.tokens) {
      switch (t.kind) {
        case TokKind::String:
          key += "\x02S";
          break;
        case TokKind::NString:
          key += "\x02N";
          break;
        case TokKind::Number: {
          key += "\x02#";
          std::size_t dot = t.text.find('.');
          if (t.text.find_first_of("eE") != std::string::npos)
            key += 'e';
          else if (dot != std::string::npos)
            key += std::to_string(t.text.size() - dot - 1);
          else
            key += t.text.size() > 9 ? 'L' : 'i';
          break;
        }
        default:
          key += '\x03';
          key += t.text;
          break;
      }
    }
    auto it = batchCache.find(key);
    if (it != batchCache.end()) {
      const Unit& u = *it->second;
      bool same = true;
      for (int ord : u.batch.structuralLiterals) {
        const Token* a = nullptr;
        const Token* b = nullptr;
        for (auto& t : u.lex.tokens)
          if (t.literal == ord) a = &t;
        for (auto& t : lx.tokens)
          if (t.literal == ord) b = &t;
        if (!a || !b || a->text != b->text) {
          same = false;
          break;
        }
      }
      if (same) return it->second;
    }
    auto u = std::make_shared<Unit>();
    u->lex = lx;
    u->batch = parseBatch(u->lex, sql);
    for (auto& s : u->batch.statements)
      if (containsDdl(*s)) u->cacheable = false;
    if (u->cacheable) {
      if (batchCache.size() > 1000) batchCache.clear();
      batchCache[key] = u;
    }
    return u;
  }

  long long runBatch(const std::string& sql, Recordset* result) {
    timedOut = false;
    deadlineActive = commandTimeout > 0;
    if (deadlineActive) deadline = std::chrono::steady_clock::now() + std::chrono::seconds(commandTimeout);
    ensureSchema();
    LexResult lx;
    std::shared_ptr<Unit> unit = unitFor(sql, lx);
    Ctx ctx;
    ctx.unit = unit.get();
    ctx.lits.assign(static_cast<std::size_t>(lx.literalCount), nullptr);
    for (auto& t : lx.tokens)
      if (t.isLiteral()) ctx.lits[static_cast<std::size_t>(t.literal)] = &t;
    ctx.result = result;
    struct Detach {
      Impl& im;
      ~Detach() {
        im.deadlineActive = false;
        im.detachAll();
      }
    } detach{*this};
    for (auto& s : unit->batch.statements) {
      runStmt(*s, ctx);
      if (ctx.returned) break;
      detachAll();
    }
    deadlineActive = false;
    return ctx.rowsAffected;
  }

  // ---------------------------------------------------------------- values
  SqlValue literalValue(const Ctx& ctx, int ordinal) {
    const Token* t = ordinal >= 0 && static_cast<std::size_t>(ordinal) < ctx.lits.size()
                         ? ctx.lits[static_cast<std::size_t>(ordinal)]
                         : nullptr;
    if (!t) return SqlValue{};
    if (t->kind == TokKind::Number) {
      const std::string& s = t->text;
      if (s.find_first_of(".eE") == std::string::npos && s.size() <= 18)
        return SqlValue{static_cast<std::int64_t>(std::strtoll(s.c_str(), nullptr, 10))};
      if (s.find_first_of("eE") == std::string::npos) {
        // Exact decimals keep their digits as text until they meet a column type.
        return SqlValue{std::strtod(s.c_str(), nullptr)};
      }
      return SqlValue{std::strtod(s.c_str(), nullptr)};
    }
    return SqlValue{t->text};
  }

  SqlValue paramValue(const ParamSpec& p, const Ctx& ctx) {
    SqlValue v;
    switch (p.source) {
      case ParamSpec::Literal: {
        const Token* t = static_cast<std::size_t>(p.literal) < ctx.lits.size()
                             ? ctx.lits[static_cast<std::size_t>(p.literal)]
                             : nullptr;
        if (p.coerce && t && t->kind == TokKind::Number && p.target.isExactNumeric()) {
          v = SqlValue{t->text};  // exact digits (a float literal is read as its float)
          return convertValue(v, literalNumberType(t->text), p.target, p.assign);
        }
        v = literalValue(ctx, p.literal);
        break;
      }
      case ParamSpec::Variable: {
        auto it = ctx.vars.find(p.variable);
        if (it != ctx.vars.end()) v = it->second.value;
        break;
      }
      case ParamSpec::RowCount:
        v = SqlValue{static_cast<std::int64_t>(lastRowCount)};
        break;
      case ParamSpec::Identity:
        if (lastIdentity) v = SqlValue{*lastIdentity};
        break;
      case ParamSpec::TranCount:
        v = SqlValue{static_cast<std::int64_t>(tranCount)};
        break;
    }
    if (p.coerce) v = convertValue(v, p.srcType, p.target, p.assign);
    return v;
  }

  // ---------------------------------------------------------------- translation
  std::string varsKey(const Ctx& ctx) {
    std::string k;
    for (auto& [n, v] : ctx.vars) k += n + ":" + v.type.sqlName() + ";";
    return k;
  }

  const Translated& plan(Ctx& ctx, const void* key, const std::function<Translated(Translator&)>& make) {
    std::string vk = varsKey(ctx);
    auto it = ctx.unit->plans.find(key);
    if (it != ctx.unit->plans.end() && it->second.generation == generation && it->second.varsKey == vk) {
      // Re-attach the catalogs the statement reaches (and check the linked servers again).
      for (auto& c : it->second.t.catalogs) resolveCatalog(c);
      return it->second.t;
    }
    VariableTypes vt;
    for (auto& [n, v] : ctx.vars) vt[n] = VariableInfo{v.type};
    Translator tr(provider, ctx.trigger, &vt);
    Unit::Plan p;
    p.generation = generation;
    p.varsKey = vk;
    p.t = make(tr);
    auto& slot = ctx.unit->plans[key];
    slot = std::move(p);
    return slot.t;
  }

  // Runs a translated statement; fills `out` (when given) with its rows.
  long long runTranslated(const Translated& t, Ctx& ctx, Recordset* out,
                          std::vector<std::vector<SqlValue>>* rawRows = nullptr) {
    if (t.explicitIdentity && !identityInsert.count(t.targetTable)) {
      throw DbError("Cannot insert explicit value for identity column in table '" + t.targetTable +
                        "' when IDENTITY_INSERT is set to OFF.",
                    "23000", 544);
    }
    std::vector<SqlValue> values;
    values.reserve(t.params.size());
    for (auto& p : t.params) values.push_back(paramValue(p, ctx));
    sqlite3_stmt* st = prepare(t.sql);
    StmtReset guard{st};
    for (std::size_t i = 0; i < values.size(); ++i) bindValue(st, static_cast<int>(i) + 1, values[i]);

    // Identity values are numbered from the catalog's last value inside the statement's transaction.
    const TableInfo* target = nullptr;
    int identCol = -1;
    if (t.event != DmlEvent::None) {
      const TableMap& tm = tablesOf(t.targetAlias);
      auto ti = tm.find(t.targetTable);
      if (ti != tm.end()) {
        target = &ti->second;
        identCol = target->identityColumn();
      }
    }
    bool identity = t.generatesIdentity && identCol >= 0;
    if (identity) {
      const ColumnInfo& ic = target->columns[static_cast<std::size_t>(identCol)];
      std::vector<std::vector<SqlValue>> rows;
      run("SELECT ident_last FROM " + quoteIdent(t.targetAlias) + ".__tsql_columns WHERE tbl = ? AND col = ?",
          {SqlValue{target->name}, SqlValue{ic.name}}, &rows);
      host.identityActive = true;
      host.identityIncrement = ic.increment;
      host.identityCount = 0;
      host.identityNext = (rows.empty() || rows[0][0].isNull()) ? ic.seed : rows[0][0].i() + ic.increment;
    }
    struct IdentOff {
      FunctionHost& h;
      ~IdentOff() { h.identityActive = false; }
    } identOff{host};

    long long changes = 0;
    bool first = true;
    while (true) {
      int rc = sqlite3_step(st);
      if (rc == SQLITE_DONE) break;
      if (rc != SQLITE_ROW) {
        if ((sqlite3_extended_errcode(db) & 0xff) == SQLITE_CONSTRAINT) constraintError(t, values);
        sqliteError(rc, t.sql);
      }
      if (out) {
        int n = sqlite3_column_count(st);
        if (first) {
          out->fields.clear();
          for (int i = 0; i < n; ++i) {
            Field f;
            f.name = static_cast<std::size_t>(i) < t.columnNames.size() ? t.columnNames[static_cast<std::size_t>(i)]
                                                                        : sqlite3_column_name(st, i);
            const ColType* ct = static_cast<std::size_t>(i) < t.columnTypes.size()
                                    ? &t.columnTypes[static_cast<std::size_t>(i)]
                                    : nullptr;
            if (ct && ct->known())
              f.type = ct->adoType();
            else if (ct && ct->base == BaseType::Null)
              f.type = adInteger;
            else
              f.type = -1;
            out->fields.push_back(f);
          }
        }
        std::vector<Value> row;
        row.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
          SqlValue v = columnValue(st, i);
          const ColType* ct = static_cast<std::size_t>(i) < t.columnTypes.size()
                                  ? &t.columnTypes[static_cast<std::size_t>(i)]
                                  : nullptr;
          Field& f = out->fields[static_cast<std::size_t>(i)];
          if (f.type == -1 && !v.isNull()) f.type = v.isInt() ? adInteger : v.isReal() ? adDouble : adVarChar;
          row.push_back(toRecordValue(v, ct && ct->known() ? *ct : ColType{}));
        }
        out->rows.push_back(std::move(row));
      } else if (rawRows) {
        int n = sqlite3_column_count(st);
        std::vector<SqlValue> r;
        for (int i = 0; i < n; ++i) r.push_back(columnValue(st, i));
        rawRows->push_back(std::move(r));
      }
      first = false;
    }
    if (out) {
      if (out->fields.empty()) {
        for (std::size_t i = 0; i < t.columnNames.size(); ++i) {
          Field f;
          f.name = t.columnNames[i];
          const ColType& ct = t.columnTypes[i];
          f.type = ct.known() ? ct.adoType() : (ct.base == BaseType::Null ? adInteger : adVarChar);
          out->fields.push_back(f);
        }
      }
      for (auto& f : out->fields)
        if (f.type == -1) f.type = adVarChar;
    }
    if (t.event != DmlEvent::None) changes = sqlite3_changes(db);
    if (identity && host.identityCount > 0) {
      const ColumnInfo& ic = target->columns[static_cast<std::size_t>(identCol)];
      run("UPDATE " + quoteIdent(t.targetAlias) + ".__tsql_columns SET ident_last = ? WHERE tbl = ? AND col = ?",
          {SqlValue{host.identityLast}, SqlValue{target->name}, SqlValue{ic.name}});
      lastIdentity = host.identityLast;
    }
    if (t.explicitIdentity && target && identCol >= 0 && changes > 0) {
      const ColumnInfo& ic = target->columns[static_cast<std::size_t>(identCol)];
      std::string agg = ic.increment > 0 ? "max" : "min";
      std::string cmp = ic.increment > 0 ? "<" : ">";
      run("UPDATE " + quoteIdent(t.targetAlias) + ".__tsql_columns SET ident_last = (SELECT " + agg + "(" +
              quoteIdent(ic.name) + ") FROM " + quoteIdent(t.targetAlias) + "." + quoteIdent(target->name) +
              ") WHERE tbl = ? AND col = ? AND (ident_last IS NULL OR ident_last " + cmp + " (SELECT " + agg + "(" +
              quoteIdent(ic.name) + ") FROM " + quoteIdent(t.targetAlias) + "." + quoteIdent(target->name) + "))",
          {SqlValue{target->name}, SqlValue{ic.name}});
    }
    if (t.event != DmlEvent::None) {
      lastRowCount = changes;
      fireTriggers(t, ctx);
    } else if (out) {
      lastRowCount = static_cast<long long>(out->rows.size());
    }
    return changes;
  }

  [[noreturn]] void constraintError(const Translated& t, const std::vector<SqlValue>& values) {
    std::string msg = sqlite3_errmsg(db);
    int ext = sqlite3_extended_errcode(db);
    std::string fn, state;
    long native = 0;
    if (decodeFunctionError(msg, fn, state, native)) throw DbError(fn, state, native);
    std::string cat = catalogOfAlias(t.targetAlias);
    if (ext == SQLITE_CONSTRAINT_NOTNULL) {
      std::string rest = msg.substr(msg.find(':') + 2);
      std::size_t d = rest.find('.');
      std::string tbl = d == std::string::npos ? t.targetTable : rest.substr(0, d);
      std::string col = d == std::string::npos ? rest : rest.substr(d + 1);
      throw DbError("Cannot insert the value NULL into column '" + col + "', table '" + cat + ".dbo." + tbl +
                        "'; column does not allow nulls. " + (t.event == DmlEvent::Update ? "UPDATE" : "INSERT") +
                        " fails.",
                    "23000", 515);
    }
    if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY) {
      // "UNIQUE constraint failed: T.a, T.b" -> the index with those columns.
      std::string rest = msg.substr(msg.find(':') + 2);
      std::vector<std::string> cols;
      std::string tbl = t.targetTable;
      std::size_t p = 0;
      while (p < rest.size()) {
        std::size_t c = rest.find(", ", p);
        std::string item = rest.substr(p, c == std::string::npos ? std::string::npos : c - p);
        std::size_t d = item.find('.');
        if (d != std::string::npos) {
          tbl = item.substr(0, d);
          item = item.substr(d + 1);
        }
        cols.push_back(item);
        if (c == std::string::npos) break;
        p = c + 2;
      }
      const TableMap& tm = tablesOf(t.targetAlias);
      auto ti = tm.find(tbl);
      const IndexInfo* hit = nullptr;
      if (ti != tm.end()) {
        for (auto& ix : ti->second.indexes) {
          if (ix.columns.size() != cols.size()) continue;
          bool same = true;
          for (std::size_t i = 0; i < cols.size(); ++i)
            if (!iequals(ix.columns[i], cols[i])) same = false;
          if (same && (!hit || ix.kind == "PK")) hit = &ix;
        }
      }
      std::string key;
      bool known = true;
      for (std::size_t i = 0; i < cols.size(); ++i) {
        std::string v;
        bool found = false;
        for (auto& [c, idx] : t.keyParams)
          if (iequals(c, cols[i]) && static_cast<std::size_t>(idx) < values.size()) {
            v = valueText(values[static_cast<std::size_t>(idx)]);
            found = true;
          }
        if (!found) known = false;
        key += (i ? ", " : "") + v;
      }
      std::string tail = known ? " The duplicate key value is (" + key + ")." : "";
      std::string object = "dbo." + (ti != tm.end() ? ti->second.name : tbl);
      if (hit && hit->kind == "PK")
        throw DbError("Violation of PRIMARY KEY constraint '" + hit->name +
                          "'. Cannot insert duplicate key in object '" + object + "'." + tail,
                      "23000", 2627);
      if (hit && hit->kind == "UQ")
        throw DbError("Violation of UNIQUE KEY constraint '" + hit->name +
                          "'. Cannot insert duplicate key in object '" + object + "'." + tail,
                      "23000", 2627);
      throw DbError("Cannot insert duplicate key row in object '" + object + "' with unique index '" +
                        (hit ? hit->name : std::string("?")) + "'." + tail,
                    "23000", 2601);
    }
    throw DbError(msg, "23000", 547);
  }

  // ---------------------------------------------------------------- triggers
  void fireTriggers(const Translated& t, Ctx& ctx) {
    if (t.targetAlias != "main") return;
    auto tc = triggerContexts.find(t.targetTable);
    if (tc == triggerContexts.end()) return;
    // No direct recursion (RECURSIVE_TRIGGERS is off); the outer firing clears the rows.
    if (firing.count(t.targetTable)) return;
    struct Clear {
      Impl& im;
      const TriggerContext& tc;
      bool active;
      ~Clear() {
        if (!active) return;
        std::string s = "DELETE FROM " + tc.insertedTable + "; DELETE FROM " + tc.deletedTable;
        char* err = nullptr;
        sqlite3_exec(im.db, s.c_str(), nullptr, nullptr, &err);
        sqlite3_free(err);
      }
    } clear{*this, tc->second, true};
    if (ctx.depth >= kMaxNesting)
      throw DbError("Maximum stored procedure, function, trigger, or view nesting level exceeded (limit 32).", "42000",
                    217);
    firing.insert(t.targetTable);
    struct Unfire {
      Impl& im;
      std::string t;
      ~Unfire() { im.firing.erase(t); }
    } unfire{*this, t.targetTable};
    for (auto& def : triggers) {
      if (!iequals(def.table, t.targetTable)) continue;
      bool fires = (t.event == DmlEvent::Insert && def.onInsert) || (t.event == DmlEvent::Update && def.onUpdate) ||
                   (t.event == DmlEvent::Delete && def.onDelete);
      if (!fires) continue;
      std::shared_ptr<Unit>& u = triggerUnits[def.name];
      if (!u) {
        u = std::make_shared<Unit>();
        u->lex = lex(def.definition);
        u->batch = parseBatch(u->lex, def.definition);
      }
      if (u->batch.statements.empty() || u->batch.statements[0]->kind != Stmt::CreateTrigger) continue;
      auto& ct = static_cast<CreateTriggerStmt&>(*u->batch.statements[0]);
      Ctx tctx;
      tctx.unit = u.get();
      tctx.lits.assign(static_cast<std::size_t>(u->lex.literalCount), nullptr);
      for (auto& tok : u->lex.tokens)
        if (tok.isLiteral()) tctx.lits[static_cast<std::size_t>(tok.literal)] = &tok;
      tctx.trigger = &tc->second;
      tctx.depth = ctx.depth + 1;
      long long saved = lastRowCount;
      for (auto& s : ct.body) {
        runStmt(*s, tctx);
        if (tctx.returned) break;
      }
      lastRowCount = saved;
    }
  }

  // ---------------------------------------------------------------- statements
  void runStmt(const Stmt& s, Ctx& ctx) {
    switch (s.kind) {
      case Stmt::SelectK: {
        const Translated& t = plan(ctx, &s, [&](Translator& tr) { return tr.statement(s); });
        if (!t.assignVars.empty()) {
          std::vector<std::vector<SqlValue>> rows;
          runTranslated(t, ctx, nullptr, &rows);
          for (auto& r : rows)
            for (std::size_t i = 0; i < t.assignVars.size() && i < r.size(); ++i)
              assignVar(ctx, t.assignVars[i], r[i], t.columnTypes[i]);
          lastRowCount = static_cast<long long>(rows.size());
          return;
        }
        if (ctx.result && !ctx.haveResult) {
          ctx.result->fields.clear();
          ctx.result->rows.clear();
          runTranslated(t, ctx, ctx.result);
          ctx.haveResult = true;
        } else {
          Recordset discard;
          runTranslated(t, ctx, &discard);
        }
        return;
      }
      case Stmt::Insert:
      case Stmt::Update:
      case Stmt::Delete: {
        const Translated& t = plan(ctx, &s, [&](Translator& tr) { return tr.statement(s); });
        Tx tx(*this,
              t.targetTable.empty() ? std::string() : quoteIdent(t.targetAlias) + "." + quoteIdent(t.targetTable));
        long long n = runTranslated(t, ctx, nullptr);
        tx.commit();
        if (ctx.depth == 0) ctx.rowsAffected = (ctx.rowsAffected < 0 ? 0 : ctx.rowsAffected) + n;
        return;
      }
      case Stmt::If: {
        auto& i = static_cast<const IfStmt&>(s);
        const Translated& t = plan(ctx, i.cond.get(), [&](Translator& tr) { return tr.condition(*i.cond); });
        std::vector<std::vector<SqlValue>> rows;
        runTranslated(t, ctx, nullptr, &rows);
        bool yes = !rows.empty() && !rows[0].empty() && rows[0][0].isInt() && rows[0][0].i() == 1;
        detachAll();
        if (yes)
          runStmt(*i.then, ctx);
        else if (i.otherwise)
          runStmt(*i.otherwise, ctx);
        return;
      }
      case Stmt::Block:
        for (auto& c : static_cast<const BlockStmt&>(s).body) {
          runStmt(*c, ctx);
          if (ctx.returned) return;
        }
        return;
      case Stmt::Declare:
        for (auto& v : static_cast<const DeclareStmt&>(s).vars) {
          std::string n = lower(v.name);
          if (ctx.vars.count(n))
            throw DbError("The variable name '" + v.name +
                              "' has already been declared. Variable names must be unique "
                              "within a query batch or stored procedure.",
                          "42000", 134);
          ctx.vars[n] = Var{v.type.type, SqlValue{}};
          if (v.init) {
            SqlValue val = evalExpr(*v.init, ctx, nullptr);
            assignVar(ctx, n, val, ColType{});
          }
        }
        return;
      case Stmt::SetVar: {
        auto& sv = static_cast<const SetVarStmt&>(s);
        std::string n = lower(sv.name);
        if (!ctx.vars.count(n)) throw DbError("Must declare the scalar variable \"" + sv.name + "\".", "42000", 137);
        ColType st;
        SqlValue val = evalExpr(*sv.value, ctx, &st);
        assignVar(ctx, n, val, st);
        return;
      }
      case Stmt::SetOption: {
        auto& so = static_cast<const SetOptionStmt&>(s);
        if (so.option == "IDENTITY_INSERT") {
          std::string name = so.table.last();
          auto ti = tables.find(name);
          if (ti == tables.end()) throw DbError("Invalid object name '" + so.table.text() + "'.", "42S02", 208);
          if (ti->second.identityColumn() < 0)
            throw DbError(
                "Table '" + ti->second.name + "' does not have the identity property. Cannot perform SET operation.",
                "42000", 8106);
          if (so.on)
            identityInsert.insert(ti->second.name);
          else
            identityInsert.erase(ti->second.name);
        }
        return;
      }
      case Stmt::BeginTran:
        beginTrans();
        return;
      case Stmt::CommitTran:
        commitTrans();
        return;
      case Stmt::RollbackTran:
        rollbackTrans();
        return;
      case Stmt::Nop:
        return;
      case Stmt::Return:
        ctx.returned = true;
        return;
      case Stmt::Exec:
        execProc(static_cast<const ExecStmt&>(s), ctx);
        return;
      case Stmt::CreateTable:
        createTable(static_cast<const CreateTableStmt&>(s), ctx);
        return;
      case Stmt::AlterTable:
        alterTable(static_cast<const AlterTableStmt&>(s), ctx);
        return;
      case Stmt::DropTable:
        dropTable(static_cast<const DropTableStmt&>(s));
        return;
      case Stmt::CreateIndex:
        createIndex(static_cast<const CreateIndexStmt&>(s));
        return;
      case Stmt::DropIndex:
        dropIndex(static_cast<const DropIndexStmt&>(s));
        return;
      case Stmt::CreateDatabase:
        createDatabase(static_cast<const DatabaseStmt&>(s).name);
        return;
      case Stmt::DropDatabase:
        dropDatabase(static_cast<const DatabaseStmt&>(s).name);
        return;
      case Stmt::CreateTrigger:
        createTrigger(static_cast<const CreateTriggerStmt&>(s));
        return;
      case Stmt::DropTrigger:
        dropTrigger(static_cast<const DropTriggerStmt&>(s));
        return;
    }
  }

  void assignVar(Ctx& ctx, const std::string& name, const SqlValue& v, const ColType& src) {
    auto it = ctx.vars.find(name);
    if (it == ctx.vars.end()) throw DbError("Must declare the scalar variable \"" + name + "\".", "42000", 137);
    ColType s = src;
    if (!s.known() && v.isText()) s = ColType{BaseType::VarChar, 8000};
    it->second.value = convertValue(v, s, it->second.type, false);
  }

  SqlValue evalExpr(const Expr& e, Ctx& ctx, ColType* type) {
    if (e.kind == Expr::Literal) {
      if (type) *type = e.litKind == TokKind::Number ? literalNumberType(e.text) : ColType{BaseType::VarChar, 8000};
      return literalValue(ctx, e.literal);
    }
    if (e.kind == Expr::Null) return SqlValue{};
    const Translated& t = plan(ctx, &e, [&](Translator& tr) { return tr.scalar(e); });
    std::vector<std::vector<SqlValue>> rows;
    runTranslated(t, ctx, nullptr, &rows);
    if (type && !t.columnTypes.empty()) *type = t.columnTypes[0];
    if (rows.empty() || rows[0].empty()) return SqlValue{};
    return rows[0][0];
  }

  // ---------------------------------------------------------------- procedures
  void execProc(const ExecStmt& s, Ctx& ctx) {
    const auto& p = s.proc.parts;
    std::string name = lower(p.back());
    if (p.size() >= 3 && !iequals(p[p.size() - 3], "master") && !iequals(p[p.size() - 3], catalog))
      throw DbError("Could not find stored procedure '" + s.proc.text() + "'.", "42000", 2812);
    std::map<std::string, SqlValue> named;
    std::vector<SqlValue> positional;
    for (auto& [n, e] : s.args) {
      SqlValue v;
      if (e->kind == Expr::Column && e->name.parts.size() == 1)
        v = SqlValue{e->name.parts[0]};
      else
        v = evalExpr(*e, ctx, nullptr);
      if (n.empty())
        positional.push_back(v);
      else
        named[lower(n)] = v;
    }
    auto arg = [&](const char* pname, std::size_t pos) -> SqlValue {
      auto it = named.find(pname);
      if (it != named.end()) return it->second;
      if (pos < positional.size()) return positional[pos];
      return SqlValue{};
    };
    auto text = [](const SqlValue& v) { return v.isNull() ? std::string() : valueText(v); };
    std::string m;
    if (name == "sp_addlinkedserver" || name == "sp_dropserver" || name == "sp_addlinkedsrvlogin" ||
        name == "sp_serveroption" || name == "sp_droplinkedsrvlogin") {
      m = quoteIdent(masterAlias());
    } else {
      throw DbError("Could not find stored procedure '" + s.proc.text() + "'.", "42000", 2812);
    }
    Tx tx(*this);
    auto serverRow = [&](const std::string& srv) -> std::optional<long long> {
      std::vector<std::vector<SqlValue>> rows;
      run("SELECT server_id FROM " + m + ".__servers WHERE name = ? COLLATE NOCASE", {SqlValue{srv}}, &rows);
      if (rows.empty()) return std::nullopt;
      return rows[0][0].isInt() ? rows[0][0].i() : 0;
    };
    auto missing = [](const std::string& srv) {
      throw DbError("The server '" + srv + "' does not exist. Use sp_helpserver to show available servers.", "42000",
                    15015);
    };
    if (name == "sp_addlinkedserver") {
      std::string srv = text(arg("@server", 0));
      if (srv.empty())
        throw DbError("Procedure or function 'sp_addlinkedserver' expects parameter '@server', which was not supplied.",
                      "42000", 201);
      if (serverRow(srv)) throw DbError("The server '" + srv + "' already exists.", "42000", 15028);
      std::vector<std::vector<SqlValue>> rows;
      run("SELECT coalesce(max(server_id), 0) + 1 FROM " + m + ".__servers", {}, &rows);
      std::int64_t id = rows.empty() ? 1 : rows[0][0].i();
      std::string product = text(arg("@srvproduct", 1));
      std::string provider = text(arg("@provider", 2));
      std::string datasrc = text(arg("@datasrc", 3));
      if (iequals(product, "SQL Server") && datasrc.empty()) datasrc = srv;
      run("INSERT INTO " + m +
              ".__servers (server_id, name, product, provider, data_source, is_linked, is_data_access_enabled, "
              "is_rpc_out_enabled, is_collation_compatible, connect_timeout, query_timeout, lazy_schema_validation, "
              "uses_remote_collation, is_remote_login_enabled) VALUES (?, ?, ?, ?, ?, 1, 1, 0, 0, 0, 0, 0, 1, 0)",
          {SqlValue{id}, SqlValue{srv}, SqlValue{product}, SqlValue{provider.empty() ? "SQLNCLI" : provider},
           SqlValue{datasrc}});
    } else if (name == "sp_dropserver") {
      std::string srv = text(arg("@server", 0));
      auto id = serverRow(srv);
      if (!id || *id == 0) missing(srv);
      std::string drop = lower(text(arg("@droplogins", 1)));
      std::vector<std::vector<SqlValue>> rows;
      run("SELECT count(*) FROM " + m + ".__linked_logins WHERE server_id = ?", {SqlValue{*id}}, &rows);
      if (!rows.empty() && rows[0][0].i() > 0 && drop != "droplogins")
        throw DbError("There are still remote logins or linked logins for the server '" + srv + "'.", "42000", 15190);
      run("DELETE FROM " + m + ".__linked_logins WHERE server_id = ?", {SqlValue{*id}});
      run("DELETE FROM " + m + ".__server_options WHERE server_id = ?", {SqlValue{*id}});
      run("DELETE FROM " + m + ".__servers WHERE server_id = ?", {SqlValue{*id}});
    } else if (name == "sp_addlinkedsrvlogin") {
      std::string srv = text(arg("@rmtsrvname", 0));
      auto id = serverRow(srv);
      if (!id) missing(srv);
      SqlValue useself = arg("@useself", 1);
      SqlValue local = arg("@locallogin", 2);
      bool self = useself.isNull() || iequals(text(useself), "true");
      run("DELETE FROM " + m + ".__linked_logins WHERE server_id = ? AND coalesce(local_login, '') = ?",
          {SqlValue{*id}, SqlValue{text(local)}});
      run("INSERT INTO " + m +
              ".__linked_logins (server_id, local_login, uses_self_credential, remote_name, remote_password) VALUES "
              "(?, ?, ?, ?, ?)",
          {SqlValue{*id}, local, SqlValue{std::int64_t{self ? 1 : 0}}, arg("@rmtuser", 3), arg("@rmtpassword", 4)});
    } else if (name == "sp_droplinkedsrvlogin") {
      std::string srv = text(arg("@rmtsrvname", 0));
      auto id = serverRow(srv);
      if (!id) missing(srv);
      run("DELETE FROM " + m + ".__linked_logins WHERE server_id = ? AND coalesce(local_login, '') = ?",
          {SqlValue{*id}, SqlValue{text(arg("@locallogin", 1))}});
    } else if (name == "sp_serveroption") {
      std::string srv = text(arg("@server", 0));
      std::string opt = lower(text(arg("@optname", 1)));
      SqlValue val = arg("@optvalue", 2);
      auto id = serverRow(srv);
      if (!id) missing(srv);
      static const std::set<std::string> known = {"collation compatible",
                                                  "data access",
                                                  "dist",
                                                  "pub",
                                                  "rpc",
                                                  "rpc out",
                                                  "sub",
                                                  "connect timeout",
                                                  "collation name",
                                                  "lazy schema validation",
                                                  "query timeout",
                                                  "use remote collation",
                                                  "remote proc transaction promotion"};
      if (!known.count(opt))
        throw DbError("'" + text(arg("@optname", 1)) + "' is not a valid option name.", "42000", 15600);
      std::string v = lower(text(val));
      auto flag = [&](bool& out) {
        if (v == "true" || v == "on")
          out = true;
        else if (v == "false" || v == "off")
          out = false;
        else
          throw DbError("The value '" + text(val) + "' is not valid for option '" + opt + "'.", "42000", 15600);
      };
      bool b = false;
      if (opt == "data access") {
        flag(b);
        run("UPDATE " + m + ".__servers SET is_data_access_enabled = ? WHERE server_id = ?",
            {SqlValue{std::int64_t{b ? 1 : 0}}, SqlValue{*id}});
      } else if (opt == "rpc out") {
        flag(b);
        run("UPDATE " + m + ".__servers SET is_rpc_out_enabled = ? WHERE server_id = ?",
            {SqlValue{std::int64_t{b ? 1 : 0}}, SqlValue{*id}});
      } else if (opt == "collation compatible") {
        flag(b);
        run("UPDATE " + m + ".__servers SET is_collation_compatible = ? WHERE server_id = ?",
            {SqlValue{std::int64_t{b ? 1 : 0}}, SqlValue{*id}});
      } else if (opt == "lazy schema validation") {
        flag(b);
        run("UPDATE " + m + ".__servers SET lazy_schema_validation = ? WHERE server_id = ?",
            {SqlValue{std::int64_t{b ? 1 : 0}}, SqlValue{*id}});
      } else if (opt == "use remote collation") {
        flag(b);
        run("UPDATE " + m + ".__servers SET uses_remote_collation = ? WHERE server_id = ?",
            {SqlValue{std::int64_t{b ? 1 : 0}}, SqlValue{*id}});
      } else if (opt == "connect timeout" || opt == "query timeout") {
        ColType it;
        it.base = BaseType::Int;
        SqlValue n = convertValue(val, ColType{BaseType::VarChar, 100}, it, false);
        run("UPDATE " + m + ".__servers SET " + (opt == "connect timeout" ? "connect_timeout" : "query_timeout") +
                " = ? WHERE server_id = ?",
            {n, SqlValue{*id}});
      } else if (opt == "collation name") {
        run("UPDATE " + m + ".__servers SET collation_name = ? WHERE server_id = ?", {val, SqlValue{*id}});
      } else {
        flag(b);
      }
      run("DELETE FROM " + m + ".__server_options WHERE server_id = ? AND optname = ?", {SqlValue{*id}, SqlValue{opt}});
      run("INSERT INTO " + m + ".__server_options (server_id, optname, optvalue) VALUES (?, ?, ?)",
          {SqlValue{*id}, SqlValue{opt}, val});
    }
    tx.commit();
  }

  // ---------------------------------------------------------------- DDL
  const TableInfo& existingTable(const Name& n, bool forAlter) {
    if (n.parts.size() >= 3 && !iequals(n.parts[n.parts.size() - 3], catalog))
      throw DbError("Cannot alter a table in another database here: '" + n.text() + "'.", "42000", 166);
    auto it = tables.find(n.last());
    if (it == tables.end()) {
      if (forAlter)
        throw DbError(
            "Cannot find the object \"" + n.last() + "\" because it does not exist or you do not have permissions.",
            "42S02", 4902);
      throw DbError("Invalid object name '" + n.text() + "'.", "42S02", 208);
    }
    return it->second;
  }

  bool objectNameTaken(const std::string& name) {
    if (tables.count(name)) return true;
    std::vector<std::vector<SqlValue>> rows;
    run("SELECT 1 FROM main.__tsql_objects WHERE name = ? AND kind IN ('PK','UQ','TR')", {SqlValue{name}}, &rows);
    return !rows.empty();
  }

  static std::string sqliteType(const ColType& t) { return upper(t.sqlName()); }

  std::string columnDdl(const ColumnInfo& c) {
    std::string s = quoteIdent(c.name) + " " + sqliteType(c.type);
    if (!c.nullable) s += " NOT NULL";
    if (c.type.isText()) s += " COLLATE TSQL";
    return s;
  }

  ColumnInfo columnFrom(const ColumnDef& d) {
    ColumnInfo c;
    c.name = d.name;
    c.type = d.type.type;
    c.nullable = d.nullable.value_or(true);
    if (d.identity) {
      if (!(c.type.isInteger() && c.type.base != BaseType::Bit) &&
          !(c.type.base == BaseType::Numeric && c.type.scale == 0))
        throw DbError("Identity column '" + d.name +
                          "' must be of data type int, bigint, smallint, tinyint, or decimal or numeric with a scale "
                          "of 0, and constrained to be nonnullable.",
                      "42000", 2749);
      c.identity = true;
      c.seed = d.seed;
      c.increment = d.increment;
      if (d.nullable && *d.nullable)
        throw DbError("Could not create IDENTITY attribute on nullable column '" + d.name + "', table.", "42000", 8147);
      c.nullable = false;
    }
    if (d.defaultExpr) {
      if (d.identity) throw DbError("Defaults cannot be created on columns with an IDENTITY attribute.", "42000", 1754);
      c.defaultSql = d.defaultText;
      // Validate the default now: it must translate without any table.
      Translator tr(provider, nullptr, nullptr);
      tr.columnDefault(c);
    }
    if (d.primaryKey) c.nullable = false;
    return c;
  }

  void writeColumns(const TableInfo& t, const std::map<std::string, SqlValue, CiLess>& identLast = {}) {
    run("DELETE FROM main.__tsql_columns WHERE tbl = ?", {SqlValue{t.name}});
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
      const ColumnInfo& c = t.columns[i];
      SqlValue last;
      auto it = identLast.find(c.name);
      if (it != identLast.end()) last = it->second;
      run("INSERT INTO main.__tsql_columns (tbl, col, ord, type, nullable, ident_seed, ident_incr, ident_last, "
          "default_sql) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
          {SqlValue{t.name}, SqlValue{c.name}, SqlValue{static_cast<std::int64_t>(i)}, SqlValue{c.type.sqlName()},
           SqlValue{std::int64_t{c.nullable ? 1 : 0}},
           c.identity ? SqlValue{static_cast<std::int64_t>(c.seed)} : SqlValue{},
           c.identity ? SqlValue{static_cast<std::int64_t>(c.increment)} : SqlValue{}, last,
           c.defaultSql.empty() ? SqlValue{} : SqlValue{c.defaultSql}});
    }
  }

  static std::string indexSqliteName(const std::string& table, const std::string& index) { return table + "$" + index; }

  void createSqliteIndex(const std::string& table, const IndexInfo& ix) {
    bool unique = ix.kind != "IX";
    std::string cols;
    for (auto& c : ix.columns) cols += (cols.empty() ? "" : ",") + quoteIdent(c);
    std::string sql = std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX main." +
                      quoteIdent(indexSqliteName(table, ix.name)) + " ON " + quoteIdent(table) + "(" + cols + ")";
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
      std::string m = err ? err : "";
      sqlite3_free(err);
      if ((sqlite3_extended_errcode(db) & 0xff) == SQLITE_CONSTRAINT)
        throw DbError(
            "The CREATE UNIQUE INDEX statement terminated because a duplicate key was found for the object "
            "name 'dbo." +
                table + "' and the index name '" + ix.name + "'.",
            "23000", 1505);
      sqliteError(rc, sql);
    }
  }

  std::vector<IndexInfo> constraintIndexes(const std::string& table, const std::vector<ColumnInfo>& cols,
                                           const std::vector<ColumnDef>& defs,
                                           const std::vector<TableConstraint>& constraints, int existingUq) {
    std::vector<IndexInfo> out;
    int uq = existingUq;
    auto add = [&](TableConstraint::Kind kind, std::string name, std::vector<std::string> columns) {
      IndexInfo ix;
      ix.kind = kind == TableConstraint::PrimaryKey ? "PK" : "UQ";
      if (name.empty())
        name = (ix.kind == "PK" ? "PK__" : "UQ__") + table + (ix.kind == "UQ" ? "__" + std::to_string(++uq) : "");
      ix.name = name;
      for (auto& c : columns) {
        bool found = false;
        for (auto& col : cols)
          if (iequals(col.name, c)) {
            found = true;
            c = col.name;
          }
        if (!found) throw DbError("Column name '" + c + "' does not exist in the target table or view.", "42S22", 1911);
      }
      ix.columns = std::move(columns);
      if (ix.kind == "PK")
        for (auto& o : out)
          if (o.kind == "PK")
            throw DbError("Cannot add multiple PRIMARY KEY constraints to table '" + table + "'.", "42000", 8110);
      for (auto& o : out)
        if (iequals(o.name, ix.name)) objectExists(ix.name);
      if (objectNameTaken(ix.name)) objectExists(ix.name);
      out.push_back(std::move(ix));
    };
    for (auto& d : defs) {
      if (d.primaryKey) add(TableConstraint::PrimaryKey, d.constraintName, {d.name});
      if (d.unique) add(TableConstraint::Unique, d.constraintName, {d.name});
    }
    for (auto& c : constraints)
      if (c.kind != TableConstraint::Other) add(c.kind, c.name, c.columns);
    return out;
  }

  void writeIndexMeta(const std::string& table, const IndexInfo& ix) {
    run("INSERT INTO main.__tsql_objects (name, kind, tbl, cols, ord) VALUES (?, ?, ?, ?, (SELECT coalesce(max(ord), "
        "0) + 1 "
        "FROM main.__tsql_objects))",
        {SqlValue{ix.name}, SqlValue{ix.kind}, SqlValue{table}, SqlValue{joinCols(ix.columns)}});
  }

  void createTable(const CreateTableStmt& s, Ctx& ctx) {
    (void)ctx;
    const auto& p = s.table.parts;
    if (p.size() >= 3 && !iequals(p[p.size() - 3], catalog))
      throw DbError("CREATE TABLE in another database is not supported: '" + s.table.text() + "'.", "42000", 2760);
    std::string name = s.table.last();
    if (name.empty() || name[0] == '#') syntaxError(name);
    if (objectNameTaken(name)) objectExists(name);
    {
      std::vector<std::vector<SqlValue>> rows;
      run("SELECT 1 FROM sqlite_master WHERE name = ? COLLATE NOCASE", {SqlValue{name}}, &rows);
      if (!rows.empty()) objectExists(name);
    }
    TableInfo t;
    t.name = name;
    int identities = 0;
    for (auto& d : s.columns) {
      for (auto& c : t.columns)
        if (iequals(c.name, d.name))
          throw DbError("Column names in each table must be unique. Column name '" + d.name + "' in table '" + name +
                            "' is specified more than once.",
                        "42S21", 2705);
      t.columns.push_back(columnFrom(d));
      if (d.identity) ++identities;
    }
    if (identities > 1)
      throw DbError("Multiple identity columns specified for table '" + name +
                        "'. Only one identity column per table is allowed.",
                    "42000", 2744);
    if (t.columns.empty()) syntaxError(")");
    std::vector<IndexInfo> idx = constraintIndexes(name, t.columns, s.columns, s.constraints, 0);
    for (auto& ix : idx)
      if (ix.kind == "PK")
        for (auto& c : ix.columns) t.columns[static_cast<std::size_t>(t.find(c))].nullable = false;
    Tx tx(*this);
    std::string ddl = "CREATE TABLE main." + quoteIdent(name) + " (";
    for (std::size_t i = 0; i < t.columns.size(); ++i) ddl += (i ? ", " : "") + columnDdl(t.columns[i]);
    ddl += ")";
    exec(ddl);
    writeColumns(t);
    for (auto& ix : idx) {
      createSqliteIndex(name, ix);
      writeIndexMeta(name, ix);
    }
    tx.commit();
    afterDdl();
  }

  // Rebuilds a table with new columns: `sources` gives, per new column, the SQLite expression that
  // fills it from the old row (over the old table named "o").
  void rebuild(const TableInfo& oldT, TableInfo newT, const std::vector<std::string>& sources,
               std::optional<std::pair<std::int64_t, std::int64_t>> identityStart = std::nullopt) {
    std::map<std::string, SqlValue, CiLess> identLast;
    {
      std::vector<std::vector<SqlValue>> rows;
      run("SELECT col, ident_last FROM main.__tsql_columns WHERE tbl = ? AND ident_seed IS NOT NULL",
          {SqlValue{oldT.name}}, &rows);
      for (auto& r : rows) identLast[r[0].s()] = r[1];
    }
    std::string tmp = "__rebuild_" + sanitize(oldT.name);
    std::string ddl = "CREATE TABLE main." + quoteIdent(tmp) + " (";
    std::string cols, srcs;
    for (std::size_t i = 0; i < newT.columns.size(); ++i) {
      ddl += (i ? ", " : "") + columnDdl(newT.columns[i]);
      cols += (i ? ", " : "") + quoteIdent(newT.columns[i].name);
      srcs += (i ? ", " : "") + sources[i];
    }
    ddl += ")";
    exec("DROP TABLE IF EXISTS main." + quoteIdent(tmp));
    exec(ddl);
    if (identityStart) {
      host.identityActive = true;
      host.identityNext = identityStart->first;
      host.identityIncrement = identityStart->second;
      host.identityCount = 0;
    }
    struct IdentOff {
      FunctionHost& h;
      ~IdentOff() { h.identityActive = false; }
    } off{host};
    std::string copy = "INSERT INTO main." + quoteIdent(tmp) + " (" + cols + ") SELECT " + srcs + " FROM main." +
                       quoteIdent(oldT.name) + " AS \"o\" ORDER BY \"o\".rowid";
    char* err = nullptr;
    int rc = sqlite3_exec(db, copy.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
      sqlite3_free(err);
      if ((sqlite3_extended_errcode(db) & 0xff) == SQLITE_CONSTRAINT) {
        std::string msg = sqlite3_errmsg(db);
        std::string fn, state;
        long native = 0;
        if (decodeFunctionError(msg, fn, state, native)) throw DbError(fn, state, native);
        if (sqlite3_extended_errcode(db) == SQLITE_CONSTRAINT_NOTNULL) {
          std::string col = msg.substr(msg.rfind('.') + 1);
          throw DbError("Cannot insert the value NULL into column '" + col + "', table '" + catalog + ".dbo." +
                            newT.name + "'; column does not allow nulls. UPDATE fails.",
                        "23000", 515);
        }
      }
      sqliteError(rc, copy);
    }
    if (identityStart && host.identityCount > 0)
      for (auto& c : newT.columns)
        if (c.identity) identLast[c.name] = SqlValue{host.identityLast};
    exec("DROP TABLE main." + quoteIdent(oldT.name));
    exec("ALTER TABLE main." + quoteIdent(tmp) + " RENAME TO " + quoteIdent(newT.name));
    for (auto& ix : newT.indexes) createSqliteIndex(newT.name, ix);
    writeColumns(newT, identLast);
  }

  void alterTable(const AlterTableStmt& s, Ctx& ctx) {
    const TableInfo& t = existingTable(s.table, true);
    TableInfo nt = t;
    Tx tx(*this);
    switch (s.action) {
      case AlterTableStmt::AddColumns: {
        std::vector<ColumnInfo> added;
        for (auto& d : s.columns) {
          bool dup = t.find(d.name) >= 0;
          for (auto& a : added)
            if (iequals(a.name, d.name)) dup = true;
          if (dup)
            throw DbError("Column names in each table must be unique. Column name '" + d.name + "' in table '" +
                              t.name + "' is specified more than once.",
                          "42S21", 2705);
          added.push_back(columnFrom(d));
        }
        bool identityAdded = false;
        for (auto& a : added) {
          if (a.identity) {
            if (t.identityColumn() >= 0 || identityAdded)
              throw DbError("Multiple identity columns specified for table '" + t.name +
                                "'. Only one identity column per table is allowed.",
                            "42000", 2744);
            identityAdded = true;
          }
        }
        std::vector<std::vector<SqlValue>> rows;
        run("SELECT EXISTS (SELECT 1 FROM main." + quoteIdent(t.name) + ")", {}, &rows);
        bool hasRows = !rows.empty() && rows[0][0].i() != 0;
        bool needRebuild = false;
        for (auto& a : added) {
          if (!a.nullable && a.defaultSql.empty() && !a.identity && hasRows)
            throw DbError(
                "ALTER TABLE only allows columns to be added that can contain nulls, or have a DEFAULT "
                "definition specified, or the column being added is an identity or timestamp column, or "
                "alternatively if none of the previous conditions are satisfied the table must be empty to "
                "allow addition of this column. Column '" +
                    a.name + "' cannot be added to non-empty table '" + t.name +
                    "' because it does not satisfy these conditions.",
                "42000", 4901);
          if (!a.nullable || a.identity) needRebuild = true;
        }
        std::vector<IndexInfo> idx = constraintIndexes(
            t.name,
            [&] {
              std::vector<ColumnInfo> all = t.columns;
              all.insert(all.end(), added.begin(), added.end());
              return all;
            }(),
            s.columns, {}, static_cast<int>(t.indexes.size()));
        if (!needRebuild) {
          for (auto& a : added) exec("ALTER TABLE main." + quoteIdent(t.name) + " ADD COLUMN " + columnDdl(a));
          for (auto& a : added) nt.columns.push_back(a);
          writeColumns(nt, identLastOf(t));
        } else {
          std::vector<std::string> src;
          for (auto& c : t.columns) src.push_back("\"o\"." + quoteIdent(c.name));
          std::optional<std::pair<std::int64_t, std::int64_t>> start;
          Translator tr(provider, nullptr, nullptr);
          for (auto& a : added) {
            nt.columns.push_back(a);
            if (a.identity) {
              src.push_back("tsql_ident()");
              start = std::make_pair(static_cast<std::int64_t>(a.seed), static_cast<std::int64_t>(a.increment));
            } else if (!a.defaultSql.empty() && !a.nullable) {
              src.push_back(tr.columnDefault(a));
            } else {
              src.push_back("NULL");
            }
          }
          rebuild(t, nt, src, start);
        }
        for (auto& ix : idx) {
          createSqliteIndex(t.name, ix);
          writeIndexMeta(t.name, ix);
        }
        break;
      }
      case AlterTableStmt::AlterColumn: {
        const ColumnDef& d = s.columns[0];
        int k = t.find(d.name);
        if (k < 0)
          throw DbError("ALTER TABLE ALTER COLUMN failed because column '" + d.name + "' does not exist in table '" +
                            t.name + "'.",
                        "42S22", 4924);
        ColumnInfo& c = nt.columns[static_cast<std::size_t>(k)];
        ColType from = c.type;
        c.type = d.type.type;
        c.nullable = d.nullable.value_or(true);
        if (c.identity) c.nullable = false;
        for (auto& ix : t.indexes)
          if (ix.kind == "PK")
            for (auto& col : ix.columns)
              if (iequals(col, c.name) && c.nullable) {
                throw DbError("The object '" + ix.name + "' is dependent on column '" + c.name +
                                  "'. ALTER TABLE ALTER COLUMN " + c.name +
                                  " failed because one or more objects access "
                                  "this column.",
                              "42000", 5074);
              }
        std::vector<std::string> src;
        for (std::size_t i = 0; i < t.columns.size(); ++i) {
          std::string ref = "\"o\"." + quoteIdent(t.columns[i].name);
          if (static_cast<int>(i) == k && !(from == c.type))
            ref = "tsql_conv(" + ref + "," + std::to_string(static_cast<int>(from.base)) + "," +
                  std::to_string(from.length) + "," + std::to_string(from.precision) + "," +
                  std::to_string(from.scale) + "," + std::to_string(static_cast<int>(c.type.base)) + "," +
                  std::to_string(c.type.length) + "," + std::to_string(c.type.precision) + "," +
                  std::to_string(c.type.scale) + ",-1,1)";
          src.push_back(ref);
        }
        rebuild(t, nt, src);
        break;
      }
      case AlterTableStmt::DropColumns: {
        std::vector<std::string> src;
        for (auto& n : s.names) {
          int k = nt.find(n);
          if (k < 0)
            throw DbError(
                "ALTER TABLE DROP COLUMN failed because column '" + n + "' does not exist in table '" + t.name + "'.",
                "42S22", 4924);
          for (auto& ix : t.indexes)
            for (auto& col : ix.columns)
              if (iequals(col, n))
                throw DbError("The object '" + ix.name + "' is dependent on column '" +
                                  nt.columns[static_cast<std::size_t>(k)].name + "'. ALTER TABLE DROP COLUMN " + n +
                                  " failed because one or more objects access "
                                  "this column.",
                              "42000", 5074);
          nt.columns.erase(nt.columns.begin() + k);
        }
        if (nt.columns.empty())
          throw DbError("ALTER TABLE DROP COLUMN failed because '" + s.names.back() +
                            "' is the only data column in table '" + t.name +
                            "'. A table must have at least one data column.",
                        "42000", 4923);
        for (auto& c : nt.columns) src.push_back("\"o\"." + quoteIdent(c.name));
        rebuild(t, nt, src);
        break;
      }
      case AlterTableStmt::AddConstraint: {
        std::vector<IndexInfo> idx =
            constraintIndexes(t.name, t.columns, {}, s.constraints, static_cast<int>(t.indexes.size()));
        for (auto& ix : idx) {
          if (ix.kind == "PK")
            for (auto& c : ix.columns)
              if (t.columns[static_cast<std::size_t>(t.find(c))].nullable)
                throw DbError("Cannot define PRIMARY KEY constraint on nullable column in table '" + t.name + "'.",
                              "42000", 8111);
          createSqliteIndex(t.name, ix);
          writeIndexMeta(t.name, ix);
        }
        break;
      }
      case AlterTableStmt::DropConstraint: {
        for (auto& n : s.names) {
          const IndexInfo* hit = nullptr;
          for (auto& ix : t.indexes)
            if (iequals(ix.name, n) && (ix.kind == "PK" || ix.kind == "UQ")) hit = &ix;
          if (!hit) throw DbError("'" + n + "' is not a constraint.", "42000", 3728);
          exec("DROP INDEX main." + quoteIdent(indexSqliteName(t.name, hit->name)));
          run("DELETE FROM main.__tsql_objects WHERE name = ? AND tbl = ? AND kind IN ('PK','UQ')",
              {SqlValue{hit->name}, SqlValue{t.name}});
        }
        break;
      }
    }
    (void)ctx;
    tx.commit();
    afterDdl();
  }

  std::map<std::string, SqlValue, CiLess> identLastOf(const TableInfo& t) {
    std::map<std::string, SqlValue, CiLess> out;
    std::vector<std::vector<SqlValue>> rows;
    run("SELECT col, ident_last FROM main.__tsql_columns WHERE tbl = ? AND ident_seed IS NOT NULL", {SqlValue{t.name}},
        &rows);
    for (auto& r : rows) out[r[0].s()] = r[1];
    return out;
  }

  void dropTable(const DropTableStmt& s) {
    Tx tx(*this);
    for (auto& n : s.tables) {
      auto it = tables.find(n.last());
      if (it == tables.end() || (n.parts.size() >= 3 && !iequals(n.parts[n.parts.size() - 3], catalog))) {
        if (s.ifExists) continue;
        throw DbError(
            "Cannot drop the table '" + n.text() + "', because it does not exist or you do not have permission.",
            "42S02", 3701);
      }
      std::string name = it->second.name;
      exec("DROP TABLE main." + quoteIdent(name));
      run("DELETE FROM main.__tsql_columns WHERE tbl = ?", {SqlValue{name}});
      run("DELETE FROM main.__tsql_objects WHERE tbl = ?", {SqlValue{name}});
      identityInsert.erase(name);
    }
    tx.commit();
    afterDdl();
  }

  void createIndex(const CreateIndexStmt& s) {
    auto it = tables.find(s.table.last());
    if (it == tables.end())
      throw DbError("Cannot find the object \"" + s.table.text() +
                        "\" because it does not exist or you do not have "
                        "permissions.",
                    "42S02", 1088);
    const TableInfo& t = it->second;
    for (auto& ix : t.indexes)
      if (iequals(ix.name, s.name))
        throw DbError("The operation failed because an index or statistics with name '" + s.name +
                          "' already exists on table 'dbo." + t.name + "'.",
                      "42000", 1913);
    IndexInfo ix;
    ix.name = s.name;
    ix.kind = s.unique ? "UX" : "IX";
    for (auto c : s.columns) {
      int k = t.find(c);
      if (k < 0) throw DbError("Column name '" + c + "' does not exist in the target table or view.", "42S22", 1911);
      ix.columns.push_back(t.columns[static_cast<std::size_t>(k)].name);
    }
    Tx tx(*this);
    createSqliteIndex(t.name, ix);
    writeIndexMeta(t.name, ix);
    tx.commit();
    afterDdl();
  }

  void dropIndex(const DropIndexStmt& s) {
    Tx tx(*this);
    for (auto& [tn, name] : s.indexes) {
      auto it = tables.find(tn.last());
      const IndexInfo* hit = nullptr;
      if (it != tables.end())
        for (auto& ix : it->second.indexes)
          if (iequals(ix.name, name)) hit = &ix;
      if (!hit)
        throw DbError("Cannot drop the index '" + tn.text() + "." + name +
                          "', because it does not exist or you do not have permission.",
                      "42000", 3701);
      if (hit->kind == "PK" || hit->kind == "UQ")
        throw DbError("An explicit DROP INDEX is not allowed on index '" + tn.text() + "." + name +
                          "'. It is being used for " + (hit->kind == "PK" ? "PRIMARY KEY" : "UNIQUE KEY") +
                          " constraint enforcement.",
                      "42000", 3723);
      exec("DROP INDEX main." + quoteIdent(indexSqliteName(it->second.name, hit->name)));
      run("DELETE FROM main.__tsql_objects WHERE name = ? AND tbl = ? AND kind IN ('IX','UX')",
          {SqlValue{hit->name}, SqlValue{it->second.name}});
    }
    tx.commit();
    afterDdl();
  }

  void createTrigger(const CreateTriggerStmt& s) {
    std::string name = s.name.last();
    auto it = tables.find(s.table.last());
    if (it == tables.end() || (s.table.parts.size() >= 3 && !iequals(s.table.parts[s.table.parts.size() - 3], catalog)))
      throw DbError("Invalid object name '" + s.table.text() + "'.", "42S02", 208);
    if (objectNameTaken(name)) objectExists(name);
    std::string ev = std::string(s.onInsert ? "I" : "") + (s.onUpdate ? "U" : "") + (s.onDelete ? "D" : "");
    Tx tx(*this);
    run("INSERT INTO main.__tsql_objects (name, kind, tbl, cols, definition, ord) VALUES (?, 'TR', ?, ?, ?, (SELECT "
        "coalesce(max(ord), 0) + 1 FROM main.__tsql_objects))",
        {SqlValue{name}, SqlValue{it->second.name}, SqlValue{ev}, SqlValue{s.definition}});
    schemaChanged();
    tx.commit();
    afterDdl();
  }

  void dropTrigger(const DropTriggerStmt& s) {
    Tx tx(*this);
    for (auto& n : s.names) {
      std::vector<std::vector<SqlValue>> rows;
      run("SELECT 1 FROM main.__tsql_objects WHERE name = ? AND kind = 'TR'", {SqlValue{n.last()}}, &rows);
      if (rows.empty())
        throw DbError("Cannot drop the trigger '" + n.text() +
                          "', because it does not exist or you do not have "
                          "permission.",
                      "42000", 3701);
      run("DELETE FROM main.__tsql_objects WHERE name = ? AND kind = 'TR'", {SqlValue{n.last()}});
    }
    schemaChanged();
    tx.commit();
    afterDdl();
  }

  static void checkDatabaseName(const std::string& name) {
    if (name.empty() || name.find_first_of("/\\:*?\"<>|") != std::string::npos || name == "." || name == "..")
      syntaxError(name);
  }

  void createDatabase(const std::string& name) {
    checkDatabaseName(name);
    if (findCatalogFile(serverDir, name))
      throw DbError("Database '" + name + "' already exists. Choose a different database name.", "42000", 1801);
    initCatalogFile(serverDir / (name + std::string(kCatalogExtension)));
  }

  void dropDatabase(const std::string& name) {
    checkDatabaseName(name);
    auto f = findCatalogFile(serverDir, name);
    if (!f)
      throw DbError("Cannot drop the database '" + name + "', because it does not exist or you do not have permission.",
                    "42000", 3701);
    if (iequals(name, catalog) || iequals(name, "master"))
      throw DbError("Cannot drop database \"" + name + "\" because it is currently in use.", "42000", 3702);
    std::error_code ec;
    fs::remove(*f, ec);
    fs::remove(fs::path(f->string() + "-wal"), ec);
    fs::remove(fs::path(f->string() + "-shm"), ec);
  }

  // ---------------------------------------------------------------- transactions
  void beginTrans() {
    if (tranCount == 0) {
      detachAll();
      exec("BEGIN IMMEDIATE");
    }
    ++tranCount;
  }
  void commitTrans() {
    if (tranCount == 0)
      throw DbError("The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.", "25000", 3902);
    if (--tranCount == 0) {
      exec("COMMIT");
      detachAll();
    }
  }
  void rollbackTrans() {
    if (tranCount == 0)
      throw DbError("The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.", "25000", 3903);
    tranCount = 0;
    char* err = nullptr;
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, &err);
    sqlite3_free(err);
    detachAll();
  }
};

// ------------------------------------------------------------------ public class

EmbeddedConnection::EmbeddedConnection(std::filesystem::path baseDir) : baseDir_(std::move(baseDir)) {}
EmbeddedConnection::~EmbeddedConnection() = default;

void EmbeddedConnection::open(const std::string& connectionString) {
  close();
  ConnectionString cs = ConnectionString::parse(connectionString);
  std::string ds = cs.dataSource();
  while (!ds.empty() && (ds.front() == ' ')) ds.erase(ds.begin());
  if (!isEmbeddedDataSource(ds))
    throw DbError("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.", "08001", 17);
  fs::path dir = ds.substr(kEmbeddedPrefix.size());
  if (dir.is_relative()) dir = baseDir_ / dir;
  std::string user = cs.userId();
  if (!user.empty() && !iequals(user, "sa")) throw DbError("Login failed for user '" + user + "'.", "28000", 18456);
  std::error_code ec;
  if (!fs::is_directory(dir, ec) || !findCatalogFile(dir, "master"))
    throw DbError("[DBNETLIB][ConnectionOpen (Connect()).]SQL Server does not exist or access denied.", "08001", 17);
  std::string cat = cs.initialCatalog();
  if (cat.empty()) cat = cs.value("Database");
  if (cat.empty()) cat = "master";
  auto file = findCatalogFile(dir, cat);
  if (!file)
    throw DbError("Cannot open database \"" + cat + "\" requested by the login. The login failed.", "42000", 4060);
  auto im = std::make_unique<Impl>();
  im->baseDir = baseDir_;
  im->serverDir = fs::absolute(dir, ec);
  im->catalog = file->stem().string();
  im->catalogFile = fs::absolute(*file, ec);
  if (sqlite3_open_v2(im->catalogFile.string().c_str(), &im->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    throw DbError("Cannot open database \"" + cat + "\" requested by the login. The login failed.", "42000", 4060);
  }
  sqlite3_busy_timeout(im->db, kBusyTimeoutMs);
  sqlite3_extended_result_codes(im->db, 1);
  registerFunctions(im->db, &im->host);
  sqlite3_progress_handler(im->db, 2000, &Impl::progress, im.get());
  char* err = nullptr;
  sqlite3_exec(im->db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA temp_store=MEMORY", nullptr, nullptr,
               &err);
  sqlite3_free(err);
  im->ensureSchema();
  impl_ = std::move(im);
}

void EmbeddedConnection::close() {
  impl_.reset();
}
bool EmbeddedConnection::isOpen() const {
  return impl_ != nullptr;
}

namespace {
[[noreturn]] void notOpen() {
  throw DbError("Operation is not allowed when the object is closed.", "08003", 3704);
}
}  // namespace

long long EmbeddedConnection::execute(const std::string& sql) {
  if (!impl_) notOpen();
  return impl_->runBatch(sql, nullptr);
}

Recordset EmbeddedConnection::query(const std::string& sql) {
  if (!impl_) notOpen();
  Recordset rs;
  impl_->runBatch(sql, &rs);
  return rs;
}

void EmbeddedConnection::beginTrans() {
  if (!impl_) notOpen();
  impl_->beginTrans();
}
void EmbeddedConnection::commitTrans() {
  if (!impl_) notOpen();
  impl_->commitTrans();
}
void EmbeddedConnection::rollbackTrans() {
  if (!impl_) notOpen();
  impl_->rollbackTrans();
}
void EmbeddedConnection::setCommandTimeout(int seconds) {
  if (!impl_) notOpen();
  impl_->commandTimeout = seconds < 0 ? 0 : seconds;
}

}  // namespace erpsync::db::embedded
