// The recursive-descent parser behind parseBatch(), shared by its parts: the token cursor and
// statement dispatch (parser.cpp), queries (parser_query.cpp), data-changing and control
// statements (parser_statements.cpp), DDL (parser_ddl.cpp) and expressions
// (parser_expressions.cpp). Only the parser's own files include this header.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/embedded/ast.h"
#include "db/embedded/lexer.h"

namespace erpsync::db::embedded::parsing {

// Keywords that never stand for a name (a table, a column, an alias) without brackets.
bool reserved(const Token& t);

class Parser {
 public:
  Parser(const LexResult& lx, std::string_view sql) : t_(lx.tokens), sql_(sql) {}

  ast::Batch run();

 private:
  const std::vector<Token>& t_;
  std::string_view sql_;
  std::size_t i_ = 0;
  std::vector<int> structural_;
  int depth_ = 0;

  // Bounds the recursion, so a deeply nested statement fails cleanly instead of exhausting the stack.
  struct DepthGuard {
    Parser& p;
    explicit DepthGuard(Parser& pp) : p(pp) {
      if (++p.depth_ > 200) nestedTooDeeply();
    }
    ~DepthGuard() { --p.depth_; }
  };

  // ---- token cursor (parser.cpp) ----
  const Token& cur() const { return t_[std::min(i_, t_.size() - 1)]; }
  const Token& peek(std::size_t k = 1) const { return t_[std::min(i_ + k, t_.size() - 1)]; }
  bool isOp(std::string_view op) const { return cur().kind == TokKind::Op && cur().text == op; }
  bool kw(std::string_view k) const { return isKeyword(cur(), k); }
  bool kwAt(std::size_t k, std::string_view w) const { return isKeyword(peek(k), w); }
  [[noreturn]] void fail() const;
  void expectOp(std::string_view op);
  void expectKw(std::string_view k);
  bool acceptOp(std::string_view op);
  bool acceptKw(std::string_view k);
  bool isIdentTok(const Token& t) const;
  std::string identifier();
  // An identifier where keywords are allowed too (column names after a dot, option names).
  std::string anyIdentifier();
  // A number that is syntax (a type length, a style, an identity seed), not a value.
  long long structuralNumber();
  ast::Name multiName();
  ast::StmtP statement();
  ast::StmtP statementInner();
  bool startsStatement() const;

  // ---- queries (parser_query.cpp) ----
  std::unique_ptr<ast::Select> selectStatement();
  std::vector<ast::OrderItem> orderList();
  std::unique_ptr<ast::Select> selectExpression();
  ast::SelectCore selectCore();
  ast::SelectItem selectItem();
  bool qualifiedStarAhead() const;
  void selectAlias(ast::SelectItem& it);
  bool joinAhead() const { return kw("JOIN") || kw("INNER") || kw("LEFT") || kw("RIGHT") || kw("FULL") || kw("CROSS"); }
  ast::TableRef::JoinType joinType();
  ast::TableRefP makeJoin(ast::TableRefP l, ast::TableRef::JoinType jt, ast::TableRefP r);
  // The right side of a JOIN: T-SQL allows "A JOIN B JOIN C ON c1 ON c2", where B JOIN C nests.
  ast::TableRefP joinRight();
  // A FROM item: a table with its joins, parsed exactly as the right side of a join is.
  ast::TableRefP tableSource() { return joinRight(); }
  void tableHints();
  ast::TableRefP tablePrimary();

  // ---- data-changing and control statements (parser_statements.cpp) ----
  ast::StmtP insertStmt();
  ast::StmtP updateStmt();
  ast::StmtP deleteStmt();
  void fromAndWhere(std::vector<ast::TableRefP>& from, ast::ExprP& where);
  ast::StmtP execStmt();
  ast::StmtP ifStmt();
  ast::StmtP declareStmt();
  ast::StmtP setStmt();

  // ---- DDL (parser_ddl.cpp) ----
  ast::DeclaredType declaredType();
  std::string defaultSource(std::size_t from, std::size_t to) const;
  void skipWithOptions();
  std::vector<std::string> columnList();
  ast::ColumnDef columnDef();
  bool tableConstraint(std::vector<ast::TableConstraint>& out);
  void tableTail();
  ast::StmtP createStmt();
  ast::StmtP alterStmt();
  ast::StmtP dropStmt();

  // ---- expressions (parser_expressions.cpp) ----
  ast::ExprP expression();
  ast::ExprP binary(std::string op, ast::ExprP l, ast::ExprP r);
  ast::ExprP orExpr();
  ast::ExprP andExpr();
  ast::ExprP notExpr();
  ast::ExprP predicate();
  ast::ExprP existsPredicate();
  ast::ExprP predicateOver(ast::Expr::Kind kind, ast::ExprP l, const std::string& written, bool negated);
  bool comparisonTail(ast::ExprP& l);
  bool predicateTail(ast::ExprP& l);
  ast::ExprP inTail(ast::ExprP l, const std::string& written, bool negated);
  ast::ExprP bitExpr();
  ast::ExprP additive();
  ast::ExprP multiplicative();
  ast::ExprP unary();
  std::string datePartName();
  ast::ExprP primary();
  ast::ExprP parenthesized(std::uint32_t pos);
  ast::ExprP keywordExpr(std::uint32_t pos);
  ast::ExprP functionCall(std::uint32_t pos);
  ast::ExprP caseExpr();
  void overClause(ast::Expr& e);
};

}  // namespace erpsync::db::embedded::parsing
