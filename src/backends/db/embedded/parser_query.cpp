// SELECT: select lists, FROM with joins and derived tables, compound queries, ORDER BY.
#include "db/db_error.h"
#include "db/embedded/parser.h"
#include "db/embedded/parser_impl.h"

namespace erpsync::db::embedded::parsing {

using namespace ast;

std::unique_ptr<Select> Parser::selectStatement() {
  auto s = selectExpression();
  if (kw("ORDER")) {
    ++i_;
    expectKw("BY");
    s->orderBy = orderList();
  }
  // T-SQL query hints are not supported.
  if (kw("OPTION") || kw("FOR")) fail();
  return s;
}

std::vector<OrderItem> Parser::orderList() {
  std::vector<OrderItem> r;
  do {
    OrderItem o;
    const Token& t = cur();
    if (t.kind == TokKind::Number && t.text.find_first_not_of("0123456789") == std::string::npos) {
      // ORDER BY <ordinal> is syntax, not a value.
      structural_.push_back(t.literal);
    }
    o.expr = expression();
    if (acceptKw("DESC"))
      o.desc = true;
    else
      acceptKw("ASC");
    r.push_back(std::move(o));
  } while (acceptOp(","));
  return r;
}

std::unique_ptr<Select> Parser::selectExpression() {
  DepthGuard g(*this);
  auto s = std::make_unique<Select>();
  s->pos = cur().pos;
  s->arms.push_back(selectCore());
  while (true) {
    if (kw("UNION")) {
      ++i_;
      if (acceptKw("ALL"))
        s->ops.push_back("UNION ALL");
      else
        s->ops.push_back("UNION");
    } else if (kw("EXCEPT") || kw("INTERSECT")) {
      s->ops.push_back(upper(cur().text));
      ++i_;
    } else {
      break;
    }
    s->arms.push_back(selectCore());
  }
  return s;
}

SelectCore Parser::selectCore() {
  SelectCore q;
  q.pos = cur().pos;
  if (isOp("(")) {
    // A parenthesised arm: only a plain SELECT without ORDER BY is supported.
    fail();
  }
  expectKw("SELECT");
  if (acceptKw("DISTINCT"))
    q.distinct = true;
  else
    acceptKw("ALL");
  if (kw("TOP")) {
    ++i_;
    if (acceptOp("(")) {
      q.top = expression();
      expectOp(")");
    } else {
      const Token& t = cur();
      if (t.kind != TokKind::Number && t.kind != TokKind::Variable) fail();
      q.top = primary();
    }
    if (acceptKw("PERCENT")) q.topPercent = true;
    if (kw("WITH")) fail();
  }
  do {
    q.items.push_back(selectItem());
  } while (acceptOp(","));
  if (kw("INTO")) {
    ++i_;
    q.into = multiName();
  }
  if (acceptKw("FROM")) {
    do {
      q.from.push_back(tableSource());
    } while (acceptOp(","));
  }
  if (acceptKw("WHERE")) q.where = expression();
  if (kw("GROUP")) {
    ++i_;
    expectKw("BY");
    do {
      q.groupBy.push_back(expression());
    } while (acceptOp(","));
  }
  if (acceptKw("HAVING")) q.having = expression();
  return q;
}

// Whether the tokens from i_ are "name.*", "a.b.*" ... (at most four names).
bool Parser::qualifiedStarAhead() const {
  std::size_t k = i_;
  for (int parts = 1;; ++parts) {
    if (t_[k].kind != TokKind::Ident && t_[k].kind != TokKind::QIdent) return false;
    ++k;
    if (!(t_[k].kind == TokKind::Op && t_[k].text == ".")) return false;
    ++k;
    if (t_[k].kind == TokKind::Op && t_[k].text == "*") return true;
    if (parts > 3) return false;
  }
}

// The alias after a select item: AS name, AS 'text', a bare name or a bare 'text'.
void Parser::selectAlias(SelectItem& it) {
  if (acceptKw("AS")) {
    const Token& a = cur();
    if (a.kind == TokKind::String) {
      structural_.push_back(a.literal);
      it.alias = a.text;
      ++i_;
    } else {
      it.alias = anyIdentifier();
    }
    it.hasAlias = true;
  } else if (cur().kind == TokKind::QIdent || (cur().kind == TokKind::Ident && !reserved(cur()))) {
    it.alias = cur().text;
    it.hasAlias = true;
    ++i_;
  } else if (cur().kind == TokKind::String) {
    structural_.push_back(cur().literal);
    it.alias = cur().text;
    it.hasAlias = true;
    ++i_;
  }
}

SelectItem Parser::selectItem() {
  SelectItem it;
  const Token& t = cur();
  if (t.kind == TokKind::Op && t.text == "*") {
    ++i_;
    it.expr = std::make_unique<Expr>(Expr::Star);
    return it;
  }
  if (qualifiedStarAhead()) {
    auto e = std::make_unique<Expr>(Expr::Star);
    e->pos = cur().pos;
    while (!(cur().kind == TokKind::Op && cur().text == "*")) {
      if (cur().kind == TokKind::Ident || cur().kind == TokKind::QIdent) e->name.parts.push_back(cur().text);
      ++i_;
    }
    ++i_;
    it.expr = std::move(e);
    return it;
  }
  const bool assigns = peek().kind == TokKind::Op && peek().text == "=";
  if (t.kind == TokKind::Variable && assigns) {
    it.assignVar = t.text;
    i_ += 2;
    it.expr = expression();
    return it;
  }
  if ((t.kind == TokKind::QIdent || (t.kind == TokKind::Ident && !reserved(t)) || t.kind == TokKind::String) &&
      assigns) {
    // alias = expression
    if (t.kind == TokKind::String) structural_.push_back(t.literal);
    it.alias = t.text;
    it.hasAlias = true;
    i_ += 2;
    it.expr = expression();
    return it;
  }
  it.expr = expression();
  selectAlias(it);
  return it;
}

TableRef::JoinType Parser::joinType() {
  TableRef::JoinType jt = TableRef::Inner;
  if (acceptKw("INNER")) {
    jt = TableRef::Inner;
  } else if (acceptKw("LEFT")) {
    jt = TableRef::Left;
    acceptKw("OUTER");
  } else if (acceptKw("RIGHT")) {
    jt = TableRef::Right;
    acceptKw("OUTER");
  } else if (acceptKw("FULL")) {
    jt = TableRef::Full;
    acceptKw("OUTER");
  } else if (acceptKw("CROSS")) {
    jt = TableRef::Cross;
  }
  if (kw("LOOP") || kw("HASH") || kw("MERGE")) ++i_;
  expectKw("JOIN");
  return jt;
}

TableRefP Parser::makeJoin(TableRefP l, TableRef::JoinType jt, TableRefP r) {
  auto j = std::make_unique<TableRef>(TableRef::Join);
  j->pos = l->pos;
  j->joinType = jt;
  j->left = std::move(l);
  j->right = std::move(r);
  if (jt != TableRef::Cross) {
    expectKw("ON");
    j->on = expression();
  }
  return j;
}

// The right side of a JOIN: T-SQL allows "A JOIN B JOIN C ON c1 ON c2", where B JOIN C nests.
TableRefP Parser::joinRight() {
  DepthGuard g(*this);
  TableRefP t = tablePrimary();
  while (joinAhead()) {
    auto jt = joinType();
    TableRefP r = joinRight();
    t = makeJoin(std::move(t), jt, std::move(r));
  }
  return t;
}

void Parser::tableHints() {
  if (kw("WITH") && peek().kind == TokKind::Op && peek().text == "(") {
    i_ += 2;
    while (!isOp(")")) {
      if (cur().kind == TokKind::End) fail();
      ++i_;
    }
    ++i_;
  }
}

TableRefP Parser::tablePrimary() {
  DepthGuard g(*this);
  if (isOp("(")) {
    std::uint32_t pos = cur().pos;
    if (kwAt(1, "SELECT")) {
      ++i_;
      auto d = std::make_unique<TableRef>(TableRef::Derived);
      d->pos = pos;
      d->sub = selectStatement();
      expectOp(")");
      acceptKw("AS");
      d->alias = identifier();
      return d;
    }
    ++i_;
    TableRefP inner = tableSource();
    expectOp(")");
    return inner;
  }
  auto n = std::make_unique<TableRef>(TableRef::Named);
  n->pos = cur().pos;
  n->name = multiName();
  if (acceptKw("AS")) {
    n->alias = identifier();
  } else if (isIdentTok(cur()) && !kw("WITH")) {
    n->alias = identifier();
  }
  tableHints();
  return n;
}

}  // namespace erpsync::db::embedded::parsing
