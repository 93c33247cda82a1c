#include "db/embedded/parser.h"

#include <array>
#include <cstdlib>

#include "db/db_error.h"

namespace erpsync::db::embedded {

using namespace ast;

void syntaxError(std::string_view near) {
  throw DbError("Incorrect syntax near '" + std::string(near) + "'.", "42000", 102);
}

std::string Name::text() const {
  std::string r;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) r += '.';
    r += parts[i];
  }
  return r;
}

namespace {

constexpr std::array kReserved = {
    "FROM",      "WHERE",      "GROUP",     "ORDER",      "HAVING",   "UNION",    "EXCEPT",
    "INTERSECT", "INNER",      "LEFT",      "RIGHT",      "FULL",     "OUTER",    "CROSS",
    "JOIN",      "ON",         "AS",        "SELECT",     "INSERT",   "UPDATE",   "DELETE",
    "SET",       "VALUES",     "INTO",      "AND",        "OR",       "NOT",      "IS",
    "NULL",      "LIKE",       "IN",        "BETWEEN",    "EXISTS",   "CASE",     "WHEN",
    "THEN",      "ELSE",       "END",       "BEGIN",      "IF",       "EXEC",     "EXECUTE",
    "DECLARE",   "CREATE",     "ALTER",     "DROP",       "TRUNCATE", "WITH",     "OPTION",
    "FOR",       "PRINT",      "RETURN",    "COMMIT",     "ROLLBACK", "USE",      "TOP",
    "DISTINCT",  "ALL",        "BY",        "ASC",        "DESC",     "COLLATE",  "PRIMARY",
    "KEY",       "REFERENCES", "FOREIGN",   "CONSTRAINT", "DEFAULT",  "UNIQUE",   "CHECK",
    "TABLE",     "INDEX",      "TRIGGER",   "DATABASE",   "WHILE",    "GO",       "GRANT",
    "REVOKE",    "DENY",       "CURSOR",    "OPEN",       "CLOSE",    "FETCH",    "DEALLOCATE",
    "ANY",       "SOME",       "PROCEDURE", "PROC",       "VIEW",     "FUNCTION", "IDENTITY_INSERT",
    "OFF",       "HOLDLOCK",   "NOLOCK",    "CONVERT",    "CAST"};

bool reserved(const Token& t) {
  if (t.kind != TokKind::Ident) return false;
  for (const char* k : kReserved)
    if (iequals(t.text, k)) return true;
  return false;
}

class Parser {
 public:
  Parser(const LexResult& lx, std::string_view sql) : t_(lx.tokens), sql_(sql) {}

  Batch run() {
    Batch b;
    while (true) {
      while (isOp(";")) ++i_;
      if (cur().kind == TokKind::End) break;
      if (isKeyword(cur(), "GO")) {
        ++i_;
        continue;
      }
      b.statements.push_back(statement());
    }
    b.structuralLiterals = std::move(structural_);
    return b;
  }

 private:
  const std::vector<Token>& t_;
  std::string_view sql_;
  std::size_t i_ = 0;
  std::vector<int> structural_;
  int depth_ = 0;

  struct DepthGuard {
    Parser& p;
    explicit DepthGuard(Parser& pp) : p(pp) {
      if (++p.depth_ > 200) {
        throw DbError(
            "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up into "
            "smaller queries.",
            "42000", 191);
      }
    }
    ~DepthGuard() { --p.depth_; }
  };

  const Token& cur() const { return t_[std::min(i_, t_.size() - 1)]; }
  const Token& peek(std::size_t k = 1) const { return t_[std::min(i_ + k, t_.size() - 1)]; }
  bool isOp(std::string_view op) const { return cur().kind == TokKind::Op && cur().text == op; }
  bool kw(std::string_view k) const { return isKeyword(cur(), k); }
  bool kwAt(std::size_t k, std::string_view w) const { return isKeyword(peek(k), w); }

  [[noreturn]] void fail() const {
    const Token& t = cur();
    if (t.kind == TokKind::End) {
      if (i_ > 0) syntaxError(tokenText(t_[i_ - 1]));
      syntaxError("");
    }
    syntaxError(tokenText(t));
  }
  static std::string tokenText(const Token& t) {
    switch (t.kind) {
      case TokKind::String:
        return t.text;
      case TokKind::NString:
        return t.text;
      default:
        return t.text;
    }
  }
  void expectOp(std::string_view op) {
    if (!isOp(op)) fail();
    ++i_;
  }
  void expectKw(std::string_view k) {
    if (!kw(k)) fail();
    ++i_;
  }
  bool acceptOp(std::string_view op) {
    if (isOp(op)) {
      ++i_;
      return true;
    }
    return false;
  }
  bool acceptKw(std::string_view k) {
    if (kw(k)) {
      ++i_;
      return true;
    }
    return false;
  }
  bool isIdentTok(const Token& t) const {
    return t.kind == TokKind::QIdent || (t.kind == TokKind::Ident && !reserved(t));
  }
  std::string identifier() {
    const Token& t = cur();
    if (t.kind == TokKind::QIdent || (t.kind == TokKind::Ident && !reserved(t))) {
      ++i_;
      return t.text;
    }
    fail();
  }
  // An identifier where keywords are allowed too (column names after a dot, option names).
  std::string anyIdentifier() {
    const Token& t = cur();
    if (t.kind == TokKind::QIdent || t.kind == TokKind::Ident) {
      ++i_;
      return t.text;
    }
    fail();
  }
  long long structuralNumber() {
    bool neg = false;
    if (isOp("-")) {
      neg = true;
      ++i_;
    } else if (isOp("+")) {
      ++i_;
    }
    const Token& t = cur();
    if (t.kind != TokKind::Number || t.text.find_first_not_of("0123456789") != std::string::npos || t.text.size() > 18)
      fail();
    structural_.push_back(t.literal);
    ++i_;
    long long v = std::atoll(t.text.c_str());
    return neg ? -v : v;
  }

  Name multiName() {
    Name n;
    n.pos = cur().pos;
    n.parts.push_back(identifier());
    while (isOp(".")) {
      ++i_;
      if (isOp(".")) {  // server..table: empty schema
        n.parts.push_back("");
        continue;
      }
      n.parts.push_back(anyIdentifier());
      if (n.parts.size() > 4) fail();
    }
    return n;
  }

  // ---- statements ----
  StmtP statement() {
    DepthGuard g(*this);
    std::uint32_t start = cur().pos;
    StmtP s = statementInner();
    s->pos = start;
    s->endPos = cur().pos;
    return s;
  }

  StmtP statementInner() {
    const Token& t = cur();
    if (t.kind == TokKind::Op && t.text == "(") {
      auto s = std::make_unique<SelectStmt>();
      s->select = selectStatement();
      return s;
    }
    if (t.kind != TokKind::Ident) fail();
    if (kw("SELECT")) {
      auto s = std::make_unique<SelectStmt>();
      s->select = selectStatement();
      return s;
    }
    if (kw("INSERT")) return insertStmt();
    if (kw("UPDATE")) return updateStmt();
    if (kw("DELETE")) return deleteStmt();
    if (kw("TRUNCATE")) {
      ++i_;
      expectKw("TABLE");
      auto s = std::make_unique<DeleteStmt>();
      s->table = multiName();
      return s;
    }
    if (kw("CREATE")) return createStmt();
    if (kw("ALTER")) return alterStmt();
    if (kw("DROP")) return dropStmt();
    if (kw("EXEC") || kw("EXECUTE")) return execStmt();
    if (kw("IF")) return ifStmt();
    if (kw("BEGIN")) {
      if (kwAt(1, "TRAN") || kwAt(1, "TRANSACTION")) {
        i_ += 2;
        if (isIdentTok(cur())) ++i_;
        return std::make_unique<Stmt>(Stmt::BeginTran);
      }
      ++i_;
      auto b = std::make_unique<BlockStmt>();
      while (true) {
        while (isOp(";")) ++i_;
        if (kw("END")) {
          ++i_;
          break;
        }
        if (cur().kind == TokKind::End) fail();
        b->body.push_back(statement());
      }
      return b;
    }
    if (kw("COMMIT") || kw("ROLLBACK")) {
      bool commit = kw("COMMIT");
      ++i_;
      if (kw("TRAN") || kw("TRANSACTION") || kw("WORK")) ++i_;
      if (cur().kind == TokKind::QIdent || (cur().kind == TokKind::Ident && !reserved(cur()) && !startsStatement()))
        ++i_;
      return std::make_unique<Stmt>(commit ? Stmt::CommitTran : Stmt::RollbackTran);
    }
    if (kw("DECLARE")) return declareStmt();
    if (kw("SET")) return setStmt();
    if (kw("PRINT")) {
      ++i_;
      expression();
      return std::make_unique<Stmt>(Stmt::Nop);
    }
    if (kw("RETURN")) {
      ++i_;
      return std::make_unique<Stmt>(Stmt::Return);
    }
    fail();
  }

  bool startsStatement() const {
    static constexpr std::array starts = {"SELECT", "INSERT",  "UPDATE",   "DELETE",   "CREATE",  "ALTER", "DROP",
                                          "EXEC",   "EXECUTE", "IF",       "BEGIN",    "DECLARE", "SET",   "PRINT",
                                          "RETURN", "COMMIT",  "ROLLBACK", "TRUNCATE", "GO"};
    for (const char* s : starts)
      if (kw(s)) return true;
    return false;
  }

  std::unique_ptr<Select> selectStatement() {
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

  std::vector<OrderItem> orderList() {
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

  std::unique_ptr<Select> selectExpression() {
    DepthGuard g(*this);
    auto s = std::make_unique<Select>();
    s->pos = cur().pos;
    s->arms.push_back(querySpec());
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
      s->arms.push_back(querySpec());
    }
    return s;
  }

  QuerySpec querySpec() {
    QuerySpec q;
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

  SelectItem selectItem() {
    SelectItem it;
    const Token& t = cur();
    if (t.kind == TokKind::Op && t.text == "*") {
      ++i_;
      it.expr = std::make_unique<Expr>(Expr::Star);
      return it;
    }
    // qualifier.* forms
    {
      std::size_t k = i_;
      bool ok = true;
      int parts = 0;
      while (true) {
        if (t_[k].kind != TokKind::Ident && t_[k].kind != TokKind::QIdent) {
          ok = false;
          break;
        }
        ++parts;
        ++k;
        if (!(t_[k].kind == TokKind::Op && t_[k].text == ".")) {
          ok = false;
          break;
        }
        ++k;
        if (t_[k].kind == TokKind::Op && t_[k].text == "*") break;
        if (parts > 3) {
          ok = false;
          break;
        }
      }
      if (ok) {
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
    }
    if (t.kind == TokKind::Variable && peek().kind == TokKind::Op && peek().text == "=") {
      it.assignVar = t.text;
      i_ += 2;
      it.expr = expression();
      return it;
    }
    if ((t.kind == TokKind::QIdent || (t.kind == TokKind::Ident && !reserved(t)) || t.kind == TokKind::String) &&
        peek().kind == TokKind::Op && peek().text == "=") {
      // alias = expression
      if (t.kind == TokKind::String) structural_.push_back(t.literal);
      it.alias = t.text;
      it.hasAlias = true;
      i_ += 2;
      it.expr = expression();
      return it;
    }
    it.expr = expression();
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
    return it;
  }

  bool joinAhead() const { return kw("JOIN") || kw("INNER") || kw("LEFT") || kw("RIGHT") || kw("FULL") || kw("CROSS"); }

  TableRef::JoinType joinType() {
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

  TableRefP makeJoin(TableRefP l, TableRef::JoinType jt, TableRefP r) {
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
  TableRefP joinRight() {
    DepthGuard g(*this);
    TableRefP t = tablePrimary();
    while (joinAhead()) {
      auto jt = joinType();
      TableRefP r = joinRight();
      t = makeJoin(std::move(t), jt, std::move(r));
    }
    return t;
  }

  // A FROM item: a table with its joins, parsed exactly as the right side of a join is.
  TableRefP tableSource() { return joinRight(); }

  void tableHints() {
    if (kw("WITH") && peek().kind == TokKind::Op && peek().text == "(") {
      i_ += 2;
      while (!isOp(")")) {
        if (cur().kind == TokKind::End) fail();
        ++i_;
      }
      ++i_;
    }
  }

  TableRefP tablePrimary() {
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

  StmtP insertStmt() {
    ++i_;
    auto s = std::make_unique<InsertStmt>();
    if (kw("TOP")) fail();
    acceptKw("INTO");
    s->table = multiName();
    tableHints();
    if (isOp("(") && !kwAt(1, "SELECT")) {
      ++i_;
      do {
        s->columns.push_back(anyIdentifier());
      } while (acceptOp(","));
      expectOp(")");
    }
    if (acceptKw("VALUES")) {
      do {
        expectOp("(");
        std::vector<ExprP> row;
        do {
          if (kw("DEFAULT")) fail();
          row.push_back(expression());
        } while (acceptOp(","));
        expectOp(")");
        s->rows.push_back(std::move(row));
      } while (acceptOp(","));
    } else if (kw("SELECT") || isOp("(")) {
      bool paren = false;
      if (isOp("(")) {
        paren = true;
        ++i_;
      }
      s->select = selectStatement();
      if (paren) expectOp(")");
    } else if (kw("DEFAULT")) {
      ++i_;
      expectKw("VALUES");
      s->defaultValues = true;
    } else {
      fail();
    }
    return s;
  }

  StmtP updateStmt() {
    ++i_;
    auto s = std::make_unique<UpdateStmt>();
    if (kw("TOP")) fail();
    s->table = multiName();
    tableHints();
    expectKw("SET");
    do {
      if (cur().kind == TokKind::Variable) fail();
      Name col = multiName();
      expectOp("=");
      s->sets.emplace_back(std::move(col), expression());
    } while (acceptOp(","));
    if (acceptKw("FROM")) {
      do {
        s->from.push_back(tableSource());
      } while (acceptOp(","));
    }
    if (acceptKw("WHERE")) {
      if (kw("CURRENT")) fail();
      s->where = expression();
    }
    return s;
  }

  StmtP deleteStmt() {
    ++i_;
    auto s = std::make_unique<DeleteStmt>();
    if (kw("TOP")) fail();
    acceptKw("FROM");
    s->table = multiName();
    tableHints();
    if (acceptKw("FROM")) {
      do {
        s->from.push_back(tableSource());
      } while (acceptOp(","));
    }
    if (acceptKw("WHERE")) {
      if (kw("CURRENT")) fail();
      s->where = expression();
    }
    return s;
  }

  TypeSpec typeSpec() {
    TypeSpec ts;
    ts.name = identifier();
    // Two-word names.
    if (iequals(ts.name, "double") && kw("PRECISION")) {
      ++i_;
      ts.name = "float";
    }
    if ((iequals(ts.name, "char") || iequals(ts.name, "character")) && kw("VARYING")) {
      ++i_;
      ts.name = "varchar";
    }
    int count = 0;
    long long a = 0, b = 0;
    if (isOp("(")) {
      ++i_;
      ts.hasLength = true;
      if (kw("MAX")) {
        ++i_;
        a = -1;
        count = 1;
      } else {
        a = structuralNumber();
        count = 1;
        if (acceptOp(",")) {
          b = structuralNumber();
          count = 2;
        }
      }
      expectOp(")");
    }
    auto t = makeType(ts.name, count, a, b);
    if (!t) {
      throw DbError("Column, parameter, or variable #1: Cannot find data type " + ts.name + ".", "42000", 2715);
    }
    ts.type = *t;
    return ts;
  }

  std::string defaultSource(std::size_t from, std::size_t to) const {
    std::size_t b = t_[from].pos;
    std::size_t e = to < t_.size() ? t_[to].pos : sql_.size();
    return std::string(sql_.substr(b, e - b));
  }

  void skipWithOptions() {
    if (kw("WITH") && peek().kind == TokKind::Op && peek().text == "(") {
      i_ += 2;
      int depth = 1;
      while (depth > 0) {
        if (cur().kind == TokKind::End) fail();
        if (isOp("(")) ++depth;
        if (isOp(")")) --depth;
        ++i_;
      }
    }
    if (kw("ON") && (peek().kind == TokKind::QIdent || peek().kind == TokKind::Ident)) i_ += 2;
  }

  std::vector<std::string> columnList() {
    std::vector<std::string> cols;
    expectOp("(");
    do {
      cols.push_back(anyIdentifier());
      if (!acceptKw("ASC")) acceptKw("DESC");
    } while (acceptOp(","));
    expectOp(")");
    return cols;
  }

  ColumnDef columnDef() {
    ColumnDef c;
    c.pos = cur().pos;
    c.name = identifier();
    c.type = typeSpec();
    while (true) {
      if (kw("NOT") && kwAt(1, "NULL")) {
        i_ += 2;
        c.nullable = false;
      } else if (acceptKw("NULL")) {
        c.nullable = true;
      } else if (kw("IDENTITY")) {
        ++i_;
        c.identity = true;
        if (acceptOp("(")) {
          c.seed = structuralNumber();
          expectOp(",");
          c.increment = structuralNumber();
          expectOp(")");
        }
        if (c.increment == 0) fail();
      } else if (kw("CONSTRAINT")) {
        ++i_;
        c.constraintName = identifier();
      } else if (kw("DEFAULT")) {
        ++i_;
        std::size_t from = i_;
        c.defaultExpr = expression();
        c.defaultText = defaultSource(from, i_);
        for (std::size_t k = from; k < i_; ++k)
          if (t_[k].isLiteral()) structural_.push_back(t_[k].literal);
      } else if (kw("PRIMARY")) {
        ++i_;
        expectKw("KEY");
        c.primaryKey = true;
        if (!acceptKw("CLUSTERED")) acceptKw("NONCLUSTERED");
        skipWithOptions();
      } else if (kw("UNIQUE")) {
        ++i_;
        c.unique = true;
        if (!acceptKw("CLUSTERED")) acceptKw("NONCLUSTERED");
        skipWithOptions();
      } else if (kw("COLLATE")) {
        ++i_;
        anyIdentifier();
      } else if (kw("ROWGUIDCOL")) {
        ++i_;
      } else if (kw("REFERENCES")) {
        ++i_;
        multiName();
        if (isOp("(")) columnList();
      } else if (kw("CHECK")) {
        ++i_;
        expectOp("(");
        expression();
        expectOp(")");
      } else {
        break;
      }
    }
    return c;
  }

  bool tableConstraint(std::vector<TableConstraint>& out) {
    std::size_t save = i_;
    TableConstraint tc;
    if (acceptKw("CONSTRAINT")) tc.name = identifier();
    if (kw("PRIMARY")) {
      ++i_;
      expectKw("KEY");
      tc.kind = TableConstraint::PrimaryKey;
    } else if (kw("UNIQUE")) {
      ++i_;
      tc.kind = TableConstraint::Unique;
    } else if (kw("FOREIGN")) {
      ++i_;
      expectKw("KEY");
      columnList();
      expectKw("REFERENCES");
      multiName();
      if (isOp("(")) columnList();
      while (acceptKw("ON")) {
        anyIdentifier();  // DELETE / UPDATE
        anyIdentifier();  // CASCADE, NO, SET
        if (kw("ACTION") || kw("NULL") || kw("DEFAULT")) ++i_;
      }
      tc.kind = TableConstraint::Other;
      out.push_back(tc);
      return true;
    } else if (kw("CHECK")) {
      ++i_;
      expectOp("(");
      expression();
      expectOp(")");
      return true;
    } else if (kw("DEFAULT") && !tc.name.empty()) {
      // CONSTRAINT name DEFAULT value FOR column (in ALTER TABLE ADD) is not supported.
      fail();
    } else {
      i_ = save;
      return false;
    }
    if (!acceptKw("CLUSTERED")) acceptKw("NONCLUSTERED");
    tc.columns = columnList();
    skipWithOptions();
    out.push_back(tc);
    return true;
  }

  void tableTail() {
    // ON [PRIMARY], TEXTIMAGE_ON [PRIMARY]
    while (kw("ON") || kw("TEXTIMAGE_ON")) {
      ++i_;
      if (cur().kind == TokKind::QIdent || cur().kind == TokKind::Ident)
        ++i_;
      else
        fail();
    }
  }

  StmtP createStmt() {
    std::size_t startTok = i_;
    ++i_;
    if (kw("TABLE")) {
      ++i_;
      auto s = std::make_unique<CreateTableStmt>();
      s->table = multiName();
      expectOp("(");
      do {
        if (isOp(")")) break;  // trailing comma before ")" is accepted by SQL Server
        if (!tableConstraint(s->constraints)) s->columns.push_back(columnDef());
      } while (acceptOp(","));
      expectOp(")");
      tableTail();
      return s;
    }
    if (kw("DATABASE")) {
      ++i_;
      auto s = std::make_unique<DatabaseStmt>(Stmt::CreateDatabase);
      s->name = identifier();
      return s;
    }
    bool unique = acceptKw("UNIQUE");
    if (!acceptKw("CLUSTERED")) acceptKw("NONCLUSTERED");
    if (kw("INDEX")) {
      ++i_;
      auto s = std::make_unique<CreateIndexStmt>();
      s->unique = unique;
      s->name = identifier();
      expectKw("ON");
      s->table = multiName();
      s->columns = columnList();
      if (kw("INCLUDE")) {
        ++i_;
        columnList();
      }
      if (kw("WHERE")) fail();
      skipWithOptions();
      return s;
    }
    if (unique) fail();
    if (kw("TRIGGER")) {
      ++i_;
      auto s = std::make_unique<CreateTriggerStmt>();
      s->name = multiName();
      expectKw("ON");
      s->table = multiName();
      if (kw("WITH")) fail();
      if (!acceptKw("FOR") && !acceptKw("AFTER")) fail();
      do {
        if (acceptKw("INSERT"))
          s->onInsert = true;
        else if (acceptKw("UPDATE"))
          s->onUpdate = true;
        else if (acceptKw("DELETE"))
          s->onDelete = true;
        else
          fail();
      } while (acceptOp(","));
      if (kw("NOT")) fail();
      expectKw("AS");
      while (true) {
        while (isOp(";")) ++i_;
        if (cur().kind == TokKind::End || isKeyword(cur(), "GO")) break;
        s->body.push_back(statement());
      }
      s->definition = std::string(sql_.substr(t_[startTok].pos, cur().pos - t_[startTok].pos));
      return s;
    }
    fail();
  }

  StmtP alterStmt() {
    ++i_;
    expectKw("TABLE");
    auto s = std::make_unique<AlterTableStmt>();
    s->table = multiName();
    if (kw("ADD")) {
      ++i_;
      s->action = AlterTableStmt::AddColumns;
      if (kw("CONSTRAINT") || kw("PRIMARY") || kw("UNIQUE")) {
        s->action = AlterTableStmt::AddConstraint;
        do {
          if (!tableConstraint(s->constraints)) fail();
        } while (acceptOp(","));
        return s;
      }
      acceptKw("COLUMN");
      do {
        s->columns.push_back(columnDef());
      } while (acceptOp(","));
      return s;
    }
    if (kw("ALTER")) {
      ++i_;
      expectKw("COLUMN");
      s->action = AlterTableStmt::AlterColumn;
      ColumnDef c;
      c.pos = cur().pos;
      c.name = identifier();
      c.type = typeSpec();
      if (acceptKw("COLLATE")) anyIdentifier();
      if (kw("NOT") && kwAt(1, "NULL")) {
        i_ += 2;
        c.nullable = false;
      } else if (acceptKw("NULL")) {
        c.nullable = true;
      }
      s->columns.push_back(std::move(c));
      return s;
    }
    if (kw("DROP")) {
      ++i_;
      if (acceptKw("CONSTRAINT")) {
        s->action = AlterTableStmt::DropConstraint;
        do {
          s->names.push_back(identifier());
        } while (acceptOp(","));
        return s;
      }
      expectKw("COLUMN");
      s->action = AlterTableStmt::DropColumns;
      do {
        s->names.push_back(identifier());
      } while (acceptOp(","));
      return s;
    }
    fail();
  }

  StmtP dropStmt() {
    ++i_;
    if (acceptKw("TABLE")) {
      auto s = std::make_unique<DropTableStmt>();
      if (kw("IF") && kwAt(1, "EXISTS")) {
        i_ += 2;
        s->ifExists = true;
      }
      do {
        s->tables.push_back(multiName());
      } while (acceptOp(","));
      return s;
    }
    if (acceptKw("TRIGGER")) {
      auto s = std::make_unique<DropTriggerStmt>();
      do {
        s->names.push_back(multiName());
      } while (acceptOp(","));
      return s;
    }
    if (acceptKw("INDEX")) {
      auto s = std::make_unique<DropIndexStmt>();
      do {
        Name n = multiName();
        if (acceptKw("ON")) {
          Name t = multiName();
          s->indexes.emplace_back(std::move(t), n.last());
        } else {
          if (n.parts.size() < 2) fail();
          std::string idx = n.parts.back();
          n.parts.pop_back();
          s->indexes.emplace_back(std::move(n), idx);
        }
      } while (acceptOp(","));
      return s;
    }
    if (acceptKw("DATABASE")) {
      auto s = std::make_unique<DatabaseStmt>(Stmt::DropDatabase);
      s->name = identifier();
      return s;
    }
    fail();
  }

  StmtP execStmt() {
    ++i_;
    auto s = std::make_unique<ExecStmt>();
    if (cur().kind == TokKind::Variable || isOp("(")) fail();
    s->proc = multiName();
    if (cur().kind == TokKind::End || isOp(";") || startsStatement() || kw("ELSE") || kw("END")) return s;
    do {
      std::string name;
      if (cur().kind == TokKind::Variable && peek().kind == TokKind::Op && peek().text == "=") {
        name = cur().text;
        i_ += 2;
      }
      ExprP v;
      if (kw("DEFAULT")) fail();
      if (cur().kind == TokKind::Ident && !reserved(cur()) && !(peek().kind == TokKind::Op && peek().text == ".")) {
        // A bare word as a value (EXEC sp_x @opt = true): taken as a text.
        v = std::make_unique<Expr>(Expr::Column);
        v->name.parts.push_back(cur().text);
        ++i_;
      } else {
        v = expression();
      }
      if (kw("OUTPUT") || kw("OUT")) fail();
      s->args.emplace_back(name, std::move(v));
    } while (acceptOp(","));
    return s;
  }

  StmtP ifStmt() {
    ++i_;
    auto s = std::make_unique<IfStmt>();
    s->cond = expression();
    while (isOp(";")) ++i_;
    s->then = statement();
    while (isOp(";")) ++i_;
    if (acceptKw("ELSE")) s->otherwise = statement();
    return s;
  }

  StmtP declareStmt() {
    ++i_;
    auto s = std::make_unique<DeclareStmt>();
    do {
      if (cur().kind != TokKind::Variable || cur().text.rfind("@@", 0) == 0) fail();
      DeclareStmt::Var v;
      v.name = cur().text;
      ++i_;
      acceptKw("AS");
      if (kw("TABLE") || kw("CURSOR")) fail();
      v.type = typeSpec();
      if (acceptOp("=")) v.init = expression();
      s->vars.push_back(std::move(v));
    } while (acceptOp(","));
    return s;
  }

  StmtP setStmt() {
    ++i_;
    if (cur().kind == TokKind::Variable) {
      auto s = std::make_unique<SetVarStmt>();
      s->name = cur().text;
      if (s->name.rfind("@@", 0) == 0) fail();
      ++i_;
      expectOp("=");
      s->value = expression();
      return s;
    }
    auto s = std::make_unique<SetOptionStmt>();
    s->option = upper(anyIdentifier());
    if (s->option == "IDENTITY_INSERT") {
      s->table = multiName();
    } else if (s->option == "TRANSACTION" || s->option == "DATEFORMAT" || s->option == "LANGUAGE" ||
               s->option == "ROWCOUNT" || s->option == "LOCK_TIMEOUT" || s->option == "DATEFIRST") {
      fail();
    }
    if (acceptKw("ON")) {
      s->on = true;
    } else if (acceptKw("OFF")) {
      s->on = false;
    } else {
      fail();
    }
    return s;
  }

  // ---- expressions ----
  ExprP expression() {
    DepthGuard g(*this);
    return orExpr();
  }

  ExprP binary(std::string op, ExprP l, ExprP r) {
    int d = std::max(l->depth, r->depth) + 1;
    if (d > 1000)
      throw DbError(
          "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up into "
          "smaller queries.",
          "42000", 191);
    auto e = std::make_unique<Expr>(Expr::Binary);
    e->depth = d;
    e->pos = l->pos;
    e->op = std::move(op);
    e->args.push_back(std::move(l));
    e->args.push_back(std::move(r));
    return e;
  }

  ExprP orExpr() {
    ExprP l = andExpr();
    while (kw("OR")) {
      ++i_;
      l = binary("OR", std::move(l), andExpr());
    }
    return l;
  }
  ExprP andExpr() {
    ExprP l = notExpr();
    while (kw("AND")) {
      ++i_;
      l = binary("AND", std::move(l), notExpr());
    }
    return l;
  }
  ExprP notExpr() {
    DepthGuard g(*this);
    if (kw("NOT")) {
      std::uint32_t pos = cur().pos;
      ++i_;
      auto e = std::make_unique<Expr>(Expr::Unary);
      e->pos = pos;
      e->op = "NOT";
      e->args.push_back(notExpr());
      return e;
    }
    return predicate();
  }

  ExprP predicate() {
    if (kw("EXISTS")) {
      std::uint32_t pos = cur().pos;
      ++i_;
      expectOp("(");
      auto e = std::make_unique<Expr>(Expr::Exists);
      e->pos = pos;
      e->sub = selectStatement();
      expectOp(")");
      return e;
    }
    ExprP l = bitExpr();
    while (true) {
      const Token& t = cur();
      if (t.kind == TokKind::Op &&
          (t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "<" || t.text == ">" || t.text == "<=" ||
           t.text == ">=" || t.text == "!<" || t.text == "!>")) {
        std::string op = t.text;
        if (op == "!=") op = "<>";
        if (op == "!<") op = ">=";
        if (op == "!>") op = "<=";
        ++i_;
        if (kw("ALL") || kw("ANY") || kw("SOME")) fail();
        l = binary(op, std::move(l), bitExpr());
        continue;
      }
      if (kw("IS")) {
        ++i_;
        auto e = std::make_unique<Expr>(Expr::IsNull);
        e->pos = l->pos;
        e->negated = acceptKw("NOT");
        expectKw("NULL");
        e->args.push_back(std::move(l));
        l = std::move(e);
        continue;
      }
      bool neg = false;
      std::size_t save = i_;
      if (kw("NOT") && (kwAt(1, "BETWEEN") || kwAt(1, "IN") || kwAt(1, "LIKE"))) {
        neg = true;
        ++i_;
      }
      if (kw("BETWEEN")) {
        ++i_;
        auto e = std::make_unique<Expr>(Expr::Between);
        e->pos = l->pos;
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
          e->negated = neg;
          e->args.push_back(std::move(l));
          e->sub = selectStatement();
          expectOp(")");
          l = std::move(e);
        } else {
          auto e = std::make_unique<Expr>(Expr::InList);
          e->pos = l->pos;
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

  ExprP bitExpr() {
    ExprP l = additive();
    while (isOp("|") || isOp("^")) {
      std::string op = cur().text;
      ++i_;
      l = binary(op, std::move(l), additive());
    }
    return l;
  }
  ExprP additive() {
    ExprP l = multiplicative();
    while (isOp("+") || isOp("-") || isOp("&")) {
      std::string op = cur().text;
      ++i_;
      l = binary(op, std::move(l), multiplicative());
    }
    return l;
  }
  ExprP multiplicative() {
    ExprP l = unary();
    while (isOp("*") || isOp("/") || isOp("%")) {
      std::string op = cur().text;
      ++i_;
      l = binary(op, std::move(l), unary());
    }
    return l;
  }
  ExprP unary() {
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

  std::string datePartName() {
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

  ExprP primary() {
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
        e->castType = typeSpec();
        expectOp(")");
        return e;
      }
      if (kw("CONVERT") && peek().kind == TokKind::Op && peek().text == "(") {
        i_ += 2;
        auto e = std::make_unique<Expr>(Expr::Cast);
        e->pos = pos;
        e->castType = typeSpec();
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
        if (kw("OVER")) fail();
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
      if (kw("OVER")) fail();
      return e;
    }
    auto e = std::make_unique<Expr>(Expr::Column);
    e->pos = pos;
    e->name = multiName();
    if (isOp("(")) fail();  // schema-qualified function calls are not supported
    return e;
  }

  ExprP caseExpr() {
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
};

}  // namespace

Batch parseBatch(const LexResult& lexed, std::string_view sql) {
  Parser p(lexed, sql);
  return p.run();
}

}  // namespace erpsync::db::embedded
