// Runs T-SQL batches: each statement is translated once per shape (literals become parameters)
// and run on SQLite, with the batch's variables, IF/BEGIN...END control flow, row counts and
// @@IDENTITY as SQL Server keeps them, and the transactions of the API and of the batch.
#include "db/embedded/connection_impl.h"
#include "db/embedded/parser.h"
#include "util/c_number.h"

namespace erpsync::db::embedded {

using namespace ast;
using Impl = EmbeddedConnection::Impl;

namespace {

bool isDdl(Stmt::Kind k) {
  switch (k) {
    case Stmt::CreateTable:
    case Stmt::AlterTable:
    case Stmt::DropTable:
    case Stmt::CreateIndex:
    case Stmt::DropIndex:
    case Stmt::CreateDatabase:
    case Stmt::DropDatabase:
    case Stmt::CreateTrigger:
    case Stmt::DropTrigger:
      return true;
    default:
      return false;
  }
}

bool containsDdl(const Stmt& s) {
  if (isDdl(s.kind)) return true;
  if (s.kind == Stmt::If) {
    auto& i = static_cast<const IfStmt&>(s);
    return containsDdl(*i.then) || (i.otherwise && containsDdl(*i.otherwise));
  }
  if (s.kind == Stmt::Block)
    for (auto& c : static_cast<const BlockStmt&>(s).body)
      if (containsDdl(*c)) return true;
  return false;
}

}  // namespace

void noTransaction(const char* verb, long native) {
  throw DbError(std::string("The ") + verb + " TRANSACTION request has no corresponding BEGIN TRANSACTION.", "25000",
                native);
}

void uncommittable() {
  throw DbError(
      "The current transaction cannot be committed and cannot support operations that write to the log file. Roll "
      "back the transaction.",
      "25000", 3930);
}

std::shared_ptr<Unit> Impl::unitFor(const std::string& sql, LexResult& lx, std::string& key) {
  lx = lex(sql);
  key.clear();
  key.reserve(sql.size());
  for (auto& t : lx.tokens) {
    switch (t.kind) {
      case TokKind::String:
        key += "\x02S";
        break;
      case TokKind::NString:
        key += "\x02N";
        break;
      case TokKind::Number: {
        key += "\x02#";
        std::size_t dot = t.text.find('.');
        if (t.text.find_first_of("eE") != std::string::npos)
          key += 'e';
        else if (dot != std::string::npos)
          key += std::to_string(t.text.size() - dot - 1);
        else
          key += t.text.size() > 9 ? 'L' : 'i';
        break;
      }
      default:
        key += '\x03';
        key += t.text;
        break;
    }
  }
  if (std::shared_ptr<Unit> cached = batchCache.find(key)) {
    const Unit& u = *cached;
    bool same = true;
    for (int ord : u.batch.structuralLiterals) {
      const Token* a = nullptr;
      const Token* b = nullptr;
      for (auto& t : u.lex.tokens)
        if (t.literal == ord) a = &t;
      for (auto& t : lx.tokens)
        if (t.literal == ord) b = &t;
      if (!a || !b || a->text != b->text) {
        same = false;
        break;
      }
    }
    if (same) return cached;
  }
  auto u = std::make_shared<Unit>();
  u->lex = lx;
  u->batch = parseBatch(u->lex, sql);
  for (auto& s : u->batch.statements)
    if (containsDdl(*s)) u->cacheable = false;
  if (u->cacheable) batchCache.put(key, u);
  return u;
}

long long Impl::runBatch(const std::string& sql, Recordset* result, EmbeddedConnection::BatchSink* sink) {
  try {
    return runBatchStatements(sql, result, sink);
  } catch (...) {
    // A write interrupted by the time-out (or a full disk) makes SQLite roll the whole transaction
    // back. The transaction the caller opened is then gone: keep it counted, but doomed, so the
    // statements that follow cannot commit one by one outside it.
    if (tranCount > 0 && sqlite3_get_autocommit(db)) doomed = true;
    throw;
  }
}

long long Impl::runBatchStatements(const std::string& sql, Recordset* result, EmbeddedConnection::BatchSink* sink) {
  timedOut = false;
  cancelRequested.store(false, std::memory_order_relaxed);
  deadlineActive = commandTimeout > 0;
  if (deadlineActive) deadline = std::chrono::steady_clock::now() + std::chrono::seconds(commandTimeout);
  ensureSchema();
  LexResult lx;
  std::string key;
  std::shared_ptr<Unit> unit = unitFor(sql, lx, key);
  Ctx ctx;
  ctx.unit = unit.get();
  ctx.lits.assign(static_cast<std::size_t>(lx.literalCount), nullptr);
  for (auto& t : lx.tokens)
    if (t.isLiteral()) ctx.lits[static_cast<std::size_t>(t.literal)] = &t;
  ctx.result = result;
  ctx.sink = sink;
  struct Detach {
    Impl& im;
    const std::string& key;
    ~Detach() {
      im.batchCache.remeasure(key);  // the statements it translated as it ran
      im.deadlineActive = false;
      im.timedOut = false;  // so a later failure outside a batch is not taken for a time-out
      im.detachAll();
    }
  } detach{*this, key};
  // Once the batch runs, an error stops it where it is and is reported. With XACT_ABORT ON the
  // open transaction goes with it, whoever began it (BEGIN TRAN in this batch or an earlier one, or
  // the API), as SQL Server rolls it back. With XACT_ABORT OFF SQL Server rolls back only the
  // failing statement and, for most errors (a duplicate key, a NULL in a NOT NULL column), carries
  // on with the next one, so a COMMIT later in the batch commits the rest. This server does not
  // carry on: the failing statement is undone, the batch ends with the error and a transaction that
  // was open stays open and uncommitted (@@TRANCOUNT unchanged), for the caller to roll back. It
  // never commits what SQL Server would not; the difference is that statements after the error do
  // not run. A batch that does not parse runs not at all and leaves the transaction alone, here and
  // on SQL Server. An error in a trigger rolls the transaction back whatever XACT_ABORT says.
  abortTransaction = false;
  try {
    for (auto& s : unit->batch.statements) {
      runStmt(*s, ctx);
      if (ctx.returned) break;
      detachAll();
    }
  } catch (...) {
    if ((xactAbort || abortTransaction) && tranCount > 0) rollbackAll();
    abortTransaction = false;
    throw;
  }
  deadlineActive = false;
  return ctx.rowsAffected;
}

SqlValue Impl::literalValue(const Ctx& ctx, int ordinal) {
  const Token* t = ordinal >= 0 && static_cast<std::size_t>(ordinal) < ctx.lits.size()
                       ? ctx.lits[static_cast<std::size_t>(ordinal)]
                       : nullptr;
  if (!t) return SqlValue{};
  if (t->kind == TokKind::Number) {
    const std::string& s = t->text;
    if (s.find_first_of(".eE") == std::string::npos)
      if (auto d = ExactDecimal::parse(s); d && d->toInt64()) return SqlValue{*d->toInt64()};
    // Other numbers are read as floats here; where a literal meets an exact numeric target,
    // paramValue converts its digits instead.
    return SqlValue{util::cNumber(s)};
  }
  return SqlValue{t->text};
}

SqlValue Impl::paramValue(const BoundParameter& p, const Ctx& ctx) {
  SqlValue v;
  switch (p.source) {
    case BoundParameter::Literal: {
      const Token* t = static_cast<std::size_t>(p.literal) < ctx.lits.size()
                           ? ctx.lits[static_cast<std::size_t>(p.literal)]
                           : nullptr;
      if (p.coerce && t && t->kind == TokKind::Number && p.target.isExactNumeric()) {
        v = SqlValue{t->text};  // exact digits (a float literal is read as its float)
        return convertValue(v, literalNumberType(t->text), p.target, p.assign);
      }
      v = literalValue(ctx, p.literal);
      break;
    }
    case BoundParameter::Variable: {
      auto it = ctx.vars.find(p.variable);
      if (it != ctx.vars.end()) v = it->second.value;
      break;
    }
    case BoundParameter::RowCount:
      v = SqlValue{static_cast<std::int64_t>(lastRowCount)};
      break;
    case BoundParameter::Identity:
      if (lastIdentity) v = SqlValue{*lastIdentity};
      break;
    case BoundParameter::TranCount:
      v = SqlValue{static_cast<std::int64_t>(tranCount)};
      break;
  }
  if (p.coerce) v = convertValue(v, p.srcType, p.target, p.assign);
  return v;
}

std::string Impl::varsKey(const Ctx& ctx) {
  std::string k;
  for (auto& [n, v] : ctx.vars) k += n + ":" + v.type.sqlName() + ";";
  return k;
}

const Translated& Impl::plan(Ctx& ctx, const void* key, const std::function<Translated(Translator&)>& make) {
  std::string vk = varsKey(ctx);
  auto it = ctx.unit->plans.find(key);
  if (it != ctx.unit->plans.end() && it->second.generation == generation && it->second.varsKey == vk) {
    // Re-attach the catalogs the statement reaches (and check the linked servers again).
    for (auto& c : it->second.t.catalogs) resolveCatalog(c);
    return it->second.t;
  }
  VariableTypes vt;
  for (auto& [n, v] : ctx.vars) vt[n] = VariableInfo{v.type};
  Translator tr(provider, ctx.trigger, &vt);
  Unit::Plan p;
  p.generation = generation;
  p.varsKey = vk;
  p.t = make(tr);
  auto& slot = ctx.unit->plans[key];
  slot = std::move(p);
  return slot.t;
}

namespace {

// The table a write changes and its identity column, when it has one.
struct WriteTarget {
  const TableInfo* table = nullptr;
  int identCol = -1;
  const ColumnInfo* identity() const {
    return table && identCol >= 0 ? &table->columns[static_cast<std::size_t>(identCol)] : nullptr;
  }
};

// The fields of a result, from the translation's names and types; a column of no known type takes
// the type of its first value that is not NULL (-1 until then).
void resultFields(sqlite3_stmt* st, const Translated& t, Recordset& out) {
  out.fields.clear();
  const int n = sqlite3_column_count(st);
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    Field f;
    f.name = k < t.columnNames.size() ? t.columnNames[k] : sqlite3_column_name(st, i);
    const ColType* ct = k < t.columnTypes.size() ? &t.columnTypes[k] : nullptr;
    if (ct && ct->known()) {
      f.type = ct->adoType();
      f.declared = ct->sqlName();
    } else if (ct && ct->base == BaseType::Null) {
      f.type = adInteger;
    } else {
      f.type = -1;
    }
    out.fields.push_back(f);
  }
}

void appendRow(sqlite3_stmt* st, const Translated& t, Recordset& out) {
  const int n = sqlite3_column_count(st);
  std::vector<Value> row;
  row.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    SqlValue v = columnValue(st, i);
    const ColType* ct = k < t.columnTypes.size() ? &t.columnTypes[k] : nullptr;
    Field& f = out.fields[k];
    if (f.type == -1 && !v.isNull()) f.type = v.isInt() ? adInteger : v.isReal() ? adDouble : adVarChar;
    row.push_back(toRecordValue(v, ct && ct->known() ? *ct : ColType{}));
  }
  out.rows.push_back(std::move(row));
}

// A result with no rows still has its fields; a column whose type no row told is text.
void finishFields(const Translated& t, Recordset& out) {
  if (out.fields.empty()) {
    for (std::size_t i = 0; i < t.columnNames.size(); ++i) {
      Field f;
      f.name = t.columnNames[i];
      const ColType& ct = t.columnTypes[i];
      f.type = ct.known() ? ct.adoType() : (ct.base == BaseType::Null ? adInteger : adVarChar);
      if (ct.known()) f.declared = ct.sqlName();
      out.fields.push_back(f);
    }
  }
  for (auto& f : out.fields)
    if (f.type == -1) f.type = adVarChar;
}

}  // namespace

// Identity values are numbered from the catalog's last value inside the statement's transaction.
void Impl::startIdentity(const Translated& t, const TableInfo& target, const ColumnInfo& ic) {
  std::vector<std::vector<SqlValue>> rows;
  run("SELECT ident_last FROM " + quoteIdent(t.targetAlias) + ".__tsql_columns WHERE tbl = ? AND col = ?",
      {SqlValue{target.name}, SqlValue{ic.name}}, &rows);
  host.identityActive = true;
  host.identityIncrement = ic.increment;
  host.identityCount = 0;
  host.identityNext = (rows.empty() || rows[0][0].isNull()) ? ic.seed : rows[0][0].i() + ic.increment;
}

// After a write with an identity: the catalog's last value follows the numbers given, or the largest
// (smallest, counting down) value an explicit insert wrote.
void Impl::finishIdentity(const Translated& t, const TableInfo& target, const ColumnInfo& ic, bool numbered,
                          long long changes) {
  if (numbered && host.identityCount > 0) {
    run("UPDATE " + quoteIdent(t.targetAlias) + ".__tsql_columns SET ident_last = ? WHERE tbl = ? AND col = ?",
        {SqlValue{host.identityLast}, SqlValue{target.name}, SqlValue{ic.name}});
    lastIdentity = host.identityLast;
  }
  if (t.explicitIdentity && changes > 0) {
    const std::string agg = ic.increment > 0 ? "max" : "min";
    const std::string cmp = ic.increment > 0 ? "<" : ">";
    const std::string written = "(SELECT " + agg + "(" + quoteIdent(ic.name) + ") FROM " + quoteIdent(t.targetAlias) +
                                "." + quoteIdent(target.name) + ")";
    run("UPDATE " + quoteIdent(t.targetAlias) + ".__tsql_columns SET ident_last = " + written +
            " WHERE tbl = ? AND col = ? AND (ident_last IS NULL OR ident_last " + cmp + " " + written + ")",
        {SqlValue{target.name}, SqlValue{ic.name}});
  }
}

long long Impl::runTranslated(const Translated& t, Ctx& ctx, Recordset* out,
                              std::vector<std::vector<SqlValue>>* rawRows) {
  if (t.explicitIdentity && !identityInsert.count(t.targetTable)) {
    throw DbError("Cannot insert explicit value for identity column in table '" + t.targetTable +
                      "' when IDENTITY_INSERT is set to OFF.",
                  "23000", 544);
  }
  std::vector<SqlValue> values;
  values.reserve(t.params.size());
  for (auto& p : t.params) values.push_back(paramValue(p, ctx));
  StatementLease lease = prepare(t.sql);
  sqlite3_stmt* st = lease.get();
  for (std::size_t i = 0; i < values.size(); ++i) bindValue(st, static_cast<int>(i) + 1, values[i]);

  WriteTarget target;
  if (t.event != DmlEvent::None) {
    const TableMap& tm = tablesOf(t.targetAlias);
    if (auto ti = tm.find(t.targetTable); ti != tm.end()) target = {&ti->second, ti->second.identityColumn()};
  }
  const bool numbered = t.generatesIdentity && target.identity();
  if (numbered) startIdentity(t, *target.table, *target.identity());
  struct IdentOff {
    FunctionHost& h;
    ~IdentOff() { h.identityActive = false; }
  } identOff{host};

  for (bool first = true;; first = false) {
    int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) {
      if ((sqlite3_extended_errcode(db) & 0xff) == SQLITE_CONSTRAINT) constraintError(t, values);
      sqliteError(rc);
    }
    if (out) {
      if (first) resultFields(st, t, *out);
      appendRow(st, t, *out);
    } else if (rawRows) {
      std::vector<SqlValue> r;
      for (int i = 0, n = sqlite3_column_count(st); i < n; ++i) r.push_back(columnValue(st, i));
      rawRows->push_back(std::move(r));
    }
  }
  if (out) finishFields(t, *out);
  const long long changes = t.event != DmlEvent::None ? sqlite3_changes(db) : 0;
  if (target.identity()) finishIdentity(t, *target.table, *target.identity(), numbered, changes);
  if (t.event != DmlEvent::None) {
    lastRowCount = changes;
    fireTriggers(t, ctx);
  } else if (out) {
    lastRowCount = static_cast<long long>(out->rows.size());
  }
  return changes;
}

void Impl::assignVar(Ctx& ctx, const std::string& name, const SqlValue& v, const ColType& src) {
  auto it = ctx.vars.find(name);
  if (it == ctx.vars.end()) throw DbError("Must declare the scalar variable \"" + name + "\".", "42000", 137);
  ColType s = src;
  if (!s.known() && v.isText()) s = ColType{BaseType::VarChar, 8000};
  it->second.value = convertValue(v, s, it->second.type, false);
}

SqlValue Impl::evalExpr(const Expr& e, Ctx& ctx, ColType* type) {
  if (e.kind == Expr::Literal) {
    if (type) *type = e.litKind == TokKind::Number ? literalNumberType(e.text) : ColType{BaseType::VarChar, 8000};
    return literalValue(ctx, e.literal);
  }
  if (e.kind == Expr::Null) return SqlValue{};
  const Translated& t = plan(ctx, &e, [&](Translator& tr) { return tr.scalar(e); });
  std::vector<std::vector<SqlValue>> rows;
  runTranslated(t, ctx, nullptr, &rows);
  if (type && !t.columnTypes.empty()) *type = t.columnTypes[0];
  if (rows.empty() || rows[0].empty()) return SqlValue{};
  return rows[0][0];
}

// TRUNCATE TABLE as SQL Server runs it: every row goes, no trigger fires, the identity starts again
// from its seed, and no row count is reported (@@ROWCOUNT is 0). It is part of the transaction
// like any other statement, so a rollback brings the rows and the identity back.
void Impl::truncateTable(const DeleteStmt& s, Ctx& ctx) {
  // Translated as a DELETE of the whole table so that the name resolves (and fails) as any other.
  const Translated& t = plan(ctx, &s, [&](Translator& tr) { return tr.statement(s); });
  if (t.targetTable.empty()) syntaxError("TRUNCATE");
  const std::string alias = quoteIdent(t.targetAlias);
  const std::string target = alias + "." + quoteIdent(t.targetTable);
  Tx tx(*this, target);
  // The SQLite row triggers still collect the deleted rows for `deleted`; take back exactly those.
  const TriggerContext* tc = nullptr;
  std::int64_t collectedBefore = 0;
  if (t.targetAlias == "main") {
    auto it = triggerContexts.find(t.targetTable);
    if (it != triggerContexts.end()) {
      tc = &it->second;
      std::vector<std::vector<SqlValue>> rows;
      run("SELECT coalesce(max(rowid), 0) FROM " + tc->deletedTable, {}, &rows);
      collectedBefore = rows[0][0].i();
    }
  }
  exec("DELETE FROM " + target);
  if (tc) run("DELETE FROM " + tc->deletedTable + " WHERE rowid > ?", {SqlValue{collectedBefore}});
  run("UPDATE " + alias + ".__tsql_columns SET ident_last = NULL WHERE tbl = ? AND ident_seed IS NOT NULL",
      {SqlValue{t.targetTable}});
  tx.commit();
  lastRowCount = 0;
}

// ---------------------------------------------------------------- transactions

void Impl::beginTrans() {
  if (tranCount > 0) throw DbError("Cannot start more transactions on this session.", "25000", 0);
  sqlBeginTran();
}

void Impl::commitTrans() {
  if (tranCount == 0) noTransaction("COMMIT", 3902);
  if (doomed) {
    rollbackAll();
    uncommittable();
  }
  commitAll();
}

void Impl::rollbackTrans() {
  if (tranCount == 0) noTransaction("ROLLBACK", 3903);
  rollbackAll();
}

void Impl::sqlBeginTran() {
  if (tranCount == 0) {
    detachAll();
    exec("BEGIN IMMEDIATE");
    ++txnGeneration;
  }
  ++tranCount;
}

void Impl::sqlCommitTran() {
  if (tranCount == 0) noTransaction("COMMIT", 3902);
  if (tranCount == 1)
    commitAll();
  else
    --tranCount;
}

void Impl::commitAll() {
  try {
    exec("COMMIT");
  } catch (...) {
    // A commit that fails leaves nothing half open: its work is rolled back.
    rollbackAll();
    throw;
  }
  tranCount = 0;
  detachAll();
}

void Impl::rollbackAll() {
  tranCount = 0;
  doomed = false;
  if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  detachAll();
}

}  // namespace erpsync::db::embedded
