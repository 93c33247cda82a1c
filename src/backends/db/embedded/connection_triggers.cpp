// Statement-level triggers as SQL Server runs them: once per statement, after it, with the
// statement's rows in `inserted` and `deleted`. SQLite row triggers (temporary, per connection)
// collect those rows into temporary tables; the T-SQL trigger body then runs over them.
#include <array>

#include "db/embedded/connection_impl.h"
#include "db/embedded/parser.h"

namespace erpsync::db::embedded {

using namespace ast;
using Impl = EmbeddedConnection::Impl;

namespace {
constexpr int kMaxNesting = 32;
}  // namespace

void Impl::refreshTempTriggers() {
  for (auto it = tempObjects.rbegin(); it != tempObjects.rend(); ++it) {
    sqlite3_exec(db, it->c_str(), nullptr, nullptr, nullptr);
  }
  tempObjects.clear();
  triggerContexts.clear();
  std::map<std::string, std::array<bool, 3>, CiLess> events;
  for (auto& t : triggers) {
    auto& e = events[t.table];
    e[0] = e[0] || t.onInsert;
    e[1] = e[1] || t.onUpdate;
    e[2] = e[2] || t.onDelete;
  }
  for (auto& [tbl, ev] : events) {
    auto ti = tables.find(tbl);
    if (ti == tables.end()) continue;
    const TableInfo& info = ti->second;
    std::string ins = "__ins_" + sanitize(info.name);
    std::string del = "__del_" + sanitize(info.name);
    std::string cols, newCols, oldCols;
    for (std::size_t i = 0; i < info.columns.size(); ++i) {
      if (i) cols += ",", newCols += ",", oldCols += ",";
      cols += quoteIdent(info.columns[i].name);
      newCols += "NEW." + quoteIdent(info.columns[i].name);
      oldCols += "OLD." + quoteIdent(info.columns[i].name);
    }
    auto make = [&](const std::string& create, const std::string& drop) {
      exec(create);
      tempObjects.push_back(drop);
    };
    make("CREATE TEMP TABLE IF NOT EXISTS " + quoteIdent(ins) + "(" + cols + ")",
         "DROP TABLE IF EXISTS temp." + quoteIdent(ins));
    make("CREATE TEMP TABLE IF NOT EXISTS " + quoteIdent(del) + "(" + cols + ")",
         "DROP TABLE IF EXISTS temp." + quoteIdent(del));
    exec("DELETE FROM temp." + quoteIdent(ins) + "; DELETE FROM temp." + quoteIdent(del));
    std::string base = "main." + quoteIdent(info.name);
    if (ev[0]) {
      std::string n = "__tri_" + sanitize(info.name);
      make("CREATE TEMP TRIGGER IF NOT EXISTS " + quoteIdent(n) + " AFTER INSERT ON " + base + " BEGIN INSERT INTO " +
               quoteIdent(ins) + " VALUES(" + newCols + "); END",
           "DROP TRIGGER IF EXISTS temp." + quoteIdent(n));
    }
    if (ev[1]) {
      std::string n = "__tru_" + sanitize(info.name);
      make("CREATE TEMP TRIGGER IF NOT EXISTS " + quoteIdent(n) + " AFTER UPDATE ON " + base + " BEGIN INSERT INTO " +
               quoteIdent(ins) + " VALUES(" + newCols + "); INSERT INTO " + quoteIdent(del) + " VALUES(" + oldCols +
               "); END",
           "DROP TRIGGER IF EXISTS temp." + quoteIdent(n));
    }
    if (ev[2]) {
      std::string n = "__trd_" + sanitize(info.name);
      make("CREATE TEMP TRIGGER IF NOT EXISTS " + quoteIdent(n) + " AFTER DELETE ON " + base + " BEGIN INSERT INTO " +
               quoteIdent(del) + " VALUES(" + oldCols + "); END",
           "DROP TRIGGER IF EXISTS temp." + quoteIdent(n));
    }
    TriggerContext tc;
    tc.table = &info;
    tc.insertedTable = "temp." + quoteIdent(ins);
    tc.deletedTable = "temp." + quoteIdent(del);
    triggerContexts[info.name] = tc;
  }
}

void Impl::fireTriggers(const Translated& t, Ctx& ctx) {
  if (t.targetAlias != "main") return;
  auto tc = triggerContexts.find(t.targetTable);
  if (tc == triggerContexts.end()) return;
  // No direct recursion (RECURSIVE_TRIGGERS is off); the outer firing clears the rows.
  if (firing.count(t.targetTable)) return;
  struct Clear {
    Impl& im;
    const TriggerContext& tc;
    bool active;
    ~Clear() {
      if (!active) return;
      // Prepared once and kept, as every firing clears the same two tables.
      for (const std::string* table : {&tc.insertedTable, &tc.deletedTable}) {
        try {
          im.run("DELETE FROM " + *table);
        } catch (...) {
        }
      }
    }
  } clear{*this, tc->second, true};
  if (ctx.depth >= kMaxNesting)
    throw DbError("Maximum stored procedure, function, trigger, or view nesting level exceeded (limit 32).", "42000",
                  217);
  firing.insert(t.targetTable);
  struct Unfire {
    Impl& im;
    std::string t;
    ~Unfire() { im.firing.erase(t); }
  } unfire{*this, t.targetTable};
  for (auto& def : triggers) {
    if (!iequals(def.table, t.targetTable)) continue;
    bool fires = (t.event == DmlEvent::Insert && def.onInsert) || (t.event == DmlEvent::Update && def.onUpdate) ||
                 (t.event == DmlEvent::Delete && def.onDelete);
    if (!fires) continue;
    std::shared_ptr<Unit>& cached = triggerUnits[def.name];
    if (!cached) {
      cached = std::make_shared<Unit>();
      cached->lex = lex(def.definition);
      cached->batch = parseBatch(cached->lex, def.definition);
    }
    std::shared_ptr<Unit> u = cached;  // the body runs from its own reference
    if (u->batch.statements.empty() || u->batch.statements[0]->kind != Stmt::CreateTrigger) continue;
    auto& ct = static_cast<CreateTriggerStmt&>(*u->batch.statements[0]);
    Ctx tctx;
    tctx.unit = u.get();
    tctx.lits.assign(static_cast<std::size_t>(u->lex.literalCount), nullptr);
    for (auto& tok : u->lex.tokens)
      if (tok.isLiteral()) tctx.lits[static_cast<std::size_t>(tok.literal)] = &tok;
    tctx.trigger = &tc->second;
    tctx.sink = ctx.sink;
    tctx.depth = ctx.depth + 1;
    long long saved = lastRowCount;
    // A trigger runs with XACT_ABORT ON whatever the session says, and the SET options it changes
    // end with it. An error in it rolls back the whole transaction and ends the batch.
    struct Options {
      Impl& im;
      bool xactAbort, noCount;
      ~Options() {
        im.xactAbort = xactAbort;
        im.noCount = noCount;
      }
    } options{*this, xactAbort, noCount};
    xactAbort = true;
    try {
      for (auto& s : ct.body) {
        runStmt(*s, tctx);
        if (tctx.returned) break;
      }
    } catch (...) {
      abortTransaction = true;
      throw;
    }
    lastRowCount = saved;
  }
}

}  // namespace erpsync::db::embedded
