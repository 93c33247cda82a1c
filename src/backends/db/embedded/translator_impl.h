// The translator's working state, shared by its parts: name resolution and parameters
// (translator_names.cpp), expressions (translator_expressions.cpp), built-in functions
// (translator_functions.cpp), SELECT and FROM (translator_select.cpp), the data-changing
// statements (translator_dml.cpp) and exact decimals (translator_decimals.cpp). Only the
// translator's own files include this header.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "db/embedded/translator.h"

namespace erpsync::db::embedded {

namespace translation {

[[noreturn]] void invalidObject(const std::string& name);
[[noreturn]] void invalidColumn(const std::string& name);

// The type arguments tsql_conv() takes: base, length, precision, scale.
std::string typeArgs(const ColType& t);
ColType textType(int len = 8000);
ColType intType();
ColType dateType();
ColType bitType();

// No conversion needed when a value of `src` is stored into `dst` as it is.
bool sameStorage(const ColType& src, const ColType& dst);

// A column a FROM source offers (a derived table's column may be unnamed).
struct SrcCol {
  std::string name;
  ColType type;
};

// One FROM source: a table (or `inserted`/`deleted`) or a derived table, and the SQLite
// qualifier ("s1", "s2" ...) its columns are emitted with.
struct Source {
  std::string name;       // alias or table name
  std::string tableName;  // base table name for a named source
  bool aliased = false;
  std::string sqlRef;  // emitted qualifier
  std::vector<SrcCol> cols;
  const TableInfo* table = nullptr;
  std::string dbAlias;
};

// The sources a query block sees; `outer` is the enclosing query of a subquery.
struct Scope {
  std::vector<Source> sources;
  Scope* outer = nullptr;
};

// How tightly SQLite binds an operator, loosest first. The translation parenthesizes an operand
// only where SQLite would otherwise group it differently: every redundant pair of parentheses is a
// level of SQLite's parser stack, and deeply nested conditions overflow it.
enum Prec : int {
  kOr = 1,
  kAnd,
  kNot,
  kEquality,  // = <> IS IN LIKE BETWEEN
  kCompare,   // < > <= >=
  kBitwise = 7,
  kAdditive,
  kMultiplicative,
  kConcat,
  kUnary = 12,
  kAtom,  // a name, a literal, a call, anything in parentheses
};

// A translated expression: its SQLite text and its SQL Server type.
struct E {
  std::string sql;
  int prec = kAtom;  // of the operator at the top of `sql`
  ColType type;
  int param = -1;       // a plain literal/variable parameter
  bool column = false;  // a column reference (carries its collation)
  std::string colName;  // for naming select items
  bool isNull = false;
};

// A translated query: its SQLite text and its output columns.
struct SelOut {
  std::string sql;
  std::vector<SrcCol> cols;
  std::vector<std::string> itemSql;    // each output column's expression (one query block)
  std::vector<std::string> itemNames;  // and the name it is emitted under
};

}  // namespace translation

struct Translator::Impl {
  using E = translation::E;
  using Scope = translation::Scope;
  using SelOut = translation::SelOut;
  using Source = translation::Source;
  using SrcCol = translation::SrcCol;

  SchemaProvider& schema;
  const TriggerContext* trigger;
  const VariableTypes* vars;
  Translated out;
  int nextRef = 0;
  // A windowed function may stand only in a select list or an ORDER BY.
  bool windowAllowed = false;
  // Column defaults are written into CREATE TABLE, so their literals go into the SQL text
  // instead of being bound; these are the default's literal tokens, by ordinal.
  const std::vector<Token>* inlineLits = nullptr;

  Impl(SchemaProvider& s, const TriggerContext* t, const VariableTypes* v) : schema(s), trigger(t), vars(v) {}

  std::string newRef() { return "s" + std::to_string(++nextRef); }

  void reset() {
    out = Translated{};
    nextRef = 0;
    windowAllowed = false;
  }

  // ---- names and parameters (translator_names.cpp) ----
  struct Resolved {
    const TableInfo* table = nullptr;
    std::string dbAlias;
    std::string sqlName;  // "alias"."table"
    std::string tableName;
  };
  void noteCatalog(const CatalogRef& ref);
  Resolved resolveTable(const ast::Name& n, bool allowTriggerTables);
  Source makeSource(const Resolved& r, const std::string& alias);
  E columnRef(const ast::Name& n, Scope* scope);
  int addParam(BoundParameter p);
  E literal(const ast::Expr& x);
  E variable(const ast::Expr& x);

  // ---- expressions (translator_expressions.cpp) ----
  // A value: a comparison, AND/OR/NOT or another predicate is refused here, as SQL Server
  // refuses it outside a search condition.
  E expr(const ast::Expr& x, Scope* scope);
  // A search condition (WHERE, HAVING, ON, WHEN, IF): predicates, and their AND/OR/NOT.
  E condition(const ast::Expr& x, Scope* scope);
  // Either of the two, left unparenthesized at its own precedence.
  E term(const ast::Expr& x, Scope* scope, bool predicateAllowed);
  static E nullValue();
  E unary(const ast::Expr& x, Scope* scope);
  E isNullTest(const ast::Expr& x, Scope* scope);
  E between(const ast::Expr& x, Scope* scope);
  E inList(const ast::Expr& x, Scope* scope);
  E inSelect(const ast::Expr& x, Scope* scope);
  E like(const ast::Expr& x, Scope* scope);
  E exists(const ast::Expr& x, Scope* scope);
  E subquery(const ast::Expr& x, Scope* scope);
  E cast(const ast::Expr& x, Scope* scope);
  E binary(const ast::Expr& x, Scope* scope);
  E compare(const std::string& op, E& l, E& r);
  E plus(E& l, E& r);
  E arithmetic(const std::string& op, E& l, E& r);
  E caseExpr(const ast::Expr& x, Scope* scope);
  void coerceOperand(E& e, const ColType& target);
  static std::string convertCall(const std::string& sql, const ColType& src, const ColType& dst, bool assign,
                                 int style);
  static std::string textOf(const E& a);

  // ---- exact numerics kept as decimal text (translator_decimals.cpp) ----
  // Binds a numeric literal as its exact digits.
  void exactLiteral(E& e);
  // True (and literals bound exactly) when the operands compare as decimals: one has decimals and
  // none is a float, a date or NULL.
  bool decimalOperands(std::initializer_list<E*> operands);
  static std::string decimalCompare(const E& a, const std::string& op, const E& b);
  // A float meeting a decimal kept as text: the decimal side is read as a float.
  static void floatOperands(E& a, E& b);
  // +, -, *, / through the decimal functions when a decimal kept as text takes part (fills `e`).
  bool decimalArithmetic(const std::string& op, E& l, E& r, E& e);
  bool decimalNegate(E& a, E& e);
  // The ORDER BY key of an expression: decimals sort as numbers.
  static std::string sortKey(const std::string& sql, const ColType& type);

  // ---- built-in functions (translator_functions.cpp) ----
  E func(const ast::Expr& x, Scope* scope);
  E windowed(const ast::Expr& x, Scope* scope);

  // ---- FROM and SELECT (translator_select.cpp) ----
  static bool allInner(const ast::TableRef& t);
  std::string tableRef(const ast::TableRef& t, Scope& scope, Scope* outer);
  std::string join(const ast::TableRef& t, Scope& scope, Scope* outer);
  static void flatten(const ast::TableRef& t, std::vector<const ast::TableRef*>& leaves,
                      std::vector<const ast::Expr*>& conds);
  // `scopeOut`, when given, receives the block's scope (ORDER BY resolves against it).
  SelOut selectCore(const ast::SelectCore& q, Scope* outer, bool inCompound, Scope* scopeOut);
  // A select list being built: its SQL, and its columns as the block reports them.
  struct SelectList {
    SelOut so;
    std::string items;
    int unnamed = 0;
    void add(const std::string& sql, const std::string& name, const ColType& type, bool hasName);
  };
  void selectItems(const ast::SelectCore& q, Scope& scope, bool inCompound, SelectList& list);
  void starItems(const ast::Name& qn, Scope& scope, SelectList& list);
  std::string topClause(const ast::SelectCore& q, Scope* outer);
  SelOut select(const ast::Select& s, Scope* outer);
  static int outputPosition(const ast::Expr& ox, const std::vector<SrcCol>& cols);
  Translated selectStmt(const ast::SelectStmt& s);

  // ---- INSERT, UPDATE, DELETE (translator_dml.cpp) ----
  std::string assignCall(const E& e, const ColumnInfo& col);
  std::string defaultValueSql(const ColumnInfo& c);
  Translated insertStmt(const ast::InsertStmt& s);
  std::vector<int> insertColumns(const ast::InsertStmt& s, const TableInfo& t);
  void omittedColumns(const TableInfo& t, const std::vector<int>& cols, std::vector<int>& extra,
                      std::vector<std::string>& extraSql);
  std::string insertValues(const ast::InsertStmt& s, const TableInfo& t, const std::vector<int>& cols,
                           const std::vector<std::string>& extraSql);
  std::string insertSelect(const ast::InsertStmt& s, const TableInfo& t, const std::vector<int>& cols,
                           const std::vector<std::string>& extraSql, const std::string& into);
  // The target of UPDATE/DELETE: a table, or an alias of the FROM list.
  struct Target {
    Resolved r;
    int fromIndex = -1;  // index of the FROM entry that is the target (-1 none)
    std::string alias;
  };
  Target findTarget(const ast::Name& n, const std::vector<ast::TableRefP>& from);
  std::string otherSources(const std::vector<ast::TableRefP>& from, const Target& tg, Scope& scope,
                           std::vector<std::string>& conds, Source& targetSrc);
  Translated updateStmt(const ast::UpdateStmt& s);
  Translated deleteStmt(const ast::DeleteStmt& s);
};

}  // namespace erpsync::db::embedded
