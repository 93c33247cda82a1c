// Exact numerics in expressions. Values of numeric/decimal/money types that a 64-bit integer cannot
// hold exactly are kept as decimal text; where they meet in arithmetic, comparisons, aggregates and
// sorting, the translator routes them through the decimal functions (decimal_functions.cpp) so no
// binary float takes part. Floats meeting a decimal still work as floats.
#include <algorithm>
#include <string>

#include "db/embedded/translator_impl.h"

namespace erpsync::db::embedded {

using namespace translation;

namespace {

bool isFloat(const ColType& t) {
  return t.base == BaseType::Float || t.base == BaseType::Real;
}

// A side that compares as a decimal: it has decimals.
bool hasDecimals(const ColType& t) {
  return t.isExactNumeric() && t.scale > 0;
}

// A side that can meet a decimal exactly: a number other than a float, or text read as a number.
bool plainOperand(const E& e) {
  return !e.isNull && !isFloat(e.type) && (e.type.isNumber() || e.type.isText());
}

}  // namespace

void Translator::Impl::exactLiteral(E& e) {
  if (e.param < 0 || !e.type.isExactNumeric()) return;
  auto& p = out.params[static_cast<std::size_t>(e.param)];
  if (p.source != BoundParameter::Literal || p.coerce) return;
  // Bound as its own digits rather than as the double a plain number literal becomes.
  p.coerce = true;
  p.assign = false;
  p.target = e.type;
}

bool Translator::Impl::decimalOperands(std::initializer_list<E*> operands) {
  bool decimals = false;
  for (E* e : operands) {
    if (!plainOperand(*e)) return false;
    decimals = decimals || hasDecimals(e->type);
  }
  if (!decimals) return false;
  for (E* e : operands) exactLiteral(*e);
  return true;
}

std::string Translator::Impl::decimalCompare(const E& a, const std::string& op, const E& b) {
  return "(tsql_dcmp(" + a.sql + "," + b.sql + ") " + op + " 0)";
}

void Translator::Impl::floatOperands(E& a, E& b) {
  // Decimal text from an expression has no column affinity; SQLite would order it after every float.
  if (isFloat(a.type) && b.type.keepsDecimalText()) b.sql = "CAST(" + b.sql + " AS REAL)";
  if (isFloat(b.type) && a.type.keepsDecimalText()) a.sql = "CAST(" + a.sql + " AS REAL)";
}

bool Translator::Impl::decimalArithmetic(const std::string& op, E& l, E& r, E& e) {
  if (!(l.type.keepsDecimalText() || r.type.keepsDecimalText()) || !plainOperand(l) || !plainOperand(r)) return false;
  // A text operand is read as a number of the other side's type.
  const ColType& lt = l.type.isText() ? r.type : l.type;
  const ColType& rt = r.type.isText() ? l.type : r.type;
  const char* fn = nullptr;
  if (op == "+" || op == "-") {
    fn = op == "+" ? "tsql_dadd" : "tsql_dsub";
    e.type = higherType(lt, rt);
  } else if (op == "*") {
    fn = "tsql_dmul";
    e.type = productType(lt, rt);
  } else if (op == "/") {
    fn = "tsql_ddiv";
    e.type = higherType(lt, rt);
    if (e.type.isExactNumeric()) e.type.scale = std::max(e.type.scale, 6);
  } else {
    return false;
  }
  exactLiteral(l);
  exactLiteral(r);
  e.sql = std::string(fn) + "(" + l.sql + "," + r.sql + "," + std::to_string(e.type.scale) + ")";
  return true;
}

bool Translator::Impl::decimalNegate(E& a, E& e) {
  if (!a.type.keepsDecimalText() || !plainOperand(a)) return false;
  exactLiteral(a);
  e.sql = "tsql_dsub(0," + a.sql + "," + std::to_string(a.type.scale) + ")";
  e.type = a.type;
  return true;
}

std::string Translator::Impl::sortKey(const std::string& sql, const ColType& type) {
  if (!type.keepsDecimalText()) return sql;
  return "CAST(" + sql + " AS TEXT) COLLATE TSQLDEC";
}

}  // namespace erpsync::db::embedded
