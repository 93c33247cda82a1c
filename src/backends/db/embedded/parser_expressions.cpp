// Expressions, by precedence: OR, AND, NOT, predicates, bitwise, additive, multiplicative, unary and
// primaries (literals, variables, columns, function calls, CASE, CAST and CONVERT).
#include "db/db_error.h"
#include "db/embedded/parser.h"
#include "db/embedded/parser_impl.h"

namespace erpsync::db::embedded::parsing {

using namespace ast;

ExprP Parser::expression() {
  DepthGuard g(*this);
  return orExpr();
}

ExprP Parser::binary(std::string op, ExprP l, ExprP r) {
  int d = std::max(l->depth, r->depth) + 1;
  // Left-deep chains (a + b + c ...) do not recurse while parsing but do when translated.
  if (d > 1000) nestedTooDeeply();
  auto e = std::make_unique<Expr>(Expr::Binary);
  e->depth = d;
  e->pos = l->pos;
  e->op = std::move(op);
  e->args.push_back(std::move(l));
  e->args.push_back(std::move(r));
  return e;
}

ExprP Parser::orExpr() {
  ExprP l = andExpr();
  while (kw("OR")) {
    std::string written = cur().text;
    ++i_;
    l = binary("OR", std::move(l), andExpr());
    l->text = written;
  }
  return l;
}

ExprP Parser::andExpr() {
  ExprP l = notExpr();
  while (kw("AND")) {
    std::string written = cur().text;
    ++i_;
    l = binary("AND", std::move(l), notExpr());
    l->text = written;
  }
  return l;
}

ExprP Parser::notExpr() {
  DepthGuard g(*this);
  if (kw("NOT")) {
    std::uint32_t pos = cur().pos;
    ++i_;
    auto e = std::make_unique<Expr>(Expr::Unary);
    e->pos = pos;
    e->op = "NOT";
    e->text = t_[i_ - 1].text;
    e->args.push_back(notExpr());
    return e;
  }
  return predicate();
}

ExprP Parser::existsPredicate() {
  std::uint32_t pos = cur().pos;
  std::string written = cur().text;
  ++i_;
  expectOp("(");
  auto e = std::make_unique<Expr>(Expr::Exists);
  e->pos = pos;
  e->text = written;
  e->sub = selectStatement();
  expectOp(")");
  return e;
}

// A predicate over l (BETWEEN, IN, LIKE ...): written is its first word as written, l its first argument.
ExprP Parser::predicateOver(Expr::Kind kind, ExprP l, const std::string& written, bool negated) {
  auto e = std::make_unique<Expr>(kind);
  e->pos = l->pos;
  e->text = written;
  e->negated = negated;
  e->args.push_back(std::move(l));
  return e;
}

// The comparison operators, "!=", "!<" and "!>" as their standard forms.
bool Parser::comparisonTail(ExprP& l) {
  const Token& t = cur();
  static const std::pair<const char*, const char*> ops[] = {{"=", "="},   {"<>", "<>"}, {"!=", "<>"},
                                                            {"<", "<"},   {">", ">"},   {"<=", "<="},
                                                            {">=", ">="}, {"!<", ">="}, {"!>", "<="}};
  if (t.kind != TokKind::Op) return false;
  for (auto& [written, op] : ops) {
    if (t.text != written) continue;
    const std::string shown = t.text;
    ++i_;
    if (kw("ALL") || kw("ANY") || kw("SOME")) fail();
    l = binary(op, std::move(l), bitExpr());
    l->text = shown;
    return true;
  }
  return false;
}

// [NOT] IN (SELECT ...) or [NOT] IN (value, ...), after IN.
ExprP Parser::inTail(ExprP l, const std::string& written, bool negated) {
  expectOp("(");
  if (kw("SELECT")) {
    auto e = predicateOver(Expr::InSelect, std::move(l), written, negated);
    e->sub = selectStatement();
    expectOp(")");
    return e;
  }
  auto e = predicateOver(Expr::InList, std::move(l), written, negated);
  do {
    e->args.push_back(expression());
  } while (acceptOp(","));
  expectOp(")");
  return e;
}

// IS [NOT] NULL, [NOT] BETWEEN, [NOT] IN, [NOT] LIKE after l; false (nothing read) when none follows.
bool Parser::predicateTail(ExprP& l) {
  if (kw("IS")) {
    const std::string written = cur().text;
    ++i_;
    const bool negated = acceptKw("NOT");
    auto e = predicateOver(Expr::IsNull, std::move(l), written, negated);
    expectKw("NULL");
    l = std::move(e);
    return true;
  }
  bool neg = false;
  std::size_t save = i_;
  std::string written = cur().text;  // the predicate's first word
  if (kw("NOT") && (kwAt(1, "BETWEEN") || kwAt(1, "IN") || kwAt(1, "LIKE"))) {
    neg = true;
    ++i_;
  }
  if (acceptKw("BETWEEN")) {
    l = predicateOver(Expr::Between, std::move(l), written, neg);
    l->args.push_back(bitExpr());
    expectKw("AND");
    l->args.push_back(bitExpr());
  } else if (acceptKw("IN")) {
    l = inTail(std::move(l), written, neg);
  } else if (acceptKw("LIKE")) {
    l = predicateOver(Expr::Like, std::move(l), written, neg);
    l->args.push_back(bitExpr());
    if (acceptKw("ESCAPE")) l->args.push_back(bitExpr());
  } else {
    i_ = save;
    return false;
  }
  return true;
}

ExprP Parser::predicate() {
  if (kw("EXISTS")) return existsPredicate();
  ExprP l = bitExpr();
  while (comparisonTail(l) || predicateTail(l)) {
  }
  return l;
}

ExprP Parser::bitExpr() {
  ExprP l = additive();
  while (isOp("|") || isOp("^")) {
    std::string op = cur().text;
    ++i_;
    l = binary(op, std::move(l), additive());
  }
  return l;
}

ExprP Parser::additive() {
  ExprP l = multiplicative();
  while (isOp("+") || isOp("-") || isOp("&")) {
    std::string op = cur().text;
    ++i_;
    l = binary(op, std::move(l), multiplicative());
  }
  return l;
}

ExprP Parser::multiplicative() {
  ExprP l = unary();
  while (isOp("*") || isOp("/") || isOp("%")) {
    std::string op = cur().text;
    ++i_;
    l = binary(op, std::move(l), unary());
  }
  return l;
}

ExprP Parser::unary() {
  DepthGuard g(*this);
  if (isOp("-") || isOp("+") || isOp("~")) {
    std::uint32_t pos = cur().pos;
    std::string op = cur().text;
    ++i_;
    auto e = std::make_unique<Expr>(Expr::Unary);
    e->pos = pos;
    e->op = op;
    e->args.push_back(unary());
    return e;
  }
  ExprP p = primary();
  if (kw("COLLATE")) {
    // Collations are all case-insensitive here; the name is read and ignored.
    ++i_;
    anyIdentifier();
  }
  return p;
}

std::string Parser::datePartName() {
  const Token& t = cur();
  if (t.kind != TokKind::Ident && t.kind != TokKind::QIdent) fail();
  std::string p = lower(t.text);
  static const std::pair<const char*, const char*> map[] = {{"year", "year"},
                                                            {"yy", "year"},
                                                            {"yyyy", "year"},
                                                            {"quarter", "quarter"},
                                                            {"qq", "quarter"},
                                                            {"q", "quarter"},
                                                            {"month", "month"},
                                                            {"mm", "month"},
                                                            {"m", "month"},
                                                            {"dayofyear", "dayofyear"},
                                                            {"dy", "dayofyear"},
                                                            {"y", "dayofyear"},
                                                            {"day", "day"},
                                                            {"dd", "day"},
                                                            {"d", "day"},
                                                            {"week", "week"},
                                                            {"wk", "week"},
                                                            {"ww", "week"},
                                                            {"weekday", "weekday"},
                                                            {"dw", "weekday"},
                                                            {"hour", "hour"},
                                                            {"hh", "hour"},
                                                            {"minute", "minute"},
                                                            {"mi", "minute"},
                                                            {"n", "minute"},
                                                            {"second", "second"},
                                                            {"ss", "second"},
                                                            {"s", "second"},
                                                            {"millisecond", "millisecond"},
                                                            {"ms", "millisecond"}};
  for (auto& [k, v] : map)
    if (p == k) {
      ++i_;
      return v;
    }
  fail();
}

// ( SELECT ... ) or a parenthesized expression, after the "(".
ExprP Parser::parenthesized(std::uint32_t pos) {
  if (kw("SELECT")) {
    auto e = std::make_unique<Expr>(Expr::Subquery);
    e->pos = pos;
    e->sub = selectStatement();
    expectOp(")");
    return e;
  }
  ExprP inner = expression();
  expectOp(")");
  return inner;
}

// NULL, CASE, CAST, CONVERT and CURRENT_TIMESTAMP; null when the word is none of them.
ExprP Parser::keywordExpr(std::uint32_t pos) {
  const bool call = peek().kind == TokKind::Op && peek().text == "(";
  if (kw("NULL")) {
    ++i_;
    auto e = std::make_unique<Expr>(Expr::Null);
    e->pos = pos;
    return e;
  }
  if (kw("CASE")) return caseExpr();
  if ((kw("CAST") || kw("CONVERT")) && call) {
    const bool cast = kw("CAST");
    i_ += 2;
    auto e = std::make_unique<Expr>(Expr::Cast);
    e->pos = pos;
    if (cast) {
      e->args.push_back(expression());
      expectKw("AS");
      e->castType = declaredType();
    } else {
      e->castType = declaredType();
      expectOp(",");
      e->args.push_back(expression());
      if (acceptOp(",")) e->style = static_cast<int>(structuralNumber());
    }
    expectOp(")");
    return e;
  }
  if (kw("CURRENT_TIMESTAMP")) {
    ++i_;
    auto e = std::make_unique<Expr>(Expr::Func);
    e->pos = pos;
    e->op = "GETDATE";
    return e;
  }
  return nullptr;
}

// name( ... ): its arguments, DISTINCT, COUNT(*), the date part of DATEADD and its kin, OVER (...).
ExprP Parser::functionCall(std::uint32_t pos) {
  auto e = std::make_unique<Expr>(Expr::Func);
  e->pos = pos;
  e->op = upper(cur().text);
  i_ += 2;
  if (e->op == "DATEADD" || e->op == "DATEDIFF" || e->op == "DATEPART" || e->op == "DATENAME") {
    e->datePart = datePartName();
    while (acceptOp(",")) e->args.push_back(expression());
    expectOp(")");
    return e;
  }
  if (acceptOp(")")) {
    if (kw("OVER")) overClause(*e);
    return e;
  }
  if (acceptOp("*")) {
    e->star = true;
    expectOp(")");
    return e;
  }
  if (acceptKw("DISTINCT"))
    e->distinct = true;
  else
    acceptKw("ALL");
  do {
    e->args.push_back(expression());
  } while (acceptOp(","));
  expectOp(")");
  if (kw("OVER")) overClause(*e);
  return e;
}

ExprP Parser::primary() {
  DepthGuard g(*this);
  const Token& t = cur();
  std::uint32_t pos = t.pos;
  switch (t.kind) {
    case TokKind::String:
    case TokKind::NString:
    case TokKind::Number:
    case TokKind::Variable: {
      auto e = std::make_unique<Expr>(t.kind == TokKind::Variable ? Expr::Variable : Expr::Literal);
      e->pos = pos;
      if (t.kind != TokKind::Variable) {
        e->literal = t.literal;
        e->litKind = t.kind;
      }
      e->text = t.text;
      ++i_;
      return e;
    }
    case TokKind::Op:
      if (acceptOp("(")) return parenthesized(pos);
      if (acceptOp("*")) {
        auto e = std::make_unique<Expr>(Expr::Star);
        e->pos = pos;
        return e;
      }
      fail();
    case TokKind::Binary:
    case TokKind::End:
      fail();
    case TokKind::Ident:
    case TokKind::QIdent:
      break;
  }
  const bool call = peek().kind == TokKind::Op && peek().text == "(";
  if (t.kind == TokKind::Ident) {
    if (ExprP e = keywordExpr(pos)) return e;
    bool fnWord = (kw("LEFT") || kw("RIGHT")) && call;
    if (reserved(t) && !fnWord) fail();
    if (call) return functionCall(pos);
  }
  auto e = std::make_unique<Expr>(Expr::Column);
  e->pos = pos;
  e->name = multiName();
  if (isOp("(")) fail();  // schema-qualified function calls are not supported
  return e;
}

// OVER ( [PARTITION BY expr, ...] [ORDER BY expr [ASC|DESC], ...] ); window frames are not supported.
void Parser::overClause(Expr& e) {
  ++i_;
  expectOp("(");
  e.over = true;
  if (kw("PARTITION")) {
    ++i_;
    expectKw("BY");
    do {
      e.partitionBy.push_back(expression());
    } while (acceptOp(","));
  }
  if (acceptKw("ORDER")) {
    expectKw("BY");
    do {
      ExprP key = expression();
      bool desc = acceptKw("DESC");
      if (!desc) acceptKw("ASC");
      e.overOrder.emplace_back(std::move(key), desc);
    } while (acceptOp(","));
  }
  expectOp(")");
}

ExprP Parser::caseExpr() {
  auto e = std::make_unique<Expr>(Expr::Case);
  e->pos = cur().pos;
  ++i_;
  if (!kw("WHEN")) e->operand = expression();
  if (!kw("WHEN")) fail();
  while (acceptKw("WHEN")) {
    ExprP w = expression();
    expectKw("THEN");
    ExprP th = expression();
    e->whens.emplace_back(std::move(w), std::move(th));
  }
  if (acceptKw("ELSE")) e->elseExpr = expression();
  expectKw("END");
  return e;
}

}  // namespace erpsync::db::embedded::parsing
