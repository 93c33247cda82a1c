// The inside of an embedded connection, shared by the files that make up its runtime:
//   embedded_connection.cpp    the public class, opening, low-level statement running
//   connection_errors.cpp      SQLite errors worded as SQL Server words them
//   connection_catalogs.cpp    the schema description, other catalogs and linked servers (ATTACH)
//   connection_executor.cpp    batches, variables, transactions, TRUNCATE
//   connection_statements.cpp  one executor per kind of statement
//   connection_triggers.cpp    statement-level triggers and their inserted/deleted rows
//   connection_ddl.cpp         CREATE/DROP of tables, indexes, triggers and databases
//   connection_alter_table.cpp ALTER TABLE
//   connection_procedures.cpp  the system procedures (sp_addlinkedserver ...)
#pragma once

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/embedded/ast.h"
#include "db/embedded/catalog_file.h"
#include "db/embedded/embedded_connection.h"
#include "db/embedded/lexer.h"
#include "db/embedded/parse_cache.h"
#include "db/embedded/sql_types.h"
#include "db/embedded/sqlite_functions.h"
#include "db/embedded/statement_cache.h"
#include "db/embedded/translator.h"

namespace erpsync::db::embedded {

// Value helpers of the SQLite layer.
std::string colText(sqlite3_stmt* st, int i);
SqlValue columnValue(sqlite3_stmt* st, int i);
void bindValue(sqlite3_stmt* st, int i, const SqlValue& v);
// A name made safe for an SQLite identifier or alias ("tblSales" -> "tblsales", other bytes as _xx).
std::string sanitize(std::string_view s);
// A value as SQL Server shows it in a message ("<NULL>" for null).
std::string valueText(const SqlValue& v);

// A parsed batch (or trigger) and the translations of its statements.
struct Unit {
  LexResult lex;
  ast::Batch batch;
  bool cacheable = true;
  struct Plan {
    std::uint64_t generation = 0;
    std::string varsKey;
    Translated t;
  };
  std::unordered_map<const void*, Plan> plans;
};

// The SQLite index that carries a table's index or constraint.
std::string indexSqliteName(const std::string& table, const std::string& index);

// The errors of a transaction verb without a transaction, and of work in a transaction that can only
// be rolled back.
[[noreturn]] void noTransaction(const char* verb, long native);
[[noreturn]] void uncommittable();

struct Var {
  ColType type;
  SqlValue value;
};

// The state of one batch (or one trigger's run) while its statements execute.
struct Ctx {
  Unit* unit = nullptr;
  std::vector<const Token*> lits;
  std::map<std::string, Var> vars;
  const TriggerContext* trigger = nullptr;
  int depth = 0;
  long long rowsAffected = -1;
  Recordset* result = nullptr;
  EmbeddedConnection::BatchSink* sink = nullptr;  // every statement's outcome, when set
  bool haveResult = false;
  bool returned = false;
};

struct Attached {
  std::string alias;
  std::filesystem::path file;
  std::string catalog;
  TableMap tables;
};

struct LinkedServer {
  long long id = 0;
  std::string name;
  std::string dataSource;
  bool dataAccess = true;
};

struct EmbeddedConnection::Impl {
  std::filesystem::path baseDir;
  std::filesystem::path serverDir;
  std::string catalog;
  std::filesystem::path catalogFile;
  sqlite3* db = nullptr;
  FunctionHost host;

  int commandTimeout = 30;
  std::chrono::steady_clock::time_point deadline{};
  bool deadlineActive = false;
  bool timedOut = false;
  std::atomic<bool> cancelRequested{false};  // cancel() from another thread

  // @@TRANCOUNT: BEGIN TRAN in a batch nests, the API's beginTrans does not.
  int tranCount = 0;
  // The transaction is still counted open but SQLite has already rolled it back (a write was
  // interrupted by the time-out, the disk filled): it can only be rolled back.
  bool doomed = false;
  int savepointDepth = 0;  // statement savepoints open inside a transaction

  long long schemaCookie = -1;
  // Explicit transactions begun so far, and the one whose snapshot the schema was last checked in:
  // inside one transaction the snapshot cannot change, so the schema is checked once per transaction.
  long long txnGeneration = 0;
  long long schemaCheckedIn = -1;
  std::uint64_t generation = 1;
  TableMap tables;
  std::vector<TriggerDef> triggers;
  std::vector<std::string> tempObjects;  // temp tables/triggers made for the triggers
  std::map<std::string, TriggerContext, CiLess> triggerContexts;
  std::map<std::string, std::shared_ptr<Unit>, CiLess> triggerUnits;
  std::set<std::string, CiLess> firing;

  std::map<std::string, Attached> attached;  // alias -> catalog

  // Session options (SET ...), kept until the connection closes; a trigger's own SETs end with it.
  std::set<std::string, CiLess> identityInsert;
  bool xactAbort = false;         // XACT_ABORT: a run-time error rolls back the whole transaction
  bool noCount = false;           // NOCOUNT: statements report no row count to the caller
  bool abortTransaction = false;  // an error raised in a trigger: the batch's transaction goes too
  std::optional<std::int64_t> lastIdentity;
  long long lastRowCount = 0;

  ParseCache batchCache{defaultParseCacheBudget()};
  StatementCache statements{defaultStatementCacheCapacity()};
  std::unique_ptr<Statement> cookieStmt;

  class Provider : public SchemaProvider {
   public:
    explicit Provider(Impl& i) : im(i) {}
    Found findTable(const CatalogRef& ref, std::string_view name) override;
    std::string currentCatalog() const override { return im.catalog; }
    Impl& im;
  };
  Provider provider{*this};

  Impl() = default;
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
  ~Impl();

  // ------------------------------------------------ low level (embedded_connection.cpp)
  void exec(const std::string& sql);
  StatementLease prepare(const std::string& sql);
  // Runs one internal statement with bound values; returns rows when `rows` is given.
  void run(const std::string& sql, const std::vector<SqlValue>& args = {},
           std::vector<std::vector<SqlValue>>* rows = nullptr);
  static int progress(void* p);
  // SQLite's busy handler: waits as SQLite's own busy timeout does, adding the time to callWait.
  static int busyWait(void* p, int count);
  LockWaitStats::Micros callWait{0};  // waited for other connections' locks in the current call

  // A statement's own transaction: BEGIN IMMEDIATE outside a transaction, a savepoint inside one.
  struct Tx {
    Impl& im;
    bool own = false;
    std::string savepoint;
    bool done = false;
    // target: the table the statement writes ("alias"."table"). When other catalogs are attached
    // (linked servers, three-part names), only the target's catalog is locked for writing, so a
    // statement that reads another catalog does not wait for that catalog's writers.
    explicit Tx(Impl& i, const std::string& target = {});
    Tx(const Tx&) = delete;
    Tx& operator=(const Tx&) = delete;
    void commit();
    ~Tx();
  };

  // ------------------------------------------------ errors (connection_errors.cpp)
  [[noreturn]] void sqliteError(int rc);
  [[noreturn]] void constraintError(const Translated& t, const std::vector<SqlValue>& values);

  // ------------------------------------------------ schema and catalogs (connection_catalogs.cpp)
  long long readCookie();
  void ensureSchema();
  void reloadSchema(long long cookie);
  // Another connection learns of catalog-only changes (triggers) through the schema cookie.
  void schemaChanged();
  void afterDdl() { reloadSchema(readCookie()); }
  const TableMap& tablesOf(const std::string& alias);
  std::string catalogOfAlias(const std::string& alias);
  std::string attachFile(const std::filesystem::path& file, const std::string& catalogName, const std::string& alias);
  void detachAll();
  std::string masterAlias();
  std::optional<LinkedServer> findServer(const std::string& name);
  std::filesystem::path linkedServerDir(const LinkedServer& s);
  std::string resolveCatalog(const CatalogRef& ref);

  // ------------------------------------------------ triggers (connection_triggers.cpp)
  void refreshTempTriggers();
  void fireTriggers(const Translated& t, Ctx& ctx);

  // ------------------------------------------------ batches (connection_executor.cpp)
  // The batch parsed (from the cache when one of its shape is there); key: its key in the cache.
  std::shared_ptr<Unit> unitFor(const std::string& sql, LexResult& lx, std::string& key);
  long long runBatch(const std::string& sql, Recordset* result, EmbeddedConnection::BatchSink* sink = nullptr);
  long long runBatchStatements(const std::string& sql, Recordset* result, EmbeddedConnection::BatchSink* sink);
  SqlValue literalValue(const Ctx& ctx, int ordinal);
  SqlValue paramValue(const BoundParameter& p, const Ctx& ctx);
  std::string varsKey(const Ctx& ctx);
  const Translated& plan(Ctx& ctx, const void* key, const std::function<Translated(Translator&)>& make);
  // Runs a translated statement; fills `out` (when given) with its rows.
  long long runTranslated(const Translated& t, Ctx& ctx, Recordset* out,
                          std::vector<std::vector<SqlValue>>* rawRows = nullptr);
  void startIdentity(const Translated& t, const TableInfo& target, const ColumnInfo& identity);
  void finishIdentity(const Translated& t, const TableInfo& target, const ColumnInfo& identity, bool numbered,
                      long long changes);
  void runStmt(const ast::Stmt& s, Ctx& ctx);
  void truncateTable(const ast::DeleteStmt& s, Ctx& ctx);
  void assignVar(Ctx& ctx, const std::string& name, const SqlValue& v, const ColType& src);
  SqlValue evalExpr(const ast::Expr& e, Ctx& ctx, ColType* type);
  // The API's transactions (no nesting) and T-SQL's BEGIN/COMMIT/ROLLBACK TRAN (@@TRANCOUNT).
  void beginTrans();
  void commitTrans();
  void rollbackTrans();
  void sqlBeginTran();
  void sqlCommitTran();
  void commitAll();
  void rollbackAll();

  // ------------------------------------------------ procedures (connection_procedures.cpp)
  void execProc(const ast::ExecStmt& s, Ctx& ctx);

  // ------------------------------------------------ DDL (connection_ddl.cpp)
  const TableInfo& existingTable(const ast::Name& n, bool forAlter);
  bool objectNameTaken(const std::string& name);
  std::string columnDdl(const ColumnInfo& c);
  ColumnInfo columnFrom(const ast::ColumnDef& d);
  void writeColumns(const TableInfo& t, const std::map<std::string, SqlValue, CiLess>& identLast = {});
  void createSqliteIndex(const std::string& table, const IndexInfo& ix);
  std::vector<IndexInfo> constraintIndexes(const std::string& table, const std::vector<ColumnInfo>& cols,
                                           const std::vector<ast::ColumnDef>& defs,
                                           const std::vector<ast::TableConstraint>& constraints, int existingUq);
  void writeIndexMeta(const std::string& table, const IndexInfo& ix);
  void createTable(const ast::CreateTableStmt& s);
  void rebuild(const TableInfo& oldT, TableInfo newT, const std::vector<std::string>& sources,
               std::optional<std::pair<std::int64_t, std::int64_t>> identityStart = std::nullopt);
  void alterTable(const ast::AlterTableStmt& s);
  std::map<std::string, SqlValue, CiLess> identLastOf(const TableInfo& t);
  void dropTable(const ast::DropTableStmt& s);
  void createIndex(const ast::CreateIndexStmt& s);
  void dropIndex(const ast::DropIndexStmt& s);
  void createTrigger(const ast::CreateTriggerStmt& s);
  void dropTrigger(const ast::DropTriggerStmt& s);
  void createDatabase(const std::string& name);
  void dropDatabase(const std::string& name);
};

}  // namespace erpsync::db::embedded
