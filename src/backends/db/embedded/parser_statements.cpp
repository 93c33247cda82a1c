// INSERT, UPDATE, DELETE, EXEC, IF, DECLARE and SET.
#include "db/db_error.h"
#include "db/embedded/parser.h"
#include "db/embedded/parser_impl.h"

namespace erpsync::db::embedded::parsing {

using namespace ast;

StmtP Parser::insertStmt() {
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

StmtP Parser::updateStmt() {
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
  fromAndWhere(s->from, s->where);
  return s;
}

// The FROM list and WHERE clause that UPDATE and DELETE share (no cursor positions).
void Parser::fromAndWhere(std::vector<TableRefP>& from, ExprP& where) {
  if (acceptKw("FROM")) {
    do {
      from.push_back(tableSource());
    } while (acceptOp(","));
  }
  if (acceptKw("WHERE")) {
    if (kw("CURRENT")) fail();
    where = expression();
  }
}

StmtP Parser::deleteStmt() {
  ++i_;
  auto s = std::make_unique<DeleteStmt>();
  if (kw("TOP")) fail();
  acceptKw("FROM");
  s->table = multiName();
  tableHints();
  fromAndWhere(s->from, s->where);
  return s;
}

StmtP Parser::execStmt() {
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

StmtP Parser::ifStmt() {
  ++i_;
  auto s = std::make_unique<IfStmt>();
  s->cond = expression();
  while (isOp(";")) ++i_;
  s->then = statement();
  while (isOp(";")) ++i_;
  if (acceptKw("ELSE")) s->otherwise = statement();
  return s;
}

StmtP Parser::declareStmt() {
  ++i_;
  auto s = std::make_unique<DeclareStmt>();
  do {
    if (cur().kind != TokKind::Variable || cur().text.rfind("@@", 0) == 0) fail();
    DeclareStmt::Var v;
    v.name = cur().text;
    ++i_;
    acceptKw("AS");
    if (kw("TABLE") || kw("CURSOR")) fail();
    v.type = declaredType();
    if (acceptOp("=")) v.init = expression();
    s->vars.push_back(std::move(v));
  } while (acceptOp(","));
  return s;
}

StmtP Parser::setStmt() {
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
  // The session options this server keeps: IDENTITY_INSERT, NOCOUNT and XACT_ABORT. Any other
  // option (ANSI_NULLS, DATEFORMAT, TRANSACTION ISOLATION LEVEL ...) would change how statements
  // run on SQL Server; it is refused rather than accepted and ignored.
  auto s = std::make_unique<SetOptionStmt>();
  if (cur().kind != TokKind::Ident) fail();
  s->option = upper(cur().text);
  if (s->option != "IDENTITY_INSERT" && s->option != "NOCOUNT" && s->option != "XACT_ABORT") fail();
  ++i_;
  if (s->option == "IDENTITY_INSERT") s->table = multiName();
  if (acceptKw("ON")) {
    s->on = true;
  } else if (acceptKw("OFF")) {
    s->on = false;
  } else {
    fail();
  }
  return s;
}

}  // namespace erpsync::db::embedded::parsing
