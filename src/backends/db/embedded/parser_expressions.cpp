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

ExprP Parser::predicate() {
  if (kw("EXISTS")) {
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
  ExprP l = bitExpr();
  while (true) {
    const Token& t = cur();
    if (t.kind == TokKind::Op && (t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "<" || t.text == ">" ||
                                  t.text == "<=" || t.text == ">=" || t.text == "!<" || t.text == "!>")) {
      std::string op = t.text, written = t.text;
      if (op == "!=") op = "<>";
      if (op == "!<") op = ">=";
      if (op == "!>") op = "<=";
      ++i_;
      if (kw("ALL") || kw("ANY") || kw("SOME")) fail();
      l = binary(op, std::move(l), bitExpr());
      l->text = written;
      continue;
    }
    if (kw("IS")) {
      ++i_;
      auto e = std::make_unique<Expr>(Expr::IsNull);
      e->pos = l->pos;
      e->text = t_[i_ - 1].text;
      e->negated = acceptKw("NOT");
      expectKw("NULL");
      e->args.push_back(std::move(l));
      l = std::move(e);
      continue;
    }
    bool neg = false;
    std::size_t save = i_;
    std::string written = cur().text;  // the predicate's first word
    if (kw("NOT") && (kwAt(1, "BETWEEN") || kwAt(1, "IN") || kwAt(1, "LIKE"))) {
      neg = true;
      ++i_;
    }
    if (kw("BETWEEN")) {
      ++i_;
      auto e = std::make_unique<Expr>(Expr::Between);
      e->pos = l->pos;
      e->text = written;
      e->negated = neg;
      e->args.push_back(std::move(l));
      e->args.push_back(bitExpr());
      expectKw("AND");
      e->args.push_back(bitExpr());
      l = std::move(e);
      continue;
    }
    if (kw("IN")) {
      ++i_;
      expectOp("(");
      if (kw("SELECT")) {
        auto e = std::make_unique<Expr>(Expr::InSelect);
        e->pos = l->pos;
        e->text = written;
        e->negated = neg;
        e->args.push_back(std::move(l));
        e->sub = selectStatement();
        expectOp(")");
        l = std::move(e);
      } else {
        auto e = std::make_unique<Expr>(Expr::InList);
        e->pos = l->pos;
        e->text = written;
        e->negated = neg;
        e->args.push_back(std::move(l));
        do {
          e->args.push_back(expression());
        } while (acceptOp(","));
        expectOp(")");
        l = std::move(e);
      }
      continue;
    }
    if (kw("LIKE")) {
      ++i_;
      auto e = std::make_unique<Expr>(Expr::Like);
      e->pos = l->pos;
      e->text = written;
      e->negated = neg;
      e->args.push_back(std::move(l));
      e->args.push_back(bitExpr());
      if (acceptKw("ESCAPE")) e->args.push_back(bitExpr());
      l = std::move(e);
      continue;
    }
    i_ = save;
    break;
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

ExprP Parser::primary() {
  DepthGuard g(*this);
  const Token& t = cur();
  std::uint32_t pos = t.pos;
  switch (t.kind) {
    case TokKind::String:
    case TokKind::NString:
    case TokKind::Number: {
      auto e = std::make_unique<Expr>(Expr::Literal);
      e->pos = pos;
      e->literal = t.literal;
      e->litKind = t.kind;
      e->text = t.text;
      ++i_;
      return e;
    }
    case TokKind::Variable: {
      auto e = std::make_unique<Expr>(Expr::Variable);
      e->pos = pos;
      e->text = t.text;
      ++i_;
      return e;
    }
    case TokKind::Op:
      if (t.text == "(") {
        ++i_;
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
      if (t.text == "*") {
        ++i_;
        auto e = std::make_unique<Expr>(Expr::Star);
        e->pos = pos;
        return e;
      }
      fail();
    case TokKind::Binary:
      fail();
    case TokKind::End:
      fail();
    case TokKind::Ident:
    case TokKind::QIdent:
      break;
  }
  if (t.kind == TokKind::Ident) {
    if (kw("NULL")) {
      ++i_;
      auto e = std::make_unique<Expr>(Expr::Null);
      e->pos = pos;
      return e;
    }
    if (kw("CASE")) return caseExpr();
    if (kw("CAST") && peek().kind == TokKind::Op && peek().text == "(") {
      i_ += 2;
      auto e = std::make_unique<Expr>(Expr::Cast);
      e->pos = pos;
      e->args.push_back(expression());
      expectKw("AS");
      e->castType = declaredType();
      expectOp(")");
      return e;
    }
    if (kw("CONVERT") && peek().kind == TokKind::Op && peek().text == "(") {
      i_ += 2;
      auto e = std::make_unique<Expr>(Expr::Cast);
      e->pos = pos;
      e->castType = declaredType();
      expectOp(",");
      e->args.push_back(expression());
      if (acceptOp(",")) e->style = static_cast<int>(structuralNumber());
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
    bool fnWord = (kw("LEFT") || kw("RIGHT")) && peek().kind == TokKind::Op && peek().text == "(";
    if (reserved(t) && !fnWord) fail();
  }
  // Function call or column reference.
  if (t.kind == TokKind::Ident && peek().kind == TokKind::Op && peek().text == "(") {
    auto e = std::make_unique<Expr>(Expr::Func);
    e->pos = pos;
    e->op = upper(t.text);
    i_ += 2;
    if (e->op == "DATEADD" || e->op == "DATEDIFF" || e->op == "DATEPART" || e->op == "DATENAME") {
      e->datePart = datePartName();
      while (acceptOp(",")) e->args.push_back(expression());
      expectOp(")");
      return e;
    }
    if (isOp(")")) {
      ++i_;
      if (kw("OVER")) overClause(*e);
      return e;
    }
    if (isOp("*")) {
      ++i_;
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
