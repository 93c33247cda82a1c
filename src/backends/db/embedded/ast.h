// The syntax tree of the T-SQL subset the embedded server runs.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/embedded/lexer.h"
#include "db/embedded/sql_types.h"

namespace erpsync::db::embedded::ast {

struct Select;
struct Expr;
using ExprP = std::unique_ptr<Expr>;

// A possibly multi-part name: [server].[catalog].[schema].[object] (parts as written, 1 to 4).
struct Name {
  std::vector<std::string> parts;
  std::uint32_t pos = 0;
  const std::string& last() const { return parts.back(); }
  std::string text() const;
};

struct DeclaredType {
  std::string name;  // as written
  ColType type;
  bool hasLength = false;
};

struct Expr {
  enum Kind {
    Literal,  // literal token (ordinal in literal)
    Null,
    Variable,  // text = name with @
    Column,    // name
    Star,      // name (qualifier) may be empty
    Unary,     // op, args[0]
    Binary,    // op, args[0], args[1]
    IsNull,    // args[0], negated
    Between,   // args[0..2], negated
    InList,    // args[0] lhs, args[1..] values, negated
    InSelect,  // args[0], sub, negated
    Like,      // args[0], args[1], [args[2] escape], negated
    Exists,    // sub
    Subquery,  // sub
    Case,      // operand (may be null), whens, elseExpr
    Func,      // op = upper name, args, distinct, star (COUNT(*)), datePart for DATEADD/DATEDIFF/DATEPART;
               // over, partitionBy and overOrder for a windowed call
    Cast,      // args[0], castType, style literal ordinal (-1 none) for CONVERT
  };
  Kind kind;
  std::uint32_t pos = 0;
  int literal = -1;
  TokKind litKind = TokKind::End;
  std::string text;  // literal text (for structural uses), variable name, a predicate's first word as written
  std::string op;
  Name name;
  std::vector<ExprP> args;
  std::unique_ptr<Select> sub;
  bool negated = false;
  bool distinct = false;
  bool star = false;
  std::string datePart;
  ExprP operand;
  std::vector<std::pair<ExprP, ExprP>> whens;
  ExprP elseExpr;
  DeclaredType castType;
  int style = -1;     // CONVERT style value (structural)
  bool over = false;  // a windowed call: f(...) OVER ([PARTITION BY ...] [ORDER BY ...])
  std::vector<ExprP> partitionBy;
  std::vector<std::pair<ExprP, bool>> overOrder;  // key, descending
  int depth = 1;                                  // height of the tree below, bounded by the parser

  explicit Expr(Kind k) : kind(k) {}
};

struct TableRef;
using TableRefP = std::unique_ptr<TableRef>;

struct TableRef {
  enum Kind { Named, Derived, Join } kind;
  Name name;
  std::string alias;
  std::unique_ptr<Select> sub;
  enum JoinType { Inner, Left, Right, Full, Cross } joinType = Inner;
  TableRefP left, right;
  ExprP on;
  std::uint32_t pos = 0;
  explicit TableRef(Kind k) : kind(k) {}
};

struct SelectItem {
  ExprP expr;  // Star for * and t.*
  std::string alias;
  bool hasAlias = false;
  std::string assignVar;  // SELECT @v = expr
};

struct SelectCore {
  bool distinct = false;
  ExprP top;
  bool topPercent = false;
  std::vector<SelectItem> items;
  std::vector<TableRefP> from;
  ExprP where;
  std::vector<ExprP> groupBy;
  ExprP having;
  std::optional<Name> into;
  std::uint32_t pos = 0;
};

struct OrderItem {
  ExprP expr;
  bool desc = false;
};

struct Select {
  std::vector<SelectCore> arms;
  std::vector<std::string> ops;  // between arms: "UNION", "UNION ALL", "EXCEPT", "INTERSECT"
  std::vector<OrderItem> orderBy;
  std::uint32_t pos = 0;
};

struct ColumnDef {
  std::string name;
  DeclaredType type;
  std::optional<bool> nullable;
  bool identity = false;
  long long seed = 1, increment = 1;
  ExprP defaultExpr;
  std::string defaultText;  // the default's source text, kept in the catalog
  bool primaryKey = false;
  bool unique = false;
  std::string constraintName;  // of an inline PRIMARY KEY / UNIQUE
  std::uint32_t pos = 0;
};

struct TableConstraint {
  enum Kind { PrimaryKey, Unique, Other } kind = Other;
  std::string name;
  std::vector<std::string> columns;
};

struct Stmt {
  enum Kind {
    SelectK,
    Insert,
    Update,
    Delete,
    CreateTable,
    AlterTable,
    DropTable,
    CreateIndex,
    DropIndex,
    CreateDatabase,
    DropDatabase,
    CreateTrigger,
    DropTrigger,
    Exec,
    If,
    Block,
    Declare,
    SetVar,
    SetOption,
    BeginTran,
    CommitTran,
    RollbackTran,
    Nop,
    Return,
  };
  Kind kind;
  std::uint32_t pos = 0;
  std::uint32_t endPos = 0;
  explicit Stmt(Kind k) : kind(k) {}
  virtual ~Stmt() = default;
};
using StmtP = std::unique_ptr<Stmt>;

struct SelectStmt : Stmt {
  SelectStmt() : Stmt(SelectK) {}
  std::unique_ptr<Select> select;
};

struct InsertStmt : Stmt {
  InsertStmt() : Stmt(Insert) {}
  Name table;
  std::vector<std::string> columns;
  std::vector<std::vector<ExprP>> rows;
  std::unique_ptr<Select> select;
  bool defaultValues = false;
};

struct UpdateStmt : Stmt {
  UpdateStmt() : Stmt(Update) {}
  Name table;
  std::vector<std::pair<Name, ExprP>> sets;
  std::vector<TableRefP> from;
  ExprP where;
};

struct DeleteStmt : Stmt {
  DeleteStmt() : Stmt(Delete) {}
  Name table;
  std::vector<TableRefP> from;
  ExprP where;
};

struct CreateTableStmt : Stmt {
  CreateTableStmt() : Stmt(CreateTable) {}
  Name table;
  std::vector<ColumnDef> columns;
  std::vector<TableConstraint> constraints;
};

struct AlterTableStmt : Stmt {
  AlterTableStmt() : Stmt(AlterTable) {}
  enum Action { AddColumns, AlterColumn, DropColumns, AddConstraint, DropConstraint } action = AddColumns;
  Name table;
  std::vector<ColumnDef> columns;  // AddColumns, AlterColumn (one)
  std::vector<std::string> names;  // DropColumns, DropConstraint
  std::vector<TableConstraint> constraints;
};

struct DropTableStmt : Stmt {
  DropTableStmt() : Stmt(DropTable) {}
  std::vector<Name> tables;
  bool ifExists = false;
};

struct CreateIndexStmt : Stmt {
  CreateIndexStmt() : Stmt(CreateIndex) {}
  bool unique = false;
  std::string name;
  Name table;
  std::vector<std::string> columns;
};

struct DropIndexStmt : Stmt {
  DropIndexStmt() : Stmt(DropIndex) {}
  std::vector<std::pair<Name, std::string>> indexes;  // table, index
};

struct DatabaseStmt : Stmt {
  explicit DatabaseStmt(Kind k) : Stmt(k) {}
  std::string name;
};

struct CreateTriggerStmt : Stmt {
  CreateTriggerStmt() : Stmt(CreateTrigger) {}
  Name name;
  Name table;
  bool onInsert = false, onUpdate = false, onDelete = false;
  std::vector<StmtP> body;
  std::string definition;  // the statement's source text
};

struct DropTriggerStmt : Stmt {
  DropTriggerStmt() : Stmt(DropTrigger) {}
  std::vector<Name> names;
};

struct ExecStmt : Stmt {
  ExecStmt() : Stmt(Exec) {}
  Name proc;
  std::vector<std::pair<std::string, ExprP>> args;  // name ("" for positional)
};

struct IfStmt : Stmt {
  IfStmt() : Stmt(If) {}
  ExprP cond;
  StmtP then;
  StmtP otherwise;
};

struct BlockStmt : Stmt {
  BlockStmt() : Stmt(Block) {}
  std::vector<StmtP> body;
};

struct DeclareStmt : Stmt {
  DeclareStmt() : Stmt(Declare) {}
  struct Var {
    std::string name;
    DeclaredType type;
    ExprP init;
  };
  std::vector<Var> vars;
};

struct SetVarStmt : Stmt {
  SetVarStmt() : Stmt(SetVar) {}
  std::string name;
  ExprP value;
};

struct SetOptionStmt : Stmt {
  SetOptionStmt() : Stmt(SetOption) {}
  std::string option;  // upper case
  bool on = false;
  Name table;  // IDENTITY_INSERT
};

// The statements of a batch and the literal ordinals the parser consumed as syntax (type lengths,
// styles, ordinals in ORDER BY ...): a cached translation only fits a batch whose values there agree.
struct Batch {
  std::vector<StmtP> statements;
  std::vector<int> structuralLiterals;
};

}  // namespace erpsync::db::embedded::ast
