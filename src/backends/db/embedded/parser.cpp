// Parses a T-SQL batch into the syntax tree; anything outside the supported subset fails with "Incorrect
// syntax near '<token>'." (native 102).
#include "db/embedded/parser.h"

#include <array>
#include <cstdlib>

#include "db/db_error.h"
#include "db/embedded/parser_impl.h"

namespace erpsync::db::embedded {

void syntaxError(std::string_view near) {
  throw DbError("Incorrect syntax near '" + std::string(near) + "'.", "42000", 102);
}

std::string ast::Name::text() const {
  std::string r;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) r += '.';
    r += parts[i];
  }
  return r;
}

ast::Batch parseBatch(const LexResult& lexed, std::string_view sql) {
  parsing::Parser p(lexed, sql);
  return p.run();
}

void nestedTooDeeply() {
  throw DbError(
      "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up into "
      "smaller queries.",
      "42000", 191);
}

namespace parsing {

using namespace ast;

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

}  // namespace

bool reserved(const Token& t) {
  if (t.kind != TokKind::Ident) return false;
  for (const char* k : kReserved)
    if (iequals(t.text, k)) return true;
  return false;
}

Batch Parser::run() {
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

[[noreturn]] void Parser::fail() const {
  const Token& t = cur();
  if (t.kind == TokKind::End) {
    if (i_ > 0) syntaxError(t_[i_ - 1].text);
    syntaxError("");
  }
  syntaxError(t.text);
}

void Parser::expectOp(std::string_view op) {
  if (!isOp(op)) fail();
  ++i_;
}

void Parser::expectKw(std::string_view k) {
  if (!kw(k)) fail();
  ++i_;
}

bool Parser::acceptOp(std::string_view op) {
  if (isOp(op)) {
    ++i_;
    return true;
  }
  return false;
}

bool Parser::acceptKw(std::string_view k) {
  if (kw(k)) {
    ++i_;
    return true;
  }
  return false;
}

bool Parser::isIdentTok(const Token& t) const {
  return t.kind == TokKind::QIdent || (t.kind == TokKind::Ident && !reserved(t));
}

std::string Parser::identifier() {
  const Token& t = cur();
  if (t.kind == TokKind::QIdent || (t.kind == TokKind::Ident && !reserved(t))) {
    ++i_;
    return t.text;
  }
  fail();
}

// An identifier where keywords are allowed too (column names after a dot, option names).
std::string Parser::anyIdentifier() {
  const Token& t = cur();
  if (t.kind == TokKind::QIdent || t.kind == TokKind::Ident) {
    ++i_;
    return t.text;
  }
  fail();
}

long long Parser::structuralNumber() {
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

Name Parser::multiName() {
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

StmtP Parser::statement() {
  DepthGuard g(*this);
  std::uint32_t start = cur().pos;
  StmtP s = statementInner();
  s->pos = start;
  s->endPos = cur().pos;
  return s;
}

StmtP Parser::statementInner() {
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
    if (cur().kind == TokKind::QIdent || (cur().kind == TokKind::Ident && !reserved(cur()) && !startsStatement())) ++i_;
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

bool Parser::startsStatement() const {
  static constexpr std::array starts = {"SELECT", "INSERT",  "UPDATE",   "DELETE",   "CREATE",  "ALTER", "DROP",
                                        "EXEC",   "EXECUTE", "IF",       "BEGIN",    "DECLARE", "SET",   "PRINT",
                                        "RETURN", "COMMIT",  "ROLLBACK", "TRUNCATE", "GO"};
  for (const char* s : starts)
    if (kw(s)) return true;
  return false;
}

}  // namespace parsing

}  // namespace erpsync::db::embedded
