// SELECT: FROM sources and joins, the select list, ORDER BY, TOP and compound queries.
#include <cstdlib>
#include <string>

#include "db/db_error.h"
#include "db/embedded/parser.h"
#include "db/embedded/translator_impl.h"

namespace erpsync::db::embedded {

using namespace ast;
using namespace translation;

bool Translator::Impl::allInner(const TableRef& t) {
  if (t.kind != TableRef::Join) return true;
  return (t.joinType == TableRef::Inner || t.joinType == TableRef::Cross) && allInner(*t.left) && allInner(*t.right);
}

// Emits a table source, adding its sources to `scope`; a derived table's query sees `outer`, the
// scope of the query around this one, not the sources beside it.
std::string Translator::Impl::tableRef(const TableRef& t, Scope& scope, Scope* outer) {
  switch (t.kind) {
    case TableRef::Named: {
      Resolved r = resolveTable(t.name, true);
      Source s = makeSource(r, t.alias);
      std::string sql = r.sqlName + " AS " + quoteIdent(s.sqlRef);
      scope.sources.push_back(std::move(s));
      return sql;
    }
    case TableRef::Derived: {
      SelOut so = select(*t.sub, outer);
      Source s;
      s.name = t.alias;
      s.tableName = t.alias;
      s.aliased = true;
      s.sqlRef = newRef();
      s.cols = so.cols;
      std::string sql = "(" + so.sql + ") AS " + quoteIdent(s.sqlRef);
      scope.sources.push_back(std::move(s));
      return sql;
    }
    case TableRef::Join:
      return join(t, scope, outer);
  }
  return {};
}

std::string Translator::Impl::join(const TableRef& t, Scope& scope, Scope* outer) {
  if (t.joinType == TableRef::Full) syntaxError("FULL");
  if (t.joinType == TableRef::Right) {
    // A RIGHT JOIN B ON c  ==  B LEFT JOIN A ON c; the column order of * is kept by the scope order.
    std::string leftSql = tableRef(*t.left, scope, outer);
    if (t.left->kind == TableRef::Join) leftSql = "(" + leftSql + ")";
    std::string rightSql = tableRef(*t.right, scope, outer);
    if (t.right->kind == TableRef::Join) rightSql = "(" + rightSql + ")";
    std::string on = condition(*t.on, &scope).sql;
    return rightSql + " LEFT JOIN " + leftSql + " ON " + on;
  }
  std::string leftSql = tableRef(*t.left, scope, outer);
  const char* kind = t.joinType == TableRef::Left    ? " LEFT JOIN "
                     : t.joinType == TableRef::Cross ? " CROSS JOIN "
                                                     : " INNER JOIN ";
  if (t.right->kind == TableRef::Join && t.joinType != TableRef::Left && allInner(*t.right)) {
    // A JOIN (B JOIN C ON c1) ON c2: inner joins re-associate, so write A JOIN B ON 1 JOIN C ON c1 AND c2.
    std::vector<const TableRef*> leaves;
    std::vector<const Expr*> conds;
    flatten(*t.right, leaves, conds);
    if (t.on) conds.push_back(t.on.get());
    std::string sql = leftSql;
    for (std::size_t i = 0; i < leaves.size(); ++i) {
      sql += " INNER JOIN " + tableRef(*leaves[i], scope, outer);
      if (i + 1 < leaves.size()) sql += " ON 1";
    }
    std::string on;
    for (auto* c : conds) {
      if (!on.empty()) on += " AND ";
      on += condition(*c, &scope).sql;
    }
    sql += " ON " + (on.empty() ? std::string("1") : on);
    return sql;
  }
  std::string rightSql = tableRef(*t.right, scope, outer);
  if (t.right->kind == TableRef::Join) rightSql = "(" + rightSql + ")";
  std::string sql = leftSql + kind + rightSql;
  if (t.on) sql += " ON " + condition(*t.on, &scope).sql;
  return sql;
}

void Translator::Impl::flatten(const TableRef& t, std::vector<const TableRef*>& leaves,
                               std::vector<const Expr*>& conds) {
  if (t.kind != TableRef::Join) {
    leaves.push_back(&t);
    return;
  }
  flatten(*t.left, leaves, conds);
  flatten(*t.right, leaves, conds);
  if (t.on) conds.push_back(t.on.get());
}

void Translator::Impl::SelectList::add(const std::string& sql, const std::string& name, const ColType& type,
                                       bool hasName) {
  if (!items.empty()) items += ", ";
  std::string internal = hasName ? name : "__c" + std::to_string(++unnamed);
  items += sql + " AS " + quoteIdent(internal);
  so.cols.push_back({hasName ? name : std::string(), type});
  so.itemSql.push_back(sql);
  so.itemNames.push_back(internal);
}

namespace {
[[noreturn]] void assignmentWithRetrieval() {
  throw DbError(
      "A SELECT statement that assigns a value to a variable must not be combined with "
      "data-retrieval operations.",
      "42000", 141);
}
}  // namespace

// * and t.*: the named columns of every source, or of the one the qualifier names.
void Translator::Impl::starItems(const Name& qn, Scope& scope, SelectList& list) {
  bool any = false;
  for (auto& src : scope.sources) {
    if (!qn.parts.empty()) {
      const std::string& qual = qn.parts.back();
      if (!iequals(src.name, qual) && !(src.aliased && iequals(src.tableName, qual))) continue;
    }
    for (auto& c : src.cols)
      if (!c.name.empty()) list.add(quoteIdent(src.sqlRef) + "." + quoteIdent(c.name), c.name, c.type, true);
    any = true;
  }
  if (!any) {
    if (qn.parts.empty()) throw DbError("Must specify table to select from.", "42000", 263);
    throw DbError("The object name '" + qn.text() + "' is not valid.", "42000", 4104);
  }
}

// The select list: values, stars, or assignments to variables (never both kinds in one list).
void Translator::Impl::selectItems(const SelectCore& q, Scope& scope, bool inCompound, SelectList& list) {
  for (auto& it : q.items) {
    if (!it.assignVar.empty()) {
      if ((!out.assignVars.empty() || !list.so.cols.empty() || inCompound) &&
          (list.so.cols.size() != out.assignVars.size() || inCompound))
        assignmentWithRetrieval();
      windowAllowed = true;
      E e = expr(*it.expr, &scope);
      windowAllowed = false;
      out.assignVars.push_back(lower(it.assignVar));
      list.add(e.sql, "", e.type, false);
      continue;
    }
    if (!out.assignVars.empty()) assignmentWithRetrieval();
    if (it.expr->kind == Expr::Star) {
      starItems(it.expr->name, scope, list);
      continue;
    }
    windowAllowed = true;
    E e = expr(*it.expr, &scope);
    windowAllowed = false;
    exactLiteral(e);  // a number in the select list reads back with all its digits
    std::string sql = e.sql;
    if (inCompound && !e.column && e.type.isText()) sql = "(" + sql + ") COLLATE TSQL";
    std::string name = it.hasAlias ? it.alias : (e.column ? e.colName : std::string());
    list.add(sql, name, e.type, it.hasAlias || e.column);
  }
}

SelOut Translator::Impl::selectCore(const SelectCore& q, Scope* outer, bool inCompound, Scope* scopeOut) {
  if (q.into) syntaxError("INTO");
  // Windowed functions belong to this block's select list only: not to its FROM, WHERE, GROUP BY
  // or HAVING, nor to a subquery's clauses. The enclosing block's permission comes back at the end.
  struct WindowPermission {
    bool& allowed;
    bool saved;
    ~WindowPermission() { allowed = saved; }
  } permission{windowAllowed, windowAllowed};
  windowAllowed = false;
  Scope scope;
  scope.outer = outer;
  std::string from;
  for (std::size_t i = 0; i < q.from.size(); ++i) {
    if (i) from += ", ";
    from += tableRef(*q.from[i], scope, outer);
  }
  SelectList list;
  selectItems(q, scope, inCompound, list);
  std::string sql = "SELECT ";
  if (q.distinct) sql += "DISTINCT ";
  sql += list.items;
  if (!from.empty()) sql += " FROM " + from;
  if (q.where) sql += " WHERE " + condition(*q.where, &scope).sql;
  if (!q.groupBy.empty()) {
    sql += " GROUP BY ";
    for (std::size_t i = 0; i < q.groupBy.size(); ++i) {
      if (i) sql += ", ";
      sql += expr(*q.groupBy[i], &scope).sql;
    }
  }
  if (q.having) sql += " HAVING " + condition(*q.having, &scope).sql;
  list.so.sql = sql;
  if (scopeOut) *scopeOut = std::move(scope);
  return std::move(list.so);
}

std::string Translator::Impl::topClause(const SelectCore& q, Scope* outer) {
  if (!q.top) return {};
  if (q.topPercent) syntaxError("PERCENT");
  E t = expr(*q.top, outer);
  return " LIMIT " + t.sql;
}

SelOut Translator::Impl::select(const Select& s, Scope* outer) {
  if (s.arms.size() == 1) {
    Scope scope;
    SelOut so = selectCore(s.arms[0], outer, false, &scope);
    scope.outer = outer;
    if (!s.orderBy.empty()) {
      so.sql += " ORDER BY ";
      for (std::size_t i = 0; i < s.orderBy.size(); ++i) {
        if (i) so.sql += ", ";
        const Expr& ox = *s.orderBy[i].expr;
        int pos = outputPosition(ox, so.cols);
        if (pos > 0) {
          const ColType& t = so.cols[static_cast<std::size_t>(pos - 1)].type;
          so.sql +=
              t.keepsDecimalText() ? sortKey(so.itemSql[static_cast<std::size_t>(pos - 1)], t) : std::to_string(pos);
        } else {
          bool saved = windowAllowed;
          windowAllowed = true;
          E oe = expr(ox, &scope);
          windowAllowed = saved;
          so.sql += (oe.type.isText() && !oe.column) ? oe.sql + " COLLATE TSQL" : sortKey(oe.sql, oe.type);
        }
        if (s.orderBy[i].desc) so.sql += " DESC";
      }
    }
    so.sql += topClause(s.arms[0], outer);
    return so;
  }
  SelOut result;
  std::string sql;
  for (std::size_t i = 0; i < s.arms.size(); ++i) {
    SelOut arm = selectCore(s.arms[i], outer, true, nullptr);
    std::string top = topClause(s.arms[i], outer);
    std::string armSql = top.empty() ? arm.sql : "SELECT * FROM (" + arm.sql + top + ")";
    if (i == 0) {
      result.cols = arm.cols;
      result.itemNames = arm.itemNames;
    } else {
      if (arm.cols.size() != result.cols.size())
        throw DbError(
            "All queries combined using a UNION, INTERSECT or EXCEPT operator must have an equal number "
            "of expressions in their target lists.",
            "42000", 205);
      for (std::size_t c = 0; c < arm.cols.size(); ++c)
        result.cols[c].type = higherType(result.cols[c].type, arm.cols[c].type);
      sql += " " + s.ops[i - 1] + " ";
    }
    sql += armSql;
  }
  if (!s.orderBy.empty()) {
    // Decimal columns (whose branches may hold integers and decimal text alike) sort as numbers
    // over the combined rows; others by position.
    std::string order;
    bool decimals = false;
    for (std::size_t i = 0; i < s.orderBy.size(); ++i) {
      if (i) order += ", ";
      int pos = outputPosition(*s.orderBy[i].expr, result.cols);
      if (pos <= 0)
        throw DbError(
            "ORDER BY items must appear in the select list if the statement contains a UNION, INTERSECT "
            "or EXCEPT operator.",
            "42000", 104);
      auto k = static_cast<std::size_t>(pos - 1);
      bool decimal = result.cols[k].type.keepsDecimalText();
      decimals = decimals || decimal;
      order += decimal ? sortKey(quoteIdent(result.itemNames[k]), result.cols[k].type) : std::to_string(pos);
      if (s.orderBy[i].desc) order += " DESC";
    }
    sql = (decimals ? "SELECT * FROM (" + sql + ")" : sql) + " ORDER BY " + order;
  }
  result.sql = sql;
  return result;
}

// The 1-based select-list position an ORDER BY item names (ordinal or output name), 0 when none.
int Translator::Impl::outputPosition(const Expr& ox, const std::vector<SrcCol>& cols) {
  if (ox.kind == Expr::Literal && ox.litKind == TokKind::Number &&
      ox.text.find_first_not_of("0123456789") == std::string::npos) {
    long long n = ox.text.size() > 9 ? 0 : std::atoll(ox.text.c_str());
    if (n < 1 || n > static_cast<int>(cols.size()))
      throw DbError(
          "The ORDER BY position number " + ox.text + " is out of range of the number of items in the select list.",
          "42000", 108);
    return static_cast<int>(n);
  }
  if (ox.kind == Expr::Column) {
    const std::string& n = ox.name.last();
    if (ox.name.parts.size() == 1) {
      for (std::size_t i = 0; i < cols.size(); ++i)
        if (!cols[i].name.empty() && iequals(cols[i].name, n)) return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

// The statement: a query (or a SELECT that assigns variables) and its output columns.
Translated Translator::Impl::selectStmt(const SelectStmt& s) {
  SelOut so = select(*s.select, nullptr);
  out.sql = so.sql;
  for (auto& c : so.cols) {
    out.columnNames.push_back(c.name);
    out.columnTypes.push_back(c.type);
  }
  return std::move(out);
}

}  // namespace erpsync::db::embedded
