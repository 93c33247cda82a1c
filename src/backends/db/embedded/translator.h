// T-SQL to SQLite: binds the names of a statement against the catalog and emits the SQLite text
// with bound parameters for every literal, so one translation serves every statement of the same
// shape. Nothing here touches a database; the catalog comes through SchemaProvider.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/embedded/ast.h"
#include "db/embedded/lexer.h"
#include "db/embedded/sql_types.h"

namespace erpsync::db::embedded {

// A catalog reference: server empty = this server, catalog empty = the connection's catalog.
struct CatalogRef {
  std::string server;
  std::string catalog;
  bool operator==(const CatalogRef&) const = default;
};

struct ColumnInfo {
  std::string name;
  ColType type;
  bool nullable = true;
  bool identity = false;
  long long seed = 1, increment = 1;
  std::string defaultSql;  // T-SQL default expression text, empty when none
};

struct IndexInfo {
  std::string name;  // as given in DDL
  std::string kind;  // "PK", "UQ" (unique constraint), "UX" (unique index), "IX"
  std::vector<std::string> columns;
};

struct TableInfo {
  std::string name;
  std::vector<ColumnInfo> columns;
  std::vector<IndexInfo> indexes;
  int find(std::string_view column) const;
  int identityColumn() const;
};

class SchemaProvider {
 public:
  virtual ~SchemaProvider() = default;
  struct Found {
    const TableInfo* table = nullptr;
    std::string alias;  // SQLite schema that holds it ("main", an attached alias)
  };
  // May throw DbError (an unknown linked server, data access off ...).
  virtual Found findTable(const CatalogRef& ref, std::string_view name) = 0;
  virtual std::string currentCatalog() const = 0;
};

// The statement-level trigger being translated: `inserted` and `deleted` name the temporary tables
// that hold the rows of the firing statement.
struct TriggerContext {
  const TableInfo* table = nullptr;
  std::string insertedTable;  // e.g. temp."__ins_tblSales"
  std::string deletedTable;   // e.g. temp."__del_tblSales"
};

// One bound parameter (?N) of a translated statement: where its value comes from when the
// statement runs, and the conversion applied to it before binding.
struct BoundParameter {
  enum Source { Literal, Variable, RowCount, Identity, TranCount } source = Literal;
  int literal = -1;
  std::string variable;  // lower-case name with @
  ColType srcType;
  bool coerce = false;  // convert to target before binding
  bool assign = false;  // assignment rules (truncation fails) rather than comparison rules
  ColType target;
};

enum class DmlEvent { None, Insert, Update, Delete };

struct Translated {
  std::string sql;
  std::vector<BoundParameter> params;
  std::vector<std::string> columnNames;
  std::vector<ColType> columnTypes;
  std::vector<std::string> assignVars;  // SELECT @a = ..., @b = ...
  // Data-changing statements.
  DmlEvent event = DmlEvent::None;
  std::string targetAlias, targetTable;
  bool explicitIdentity = false;  // INSERT names the identity column
  bool generatesIdentity = false;
  std::vector<std::pair<std::string, int>> keyParams;  // column -> param index (single-row INSERT)
  std::vector<CatalogRef> catalogs;                    // other catalogs the statement reaches
};

struct VariableInfo {
  ColType type;
};
using VariableTypes = std::map<std::string, VariableInfo>;  // key: lower-case name with @

class Translator {
 public:
  Translator(SchemaProvider& schema, const TriggerContext* trigger, const VariableTypes* vars);
  ~Translator();

  Translated statement(const ast::Stmt& s);
  // SELECT <expr> (one row, one column).
  Translated scalar(const ast::Expr& e);
  // SELECT CASE WHEN <cond> THEN 1 ELSE 0 END.
  Translated condition(const ast::Expr& e);
  // The SQLite expression that yields a column's default, converted to the column's type.
  std::string columnDefault(const ColumnInfo& column);

  // The translation state, opaque outside the translator's own files (translator_impl.h).
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Emits an identifier quoted for SQLite.
std::string quoteIdent(std::string_view name);

// Translates a whole batch without executing it (for tests and the fuzzer): each statement that
// the translator handles is translated against the given catalog; DDL and procedure calls are
// only parsed. Throws DbError for anything it refuses.
std::vector<Translated> translateBatch(std::string_view sql, SchemaProvider& schema);

}  // namespace erpsync::db::embedded
