// The catalogs a connection reaches: the description of its own tables (reloaded when the schema
// cookie moves), other catalogs of this server and catalogs of linked servers, attached to the
// SQLite connection under an alias for as long as a statement needs them.
#include "db/connection_string.h"
#include "db/embedded/connection_impl.h"
#include "util/utf8_path.h"

namespace erpsync::db::embedded {

namespace fs = std::filesystem;
using Impl = EmbeddedConnection::Impl;

namespace {

[[noreturn]] void unknownServer(const std::string& name) {
  throw DbError("Could not find server '" + name +
                    "' in sys.servers. Verify that the correct server name was specified. If necessary, execute the "
                    "stored procedure sp_addlinkedserver to add the server to sys.servers.",
                "42000", 7202);
}

}  // namespace

long long Impl::readCookie() {
  if (!cookieStmt) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA main.schema_version", -1, &st, nullptr);
    cookieStmt = std::make_unique<Statement>(st);
    if (rc != SQLITE_OK) {
      cookieStmt.reset();
      sqliteError(rc);
    }
  }
  sqlite3_stmt* st = cookieStmt->get();
  long long v = -1;
  int rc = sqlite3_step(st);
  if (rc == SQLITE_ROW) v = sqlite3_column_int64(st, 0);
  sqlite3_reset(st);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) sqliteError(rc);
  return v;
}

void Impl::ensureSchema() {
  // BEGIN IMMEDIATE fixed this transaction's snapshot: no other connection's change can show in it.
  const bool inTransaction = tranCount > 0 && !sqlite3_get_autocommit(db);
  if (inTransaction && schemaCheckedIn == txnGeneration) return;
  long long c = readCookie();
  if (c != schemaCookie) reloadSchema(c);
  schemaCheckedIn = inTransaction ? txnGeneration : -1;
}

void Impl::reloadSchema(long long cookie) {
  tables = loadTables(db, "main");
  triggers = loadTriggers(db);
  triggerUnits.clear();
  schemaCookie = cookie;
  ++generation;
  refreshTempTriggers();
}

void Impl::schemaChanged() {
  exec("CREATE TABLE IF NOT EXISTS __tsql_bump(x); DROP TABLE __tsql_bump");
}

const TableMap& Impl::tablesOf(const std::string& alias) {
  if (alias == "main") return tables;
  auto it = attached.find(alias);
  if (it == attached.end()) throw DbError("Invalid object name '" + alias + "'.", "42S02", 208);
  return it->second.tables;
}

std::string Impl::catalogOfAlias(const std::string& alias) {
  if (alias == "main") return catalog;
  auto it = attached.find(alias);
  return it == attached.end() ? alias : it->second.catalog;
}

std::string Impl::attachFile(const fs::path& file, const std::string& catalogName, const std::string& alias) {
  std::error_code ec;
  if (fs::equivalent(file, catalogFile, ec)) return "main";
  auto it = attached.find(alias);
  if (it != attached.end()) return alias;
  run("ATTACH DATABASE ? AS " + quoteIdent(alias), {SqlValue{util::pathToUtf8(file)}});
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

void Impl::detachAll() {
  if (attached.empty() || !sqlite3_get_autocommit(db)) return;
  for (auto it = attached.begin(); it != attached.end();) {
    std::string s = "DETACH DATABASE " + quoteIdent(it->first);
    sqlite3_exec(db, s.c_str(), nullptr, nullptr, nullptr);
    it = attached.erase(it);
  }
  // Statements that named the detached schemas must be prepared again.
  statements.removeIf([](const std::string& sql) {
    return sql.find("\"__c_") != std::string::npos || sql.find("\"__l_") != std::string::npos;
  });
}

std::string Impl::masterAlias() {
  if (iequals(catalog, "master")) return "main";
  auto f = findCatalogFile(serverDir, "master");
  if (!f)
    throw DbError("Database 'master' does not exist. Make sure that the name is entered correctly.", "42000", 911);
  return attachFile(*f, "master", "__c_master");
}

std::optional<LinkedServer> Impl::findServer(const std::string& name) {
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

fs::path Impl::linkedServerDir(const LinkedServer& s) {
  std::string target = s.name;
  if (isEmbeddedDataSource(s.dataSource)) target = s.dataSource;
  if (isEmbeddedDataSource(target)) {
    fs::path p = util::pathFromUtf8(target.substr(kEmbeddedPrefix.size()));
    return p.is_relative() ? baseDir / p : p;
  }
  fs::path parent = serverDir.parent_path();
  fs::path exact = parent / util::pathFromUtf8(target);
  std::error_code ec;
  if (fs::is_directory(exact, ec)) return exact;
  for (auto it = fs::directory_iterator(parent, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
    if (it->is_directory(ec) && iequals(util::pathToUtf8(it->path().filename()), target)) return it->path();
  throw DbError("OLE DB provider \"SQLNCLI11\" for linked server \"" + s.name +
                    "\" returned message \"Login timeout expired\". Named Pipes Provider: Could not open a "
                    "connection to SQL Server [53].",
                "08001", 53);
}

std::string Impl::resolveCatalog(const CatalogRef& ref) {
  if (ref.server.empty()) {
    if (ref.catalog.empty() || iequals(ref.catalog, catalog)) return "main";
    auto f = findCatalogFile(serverDir, ref.catalog);
    if (!f)
      throw DbError("Database '" + ref.catalog + "' does not exist. Make sure that the name is entered correctly.",
                    "42000", 911);
    return attachFile(*f, util::pathToUtf8(f->stem()), "__c_" + sanitize(ref.catalog));
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
  return attachFile(*f, util::pathToUtf8(f->stem()), "__l_" + sanitize(ref.server) + "_" + sanitize(ref.catalog));
}

}  // namespace erpsync::db::embedded
