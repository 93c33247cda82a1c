// SQLite errors worded as SQL Server words them: the operations look for phrases in the text
// ("Invalid object name", "Cannot insert duplicate key", an index name ...), so the wording matters.
#include "db/embedded/connection_impl.h"
#include "db/embedded/parser.h"

namespace erpsync::db::embedded {

using Impl = EmbeddedConnection::Impl;

[[noreturn]] void Impl::sqliteError(int rc) {
  std::string msg = sqlite3_errmsg(db);
  int ext = sqlite3_extended_errcode(db);
  std::string m, state;
  long native = 0;
  if (decodeFunctionError(msg, m, state, native)) throw DbError(m, state, native);
  int primary = rc & 0xff;
  if (primary == SQLITE_INTERRUPT || timedOut) throw DbError("Query timeout expired", "HYT00", 0);
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED || ext == SQLITE_BUSY_SNAPSHOT)
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
  // SQLite's own limits on nesting (its parser's stack, the depth of an expression tree) stand for
  // SQL Server's.
  if (msg == "parser stack overflow" || msg.rfind("Expression tree is too large", 0) == 0) nestedTooDeeply();
  if (msg.rfind("ambiguous column name: ", 0) == 0)
    throw DbError("Ambiguous column name '" + msg.substr(23) + "'.", "42000", 209);
  throw DbError(msg, "HY000", rc);
}

[[noreturn]] void Impl::constraintError(const Translated& t, const std::vector<SqlValue>& values) {
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
      throw DbError("Violation of PRIMARY KEY constraint '" + hit->name + "'. Cannot insert duplicate key in object '" +
                        object + "'." + tail,
                    "23000", 2627);
    if (hit && hit->kind == "UQ")
      throw DbError("Violation of UNIQUE KEY constraint '" + hit->name + "'. Cannot insert duplicate key in object '" +
                        object + "'." + tail,
                    "23000", 2627);
    throw DbError("Cannot insert duplicate key row in object '" + object + "' with unique index '" +
                      (hit ? hit->name : std::string("?")) + "'." + tail,
                  "23000", 2601);
  }
  throw DbError(msg, "23000", 547);
}

}  // namespace erpsync::db::embedded
