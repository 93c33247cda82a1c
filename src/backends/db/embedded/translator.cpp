#include "db/embedded/translator.h"

#include <functional>

#include "db/db_error.h"
#include "db/sql_quote.h"
#include "db/embedded/parser.h"

namespace erpsync::db::embedded {

using namespace ast;

int TableInfo::find(std::string_view column) const {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (iequals(columns[i].name, column)) return static_cast<int>(i);
  return -1;
}

int TableInfo::identityColumn() const {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (columns[i].identity) return static_cast<int>(i);
  return -1;
}

std::string quoteIdent(std::string_view name) {
  std::string r = "\"";
  for (char c : name) {
    if (c == '"') r += '"';
    r += c;
  }
  r += '"';
  return r;
}

namespace {

[[noreturn]] void invalidObject(const std::string& name) {
  throw DbError("Invalid object name '" + name + "'.", "42S02", 208);
}
[[noreturn]] void invalidColumn(const std::string& name) {
  throw DbError("Invalid column name '" + name + "'.", "42S22", 207);
}

std::string typeArgs(const ColType& t) {
  return std::to_string(static_cast<int>(t.base)) + "," + std::to_string(t.length) + "," + std::to_string(t.precision) +
         "," + std::to_string(t.scale);
}

ColType textType(int len = 8000) {
  ColType t;
  t.base = BaseType::VarChar;
  t.length = len;
  return t;
}
ColType intType() {
  ColType t;
  t.base = BaseType::Int;
  return t;
}
ColType dateType() {
  ColType t;
  t.base = BaseType::DateTime;
  return t;
}
ColType bitType() {
  ColType t;
  t.base = BaseType::Bit;
  return t;
}

// No conversion needed when a value of `src` is stored into `dst` as it is.
bool sameStorage(const ColType& src, const ColType& dst) {
  if (!src.known()) return false;
  if (src.isText() && dst.isText()) {
    if (dst.base == BaseType::Char || dst.base == BaseType::NChar) return src == dst;
    return dst.length < 0 || (src.length > 0 && src.length <= dst.length);
  }
  if (src.isDate() && dst.base == BaseType::DateTime) return true;
  if (src.base == dst.base && src.base == BaseType::Numeric)
    return src.scale == dst.scale && src.precision - src.scale <= dst.precision - dst.scale;
  if (src.isInteger() && dst.isInteger()) {
    auto width = [](BaseType b) {
      switch (b) {
        case BaseType::Bit:
          return 0;
        case BaseType::TinyInt:
          return 1;
        case BaseType::SmallInt:
          return 2;
        case BaseType::Int:
          return 3;
        default:
          return 4;
      }
    };
    return dst.base != BaseType::Bit && width(src.base) <= width(dst.base) && src.base != BaseType::TinyInt;
  }
  if (src.isInteger() && src.base != BaseType::Bit && dst.base == BaseType::Numeric && dst.scale == 0 &&
      dst.precision >= 19)
    return true;
  if ((src.base == BaseType::Float || src.base == BaseType::Real) && dst.base == BaseType::Float) return true;
  return false;
}

struct SrcCol {
  std::string name;
  ColType type;
};

struct Source {
  std::string name;       // alias or table name
  std::string tableName;  // base table name for a named source
  bool aliased = false;
  std::string sqlRef;  // emitted qualifier
  std::vector<SrcCol> cols;
  const TableInfo* table = nullptr;
  std::string dbAlias;
};

struct Scope {
  std::vector<Source> sources;
  Scope* outer = nullptr;
};

struct E {
  std::string sql;
  ColType type;
  int param = -1;       // a plain literal/variable parameter
  bool column = false;  // a column reference (carries its collation)
  std::string colName;  // for naming select items
  bool isNull = false;
  bool aggregate = false;
};

struct SelOut {
  std::string sql;
  std::vector<SrcCol> cols;
};

}  // namespace

struct Translator::Impl {
  SchemaProvider& schema;
  const TriggerContext* trigger;
  const VariableTypes* vars;
  Translated out;
  int nextRef = 0;
  const std::vector<Token>* inlineLits = nullptr;  // write literals into the SQL instead of binding them

  Impl(SchemaProvider& s, const TriggerContext* t, const VariableTypes* v) : schema(s), trigger(t), vars(v) {}

  std::string newRef() { return "s" + std::to_string(++nextRef); }

  void reset() {
    out = Translated{};
    nextRef = 0;
  }

  // ---- names ----
  struct Resolved {
    const TableInfo* table = nullptr;
    std::string dbAlias;
    std::string sqlName;  // "alias"."table"
    std::string tableName;
  };

  void noteCatalog(const CatalogRef& ref) {
    if (ref.server.empty() && ref.catalog.empty()) return;
    for (auto& c : out.catalogs)
      if (iequals(c.server, ref.server) && iequals(c.catalog, ref.catalog)) return;
    out.catalogs.push_back(ref);
  }

  Resolved resolveTable(const Name& n, bool allowTriggerTables) {
    Resolved r;
    const auto& p = n.parts;
    std::string shown = n.text();
    if (allowTriggerTables && trigger && p.size() == 1 && (iequals(p[0], "inserted") || iequals(p[0], "deleted"))) {
      r.table = trigger->table;
      r.sqlName = iequals(p[0], "inserted") ? trigger->insertedTable : trigger->deletedTable;
      r.tableName = p[0];
      r.dbAlias = "temp";
      return r;
    }
    CatalogRef ref;
    std::string name = p.back();
    if (p.size() >= 2 && iequals(p[p.size() - 2], "sys")) {
      if (!iequals(name, "servers")) invalidObject(shown);
      if (p.size() == 4) invalidObject(shown);
      ref.catalog = "master";
      name = "__servers";
    } else {
      if (p.size() == 3) ref.catalog = p[0];
      if (p.size() == 4) {
        ref.server = p[0];
        ref.catalog = p[1];
        if (ref.catalog.empty()) syntaxError(shown);
      }
    }
    if (!ref.server.empty() || !ref.catalog.empty()) {
      if (ref.server.empty() && iequals(ref.catalog, schema.currentCatalog())) ref.catalog.clear();
    }
    auto found = schema.findTable(ref, name);
    if (!found.table) invalidObject(shown);
    noteCatalog(ref);
    r.table = found.table;
    r.dbAlias = found.alias;
    r.sqlName = quoteIdent(found.alias) + "." + quoteIdent(found.table->name);
    r.tableName = found.table->name;
    return r;
  }

  Source makeSource(const Resolved& r, const std::string& alias) {
    Source s;
    s.table = r.table;
    s.dbAlias = r.dbAlias;
    s.tableName = r.tableName;
    s.aliased = !alias.empty();
    s.name = alias.empty() ? r.tableName : alias;
    s.sqlRef = newRef();
    for (auto& c : r.table->columns) s.cols.push_back({c.name, c.type});
    return s;
  }

  // Finds a column by its (possibly qualified) name in the scopes, innermost first. A qualifier names
  // an alias (or an unaliased table); an aliased table's own name is only tried when nothing else
  // in any scope carries that name.
  E columnRef(const Name& n, Scope* scope) {
    const auto& p = n.parts;
    std::string col = p.back();
    std::string qual = p.size() >= 2 ? p[p.size() - 2] : std::string();
    auto found = [&](const Source& src, std::size_t i) {
      E e;
      e.sql = quoteIdent(src.sqlRef) + "." + quoteIdent(src.cols[i].name);
      e.type = src.cols[i].type;
      e.column = true;
      e.colName = col;
      return e;
    };
    if (!qual.empty()) {
      for (int pass = 0; pass < 2; ++pass)
        for (Scope* s = scope; s; s = s->outer)
          for (auto& src : s->sources) {
            bool match = pass == 0 ? iequals(src.name, qual) : (src.aliased && iequals(src.tableName, qual));
            if (!match) continue;
            for (std::size_t i = 0; i < src.cols.size(); ++i)
              if (iequals(src.cols[i].name, col)) return found(src, i);
            invalidColumn(col);
          }
      throw DbError("The multi-part identifier \"" + n.text() + "\" could not be bound.", "42000", 4104);
    }
    for (Scope* s = scope; s; s = s->outer) {
      const Source* hit = nullptr;
      std::size_t hitIdx = 0;
      for (auto& src : s->sources)
        for (std::size_t i = 0; i < src.cols.size(); ++i)
          if (iequals(src.cols[i].name, col)) {
            if (hit && hit != &src) throw DbError("Ambiguous column name '" + col + "'.", "42000", 209);
            if (!hit) {
              hit = &src;
              hitIdx = i;
            }
          }
      if (hit) return found(*hit, hitIdx);
    }
    invalidColumn(col);
  }

  // ---- parameters ----
  int addParam(ParamSpec p) {
    out.params.push_back(std::move(p));
    return static_cast<int>(out.params.size());
  }

  E literal(const Expr& x) {
    E e;
    if (x.litKind == TokKind::Number)
      e.type = literalNumberType(x.text);
    else if (x.litKind == TokKind::NString)
      e.type.base = BaseType::NVarChar, e.type.length = 4000;
    else
      e.type = textType();
    if (inlineLits) {
      const Token& t = (*inlineLits)[static_cast<std::size_t>(x.literal)];
      e.sql = t.kind == TokKind::Number ? t.text : sqlQuote(t.text);
      return e;
    }
    ParamSpec p;
    p.source = ParamSpec::Literal;
    p.literal = x.literal;
    p.srcType = e.type;
    int idx = addParam(p);
    e.sql = "?" + std::to_string(idx);
    e.param = idx - 1;
    return e;
  }

  E variable(const Expr& x) {
    std::string name = lower(x.text);
    E e;
    ParamSpec p;
    if (name == "@@rowcount") {
      p.source = ParamSpec::RowCount;
      e.type = intType();
    } else if (name == "@@identity") {
      p.source = ParamSpec::Identity;
      e.type.base = BaseType::Numeric, e.type.precision = 38, e.type.scale = 0;
    } else if (name == "@@trancount") {
      p.source = ParamSpec::TranCount;
      e.type = intType();
    } else if (name == "@@error") {
      e.sql = "0";
      e.type = intType();
      return e;
    } else if (name.rfind("@@", 0) == 0) {
      syntaxError(x.text);
    } else {
      auto it = vars ? vars->find(name) : VariableTypes::const_iterator{};
      if (!vars || it == vars->end())
        throw DbError("Must declare the scalar variable \"" + x.text + "\".", "42000", 137);
      p.source = ParamSpec::Variable;
      p.variable = name;
      e.type = it->second.type;
    }
    p.srcType = e.type;
    int idx = addParam(p);
    e.sql = "?" + std::to_string(idx);
    e.param = idx - 1;
    return e;
  }

  // Makes `e` compare as `target` (a datetime or a number), converting a literal when it is bound.
  void coerceOperand(E& e, const ColType& target) {
    if (!target.known() || e.isNull) return;
    if (target.isDate()) {
      if (e.type.isDate()) return;
      if (e.param >= 0 && out.params[static_cast<std::size_t>(e.param)].source != ParamSpec::Identity) {
        auto& p = out.params[static_cast<std::size_t>(e.param)];
        p.coerce = true;
        p.assign = false;
        p.target = dateType();
      } else if (e.type.isText() || !e.type.known()) {
        e.sql = convertCall(e.sql, e.type, dateType(), false, -1);
      }
      e.type = dateType();
      return;
    }
    if (target.isNumber() && e.type.isText() && e.param >= 0) {
      auto& p = out.params[static_cast<std::size_t>(e.param)];
      p.coerce = true;
      p.assign = false;
      p.target = target;
      e.type = target;
    }
  }

  std::string convertCall(const std::string& sql, const ColType& src, const ColType& dst, bool assign, int style) {
    return "tsql_conv(" + sql + "," + typeArgs(src) + "," + typeArgs(dst) + "," + std::to_string(style) + "," +
           (assign ? "1" : "0") + ")";
  }

  static std::string collate(const E& e) {
    return e.type.isText() || !e.type.known() ? e.sql + " COLLATE TSQL" : e.sql;
  }

  // ---- expressions ----
  E expr(const Expr& x, Scope* scope) {
    switch (x.kind) {
      case Expr::Literal:
        return literal(x);
      case Expr::Null: {
        E e;
        e.sql = "NULL";
        e.type.base = BaseType::Null;
        e.isNull = true;
        return e;
      }
      case Expr::Variable:
        return variable(x);
      case Expr::Column:
        if (!scope) invalidColumn(x.name.last());
        return columnRef(x.name, scope);
      case Expr::Star:
        syntaxError("*");
      case Expr::Unary: {
        E a = expr(*x.args[0], scope);
        E e;
        if (x.op == "NOT") {
          e.sql = "(NOT " + a.sql + ")";
          e.type = bitType();
        } else if (x.op == "-") {
          e.sql = "(-" + a.sql + ")";
          e.type = a.type;
        } else if (x.op == "~") {
          e.sql = "(~" + a.sql + ")";
          e.type = a.type;
        } else {
          e = a;
        }
        e.aggregate = a.aggregate;
        return e;
      }
      case Expr::Binary:
        return binary(x, scope);
      case Expr::IsNull: {
        E a = expr(*x.args[0], scope);
        E e;
        e.sql = "(" + a.sql + (x.negated ? " IS NOT NULL)" : " IS NULL)");
        e.type = bitType();
        return e;
      }
      case Expr::Between: {
        E a = expr(*x.args[0], scope);
        E lo = expr(*x.args[1], scope);
        E hi = expr(*x.args[2], scope);
        if (a.type.isDate() || a.type.isNumber()) {
          coerceOperand(lo, a.type);
          coerceOperand(hi, a.type);
        } else if (lo.type.isDate()) {
          coerceOperand(a, lo.type);
        }
        bool text = a.type.isText();
        E e;
        e.sql = "(" + (text ? a.sql + " COLLATE TSQL" : a.sql) + (x.negated ? " NOT BETWEEN " : " BETWEEN ") + lo.sql +
                " AND " + hi.sql + ")";
        e.type = bitType();
        return e;
      }
      case Expr::InList: {
        E a = expr(*x.args[0], scope);
        std::string list;
        for (std::size_t i = 1; i < x.args.size(); ++i) {
          E v = expr(*x.args[i], scope);
          if (a.type.isDate() || a.type.isNumber()) coerceOperand(v, a.type);
          if (i > 1) list += ",";
          list += v.sql;
        }
        E e;
        e.sql = "(" + (a.type.isText() ? a.sql + " COLLATE TSQL" : a.sql) + (x.negated ? " NOT IN (" : " IN (") + list +
                "))";
        e.type = bitType();
        return e;
      }
      case Expr::InSelect: {
        E a = expr(*x.args[0], scope);
        SelOut s = select(*x.sub, scope, false);
        if (s.cols.size() != 1)
          throw DbError(
              "Only one expression can be specified in the select list when the subquery is not "
              "introduced with EXISTS.",
              "42000", 116);
        E e;
        e.sql = "(" + (a.type.isText() ? a.sql + " COLLATE TSQL" : a.sql) + (x.negated ? " NOT IN (" : " IN (") +
                s.sql + "))";
        e.type = bitType();
        return e;
      }
      case Expr::Like: {
        E a = expr(*x.args[0], scope);
        E b = expr(*x.args[1], scope);
        E e;
        e.sql = "(" + a.sql + (x.negated ? " NOT LIKE " : " LIKE ") + b.sql;
        if (x.args.size() > 2) e.sql += " ESCAPE " + expr(*x.args[2], scope).sql;
        e.sql += ")";
        e.type = bitType();
        return e;
      }
      case Expr::Exists: {
        SelOut s = select(*x.sub, scope, false);
        E e;
        e.sql = "(EXISTS (" + s.sql + "))";
        e.type = bitType();
        return e;
      }
      case Expr::Subquery: {
        SelOut s = select(*x.sub, scope, false);
        if (s.cols.size() != 1)
          throw DbError(
              "Only one expression can be specified in the select list when the subquery is not "
              "introduced with EXISTS.",
              "42000", 116);
        E e;
        e.sql = "(" + s.sql + ")";
        e.type = s.cols[0].type;
        return e;
      }
      case Expr::Case:
        return caseExpr(x, scope);
      case Expr::Func:
        return func(x, scope);
      case Expr::Cast: {
        E a = expr(*x.args[0], scope);
        const ColType& t = x.castType.type;
        ColType target = t;
        if (!x.castType.hasLength && (t.base == BaseType::VarChar || t.base == BaseType::NVarChar ||
                                      t.base == BaseType::Char || t.base == BaseType::NChar))
          target.length = 30;
        E e;
        e.type = target;
        if (a.isNull) {
          e.sql = "NULL";
          return e;
        }
        if (a.type == target && x.style < 0) {
          e.sql = a.sql;
          return e;
        }
        e.sql = convertCall(a.sql, a.type, target, false, x.style);
        e.aggregate = a.aggregate;
        return e;
      }
    }
    syntaxError("?");
  }

  E binary(const Expr& x, Scope* scope) {
    const std::string& op = x.op;
    E l = expr(*x.args[0], scope);
    E r = expr(*x.args[1], scope);
    E e;
    e.aggregate = l.aggregate || r.aggregate;
    if (op == "AND" || op == "OR") {
      e.sql = "(" + l.sql + " " + op + " " + r.sql + ")";
      e.type = bitType();
      return e;
    }
    if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
      if (l.type.isDate() && !r.type.isDate())
        coerceOperand(r, l.type);
      else if (r.type.isDate() && !l.type.isDate())
        coerceOperand(l, r.type);
      else if (l.type.isNumber() && r.type.isText())
        coerceOperand(r, l.type);
      else if (r.type.isNumber() && l.type.isText())
        coerceOperand(l, r.type);
      std::string rs = r.sql;
      if ((l.type.isText() || l.isNull || !l.type.known()) && (r.type.isText() || !r.type.known()) &&
          !(l.type.isNumber() || r.type.isNumber()))
        rs += " COLLATE TSQL";
      e.sql = "(" + l.sql + " " + op + " " + rs + ")";
      e.type = bitType();
      return e;
    }
    if (op == "+") {
      if (l.type.isText() && r.type.isText()) {
        e.sql = "(" + l.sql + " || " + r.sql + ")";
        e.type = higherType(l.type, r.type);
        if (e.type.length > 0 && l.type.length > 0 && r.type.length > 0)
          e.type.length = std::min(8000, l.type.length + r.type.length);
        return e;
      }
      if (l.type.isDate() && (r.type.isNumber())) {
        e.sql = "tsql_dateadd('day'," + r.sql + "," + l.sql + ")";
        e.type = l.type;
        return e;
      }
      if (r.type.isDate() && l.type.isNumber()) {
        e.sql = "tsql_dateadd('day'," + l.sql + "," + r.sql + ")";
        e.type = r.type;
        return e;
      }
      if (l.type.isNumber() && r.type.isNumber()) {
        e.sql = "(" + l.sql + " + " + r.sql + ")";
        e.type = higherType(l.type, r.type);
        return e;
      }
      if (l.isNull || r.isNull) {
        e.sql = "NULL";
        e.type = l.isNull ? r.type : l.type;
        return e;
      }
      e.sql = "tsql_add(" + l.sql + "," + r.sql + ")";
      if (l.type.isNumber())
        e.type = l.type;
      else if (r.type.isNumber())
        e.type = r.type;
      else if (l.type.isText() || r.type.isText())
        e.type = l.type.known() && r.type.known() ? higherType(l.type, r.type) : ColType{};
      return e;
    }
    if (op == "-") {
      if (l.type.isDate() && r.type.isNumber()) {
        e.sql = "tsql_dateadd('day',-(" + r.sql + ")," + l.sql + ")";
        e.type = l.type;
        return e;
      }
      if (l.type.isDate() && r.type.isDate()) {
        e.sql = "(julianday(" + l.sql + ") - julianday(" + r.sql + "))";
        e.type.base = BaseType::Float;
        return e;
      }
    }
    if (op == "^") {
      e.sql = "((" + l.sql + " | " + r.sql + ") - (" + l.sql + " & " + r.sql + "))";
      e.type = higherType(l.type, r.type);
      return e;
    }
    if (op == "/" && (l.type.isExactNumeric() || r.type.isExactNumeric() || l.type.base == BaseType::Float ||
                      r.type.base == BaseType::Float || l.type.base == BaseType::Real)) {
      e.sql = "(" + l.sql + " * 1.0 / tsql_divisor(" + r.sql + "))";
      e.type = higherType(l.type, r.type);
      if (e.type.isExactNumeric()) e.type.scale = std::max(e.type.scale, 6);
      return e;
    }
    e.sql = "(" + l.sql + " " + op + " " + (op == "/" || op == "%" ? "tsql_divisor(" + r.sql + ")" : r.sql) + ")";
    e.type = l.type.known() && r.type.known() ? higherType(l.type, r.type) : (l.type.known() ? l.type : r.type);
    return e;
  }

  E caseExpr(const Expr& x, Scope* scope) {
    E e;
    std::string sql = "(CASE";
    E operand;
    if (x.operand) {
      operand = expr(*x.operand, scope);
      sql += " " + operand.sql;
    }
    ColType result;
    bool first = true;
    for (auto& [w, t] : x.whens) {
      E we = expr(*w, scope);
      if (x.operand) {
        if (operand.type.isDate() || operand.type.isNumber()) coerceOperand(we, operand.type);
        if (operand.type.isText()) we.sql += " COLLATE TSQL";
      }
      E te = expr(*t, scope);
      e.aggregate = e.aggregate || te.aggregate;
      sql += " WHEN " + we.sql + " THEN " + te.sql;
      if (te.isNull) continue;
      result = first ? te.type : higherType(result, te.type);
      first = false;
    }
    if (x.elseExpr) {
      E ee = expr(*x.elseExpr, scope);
      sql += " ELSE " + ee.sql;
      if (!ee.isNull) result = first ? ee.type : higherType(result, ee.type);
    }
    sql += " END)";
    e.sql = sql;
    e.type = result;
    return e;
  }

  void argCount(const Expr& x, std::size_t lo, std::size_t hi) {
    if (x.args.size() < lo || x.args.size() > hi)
      throw DbError("The " + lower(x.op) + " function requires " + std::to_string(lo) + " argument(s).", "42000", 174);
  }

  E func(const Expr& x, Scope* scope) {
    const std::string& f = x.op;
    E e;
    auto args = [&](std::vector<E>& v) {
      for (auto& a : x.args) v.push_back(expr(*a, scope));
    };
    std::vector<E> a;
    if (f == "COUNT" || f == "COUNT_BIG") {
      e.aggregate = true;
      e.type = f == "COUNT" ? intType() : ColType{BaseType::BigInt};
      if (x.star) {
        e.sql = "count(*)";
        return e;
      }
      argCount(x, 1, 1);
      args(a);
      e.sql = std::string("count(") + (x.distinct ? "DISTINCT " : "") + a[0].sql + ")";
      return e;
    }
    if (f == "SUM" || f == "AVG" || f == "MIN" || f == "MAX") {
      argCount(x, 1, 1);
      args(a);
      e.aggregate = true;
      e.type = a[0].type;
      if (f == "SUM" && e.type.isExactNumeric()) e.type.precision = 38;
      if (f == "SUM" && (e.type.base == BaseType::TinyInt || e.type.base == BaseType::SmallInt)) e.type = intType();
      std::string fn = f == "SUM" ? "sum" : f == "AVG" ? "avg" : f == "MIN" ? "min" : "max";
      std::string inner = (x.distinct ? "DISTINCT " : "") + a[0].sql;
      if ((f == "MIN" || f == "MAX") && a[0].type.isText() && !a[0].column) inner += " COLLATE TSQL";
      e.sql = fn + "(" + inner + ")";
      if (f == "AVG" && e.type.isInteger()) e.sql = "CAST(" + e.sql + " AS INTEGER)";
      return e;
    }
    if (x.star || x.distinct) syntaxError(x.star ? "*" : "DISTINCT");
    if (f == "ISNULL") {
      argCount(x, 2, 2);
      args(a);
      if (a[0].type.isDate() || a[0].type.isNumber()) coerceOperand(a[1], a[0].type);
      e.sql = "ifnull(" + a[0].sql + "," + a[1].sql + ")";
      e.type = a[0].isNull ? a[1].type : a[0].type;
      e.aggregate = a[0].aggregate || a[1].aggregate;
      return e;
    }
    if (f == "COALESCE") {
      if (x.args.size() < 2) argCount(x, 2, 100);
      args(a);
      e.sql = "coalesce(";
      bool firstType = true;
      for (std::size_t i = 0; i < a.size(); ++i) {
        if (i) e.sql += ",";
        e.sql += a[i].sql;
        if (!a[i].isNull) {
          e.type = firstType ? a[i].type : higherType(e.type, a[i].type);
          firstType = false;
        }
        e.aggregate = e.aggregate || a[i].aggregate;
      }
      e.sql += ")";
      return e;
    }
    if (f == "NULLIF") {
      argCount(x, 2, 2);
      args(a);
      e.sql = "nullif(" + a[0].sql + "," + a[1].sql + ")";
      e.type = a[0].type;
      return e;
    }
    if (f == "GETDATE" || f == "SYSDATETIME" || f == "GETUTCDATE" || f == "SYSUTCDATETIME") {
      argCount(x, 0, 0);
      e.sql = (f == "GETDATE" || f == "SYSDATETIME") ? "tsql_getdate()" : "tsql_getutcdate()";
      e.type = dateType();
      return e;
    }
    if (f == "DATEADD") {
      argCount(x, 2, 2);
      args(a);
      e.sql = "tsql_dateadd('" + x.datePart + "'," + a[0].sql + "," + a[1].sql + ")";
      e.type = dateType();
      return e;
    }
    if (f == "DATEDIFF") {
      argCount(x, 2, 2);
      args(a);
      e.sql = "tsql_datediff('" + x.datePart + "'," + a[0].sql + "," + a[1].sql + ")";
      e.type = intType();
      return e;
    }
    if (f == "DATEPART") {
      argCount(x, 1, 1);
      args(a);
      e.sql = "tsql_datepart('" + x.datePart + "'," + a[0].sql + ")";
      e.type = intType();
      return e;
    }
    if (f == "DAY" || f == "MONTH" || f == "YEAR") {
      argCount(x, 1, 1);
      args(a);
      e.sql = "tsql_datepart('" + lower(f) + "'," + a[0].sql + ")";
      e.type = intType();
      e.aggregate = a[0].aggregate;
      return e;
    }
    if (f == "LTRIM" || f == "RTRIM") {
      argCount(x, 1, 1);
      args(a);
      e.sql = (f == "LTRIM" ? "ltrim(" : "rtrim(") + textOf(a[0]) + ",' ')";
      e.type = a[0].type.isText() ? a[0].type : textType(30);
      return e;
    }
    if (f == "LEN") {
      argCount(x, 1, 1);
      args(a);
      e.sql = "length(rtrim(" + textOf(a[0]) + ",' '))";
      e.type = intType();
      return e;
    }
    if (f == "DATALENGTH") {
      argCount(x, 1, 1);
      args(a);
      e.sql = "length(CAST(" + a[0].sql + " AS BLOB))";
      e.type = intType();
      return e;
    }
    if (f == "SUBSTRING") {
      argCount(x, 3, 3);
      args(a);
      e.sql = "substr(" + textOf(a[0]) + "," + a[1].sql + "," + a[2].sql + ")";
      e.type = a[0].type.isText() ? a[0].type : textType();
      return e;
    }
    if (f == "LEFT") {
      argCount(x, 2, 2);
      args(a);
      e.sql = "substr(" + textOf(a[0]) + ",1," + a[1].sql + ")";
      e.type = a[0].type.isText() ? a[0].type : textType();
      return e;
    }
    if (f == "RIGHT") {
      argCount(x, 2, 2);
      args(a);
      e.sql = "tsql_right(" + textOf(a[0]) + "," + a[1].sql + ")";
      e.type = a[0].type.isText() ? a[0].type : textType();
      return e;
    }
    if (f == "UPPER" || f == "LOWER") {
      argCount(x, 1, 1);
      args(a);
      e.sql = (f == "UPPER" ? "upper(" : "lower(") + textOf(a[0]) + ")";
      e.type = a[0].type.isText() ? a[0].type : textType();
      return e;
    }
    if (f == "REPLACE") {
      argCount(x, 3, 3);
      args(a);
      e.sql = "tsql_replace(" + textOf(a[0]) + "," + textOf(a[1]) + "," + textOf(a[2]) + ")";
      e.type = textType();
      return e;
    }
    if (f == "CHARINDEX") {
      argCount(x, 2, 3);
      args(a);
      e.sql = "tsql_charindex(" + textOf(a[0]) + "," + textOf(a[1]) + (a.size() > 2 ? "," + a[2].sql : "") + ")";
      e.type = intType();
      return e;
    }
    if (f == "REPLICATE" || f == "SPACE") {
      argCount(x, f == "SPACE" ? 1 : 2, f == "SPACE" ? 1 : 2);
      args(a);
      e.sql = f == "SPACE" ? "tsql_replicate(' '," + a[0].sql + ")"
                           : "tsql_replicate(" + textOf(a[0]) + "," + a[1].sql + ")";
      e.type = textType();
      return e;
    }
    if (f == "ABS") {
      argCount(x, 1, 1);
      args(a);
      e.sql = "abs(" + a[0].sql + ")";
      e.type = a[0].type;
      e.aggregate = a[0].aggregate;
      return e;
    }
    if (f == "ROUND") {
      argCount(x, 2, 3);
      args(a);
      e.sql = "tsql_round(" + a[0].sql + "," + a[1].sql + (a.size() > 2 ? "," + a[2].sql : std::string(",0")) + ")";
      e.type = a[0].type;
      e.aggregate = a[0].aggregate;
      return e;
    }
    if (f == "CEILING" || f == "FLOOR") {
      argCount(x, 1, 1);
      args(a);
      e.sql = (f == "CEILING" ? "tsql_ceiling(" : "tsql_floor(") + a[0].sql + ")";
      e.type = a[0].type;
      if (e.type.isExactNumeric()) e.type.scale = 0;
      return e;
    }
    if (f == "SCOPE_IDENTITY") {
      argCount(x, 0, 0);
      ParamSpec p;
      p.source = ParamSpec::Identity;
      e.type.base = BaseType::Numeric, e.type.precision = 38, e.type.scale = 0;
      p.srcType = e.type;
      e.sql = "?" + std::to_string(addParam(p));
      return e;
    }
    throw DbError("'" + lower(f) + "' is not a recognized built-in function name.", "42000", 195);
  }

  // Text functions read numbers and dates as SQL Server's implicit conversion to varchar does.
  std::string textOf(const E& a) {
    if (a.type.isDate()) return convertCall(a.sql, a.type, textType(30), false, 0);
    if (a.type.isExactNumeric() && a.type.scale > 0) return convertCall(a.sql, a.type, textType(60), false, -1);
    return a.sql;
  }

  // ---- FROM ----
  static bool allInner(const TableRef& t) {
    if (t.kind != TableRef::Join) return true;
    return (t.joinType == TableRef::Inner || t.joinType == TableRef::Cross) && allInner(*t.left) && allInner(*t.right);
  }

  // Emits a table source, adding its sources to `scope`; `conds` collects ON conditions that are
  // placed by the caller (used when an inner join nested on the right side is flattened).
  std::string tableRef(const TableRef& t, Scope& scope, Scope* outer) {
    switch (t.kind) {
      case TableRef::Named: {
        Resolved r = resolveTable(t.name, true);
        Source s = makeSource(r, t.alias);
        std::string sql = r.sqlName + " AS " + quoteIdent(s.sqlRef);
        scope.sources.push_back(std::move(s));
        return sql;
      }
      case TableRef::Derived: {
        SelOut so = select(*t.sub, outer, false);
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

  std::string join(const TableRef& t, Scope& scope, Scope* outer) {
    if (t.joinType == TableRef::Full) syntaxError("FULL");
    if (t.joinType == TableRef::Right) {
      // A RIGHT JOIN B ON c  ==  B LEFT JOIN A ON c; the column order of * is kept by the scope order.
      std::size_t mark = scope.sources.size();
      std::string leftSql = tableRef(*t.left, scope, outer);
      if (t.left->kind == TableRef::Join) leftSql = "(" + leftSql + ")";
      std::string rightSql = tableRef(*t.right, scope, outer);
      if (t.right->kind == TableRef::Join) rightSql = "(" + rightSql + ")";
      std::string on = expr(*t.on, &scope, outer).sql;
      (void)mark;
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
        on += expr(*c, &scope, outer).sql;
      }
      sql += " ON " + (on.empty() ? std::string("1") : on);
      return sql;
    }
    std::string rightSql = tableRef(*t.right, scope, outer);
    if (t.right->kind == TableRef::Join) rightSql = "(" + rightSql + ")";
    std::string sql = leftSql + kind + rightSql;
    if (t.on) sql += " ON " + expr(*t.on, &scope, outer).sql;
    return sql;
  }

  void flatten(const TableRef& t, std::vector<const TableRef*>& leaves, std::vector<const Expr*>& conds) {
    if (t.kind != TableRef::Join) {
      leaves.push_back(&t);
      return;
    }
    flatten(*t.left, leaves, conds);
    flatten(*t.right, leaves, conds);
    if (t.on) conds.push_back(t.on.get());
  }

  E expr(const Expr& x, Scope* scope, Scope* outer) {
    (void)outer;
    return expr(x, scope);
  }

  // ---- SELECT ----
  SelOut querySpec(const QuerySpec& q, Scope* outer, bool inCompound, std::vector<E>* itemExprs) {
    if (q.into) syntaxError("INTO");
    Scope scope;
    scope.outer = outer;
    std::string from;
    for (std::size_t i = 0; i < q.from.size(); ++i) {
      if (i) from += ", ";
      from += tableRef(*q.from[i], scope, outer);
    }
    Scope* sc = &scope;
    SelOut so;
    std::string items;
    int unnamed = 0;
    auto addItem = [&](const std::string& sql, const std::string& name, const ColType& type, bool hasName) {
      if (!items.empty()) items += ", ";
      std::string internal = hasName ? name : "__c" + std::to_string(++unnamed);
      items += sql + " AS " + quoteIdent(internal);
      so.cols.push_back({hasName ? name : std::string(), type});
    };
    for (auto& it : q.items) {
      if (!it.assignVar.empty()) {
        if (!out.assignVars.empty() || !so.cols.empty() || inCompound)
          if (so.cols.size() != out.assignVars.size() || inCompound)
            throw DbError(
                "A SELECT statement that assigns a value to a variable must not be combined with "
                "data-retrieval operations.",
                "42000", 141);
        E e = expr(*it.expr, sc);
        out.assignVars.push_back(lower(it.assignVar));
        addItem(e.sql, "", e.type, false);
        if (itemExprs) itemExprs->push_back(e);
        continue;
      }
      if (!out.assignVars.empty())
        throw DbError(
            "A SELECT statement that assigns a value to a variable must not be combined with "
            "data-retrieval operations.",
            "42000", 141);
      if (it.expr->kind == Expr::Star) {
        const Name& qn = it.expr->name;
        bool any = false;
        for (auto& src : scope.sources) {
          if (!qn.parts.empty()) {
            const std::string& qual = qn.parts.back();
            if (!iequals(src.name, qual) && !(src.aliased && iequals(src.tableName, qual))) continue;
          }
          for (auto& c : src.cols) {
            if (c.name.empty()) continue;
            E ce;
            ce.sql = quoteIdent(src.sqlRef) + "." + quoteIdent(c.name);
            ce.type = c.type;
            ce.column = true;
            addItem(ce.sql, c.name, c.type, true);
            if (itemExprs) itemExprs->push_back(ce);
          }
          any = true;
        }
        if (!any) {
          if (qn.parts.empty()) throw DbError("Must specify table to select from.", "42000", 263);
          throw DbError("The object name '" + qn.text() + "' is not valid.", "42000", 4104);
        }
        continue;
      }
      E e = expr(*it.expr, sc);
      std::string sql = e.sql;
      if (inCompound && !e.column && e.type.isText()) sql = "(" + sql + ") COLLATE TSQL";
      std::string name = it.hasAlias ? it.alias : (e.column ? e.colName : std::string());
      addItem(sql, name, e.type, it.hasAlias || e.column);
      if (itemExprs) itemExprs->push_back(e);
    }
    std::string sql = "SELECT ";
    if (q.distinct) sql += "DISTINCT ";
    sql += items;
    if (!from.empty()) sql += " FROM " + from;
    if (q.where) sql += " WHERE " + expr(*q.where, sc).sql;
    if (!q.groupBy.empty()) {
      sql += " GROUP BY ";
      for (std::size_t i = 0; i < q.groupBy.size(); ++i) {
        if (i) sql += ", ";
        E g = expr(*q.groupBy[i], sc);
        sql += g.sql;
      }
    }
    if (q.having) sql += " HAVING " + expr(*q.having, sc).sql;
    so.sql = sql;
    lastScope_ = std::move(scope);
    return so;
  }

  Scope lastScope_;

  std::string topClause(const QuerySpec& q, Scope* outer) {
    if (!q.top) return {};
    if (q.topPercent) syntaxError("PERCENT");
    E t = expr(*q.top, outer);
    return " LIMIT " + t.sql;
  }

  SelOut select(const Select& s, Scope* outer, bool topLevel) {
    (void)topLevel;
    if (s.arms.size() == 1) {
      std::vector<E> itemExprs;
      SelOut so = querySpec(s.arms[0], outer, false, &itemExprs);
      Scope scope = std::move(lastScope_);
      scope.outer = outer;
      if (!s.orderBy.empty()) {
        so.sql += " ORDER BY ";
        for (std::size_t i = 0; i < s.orderBy.size(); ++i) {
          if (i) so.sql += ", ";
          const Expr& ox = *s.orderBy[i].expr;
          int pos = outputPosition(ox, so.cols);
          if (pos > 0) {
            const E& item = itemExprs[static_cast<std::size_t>(pos - 1)];
            so.sql += std::to_string(pos);
            (void)item;
          } else {
            E oe = expr(ox, &scope);
            so.sql += (oe.type.isText() && !oe.column) ? oe.sql + " COLLATE TSQL" : oe.sql;
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
      SelOut arm = querySpec(s.arms[i], outer, true, nullptr);
      std::string top = topClause(s.arms[i], outer);
      std::string armSql = top.empty() ? arm.sql : "SELECT * FROM (" + arm.sql + top + ")";
      if (i == 0) {
        result.cols = arm.cols;
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
      sql += " ORDER BY ";
      for (std::size_t i = 0; i < s.orderBy.size(); ++i) {
        if (i) sql += ", ";
        int pos = outputPosition(*s.orderBy[i].expr, result.cols);
        if (pos <= 0)
          throw DbError(
              "ORDER BY items must appear in the select list if the statement contains a UNION, INTERSECT "
              "or EXCEPT operator.",
              "42000", 104);
        sql += std::to_string(pos);
        if (s.orderBy[i].desc) sql += " DESC";
      }
    }
    result.sql = sql;
    return result;
  }

  // The 1-based select-list position an ORDER BY item names (ordinal or output name), 0 when none.
  int outputPosition(const Expr& ox, const std::vector<SrcCol>& cols) {
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

  // ---- statements ----
  Translated selectStmt(const SelectStmt& s) {
    SelOut so = select(*s.select, nullptr, true);
    out.sql = so.sql;
    out.isQuery = out.assignVars.empty();
    for (auto& c : so.cols) {
      out.columnNames.push_back(c.name);
      out.columnTypes.push_back(c.type);
    }
    return std::move(out);
  }

  std::string assignCall(const E& e, const ColumnInfo& col) {
    if (e.isNull) return "NULL";
    if (e.param >= 0) {
      auto& p = out.params[static_cast<std::size_t>(e.param)];
      if (p.source == ParamSpec::Literal || p.source == ParamSpec::Variable) {
        p.coerce = true;
        p.assign = true;
        p.target = col.type;
        return e.sql;
      }
    }
    if (sameStorage(e.type, col.type)) return e.sql;
    return convertCall(e.sql, e.type, col.type, true, -1);
  }

  std::string defaultValueSql(const ColumnInfo& c) {
    if (c.defaultSql.empty()) return "NULL";
    LexResult lx = lex(c.defaultSql);
    std::string text = "SELECT " + c.defaultSql;
    LexResult lx2 = lex(text);
    Batch b = parseBatch(lx2, text);
    if (b.statements.size() != 1 || b.statements[0]->kind != Stmt::SelectK) syntaxError(c.defaultSql);
    auto& sel = static_cast<SelectStmt&>(*b.statements[0]);
    const auto* saved = inlineLits;
    inlineLits = &lx2.tokens;
    std::vector<Token> lits;
    for (auto& t : lx2.tokens)
      if (t.isLiteral()) lits.push_back(t);
    inlineLits = &lits;
    E e = expr(*sel.select->arms[0].items[0].expr, nullptr);
    inlineLits = saved;
    (void)lx;
    return sameStorage(e.type, c.type) || e.isNull ? e.sql : convertCall(e.sql, e.type, c.type, true, -1);
  }

  Translated insertStmt(const InsertStmt& s) {
    Resolved r = resolveTable(s.table, false);
    const TableInfo& t = *r.table;
    out.event = DmlEvent::Insert;
    out.targetAlias = r.dbAlias;
    out.targetTable = t.name;
    std::vector<int> cols;
    if (s.columns.empty()) {
      for (std::size_t i = 0; i < t.columns.size(); ++i)
        if (!t.columns[i].identity) cols.push_back(static_cast<int>(i));
    } else {
      for (auto& c : s.columns) {
        int k = t.find(c);
        if (k < 0) invalidColumn(c);
        for (int prev : cols)
          if (prev == k)
            throw DbError(
                "The column name '" + c +
                    "' is specified more than once in the SET clause or column list "
                    "of an INSERT. A column cannot be assigned more than one value in the same clause. Modify "
                    "the clause to make sure that a column is updated only once. If this statement updates or "
                    "inserts columns into a view, column aliasing can conceal the duplication.",
                "42000", 264);
        cols.push_back(k);
        if (t.columns[static_cast<std::size_t>(k)].identity) out.explicitIdentity = true;
      }
    }
    // Columns left out: identity values and defaults.
    std::vector<int> extra;
    std::vector<std::string> extraSql;
    for (std::size_t i = 0; i < t.columns.size(); ++i) {
      bool listed = false;
      for (int c : cols)
        if (c == static_cast<int>(i)) listed = true;
      if (listed) continue;
      const ColumnInfo& c = t.columns[i];
      if (c.identity) {
        extra.push_back(static_cast<int>(i));
        extraSql.push_back("tsql_ident()");
        out.generatesIdentity = true;
      } else if (!c.defaultSql.empty()) {
        extra.push_back(static_cast<int>(i));
        extraSql.push_back(defaultValueSql(c));
      }
    }
    std::string colList;
    auto addCol = [&](int k) {
      if (!colList.empty()) colList += ",";
      colList += quoteIdent(t.columns[static_cast<std::size_t>(k)].name);
    };
    for (int k : cols) addCol(k);
    for (int k : extra) addCol(k);
    std::string sql = "INSERT INTO " + r.sqlName;
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
    sql += " (" + colList + ")";
    if (!s.rows.empty()) {
      sql += " VALUES ";
      for (std::size_t ri = 0; ri < s.rows.size(); ++ri) {
        const auto& row = s.rows[ri];
        if (row.size() != cols.size()) {
          if (s.columns.empty())
            throw DbError("Column name or number of supplied values does not match table definition.", "21S01", 213);
          throw DbError(std::string("There are ") + (row.size() > cols.size() ? "more" : "fewer") +
                            " columns in the INSERT statement than values specified in the VALUES clause. The number "
                            "of values in the VALUES clause must match the number of columns specified in the INSERT "
                            "statement.",
                        "21S01", row.size() > cols.size() ? 110 : 109);
        }
        if (ri) sql += ",";
        sql += "(";
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
      out.sql = sql;
      return std::move(out);
    }
    // INSERT ... SELECT: convert each value to its column through a wrapping select.
    SelOut so = select(*s.select, nullptr, false);
    if (so.cols.size() != cols.size()) {
      if (s.columns.empty())
        throw DbError("Column name or number of supplied values does not match table definition.", "21S01", 213);
      throw DbError(std::string("The select list for the INSERT statement contains ") +
                        (so.cols.size() > cols.size() ? "more" : "fewer") +
                        " items than the insert list. The number of SELECT values must match the number of INSERT "
                        "columns.",
                    "21S01", so.cols.size() > cols.size() ? 121 : 120);
    }
    std::string wrap;
    bool plain = true;
    for (std::size_t i = 0; i < cols.size(); ++i) {
      const ColumnInfo& col = t.columns[static_cast<std::size_t>(cols[i])];
      if (!sameStorage(so.cols[i].type, col.type)) plain = false;
    }
    if (plain && extraSql.empty()) {
      out.sql = sql + " " + so.sql;
      return std::move(out);
    }
    // Name the inner columns so the wrapper can reach them whatever they were called.
    std::string inner = "SELECT * FROM (" + so.sql + ")";
    std::string outerSel;
    for (std::size_t i = 0; i < cols.size(); ++i) {
      const ColumnInfo& col = t.columns[static_cast<std::size_t>(cols[i])];
      if (i) outerSel += ",";
      std::string ref = "\"__v\".\"column" + std::to_string(i + 1) + "\"";
      E e;
      e.sql = ref;
      e.type = so.cols[i].type;
      outerSel += sameStorage(e.type, col.type) ? ref : convertCall(ref, e.type, col.type, true, -1);
    }
    for (auto& v : extraSql) outerSel += "," + v;
    // VALUES-style column names column1..N come from a CTE with an explicit column list.
    std::string cteCols;
    for (std::size_t i = 0; i < cols.size(); ++i) cteCols += (i ? ",column" : "column") + std::to_string(i + 1);
    out.sql = "WITH \"__v\"(" + cteCols + ") AS (" + so.sql + ") " + sql + " SELECT " + outerSel + " FROM \"__v\"";
    (void)inner;
    (void)wrap;
    return std::move(out);
  }

  // The target of UPDATE/DELETE: a table, or an alias of the FROM list.
  struct Target {
    Resolved r;
    int fromIndex = -1;  // index of the FROM entry that is the target (-1 none)
    std::string alias;
  };

  Target findTarget(const Name& n, const std::vector<TableRefP>& from) {
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
  std::string otherSources(const std::vector<TableRefP>& from, const Target& tg, Scope& scope,
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
      for (auto* c : on) conds.push_back(expr(*c, &scope).sql);
    }
    return sql;
  }

  Translated updateStmt(const UpdateStmt& s) {
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
    if (s.where) where += (where.empty() ? "" : " AND ") + expr(*s.where, &scope).sql;
    if (!where.empty()) sql += " WHERE " + where;
    out.sql = sql;
    return std::move(out);
  }

  Translated deleteStmt(const DeleteStmt& s) {
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
      if (s.where) sql += " WHERE " + expr(*s.where, &scope).sql;
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
    if (s.where) sql += " WHERE " + expr(*s.where, &scope).sql;
    sql += ")";
    out.sql = sql;
    return std::move(out);
  }
};

Translator::Translator(SchemaProvider& schema, const TriggerContext* trigger, const VariableTypes* vars)
    : impl_(std::make_unique<Impl>(schema, trigger, vars)) {}
Translator::~Translator() = default;

Translated Translator::statement(const ast::Stmt& s) {
  impl_->reset();
  switch (s.kind) {
    case Stmt::SelectK:
      return impl_->selectStmt(static_cast<const SelectStmt&>(s));
    case Stmt::Insert:
      return impl_->insertStmt(static_cast<const InsertStmt&>(s));
    case Stmt::Update:
      return impl_->updateStmt(static_cast<const UpdateStmt&>(s));
    case Stmt::Delete:
      return impl_->deleteStmt(static_cast<const DeleteStmt&>(s));
    default:
      syntaxError("?");
  }
}

Translated Translator::scalar(const ast::Expr& e) {
  impl_->reset();
  E v = impl_->expr(e, nullptr);
  Translated& t = impl_->out;
  t.sql = "SELECT " + v.sql;
  t.isQuery = true;
  t.columnNames.push_back("");
  t.columnTypes.push_back(v.type);
  return std::move(t);
}

Translated Translator::condition(const ast::Expr& e) {
  impl_->reset();
  E v = impl_->expr(e, nullptr);
  Translated& t = impl_->out;
  t.sql = "SELECT CASE WHEN " + v.sql + " THEN 1 ELSE 0 END";
  t.isQuery = true;
  t.columnNames.push_back("");
  t.columnTypes.push_back(intType());
  return std::move(t);
}

std::string Translator::inlineExpression(const ast::Expr& e, const std::vector<Token>& literals, ColType* type) {
  impl_->reset();
  impl_->inlineLits = &literals;
  E v = impl_->expr(e, nullptr);
  impl_->inlineLits = nullptr;
  if (type) *type = v.type;
  return v.sql;
}

std::string Translator::columnDefault(const ColumnInfo& column) {
  impl_->reset();
  return impl_->defaultValueSql(column);
}

std::vector<Translated> translateBatch(std::string_view sql, SchemaProvider& schema) {
  LexResult lx = lex(sql);
  Batch b = parseBatch(lx, sql);
  std::vector<Translated> out;
  VariableTypes vars;
  std::function<void(const Stmt&)> visit = [&](const Stmt& s) {
    Translator tr(schema, nullptr, &vars);
    switch (s.kind) {
      case Stmt::SelectK:
      case Stmt::Insert:
      case Stmt::Update:
      case Stmt::Delete:
        out.push_back(tr.statement(s));
        break;
      case Stmt::Declare:
        for (auto& v : static_cast<const DeclareStmt&>(s).vars) vars[lower(v.name)] = VariableInfo{v.type.type};
        break;
      case Stmt::If: {
        auto& i = static_cast<const IfStmt&>(s);
        out.push_back(tr.condition(*i.cond));
        visit(*i.then);
        if (i.otherwise) visit(*i.otherwise);
        break;
      }
      case Stmt::Block:
        for (auto& c : static_cast<const BlockStmt&>(s).body) visit(*c);
        break;
      case Stmt::SetVar:
        out.push_back(tr.scalar(*static_cast<const SetVarStmt&>(s).value));
        break;
      default:
        break;
    }
  };
  for (auto& s : b.statements) visit(*s);
  return out;
}

}  // namespace erpsync::db::embedded
