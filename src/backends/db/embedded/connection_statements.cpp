// Runs one T-SQL statement of a batch: a table from the statement's kind to its executor (a query,
// a write, IF and BEGIN...END, variables, session options, transactions, EXEC, the DDL), each a
// small function, as the function table does for the T-SQL functions.
#include <algorithm>
#include <array>

#include "db/embedded/connection_impl.h"

namespace erpsync::db::embedded {

using namespace ast;
using Impl = EmbeddedConnection::Impl;

namespace {

using Executor = void (*)(Impl&, const Stmt&, Ctx&);

// TRUNCATE TABLE reaches the runtime as a DELETE of the whole table; the keyword the statement
// begins with tells the two apart.
bool startsWithTruncate(const Stmt& s, const Unit& u) {
  const auto& toks = u.lex.tokens;
  auto it =
      std::lower_bound(toks.begin(), toks.end(), s.pos, [](const Token& t, std::uint32_t pos) { return t.pos < pos; });
  return it != toks.end() && it->pos == s.pos && isKeyword(*it, "TRUNCATE");
}

const Translated& planStatement(Impl& im, const Stmt& s, Ctx& ctx) {
  return im.plan(ctx, &s, [&](Translator& tr) { return tr.statement(s); });
}

// SELECT @a = ..., @b = ...: returns no rows but reports how many it read, as a write reports what
// it changed.
void selectIntoVariables(Impl& im, const Translated& t, Ctx& ctx) {
  std::vector<std::vector<SqlValue>> rows;
  im.runTranslated(t, ctx, nullptr, &rows);
  for (auto& r : rows)
    for (std::size_t i = 0; i < t.assignVars.size() && i < r.size(); ++i)
      im.assignVar(ctx, t.assignVars[i], r[i], t.columnTypes[i]);
  im.lastRowCount = static_cast<long long>(rows.size());
  if (ctx.depth == 0 && !im.noCount) ctx.rowsAffected = im.lastRowCount;
  if (ctx.sink && !im.noCount) ctx.sink->rowCount(im.lastRowCount, ctx.depth > 0);
}

// A query: its rows go to the sink, or the batch's first result set is the caller's recordset and
// the rest are read and dropped.
void execSelect(Impl& im, const Stmt& s, Ctx& ctx) {
  const Translated& t = planStatement(im, s, ctx);
  if (!t.assignVars.empty()) return selectIntoVariables(im, t, ctx);
  if (ctx.sink && ctx.depth == 0) {
    Recordset rs;
    im.runTranslated(t, ctx, &rs);
    ctx.sink->resultSet(std::move(rs), !im.noCount);
    return;
  }
  if (ctx.result && !ctx.haveResult) {
    ctx.result->fields.clear();
    ctx.result->rows.clear();
    im.runTranslated(t, ctx, ctx.result);
    ctx.haveResult = true;
  } else {
    Recordset discard;
    im.runTranslated(t, ctx, &discard);
  }
}

// INSERT, UPDATE, DELETE (and TRUNCATE TABLE), each in a transaction of its own or a savepoint.
void execWrite(Impl& im, const Stmt& s, Ctx& ctx) {
  if (s.kind == Stmt::Delete && startsWithTruncate(s, *ctx.unit))
    return im.truncateTable(static_cast<const DeleteStmt&>(s), ctx);
  const Translated& t = planStatement(im, s, ctx);
  Impl::Tx tx(im, t.targetTable.empty() ? std::string() : quoteIdent(t.targetAlias) + "." + quoteIdent(t.targetTable));
  long long n = im.runTranslated(t, ctx, nullptr);
  tx.commit();
  // The batch reports its last count; under NOCOUNT no count is reported (-1 when none was).
  if (ctx.depth == 0 && !im.noCount) ctx.rowsAffected = n;
  if (ctx.sink && !im.noCount) ctx.sink->rowCount(n, ctx.depth > 0);
}

void execIf(Impl& im, const Stmt& s, Ctx& ctx) {
  auto& i = static_cast<const IfStmt&>(s);
  const Translated& t = im.plan(ctx, i.cond.get(), [&](Translator& tr) { return tr.condition(*i.cond); });
  std::vector<std::vector<SqlValue>> rows;
  im.runTranslated(t, ctx, nullptr, &rows);
  bool yes = !rows.empty() && !rows[0].empty() && rows[0][0].isInt() && rows[0][0].i() == 1;
  im.detachAll();
  if (yes)
    im.runStmt(*i.then, ctx);
  else if (i.otherwise)
    im.runStmt(*i.otherwise, ctx);
}

void execBlock(Impl& im, const Stmt& s, Ctx& ctx) {
  for (auto& c : static_cast<const BlockStmt&>(s).body) {
    im.runStmt(*c, ctx);
    if (ctx.returned) return;
  }
}

void execDeclare(Impl& im, const Stmt& s, Ctx& ctx) {
  for (auto& v : static_cast<const DeclareStmt&>(s).vars) {
    std::string n = lower(v.name);
    if (ctx.vars.count(n))
      throw DbError("The variable name '" + v.name +
                        "' has already been declared. Variable names must be unique "
                        "within a query batch or stored procedure.",
                    "42000", 134);
    ctx.vars[n] = Var{v.type.type, SqlValue{}};
    if (v.init) {
      SqlValue val = im.evalExpr(*v.init, ctx, nullptr);
      im.assignVar(ctx, n, val, ColType{});
    }
  }
}

void execSetVar(Impl& im, const Stmt& s, Ctx& ctx) {
  auto& sv = static_cast<const SetVarStmt&>(s);
  std::string n = lower(sv.name);
  if (!ctx.vars.count(n)) throw DbError("Must declare the scalar variable \"" + sv.name + "\".", "42000", 137);
  ColType st;
  SqlValue val = im.evalExpr(*sv.value, ctx, &st);
  im.assignVar(ctx, n, val, st);
  im.lastRowCount = 1;  // a simple assignment counts one row
}

void setIdentityInsert(Impl& im, const SetOptionStmt& so) {
  std::string name = so.table.last();
  auto ti = im.tables.find(name);
  if (ti == im.tables.end()) throw DbError("Invalid object name '" + so.table.text() + "'.", "42S02", 208);
  if (ti->second.identityColumn() < 0)
    throw DbError("Table '" + ti->second.name + "' does not have the identity property. Cannot perform SET operation.",
                  "42000", 8106);
  if (so.on)
    im.identityInsert.insert(ti->second.name);
  else
    im.identityInsert.erase(ti->second.name);
}

void execSetOption(Impl& im, const Stmt& s, Ctx&) {
  auto& so = static_cast<const SetOptionStmt&>(s);
  im.lastRowCount = 0;
  if (so.option == "XACT_ABORT")
    im.xactAbort = so.on;
  else if (so.option == "NOCOUNT")
    im.noCount = so.on;
  else if (so.option == "IDENTITY_INSERT")
    setIdentityInsert(im, so);
}

void execBeginTran(Impl& im, const Stmt&, Ctx&) {
  im.sqlBeginTran();
  im.lastRowCount = 0;
}

void execCommitTran(Impl& im, const Stmt&, Ctx&) {
  im.sqlCommitTran();
  im.lastRowCount = 0;
}

void execRollbackTran(Impl& im, const Stmt&, Ctx&) {
  if (im.tranCount == 0) noTransaction("ROLLBACK", 3903);
  im.rollbackAll();
}

void execNop(Impl&, const Stmt&, Ctx&) {}

void execReturn(Impl&, const Stmt&, Ctx& ctx) {
  ctx.returned = true;
}

void execProcedure(Impl& im, const Stmt& s, Ctx& ctx) {
  im.execProc(static_cast<const ExecStmt&>(s), ctx);
}

// A DDL statement: the member of the runtime that carries it out.
template <class S, void (Impl::*Run)(const S&)>
void execDdl(Impl& im, const Stmt& s, Ctx&) {
  (im.*Run)(static_cast<const S&>(s));
}

template <void (Impl::*Run)(const std::string&)>
void execDatabase(Impl& im, const Stmt& s, Ctx&) {
  (im.*Run)(static_cast<const DatabaseStmt&>(s).name);
}

constexpr std::size_t kKinds = static_cast<std::size_t>(Stmt::Return) + 1;

constexpr std::array<Executor, kKinds> makeExecutors() {
  std::array<Executor, kKinds> t{};
  t[Stmt::SelectK] = execSelect;
  t[Stmt::Insert] = execWrite;
  t[Stmt::Update] = execWrite;
  t[Stmt::Delete] = execWrite;
  t[Stmt::CreateTable] = execDdl<CreateTableStmt, &Impl::createTable>;
  t[Stmt::AlterTable] = execDdl<AlterTableStmt, &Impl::alterTable>;
  t[Stmt::DropTable] = execDdl<DropTableStmt, &Impl::dropTable>;
  t[Stmt::CreateIndex] = execDdl<CreateIndexStmt, &Impl::createIndex>;
  t[Stmt::DropIndex] = execDdl<DropIndexStmt, &Impl::dropIndex>;
  t[Stmt::CreateDatabase] = execDatabase<&Impl::createDatabase>;
  t[Stmt::DropDatabase] = execDatabase<&Impl::dropDatabase>;
  t[Stmt::CreateTrigger] = execDdl<CreateTriggerStmt, &Impl::createTrigger>;
  t[Stmt::DropTrigger] = execDdl<DropTriggerStmt, &Impl::dropTrigger>;
  t[Stmt::Exec] = execProcedure;
  t[Stmt::If] = execIf;
  t[Stmt::Block] = execBlock;
  t[Stmt::Declare] = execDeclare;
  t[Stmt::SetVar] = execSetVar;
  t[Stmt::SetOption] = execSetOption;
  t[Stmt::BeginTran] = execBeginTran;
  t[Stmt::CommitTran] = execCommitTran;
  t[Stmt::RollbackTran] = execRollbackTran;
  t[Stmt::Nop] = execNop;
  t[Stmt::Return] = execReturn;
  return t;
}

constexpr std::array<Executor, kKinds> kExecutors = makeExecutors();
static_assert(std::none_of(kExecutors.begin(), kExecutors.end(), [](Executor e) { return e == nullptr; }),
              "every kind of statement has its executor");

}  // namespace

void Impl::runStmt(const Stmt& s, Ctx& ctx) {
  if (ctx.sink && ctx.depth == 0) ctx.sink->statementAt(s.pos);
  if (doomed && s.kind != Stmt::RollbackTran) uncommittable();
  kExecutors[static_cast<std::size_t>(s.kind)](*this, s, ctx);
}

}  // namespace erpsync::db::embedded
