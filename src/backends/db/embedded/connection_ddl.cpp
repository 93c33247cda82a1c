// Schema changes: CREATE/ALTER/DROP TABLE, indexes and constraints, triggers, databases. Each
// keeps the catalog's own description (SQL Server types, identities, constraint names) beside the
// SQLite schema, in the same transaction. ALTER TABLE is in connection_alter_table.cpp.
#include "db/embedded/connection_impl.h"
#include "db/embedded/parser.h"
#include "util/utf8_path.h"

namespace erpsync::db::embedded {

namespace fs = std::filesystem;
using namespace ast;
using Impl = EmbeddedConnection::Impl;

namespace {

std::string joinCols(const std::vector<std::string>& cols) {
  std::string r;
  for (std::size_t i = 0; i < cols.size(); ++i) {
    if (i) r += '\x1f';
    r += cols[i];
  }
  return r;
}

[[noreturn]] void objectExists(const std::string& name) {
  throw DbError("There is already an object named '" + name + "' in the database.", "42S01", 2714);
}

std::string sqliteType(const ColType& t) {
  return sqliteColumnType(t);
}

void checkDatabaseName(const std::string& name) {
  if (name.empty() || name.find_first_of("/\\:*?\"<>|") != std::string::npos || name == "." || name == "..")
    syntaxError(name);
}

}  // namespace

std::string indexSqliteName(const std::string& table, const std::string& index) {
  return table + "$" + index;
}

const TableInfo& Impl::existingTable(const Name& n, bool forAlter) {
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

bool Impl::objectNameTaken(const std::string& name) {
  if (tables.count(name)) return true;
  std::vector<std::vector<SqlValue>> rows;
  run("SELECT 1 FROM main.__tsql_objects WHERE name = ? AND kind IN ('PK','UQ','TR')", {SqlValue{name}}, &rows);
  return !rows.empty();
}

std::string Impl::columnDdl(const ColumnInfo& c) {
  std::string s = quoteIdent(c.name) + " " + sqliteType(c.type);
  if (!c.nullable) s += " NOT NULL";
  if (c.type.isText()) s += " COLLATE TSQL";
  return s;
}

ColumnInfo Impl::columnFrom(const ColumnDef& d) {
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

void Impl::writeColumns(const TableInfo& t, const std::map<std::string, SqlValue, CiLess>& identLast) {
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

void Impl::createSqliteIndex(const std::string& table, const IndexInfo& ix) {
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
    sqliteError(rc);
  }
}

std::vector<IndexInfo> Impl::constraintIndexes(const std::string& table, const std::vector<ColumnInfo>& cols,
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

void Impl::writeIndexMeta(const std::string& table, const IndexInfo& ix) {
  run("INSERT INTO main.__tsql_objects (name, kind, tbl, cols, ord) VALUES (?, ?, ?, ?, (SELECT coalesce(max(ord), "
      "0) + 1 "
      "FROM main.__tsql_objects))",
      {SqlValue{ix.name}, SqlValue{ix.kind}, SqlValue{table}, SqlValue{joinCols(ix.columns)}});
}

void Impl::createTable(const CreateTableStmt& s) {
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
    throw DbError(
        "Multiple identity columns specified for table '" + name + "'. Only one identity column per table is allowed.",
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
void Impl::rebuild(const TableInfo& oldT, TableInfo newT, const std::vector<std::string>& sources,
                   std::optional<std::pair<std::int64_t, std::int64_t>> identityStart) {
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
    sqliteError(rc);
  }
  if (identityStart && host.identityCount > 0)
    for (auto& c : newT.columns)
      if (c.identity) identLast[c.name] = SqlValue{host.identityLast};
  exec("DROP TABLE main." + quoteIdent(oldT.name));
  exec("ALTER TABLE main." + quoteIdent(tmp) + " RENAME TO " + quoteIdent(newT.name));
  for (auto& ix : newT.indexes) createSqliteIndex(newT.name, ix);
  writeColumns(newT, identLast);
}

std::map<std::string, SqlValue, CiLess> Impl::identLastOf(const TableInfo& t) {
  std::map<std::string, SqlValue, CiLess> out;
  std::vector<std::vector<SqlValue>> rows;
  run("SELECT col, ident_last FROM main.__tsql_columns WHERE tbl = ? AND ident_seed IS NOT NULL", {SqlValue{t.name}},
      &rows);
  for (auto& r : rows) out[r[0].s()] = r[1];
  return out;
}

void Impl::dropTable(const DropTableStmt& s) {
  Tx tx(*this);
  for (auto& n : s.tables) {
    auto it = tables.find(n.last());
    if (it == tables.end() || (n.parts.size() >= 3 && !iequals(n.parts[n.parts.size() - 3], catalog))) {
      if (s.ifExists) continue;
      throw DbError(
          "Cannot drop the table '" + n.text() + "', because it does not exist or you do not have permission.", "42S02",
          3701);
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

void Impl::createIndex(const CreateIndexStmt& s) {
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

void Impl::dropIndex(const DropIndexStmt& s) {
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

void Impl::createTrigger(const CreateTriggerStmt& s) {
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

void Impl::dropTrigger(const DropTriggerStmt& s) {
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

void Impl::createDatabase(const std::string& name) {
  checkDatabaseName(name);
  if (findCatalogFile(serverDir, name))
    throw DbError("Database '" + name + "' already exists. Choose a different database name.", "42000", 1801);
  initCatalogFile(serverDir / util::pathFromUtf8(name + std::string(kCatalogExtension)));
}

void Impl::dropDatabase(const std::string& name) {
  checkDatabaseName(name);
  auto f = findCatalogFile(serverDir, name);
  if (!f)
    throw DbError("Cannot drop the database '" + name + "', because it does not exist or you do not have permission.",
                  "42000", 3701);
  if (iequals(name, catalog) || iequals(name, "master"))
    throw DbError("Cannot drop database \"" + name + "\" because it is currently in use.", "42000", 3702);
  std::error_code ec;
  fs::remove(*f, ec);
  for (const char* suffix : {"-wal", "-shm"}) {
    fs::path companion = *f;
    companion += suffix;
    fs::remove(companion, ec);
  }
}

}  // namespace erpsync::db::embedded
