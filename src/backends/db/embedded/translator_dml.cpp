// INSERT, UPDATE and DELETE: values coerced to the target column's declared type, identity and
// default values for the columns left out, and the FROM forms of UPDATE and DELETE.
#include <algorithm>
#include <functional>
#include <limits>
#include <string>

#include "db/db_error.h"
#include "db/embedded/parser.h"
#include "db/embedded/translator_impl.h"
#include "db/sql_quote.h"

namespace erpsync::db::embedded {

using namespace ast;
using namespace translation;

std::string Translator::Impl::assignCall(const E& e, const ColumnInfo& col) {
  if (e.isNull) return "NULL";
  if (e.param >= 0) {
    auto& p = out.params[static_cast<std::size_t>(e.param)];
    if (p.source == BoundParameter::Literal || p.source == BoundParameter::Variable) {
      p.coerce = true;
      p.assign = true;
      p.target = col.type;
      return e.sql;
    }
  }
  if (sameStorage(e.type, col.type)) return e.sql;
  return convertCall(e.sql, e.type, col.type, true, -1);
}

// The column's default, parsed as the select item of "SELECT <default>" and written with its
// literals in the text (it also goes into CREATE TABLE, where nothing is bound).
std::string Translator::Impl::defaultValueSql(const ColumnInfo& c) {
  if (c.defaultSql.empty()) return "NULL";
  std::string text = "SELECT " + c.defaultSql;
  LexResult lx = lex(text);
  Batch b = parseBatch(lx, text);
  if (b.statements.size() != 1 || b.statements[0]->kind != Stmt::SelectK) syntaxError(c.defaultSql);
  auto& sel = static_cast<SelectStmt&>(*b.statements[0]);
  std::vector<Token> lits;
  for (auto& t : lx.tokens)
    if (t.isLiteral()) lits.push_back(t);
  const auto* saved = inlineLits;
  inlineLits = &lits;
  E e = expr(*sel.select->arms[0].items[0].expr, nullptr);
  inlineLits = saved;
  return sameStorage(e.type, c.type) || e.isNull ? e.sql : convertCall(e.sql, e.type, c.type, true, -1);
}

namespace {

// The next identity value, limited to what the column's type holds.
std::string identityCall(const ColType& t) {
  auto [lo, hi] = integerRange(t.base);
  if (t.base == BaseType::Numeric && t.precision > 0 && t.precision < 19) {
    hi = 1;
    for (int i = 0; i < t.precision; ++i) hi *= 10;
    hi -= 1;
    lo = -hi;
  }
  return "tsql_ident(" + std::to_string(lo) + "," + std::to_string(hi) + "," + sqlQuote(t.errorName()) + ")";
}

}  // namespace

// The columns an INSERT lists (all but the identity when it lists none), by position in the table.
std::vector<int> Translator::Impl::insertColumns(const InsertStmt& s, const TableInfo& t) {
  std::vector<int> cols;
  if (s.columns.empty()) {
    for (std::size_t i = 0; i < t.columns.size(); ++i)
      if (!t.columns[i].identity) cols.push_back(static_cast<int>(i));
    return cols;
  }
  for (auto& c : s.columns) {
    int k = t.find(c);
    if (k < 0) invalidColumn(c);
    if (std::find(cols.begin(), cols.end(), k) != cols.end())
      throw DbError("The column name '" + c +
                        "' is specified more than once in the SET clause or column list "
                        "of an INSERT. A column cannot be assigned more than one value in the same clause. Modify "
                        "the clause to make sure that a column is updated only once. If this statement updates or "
                        "inserts columns into a view, column aliasing can conceal the duplication.",
                    "42000", 264);
    cols.push_back(k);
    if (t.columns[static_cast<std::size_t>(k)].identity) out.explicitIdentity = true;
  }
  return cols;
}

// The columns an INSERT leaves out that still get a value: the identity, and columns with a default.
void Translator::Impl::omittedColumns(const TableInfo& t, const std::vector<int>& cols, std::vector<int>& extra,
                                      std::vector<std::string>& extraSql) {
  for (std::size_t i = 0; i < t.columns.size(); ++i) {
    if (std::find(cols.begin(), cols.end(), static_cast<int>(i)) != cols.end()) continue;
    const ColumnInfo& c = t.columns[i];
    if (c.identity) {
      extra.push_back(static_cast<int>(i));
      extraSql.push_back(identityCall(c.type));
      out.generatesIdentity = true;
    } else if (!c.defaultSql.empty()) {
      extra.push_back(static_cast<int>(i));
      extraSql.push_back(defaultValueSql(c));
    }
  }
}

namespace {

// A row of values or a select list that does not match the INSERT's columns, worded as SQL Server
// words it; valuesClause: a VALUES row, else a select list.
[[noreturn]] void insertCountMismatch(bool listed, std::size_t values, std::size_t columns, bool valuesClause) {
  if (!listed) throw DbError("Column name or number of supplied values does not match table definition.", "21S01", 213);
  const bool more = values > columns;
  if (valuesClause)
    throw DbError(std::string("There are ") + (more ? "more" : "fewer") +
                      " columns in the INSERT statement than values specified in the VALUES clause. The number "
                      "of values in the VALUES clause must match the number of columns specified in the INSERT "
                      "statement.",
                  "21S01", more ? 110 : 109);
  throw DbError(std::string("The select list for the INSERT statement contains ") + (more ? "more" : "fewer") +
                    " items than the insert list. The number of SELECT values must match the number of INSERT "
                    "columns.",
                "21S01", more ? 121 : 120);
}

}  // namespace

// INSERT ... VALUES: each value converted to its column; a single row's literal values are noted by
// column (keyParams).
std::string Translator::Impl::insertValues(const InsertStmt& s, const TableInfo& t, const std::vector<int>& cols,
                                           const std::vector<std::string>& extraSql) {
  std::string sql = " VALUES ";
  for (std::size_t ri = 0; ri < s.rows.size(); ++ri) {
    const auto& row = s.rows[ri];
    if (row.size() != cols.size()) insertCountMismatch(!s.columns.empty(), row.size(), cols.size(), true);
    sql += ri ? ",(" : "(";
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i) sql += ",";
      E e = expr(*row[i], nullptr);
      const ColumnInfo& col = t.columns[static_cast<std::size_t>(cols[i])];
      sql += assignCall(e, col);
      if (s.rows.size() == 1 && e.param >= 0) out.keyParams.emplace_back(col.name, e.param);
    }
    for (auto& v : extraSql) sql += "," + v;
    sql += ")";
  }
  return sql;
}

// INSERT ... SELECT: each value converted to its column through a wrapping select, unless every value
// is stored as its column stores it already. into: "INSERT INTO table (columns)".
std::string Translator::Impl::insertSelect(const InsertStmt& s, const TableInfo& t, const std::vector<int>& cols,
                                           const std::vector<std::string>& extraSql, const std::string& into) {
  SelOut so = select(*s.select, nullptr);
  if (so.cols.size() != cols.size()) insertCountMismatch(!s.columns.empty(), so.cols.size(), cols.size(), false);
  bool plain = extraSql.empty();
  for (std::size_t i = 0; i < cols.size(); ++i)
    if (!sameStorage(so.cols[i].type, t.columns[static_cast<std::size_t>(cols[i])].type)) plain = false;
  if (plain) return into + " " + so.sql;
  std::string outerSel, cteCols;
  for (std::size_t i = 0; i < cols.size(); ++i) {
    const ColumnInfo& col = t.columns[static_cast<std::size_t>(cols[i])];
    std::string ref = "\"__v\".\"column" + std::to_string(i + 1) + "\"";
    const ColType& type = so.cols[i].type;
    outerSel += (i ? "," : "") + (sameStorage(type, col.type) ? ref : convertCall(ref, type, col.type, true, -1));
    cteCols += (i ? ",column" : "column") + std::to_string(i + 1);
  }
  for (auto& v : extraSql) outerSel += "," + v;
  // The select's columns are reached as column1..N of a CTE with an explicit column list, whatever
  // they were called.
  return "WITH \"__v\"(" + cteCols + ") AS (" + so.sql + ") " + into + " SELECT " + outerSel + " FROM \"__v\"";
}

Translated Translator::Impl::insertStmt(const InsertStmt& s) {
  Resolved r = resolveTable(s.table, false);
  const TableInfo& t = *r.table;
  out.event = DmlEvent::Insert;
  out.targetAlias = r.dbAlias;
  out.targetTable = t.name;
  std::vector<int> cols = insertColumns(s, t);
  std::vector<int> extra;
  std::vector<std::string> extraSql;
  omittedColumns(t, cols, extra, extraSql);
  std::string colList;
  for (const std::vector<int>* list : {&cols, &extra})
    for (int k : *list)
      colList += (colList.empty() ? "" : ",") + quoteIdent(t.columns[static_cast<std::size_t>(k)].name);
  const std::string sql = "INSERT INTO " + r.sqlName;
  if (s.defaultValues) {
    if (colList.empty()) {
      out.sql = sql + " DEFAULT VALUES";
      return std::move(out);
    }
    std::string vals;
    for (auto& v : extraSql) vals += (vals.empty() ? "" : ",") + v;
    out.sql = sql + " (" + colList + ") VALUES (" + vals + ")";
    return std::move(out);
  }
  const std::string into = sql + " (" + colList + ")";
  out.sql = s.rows.empty() ? insertSelect(s, t, cols, extraSql, into) : into + insertValues(s, t, cols, extraSql);
  return std::move(out);
}

Translator::Impl::Target Translator::Impl::findTarget(const Name& n, const std::vector<TableRefP>& from) {
  Target tg;
  if (n.parts.size() == 1) {
    for (std::size_t i = 0; i < from.size(); ++i) {
      const TableRef& f = *from[i];
      std::function<const TableRef*(const TableRef&)> findAlias = [&](const TableRef& t) -> const TableRef* {
        if (t.kind == TableRef::Named && ((!t.alias.empty() && iequals(t.alias, n.parts[0])) ||
                                          (t.alias.empty() && iequals(t.name.last(), n.parts[0]))))
          return &t;
        if (t.kind == TableRef::Join) {
          if (auto* l = findAlias(*t.left)) return l;
          return findAlias(*t.right);
        }
        return nullptr;
      };
      if (const TableRef* hit = findAlias(f)) {
        tg.r = resolveTable(hit->name, false);
        tg.fromIndex = static_cast<int>(i);
        tg.alias = hit->alias;
        return tg;
      }
    }
  }
  tg.r = resolveTable(n, false);
  return tg;
}

// FROM entries other than the target, with the target's join conditions moved to WHERE.
std::string Translator::Impl::otherSources(const std::vector<TableRefP>& from, const Target& tg, Scope& scope,
                                           std::vector<std::string>& conds, Source& targetSrc) {
  std::string sql;
  for (std::size_t i = 0; i < from.size(); ++i) {
    const TableRef& f = *from[i];
    if (static_cast<int>(i) != tg.fromIndex) {
      if (!sql.empty()) sql += ", ";
      sql += tableRef(f, scope, nullptr);
      continue;
    }
    if (f.kind == TableRef::Named) continue;
    if (!allInner(f)) syntaxError("JOIN");
    std::vector<const TableRef*> leaves;
    std::vector<const Expr*> on;
    flatten(f, leaves, on);
    for (auto* leaf : leaves) {
      bool isTarget = leaf->kind == TableRef::Named &&
                      ((!leaf->alias.empty() && iequals(leaf->alias, tg.alias)) ||
                       (leaf->alias.empty() && tg.alias.empty() && iequals(leaf->name.last(), targetSrc.name)));
      if (isTarget) continue;
      if (!sql.empty()) sql += ", ";
      sql += tableRef(*leaf, scope, nullptr);
    }
    for (auto* c : on) conds.push_back(condition(*c, &scope).sql);
  }
  return sql;
}

Translated Translator::Impl::updateStmt(const UpdateStmt& s) {
  Target tg = findTarget(s.table, s.from);
  const TableInfo& t = *tg.r.table;
  out.event = DmlEvent::Update;
  out.targetAlias = tg.r.dbAlias;
  out.targetTable = t.name;
  Scope scope;
  Source target = makeSource(tg.r, tg.alias);
  scope.sources.push_back(target);
  std::vector<std::string> conds;
  std::string from = otherSources(s.from, tg, scope, conds, scope.sources[0]);
  std::string sets;
  for (auto& [col, val] : s.sets) {
    int k = t.find(col.last());
    if (k < 0) invalidColumn(col.last());
    const ColumnInfo& c = t.columns[static_cast<std::size_t>(k)];
    if (c.identity) throw DbError("Cannot update identity column '" + c.name + "'.", "42000", 8102);
    E e = expr(*val, &scope);
    if (!sets.empty()) sets += ", ";
    sets += quoteIdent(c.name) + " = " + assignCall(e, c);
  }
  std::string sql = "UPDATE " + tg.r.sqlName + " AS " + quoteIdent(scope.sources[0].sqlRef) + " SET " + sets;
  if (!from.empty()) sql += " FROM " + from;
  std::string where;
  for (auto& c : conds) where += (where.empty() ? "" : " AND ") + c;
  if (s.where) where += (where.empty() ? "" : " AND ") + condition(*s.where, &scope).sql;
  if (!where.empty()) sql += " WHERE " + where;
  out.sql = sql;
  return std::move(out);
}

Translated Translator::Impl::deleteStmt(const DeleteStmt& s) {
  Target tg = findTarget(s.table, s.from);
  const TableInfo& t = *tg.r.table;
  out.event = DmlEvent::Delete;
  out.targetAlias = tg.r.dbAlias;
  out.targetTable = t.name;
  if (s.from.empty()) {
    Scope scope;
    Source target = makeSource(tg.r, "");
    scope.sources.push_back(target);
    std::string sql = "DELETE FROM " + tg.r.sqlName + " AS " + quoteIdent(scope.sources[0].sqlRef);
    if (s.where) sql += " WHERE " + condition(*s.where, &scope).sql;
    out.sql = sql;
    return std::move(out);
  }
  // DELETE t FROM t JOIN u ...: delete the target rows the joined select finds.
  Scope scope;
  std::string from;
  for (std::size_t i = 0; i < s.from.size(); ++i) {
    if (i) from += ", ";
    from += tableRef(*s.from[i], scope, nullptr);
  }
  std::string ref;
  for (auto& src : scope.sources)
    if (src.table && iequals(src.tableName, t.name) && (tg.alias.empty() || iequals(src.name, tg.alias)))
      ref = src.sqlRef;
  if (ref.empty()) {
    // The target is not in the FROM list: every row of it goes when the FROM finds any row.
    Source target = makeSource(tg.r, "");
    ref = target.sqlRef;
    scope.sources.push_back(target);
    from += ", " + tg.r.sqlName + " AS " + quoteIdent(ref);
  }
  std::string sql =
      "DELETE FROM " + tg.r.sqlName + " WHERE rowid IN (SELECT " + quoteIdent(ref) + ".rowid FROM " + from;
  if (s.where) sql += " WHERE " + condition(*s.where, &scope).sql;
  sql += ")";
  out.sql = sql;
  return std::move(out);
}

}  // namespace erpsync::db::embedded
