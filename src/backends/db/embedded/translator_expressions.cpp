// Expressions: operators with SQL Server's typing (text concatenation, date arithmetic, comparison
// under the TSQL collation, division by zero), CASE, CAST and CONVERT. Predicates stand only where
// T-SQL takes a search condition; operands are parenthesized only where SQLite needs it.
#include <algorithm>
#include <string>

#include "db/db_error.h"
#include "db/embedded/parser.h"
#include "db/embedded/translator_impl.h"

namespace erpsync::db::embedded {

using namespace ast;
using namespace translation;

namespace {

bool comparison(const std::string& op) {
  return op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=";
}

// A predicate: true, false or unknown, which T-SQL takes only as a search condition.
bool isPredicate(const Expr& x) {
  switch (x.kind) {
    case Expr::Binary:
      return x.op == "AND" || x.op == "OR" || comparison(x.op);
    case Expr::Unary:
      return x.op == "NOT";
    case Expr::IsNull:
    case Expr::Between:
    case Expr::InList:
    case Expr::InSelect:
    case Expr::Like:
    case Expr::Exists:
      return true;
    default:
      return false;
  }
}

// The first predicate in the text of `x`, where SQL Server's parser stops when a predicate stands
// for a value; a search condition of its own (a searched WHEN, a subquery) does not count.
const Expr* firstPredicate(const Expr& x) {
  if ((x.kind == Expr::Unary && x.op == "NOT") || x.kind == Expr::Exists) return &x;
  if (x.kind == Expr::Case) {
    if (x.operand)
      if (const Expr* p = firstPredicate(*x.operand)) return p;
    for (auto& [w, t] : x.whens) {
      if (x.operand)
        if (const Expr* p = firstPredicate(*w)) return p;
      if (const Expr* p = firstPredicate(*t)) return p;
    }
    return x.elseExpr ? firstPredicate(*x.elseExpr) : nullptr;
  }
  bool self = isPredicate(x);
  for (std::size_t i = 0; i < x.args.size(); ++i) {
    if (const Expr* p = firstPredicate(*x.args[i])) return p;
    if (self) return &x;  // the operator follows the first operand
  }
  return self ? &x : nullptr;
}

// `e` as an operand where SQLite must bind at least `prec`.
std::string operand(const E& e, int prec) {
  return e.prec >= prec ? e.sql : "(" + e.sql + ")";
}

// A comparison-like predicate (IS NULL, BETWEEN, IN, LIKE), at SQLite's equality precedence.
E equalityPredicate(std::string sql) {
  E e;
  e.sql = std::move(sql);
  e.prec = kEquality;
  e.type = bitType();
  return e;
}

void parenthesize(E& e) {
  if (e.prec < kAtom) e.sql = "(" + e.sql + ")";
  e.prec = kAtom;
}

}  // namespace

E Translator::Impl::expr(const Expr& x, Scope* scope) {
  E e = term(x, scope, false);
  parenthesize(e);
  return e;
}

E Translator::Impl::condition(const Expr& x, Scope* scope) {
  E e = term(x, scope, true);
  parenthesize(e);
  return e;
}

E Translator::Impl::term(const Expr& x, Scope* scope, bool predicateAllowed) {
  if (!predicateAllowed && isPredicate(x)) {
    const Expr* p = firstPredicate(x);
    syntaxError(p->text.empty() ? p->op : p->text);
  }
  switch (x.kind) {
    case Expr::Literal:
      return literal(x);
    case Expr::Null:
      return nullValue();
    case Expr::Variable:
      return variable(x);
    case Expr::Column:
      if (!scope) invalidColumn(x.name.last());
      return columnRef(x.name, scope);
    case Expr::Star:
      syntaxError("*");
    case Expr::Unary:
      return unary(x, scope);
    case Expr::Binary:
      return binary(x, scope);
    case Expr::IsNull:
      return isNullTest(x, scope);
    case Expr::Between:
      return between(x, scope);
    case Expr::InList:
      return inList(x, scope);
    case Expr::InSelect:
      return inSelect(x, scope);
    case Expr::Like:
      return like(x, scope);
    case Expr::Exists:
      return exists(x, scope);
    case Expr::Subquery:
      return subquery(x, scope);
    case Expr::Case:
      return caseExpr(x, scope);
    case Expr::Func:
      return func(x, scope);
    case Expr::Cast:
      return cast(x, scope);
  }
  syntaxError("?");
}

E Translator::Impl::nullValue() {
  E e;
  e.sql = "NULL";
  e.type.base = BaseType::Null;
  e.isNull = true;
  return e;
}

E Translator::Impl::unary(const Expr& x, Scope* scope) {
  E a = term(*x.args[0], scope, x.op == "NOT");
  E e;
  if (x.op == "NOT") {
    e.sql = "NOT " + operand(a, kNot);
    e.prec = kNot;
    e.type = bitType();
  } else if (x.op == "-" || x.op == "~") {
    if (x.op == "~" || !decimalNegate(a, e)) {
      std::string o = operand(a, kUnary);
      e.sql = x.op + (o[0] == '-' ? " " : "") + o;  // "--" would start a comment
      e.prec = kUnary;
      e.type = a.type;
    }
  } else {
    e = a;
  }
  return e;
}

E Translator::Impl::isNullTest(const Expr& x, Scope* scope) {
  E a = expr(*x.args[0], scope);
  return equalityPredicate(a.sql + (x.negated ? " IS NOT NULL" : " IS NULL"));
}

E Translator::Impl::between(const Expr& x, Scope* scope) {
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
  e.type = bitType();
  if (decimalOperands({&a, &lo, &hi})) {
    e.sql = std::string(x.negated ? "(NOT (" : "((") + decimalCompare(a, ">=", lo) + " AND " +
            decimalCompare(a, "<=", hi) + "))";
    return e;
  }
  return equalityPredicate((text ? a.sql + " COLLATE TSQL" : a.sql) + (x.negated ? " NOT BETWEEN " : " BETWEEN ") +
                           lo.sql + " AND " + hi.sql);
}

E Translator::Impl::inList(const Expr& x, Scope* scope) {
  E a = expr(*x.args[0], scope);
  std::string list, decimalList;
  bool decimals = true, anyDecimal = false;  // a NULL in the list compares as NULL either way
  for (std::size_t i = 1; i < x.args.size(); ++i) {
    E v = expr(*x.args[i], scope);
    if (a.type.isDate() || a.type.isNumber()) coerceOperand(v, a.type);
    if (i > 1) list += ",", decimalList += " OR ";
    list += v.sql;
    bool d = v.isNull || decimalOperands({&a, &v});
    decimals = decimals && d;
    anyDecimal = anyDecimal || (d && !v.isNull);
    decimalList += decimalCompare(a, "=", v);
  }
  E e;
  e.type = bitType();
  if (decimals && anyDecimal) {
    e.sql = std::string(x.negated ? "(NOT (" : "((") + decimalList + "))";
    return e;
  }
  return equalityPredicate((a.type.isText() ? a.sql + " COLLATE TSQL" : a.sql) + (x.negated ? " NOT IN (" : " IN (") +
                           list + ")");
}

namespace {
[[noreturn]] void notOneColumn() {
  throw DbError(
      "Only one expression can be specified in the select list when the subquery is not "
      "introduced with EXISTS.",
      "42000", 116);
}
}  // namespace

E Translator::Impl::inSelect(const Expr& x, Scope* scope) {
  E a = expr(*x.args[0], scope);
  SelOut s = select(*x.sub, scope);
  if (s.cols.size() != 1) notOneColumn();
  return equalityPredicate((a.type.isText() ? a.sql + " COLLATE TSQL" : a.sql) + (x.negated ? " NOT IN (" : " IN (") +
                           s.sql + ")");
}

E Translator::Impl::like(const Expr& x, Scope* scope) {
  E a = expr(*x.args[0], scope);
  E b = expr(*x.args[1], scope);
  std::string sql = a.sql + (x.negated ? " NOT LIKE " : " LIKE ") + b.sql;
  if (x.args.size() > 2) sql += " ESCAPE " + expr(*x.args[2], scope).sql;
  return equalityPredicate(std::move(sql));
}

E Translator::Impl::exists(const Expr& x, Scope* scope) {
  SelOut s = select(*x.sub, scope);
  E e;
  e.sql = "EXISTS (" + s.sql + ")";
  e.type = bitType();
  return e;
}

E Translator::Impl::subquery(const Expr& x, Scope* scope) {
  SelOut s = select(*x.sub, scope);
  if (s.cols.size() != 1) notOneColumn();
  E e;
  e.sql = "(" + s.sql + ")";
  e.type = s.cols[0].type;
  return e;
}

E Translator::Impl::cast(const Expr& x, Scope* scope) {
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
  return e;
}

E Translator::Impl::binary(const Expr& x, Scope* scope) {
  const std::string& op = x.op;
  bool logical = op == "AND" || op == "OR";
  E l = term(*x.args[0], scope, logical);
  E r = term(*x.args[1], scope, logical);
  if (logical) {
    // Both are associative: a chain of one of them needs no parentheses.
    E e;
    e.prec = op == "AND" ? kAnd : kOr;
    e.sql = operand(l, e.prec) + " " + op + " " + operand(r, e.prec);
    e.type = bitType();
    return e;
  }
  if (comparison(op)) return compare(op, l, r);
  if (op == "+") return plus(l, r);
  return arithmetic(op, l, r);
}

E Translator::Impl::compare(const std::string& op, E& l, E& r) {
  if (l.type.isDate() && !r.type.isDate())
    coerceOperand(r, l.type);
  else if (r.type.isDate() && !l.type.isDate())
    coerceOperand(l, r.type);
  else if (l.type.isNumber() && r.type.isText())
    coerceOperand(r, l.type);
  else if (r.type.isNumber() && l.type.isText())
    coerceOperand(l, r.type);
  E e;
  e.type = bitType();
  e.prec = op == "=" || op == "<>" ? kEquality : kCompare;
  if (decimalOperands({&l, &r})) {
    e.sql = "tsql_dcmp(" + l.sql + "," + r.sql + ") " + op + " 0";
    return e;
  }
  floatOperands(l, r);
  std::string rs = operand(r, e.prec + 1);
  if ((l.type.isText() || l.isNull || !l.type.known()) && (r.type.isText() || !r.type.known()) &&
      !(l.type.isNumber() || r.type.isNumber()))
    rs = operand(r, kAtom) + " COLLATE TSQL";
  e.sql = operand(l, e.prec + 1) + " " + op + " " + rs;
  return e;
}

// +: text concatenation, days added to a date, or a sum.
E Translator::Impl::plus(E& l, E& r) {
  E e;
  if (l.type.isText() && r.type.isText()) {
    e.sql = operand(l, kConcat) + " || " + operand(r, kConcat + 1);
    e.prec = kConcat;
    e.type = higherType(l.type, r.type);
    if (e.type.length > 0 && l.type.length > 0 && r.type.length > 0)
      e.type.length = std::min(8000, l.type.length + r.type.length);
    return e;
  }
  // datetime + number adds days, a fraction being part of a day ('days' rather than DATEADD's 'day').
  if ((l.type.isDate() && r.type.isNumber()) || (r.type.isDate() && l.type.isNumber())) {
    const E& date = l.type.isDate() ? l : r;
    const E& days = l.type.isDate() ? r : l;
    e.sql = "tsql_dateadd('days'," + days.sql + "," + date.sql + ")";
    e.type = date.type;
    return e;
  }
  if (decimalArithmetic("+", l, r, e)) return e;
  if (l.type.isNumber() && r.type.isNumber()) {
    e.sql = operand(l, kAdditive) + " + " + operand(r, kAdditive + 1);
    e.prec = kAdditive;
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

// -, *, /, %, ^, & and |.
E Translator::Impl::arithmetic(const std::string& op, E& l, E& r) {
  E e;
  if (op == "-" && l.type.isDate() && r.type.isNumber()) {
    e.sql = "tsql_dateadd('days',-(" + r.sql + ")," + l.sql + ")";
    e.type = l.type;
    return e;
  }
  if (op == "-" && l.type.isDate() && r.type.isDate()) {
    e.sql = "(julianday(" + l.sql + ") - julianday(" + r.sql + "))";
    e.type.base = BaseType::Float;
    return e;
  }
  if ((op == "-" || op == "*" || op == "/") && decimalArithmetic(op, l, r, e)) return e;
  if (op == "^") {
    std::string a = operand(l, kBitwise), b = operand(r, kBitwise + 1);
    e.sql = "(" + a + " | " + b + ") - (" + a + " & " + b + ")";
    e.prec = kAdditive;
    e.type = higherType(l.type, r.type);
    return e;
  }
  if (op == "/" && (l.type.isExactNumeric() || r.type.isExactNumeric() || l.type.base == BaseType::Float ||
                    r.type.base == BaseType::Float || l.type.base == BaseType::Real)) {
    floatOperands(l, r);  // a decimal zero read as a float, so the divisor check sees it
    e.sql = "tsql_div(" + operand(l, kMultiplicative) + " * 1.0," + r.sql + ")";
    e.type = higherType(l.type, r.type);
    if (e.type.isExactNumeric()) e.type.scale = std::max(e.type.scale, 6);
    return e;
  }
  if (op == "/" || op == "%") {
    // A function, not SQLite's operator: NULL / 0 is NULL, any other division by zero an error.
    e.sql = std::string(op == "/" ? "tsql_div(" : "tsql_mod(") + l.sql + "," + r.sql + ")";
  } else {
    e.prec = op == "*" ? kMultiplicative : op == "-" ? kAdditive : kBitwise;  // & and |
    e.sql = operand(l, e.prec) + " " + op + " " + operand(r, e.prec + 1);
  }
  e.type = l.type.known() && r.type.known() ? higherType(l.type, r.type) : (l.type.known() ? l.type : r.type);
  return e;
}

E Translator::Impl::caseExpr(const Expr& x, Scope* scope) {
  E e;
  std::string sql = "CASE";
  E operand;
  // A decimal operand is compared in each WHEN, as the searched form would.
  bool searched = false;
  if (x.operand) {
    operand = expr(*x.operand, scope);
    searched = operand.type.isExactNumeric() && operand.type.scale > 0;
    if (!searched) sql += " " + operand.sql;
  }
  ColType result;
  bool first = true;
  for (auto& [w, t] : x.whens) {
    E we = x.operand ? expr(*w, scope) : condition(*w, scope);
    if (x.operand) {
      if (operand.type.isDate() || operand.type.isNumber()) coerceOperand(we, operand.type);
      if (operand.type.isText()) we.sql += " COLLATE TSQL";
    }
    if (searched)
      we.sql = decimalOperands({&operand, &we}) ? decimalCompare(operand, "=", we)
                                                : "(" + operand.sql + " = " + we.sql + ")";
    E te = expr(*t, scope);
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
  sql += " END";
  e.sql = sql;
  e.type = result;
  return e;
}

// Makes `e` compare as `target` (a datetime or a number), converting a literal when it is bound.
void Translator::Impl::coerceOperand(E& e, const ColType& target) {
  if (!target.known() || e.isNull) return;
  if (target.isDate()) {
    if (e.type.isDate()) return;
    if (e.param >= 0 && out.params[static_cast<std::size_t>(e.param)].source != BoundParameter::Identity) {
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

std::string Translator::Impl::convertCall(const std::string& sql, const ColType& src, const ColType& dst, bool assign,
                                          int style) {
  return "tsql_conv(" + sql + "," + typeArgs(src) + "," + typeArgs(dst) + "," + std::to_string(style) + "," +
         (assign ? "1" : "0") + ")";
}

// Text functions read numbers and dates as SQL Server's implicit conversion to varchar does.
std::string Translator::Impl::textOf(const E& a) {
  if (a.type.isDate()) return convertCall(a.sql, a.type, textType(30), false, 0);
  if (a.type.isExactNumeric() && a.type.scale > 0) return convertCall(a.sql, a.type, textType(60), false, -1);
  return a.sql;
}

}  // namespace erpsync::db::embedded
