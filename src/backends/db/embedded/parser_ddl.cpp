// DDL: data types, CREATE/ALTER/DROP of tables, indexes, triggers and databases.
#include "db/db_error.h"
#include "db/embedded/parser.h"
#include "db/embedded/parser_impl.h"

namespace erpsync::db::embedded::parsing {

using namespace ast;

DeclaredType Parser::declaredType() {
  DeclaredType ts;
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

std::string Parser::defaultSource(std::size_t from, std::size_t to) const {
  std::size_t b = t_[from].pos;
  std::size_t e = to < t_.size() ? t_[to].pos : sql_.size();
  return std::string(sql_.substr(b, e - b));
}

void Parser::skipWithOptions() {
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

std::vector<std::string> Parser::columnList() {
  std::vector<std::string> cols;
  expectOp("(");
  do {
    cols.push_back(anyIdentifier());
    if (!acceptKw("ASC")) acceptKw("DESC");
  } while (acceptOp(","));
  expectOp(")");
  return cols;
}

ColumnDef Parser::columnDef() {
  ColumnDef c;
  c.pos = cur().pos;
  c.name = identifier();
  c.type = declaredType();
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

bool Parser::tableConstraint(std::vector<TableConstraint>& out) {
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

void Parser::tableTail() {
  // ON [PRIMARY], TEXTIMAGE_ON [PRIMARY]
  while (kw("ON") || kw("TEXTIMAGE_ON")) {
    ++i_;
    if (cur().kind == TokKind::QIdent || cur().kind == TokKind::Ident)
      ++i_;
    else
      fail();
  }
}

StmtP Parser::createStmt() {
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

StmtP Parser::alterStmt() {
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
    c.type = declaredType();
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

StmtP Parser::dropStmt() {
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

}  // namespace erpsync::db::embedded::parsing
