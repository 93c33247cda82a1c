// The SQLite files of an embedded server: one per catalog, holding the data tables and the catalog's own
// description of them (SQL Server column types, identities, constraints, triggers).
#include "db/embedded/catalog_file.h"

#include <sqlite3.h>

#include "db/db_error.h"
#include "db/embedded/lexer.h"
#include "db/embedded/sql_types.h"
#include "util/utf8_path.h"

namespace erpsync::db::embedded {

namespace fs = std::filesystem;

bool CiLess::operator()(const std::string& a, const std::string& b) const {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() < b.size();
}

std::optional<fs::path> findCatalogFile(const fs::path& dir, std::string_view catalog) {
  std::error_code ec;
  fs::path exact = dir / util::pathFromUtf8(std::string(catalog) + std::string(kCatalogExtension));
  if (fs::is_regular_file(exact, ec)) return exact;
  for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::path& p = it->path();
    if (p.extension() == kCatalogExtension && iequals(util::pathToUtf8(p.stem()), catalog) && it->is_regular_file(ec))
      return p;
  }
  return std::nullopt;
}

namespace {

// A text column, "" for NULL (a damaged row must not crash the loader).
std::string text(sqlite3_stmt* st, int i) {
  const unsigned char* t = sqlite3_column_text(st, i);
  return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
}

[[noreturn]] void unreadable(sqlite3* db, int rc, const std::string& what) {
  throw DbError("The catalog description (" + what + ") cannot be read: " + sqlite3_errmsg(db), "HY000", rc);
}

// One query over the catalog's description tables: every row goes to `row`; any step result
// other than a row or the end (busy, I/O error, a damaged page) fails with SQLite's message, so
// an unreadable description never passes for an empty one.
template <class F>
void eachRow(sqlite3* db, const std::string& sql, const std::string& what, F row) {
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(st);
    unreadable(db, rc, what);
  }
  struct Finalize {
    sqlite3_stmt* st;
    ~Finalize() { sqlite3_finalize(st); }
  } finalize{st};
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) row(st);
  if (rc != SQLITE_DONE) unreadable(db, rc, what);
}

void execOrThrow(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
    std::string m = err ? err : "unknown error";
    sqlite3_free(err);
    throw DbError(m, "HY000", 0);
  }
}

}  // namespace

void initCatalogFile(const fs::path& file) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(util::pathToUtf8(file).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    std::string m = db ? sqlite3_errmsg(db) : "cannot create file";
    sqlite3_close(db);
    throw DbError("CREATE DATABASE failed: " + m, "42000", 1802);
  }
  try {
    sqlite3_busy_timeout(db, 10000);
    execOrThrow(db, "PRAGMA journal_mode=WAL");
    execOrThrow(db,
                "CREATE TABLE IF NOT EXISTS __tsql_columns(tbl TEXT NOT NULL COLLATE NOCASE, col TEXT NOT NULL COLLATE "
                "NOCASE, ord INTEGER NOT NULL, type TEXT NOT NULL, nullable INTEGER NOT NULL, ident_seed INTEGER, "
                "ident_incr INTEGER, ident_last INTEGER, default_sql TEXT, PRIMARY KEY(tbl, col));"
                "CREATE TABLE IF NOT EXISTS __tsql_objects(name TEXT NOT NULL COLLATE NOCASE, kind TEXT NOT NULL, tbl "
                "TEXT COLLATE NOCASE, cols TEXT, definition TEXT, ord INTEGER);");
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
  sqlite3_close(db);
}

TableMap loadTables(sqlite3* db, const std::string& alias) {
  TableMap out;
  const std::string schema = "\"" + alias + "\"";
  eachRow(db,
          "SELECT tbl, col, type, nullable, ident_seed, ident_incr, default_sql FROM " + schema +
              ".__tsql_columns ORDER BY tbl, ord",
          "__tsql_columns", [&](sqlite3_stmt* st) {
            std::string tbl = text(st, 0);
            TableInfo& t = out[tbl];
            if (t.name.empty()) t.name = tbl;
            ColumnInfo c;
            c.name = text(st, 1);
            auto type = parseTypeName(text(st, 2));
            if (type) c.type = *type;
            c.nullable = sqlite3_column_int(st, 3) != 0;
            if (sqlite3_column_type(st, 4) != SQLITE_NULL) {
              c.identity = true;
              c.seed = sqlite3_column_int64(st, 4);
              c.increment = sqlite3_column_int64(st, 5);
            }
            if (sqlite3_column_type(st, 6) != SQLITE_NULL) c.defaultSql = text(st, 6);
            t.columns.push_back(std::move(c));
          });
  eachRow(db, "SELECT name, kind, tbl, cols FROM " + schema + ".__tsql_objects WHERE kind <> 'TR' ORDER BY ord",
          "__tsql_objects", [&](sqlite3_stmt* st) {
            auto it = out.find(text(st, 2));
            if (it == out.end()) return;
            IndexInfo ix;
            ix.name = text(st, 0);
            ix.kind = text(st, 1);
            std::string cols = text(st, 3);
            std::size_t p = 0;
            while (p <= cols.size() && !cols.empty()) {
              std::size_t q = cols.find('\x1f', p);
              ix.columns.push_back(cols.substr(p, q == std::string::npos ? std::string::npos : q - p));
              if (q == std::string::npos) break;
              p = q + 1;
            }
            it->second.indexes.push_back(std::move(ix));
          });
  return out;
}

std::vector<TriggerDef> loadTriggers(sqlite3* db) {
  std::vector<TriggerDef> out;
  eachRow(db, "SELECT name, tbl, cols, definition FROM main.__tsql_objects WHERE kind = 'TR' ORDER BY ord",
          "__tsql_objects", [&](sqlite3_stmt* st) {
            TriggerDef t;
            t.name = text(st, 0);
            t.table = text(st, 1);
            std::string ev = text(st, 2);
            t.onInsert = ev.find('I') != std::string::npos;
            t.onUpdate = ev.find('U') != std::string::npos;
            t.onDelete = ev.find('D') != std::string::npos;
            t.definition = text(st, 3);
            out.push_back(std::move(t));
          });
  return out;
}

}  // namespace erpsync::db::embedded
