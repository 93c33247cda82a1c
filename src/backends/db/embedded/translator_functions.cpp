// Built-in functions: one table from each T-SQL function name to its argument count and its
// translation (a SQLite built-in or one of the tsql_* functions in sqlite_functions.cpp).
#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

#include "db/db_error.h"
#include "db/embedded/parser.h"
#include "db/embedded/translator_impl.h"

namespace erpsync::db::embedded {

using namespace ast;
using namespace translation;

namespace {

// One call being translated: the function's name (upper case), its syntax and translated arguments.
struct Call {
  Translator::Impl& t;
  const Expr& x;
  std::vector<E> a;
  const std::string& name() const { return x.op; }
};

using Translate = E (*)(Call&);

struct Function {
  std::string_view name;
  std::size_t minArgs, maxArgs;
  bool aggregate;  // takes DISTINCT (and COUNT takes *)
  Translate translate;
};

E result(std::string sql, ColType type) {
  E e;
  e.sql = std::move(sql);
  e.type = type;
  return e;
}

// A text function's result keeps its text argument's type; anything else becomes varchar.
ColType textTypeOf(const E& a, int fallbackLength = 8000) {
  return a.type.isText() ? a.type : textType(fallbackLength);
}

ColType numeric38() {
  ColType t;
  t.base = BaseType::Numeric, t.precision = 38, t.scale = 0;
  return t;
}

E count(Call& c) {
  ColType type = c.name() == "COUNT" ? intType() : ColType{BaseType::BigInt};
  if (c.x.star) return result("count(*)", type);
  return result(std::string("count(") + (c.x.distinct ? "DISTINCT " : "") + c.a[0].sql + ")", type);
}

E aggregate(Call& c) {
  const std::string& f = c.name();
  const E& arg = c.a[0];
  ColType type = arg.type;
  if (f == "SUM" && type.isExactNumeric()) type.precision = 38;
  if (f == "SUM" && (type.base == BaseType::TinyInt || type.base == BaseType::SmallInt)) type = intType();
  std::string inner = (c.x.distinct ? "DISTINCT " : "") + arg.sql;
  if ((f == "MIN" || f == "MAX") && arg.type.isText() && !arg.column) inner += " COLLATE TSQL";
  // Decimals kept as text are summed, averaged and ranked exactly; an average of a numeric keeps
  // at least six decimals.
  bool exact = arg.type.keepsDecimalText() || (f == "AVG" && arg.type.isExactNumeric());
  if (f == "AVG" && type.base == BaseType::Numeric) type.precision = 38, type.scale = std::max(type.scale, 6);
  std::string sql = (exact ? "tsql_d" : "") + lower(f) + "(" + inner + ")";
  if (f == "AVG" && type.isInteger()) sql = "CAST(" + sql + " AS INTEGER)";
  return result(sql, type);
}

E isNull(Call& c) {
  auto& a = c.a;
  if (a[0].type.isDate() || a[0].type.isNumber()) c.t.coerceOperand(a[1], a[0].type);
  return result("ifnull(" + a[0].sql + "," + a[1].sql + ")", a[0].isNull ? a[1].type : a[0].type);
}

E coalesce(Call& c) {
  E e;
  e.sql = "coalesce(";
  bool firstType = true;
  for (std::size_t i = 0; i < c.a.size(); ++i) {
    if (i) e.sql += ",";
    e.sql += c.a[i].sql;
    if (!c.a[i].isNull) {
      e.type = firstType ? c.a[i].type : higherType(e.type, c.a[i].type);
      firstType = false;
    }
  }
  e.sql += ")";
  return e;
}

E nullIf(Call& c) {
  auto& a = c.a;
  if (c.t.decimalOperands({&a[0], &a[1]}))
    return result(
        "(CASE WHEN " + Translator::Impl::decimalCompare(a[0], "=", a[1]) + " THEN NULL ELSE " + a[0].sql + " END)",
        a[0].type);
  return result("nullif(" + a[0].sql + "," + a[1].sql + ")", a[0].type);
}

E now(Call& c) {
  const std::string& f = c.name();
  return result(f == "GETDATE" || f == "SYSDATETIME" ? "tsql_getdate()" : "tsql_getutcdate()", dateType());
}

E dateAdd(Call& c) {
  return result("tsql_dateadd('" + c.x.datePart + "'," + c.a[0].sql + "," + c.a[1].sql + ")", dateType());
}

E dateDiff(Call& c) {
  return result("tsql_datediff('" + c.x.datePart + "'," + c.a[0].sql + "," + c.a[1].sql + ")", intType());
}

E datePart(Call& c) {
  return result("tsql_datepart('" + c.x.datePart + "'," + c.a[0].sql + ")", intType());
}

// DAY(x), MONTH(x), YEAR(x): DATEPART with the function's name as the part.
E datePartNamed(Call& c) {
  return result("tsql_datepart('" + lower(c.name()) + "'," + c.a[0].sql + ")", intType());
}

E trim(Call& c) {
  return result(lower(c.name()) + "(" + Translator::Impl::textOf(c.a[0]) + ",' ')", textTypeOf(c.a[0], 30));
}

E len(Call& c) {
  return result("length(rtrim(" + Translator::Impl::textOf(c.a[0]) + ",' '))", intType());
}

E dataLength(Call& c) {
  return result("length(CAST(" + c.a[0].sql + " AS BLOB))", intType());
}

E substring(Call& c) {
  auto& a = c.a;
  return result("substr(" + Translator::Impl::textOf(a[0]) + "," + a[1].sql + "," + a[2].sql + ")", textTypeOf(a[0]));
}

E left(Call& c) {
  auto& a = c.a;
  return result("substr(" + Translator::Impl::textOf(a[0]) + ",1," + a[1].sql + ")", textTypeOf(a[0]));
}

E right(Call& c) {
  auto& a = c.a;
  return result("tsql_right(" + Translator::Impl::textOf(a[0]) + "," + a[1].sql + ")", textTypeOf(a[0]));
}

E changeCase(Call& c) {
  return result(lower(c.name()) + "(" + Translator::Impl::textOf(c.a[0]) + ")", textTypeOf(c.a[0]));
}

// REPLACE and REPLICATE return their text argument's type, a result that is not of a max type cut
// at 8000 bytes as SQL Server cuts it; the limit (in characters, -1 for none) goes to the function.
int grownTextLimit(const ColType& t) {
  if (!t.known()) return -1;
  if (!t.isText()) return 8000;
  if (t.length < 0) return -1;
  return t.isUnicode() ? 4000 : 8000;
}

ColType grownTextType(const ColType& t) {
  ColType r = textType();
  if (!t.isText()) return r;
  if (t.isUnicode()) r.base = BaseType::NVarChar, r.length = 4000;
  if (t.length < 0) r.length = -1;
  return r;
}

E replace(Call& c) {
  auto& a = c.a;
  return result("tsql_replace(" + Translator::Impl::textOf(a[0]) + "," + Translator::Impl::textOf(a[1]) + "," +
                    Translator::Impl::textOf(a[2]) + "," + std::to_string(grownTextLimit(a[0].type)) + ")",
                grownTextType(a[0].type));
}

E charIndex(Call& c) {
  auto& a = c.a;
  return result("tsql_charindex(" + Translator::Impl::textOf(a[0]) + "," + Translator::Impl::textOf(a[1]) +
                    (a.size() > 2 ? "," + a[2].sql : "") + ")",
                intType());
}

E replicate(Call& c) {
  const ColType& t = c.a[0].type;
  return result("tsql_replicate(" + Translator::Impl::textOf(c.a[0]) + "," + c.a[1].sql + "," +
                    std::to_string(grownTextLimit(t)) + ")",
                grownTextType(t));
}

E space(Call& c) {
  return result("tsql_replicate(' '," + c.a[0].sql + ",8000)", textType());
}

E abs(Call& c) {
  return result((c.a[0].type.keepsDecimalText() ? "tsql_dabs(" : "abs(") + c.a[0].sql + ")", c.a[0].type);
}

E round(Call& c) {
  auto& a = c.a;
  bool decimals = a[0].type.isExactNumeric() && a[0].type.scale > 0;
  std::string fn = decimals ? "tsql_dround(" : "tsql_round(";
  return result(fn + a[0].sql + "," + a[1].sql + (a.size() > 2 ? "," + a[2].sql : std::string(",0")) + ")", a[0].type);
}

E ceilingFloor(Call& c) {
  ColType type = c.a[0].type;
  if (type.isExactNumeric()) type.scale = 0;
  return result("tsql_" + lower(c.name()) + "(" + c.a[0].sql + ")", type);
}

E scopeIdentity(Call& c) {
  BoundParameter p;
  p.source = BoundParameter::Identity;
  p.srcType = numeric38();
  return result("?" + std::to_string(c.t.addParam(p)), p.srcType);
}

constexpr std::size_t kMany = std::numeric_limits<std::size_t>::max();

constexpr Function kFunctions[] = {
    {"COUNT", 1, 1, true, count},
    {"COUNT_BIG", 1, 1, true, count},
    {"SUM", 1, 1, true, aggregate},
    {"AVG", 1, 1, true, aggregate},
    {"MIN", 1, 1, true, aggregate},
    {"MAX", 1, 1, true, aggregate},
    {"ISNULL", 2, 2, false, isNull},
    {"COALESCE", 2, kMany, false, coalesce},
    {"NULLIF", 2, 2, false, nullIf},
    {"GETDATE", 0, 0, false, now},
    {"SYSDATETIME", 0, 0, false, now},
    {"GETUTCDATE", 0, 0, false, now},
    {"SYSUTCDATETIME", 0, 0, false, now},
    {"DATEADD", 2, 2, false, dateAdd},
    {"DATEDIFF", 2, 2, false, dateDiff},
    {"DATEPART", 1, 1, false, datePart},
    {"DAY", 1, 1, false, datePartNamed},
    {"MONTH", 1, 1, false, datePartNamed},
    {"YEAR", 1, 1, false, datePartNamed},
    {"LTRIM", 1, 1, false, trim},
    {"RTRIM", 1, 1, false, trim},
    {"LEN", 1, 1, false, len},
    {"DATALENGTH", 1, 1, false, dataLength},
    {"SUBSTRING", 3, 3, false, substring},
    {"LEFT", 2, 2, false, left},
    {"RIGHT", 2, 2, false, right},
    {"UPPER", 1, 1, false, changeCase},
    {"LOWER", 1, 1, false, changeCase},
    {"REPLACE", 3, 3, false, replace},
    {"CHARINDEX", 2, 3, false, charIndex},
    {"REPLICATE", 2, 2, false, replicate},
    {"SPACE", 1, 1, false, space},
    {"ABS", 1, 1, false, abs},
    {"ROUND", 2, 3, false, round},
    {"CEILING", 1, 1, false, ceilingFloor},
    {"FLOOR", 1, 1, false, ceilingFloor},
    {"SCOPE_IDENTITY", 0, 0, false, scopeIdentity},
};

const Function* findFunction(std::string_view name) {
  for (const Function& f : kFunctions)
    if (f.name == name) return &f;
  return nullptr;
}

}  // namespace

// ROW_NUMBER() OVER ([PARTITION BY ...] ORDER BY ...), the one windowed function supported.
E Translator::Impl::windowed(const Expr& x, Scope* scope) {
  if (x.op != "ROW_NUMBER" || !x.args.empty() || x.star || x.distinct) syntaxError("OVER");
  if (!windowAllowed)
    throw DbError("Windowed functions can only appear in the SELECT or ORDER BY clauses.", "42000", 4108);
  if (x.overOrder.empty())
    throw DbError("The function 'row_number' must have an OVER clause with ORDER BY.", "42000", 4112);
  // The keys are part of the window, not of the select list: an aggregate or a nested window in them
  // is checked by SQLite, a windowed function among them is not allowed.
  windowAllowed = false;
  std::string sql = "row_number() OVER (";
  if (!x.partitionBy.empty()) {
    sql += "PARTITION BY ";
    for (std::size_t i = 0; i < x.partitionBy.size(); ++i) {
      E p = expr(*x.partitionBy[i], scope);
      sql += (i ? ", " : "") + ((p.type.isText() && !p.column) ? p.sql + " COLLATE TSQL" : p.sql);
    }
    sql += " ";
  }
  sql += "ORDER BY ";
  for (std::size_t i = 0; i < x.overOrder.size(); ++i) {
    const Expr& key = *x.overOrder[i].first;
    if (key.kind == Expr::Literal && key.litKind == TokKind::Number)
      throw DbError(
          "Windowed functions, aggregates and NEXT VALUE FOR functions do not support integer indices as ORDER BY "
          "clause expressions.",
          "42000", 5308);
    E k = expr(key, scope);
    sql += (i ? ", " : "") + ((k.type.isText() && !k.column) ? k.sql + " COLLATE TSQL" : sortKey(k.sql, k.type));
    if (x.overOrder[i].second) sql += " DESC";
  }
  sql += ")";
  windowAllowed = true;
  return result(sql, ColType{BaseType::BigInt});
}

E Translator::Impl::func(const Expr& x, Scope* scope) {
  if (x.over) return windowed(x, scope);
  if (x.op == "ROW_NUMBER") throw DbError("The function 'row_number' must have an OVER clause.", "42000", 10753);
  const Function* fn = findFunction(x.op);
  if ((!fn || !fn->aggregate) && (x.star || x.distinct)) syntaxError(x.star ? "*" : "DISTINCT");
  if (!fn) throw DbError("'" + lower(x.op) + "' is not a recognized built-in function name.", "42000", 195);
  bool countStar = x.star && fn->translate == count;
  if (!countStar && (x.args.size() < fn->minArgs || x.args.size() > fn->maxArgs))
    throw DbError("The " + lower(x.op) + " function requires " + std::to_string(fn->minArgs) + " argument(s).", "42000",
                  174);
  Call call{*this, x, {}};
  for (auto& a : x.args) call.a.push_back(expr(*a, scope));
  return fn->translate(call);
}

}  // namespace erpsync::db::embedded
