// The master download: brings every master row that head office changed since the last pass into the branch
// database (delete the branch copy, copy the central row in its place).
#include "sync/download_masters.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "db/connection.h"
#include "shared/sync_context.h"
#include "stock/import_board_rate_updator.h"
#include "sync/create_insert_queries.h"

namespace erpsync::sync {

namespace {

constexpr const char* kPriceListColumns =
    "PLID,PriceList,blnPercentage,ItemID,SRate,MRP,SrPercent,MRPPercent,PLSrate,PLMRP,CatchAll,ActiveStatus,"
    "Description,SrPercentAU,PLSrateAU,SrPercentAU2,PLSrateAU2,CalculationType,BlnShowAsDiscount,UNIQUEID";

// How a change of a central table is applied at the branch. Table names match exactly, as the
// triggers write them.
struct MasterTable {
  enum Kind { Copy, Skip, BoardRate, Excluded } kind = Excluded;
  std::string key;
  std::string columns;  // empty: every column
};

MasterTable masterTable(const std::string& name) {
  static const std::pair<const char*, const char*> keys[] = {
      {"tblCategories", "categoryID"},
      {"tblCostCentre", "CCID"},
      {"tblEmployee", "EMPID"},
      {"tblItemMaster", "ItemID"},
      {"tblLedger", "LID"},
      {"tblTaxClass", "TaxClassID"},
      {"tblUserMaster", "UserID"},
      {"tblUserGroupMaster", "ID"},
      {"tblHSNCODE", "HSNID"},
      {"tblVchType", "VchTypeID"},
      {"tblCustomerProfile", "ProfileID"},
      {"tblArea", "AreaID"},
  };
  if (name == "tblGodown") return {MasterTable::Skip, {}, {}};
  if (name == "tblBoardRateMaster") return {MasterTable::BoardRate, {}, {}};
  if (name == "tblpriceList" || name == "tblpricelist") return {MasterTable::Copy, "UNIQUEID", kPriceListColumns};
  for (const auto& [table, key] : keys)
    if (name == table) return {MasterTable::Copy, key, {}};
  return {};
}

// The key value as it may appear in SQL: a whole number, written back as one. Anything else in the
// change log is not a key this program wrote and never reaches a statement.
bool keyLiteral(const db::Value& v, std::string& out) {
  const std::string t = v.toString();
  std::size_t i = (!t.empty() && t[0] == '-') ? 1 : 0;
  if (i == t.size() || t.size() > 19) return false;
  for (std::size_t j = i; j < t.size(); ++j)
    if (t[j] < '0' || t[j] > '9') return false;
  out = t;
  return true;
}

// One change of a copied table: delete the branch row, copy the central one unless it was deleted.
struct RowChange {
  long long id = 0;
  std::string table;
  MasterTable m;
  std::string key;
  bool copy = true;
};

// The central rows of the copied changes of a batch, read at once: for every table the batch copies, the
// rows whose key is one of its changes' keys, all tables in one batch of queries (one round trip).
class CentralRows {
 public:
  // Reads the rows of every table the changes copy; throws DbError when head office cannot be read.
  void read(SyncContext& ctx, const std::vector<RowChange>& changes) {
    std::vector<std::string> tables, selects;
    std::map<std::string, std::pair<std::string, std::set<std::string>>> keys;  // table -> (select head, keys)
    for (const RowChange& c : changes) {
      if (!c.copy) continue;
      auto [it, added] = keys.try_emplace(c.table);
      if (added) {
        tables.push_back(c.table);
        const std::string columns = c.m.columns.empty() ? std::string("*") : c.m.columns;
        it->second.first = "SELECT  " + columns + " from " + c.table + " where  " + c.m.key + " in (";
      }
      it->second.second.insert(c.key);
    }
    for (const auto& t : tables) {
      std::string list;
      for (const auto& k : keys[t].second) list += (list.empty() ? "" : ",") + k;
      selects.push_back(keys[t].first + list + ")");
    }
    if (selects.empty()) return;
    std::vector<db::Recordset> sets = ctx.web().queryEach(selects);
    for (std::size_t i = 0; i < tables.size() && i < sets.size(); ++i) read_[tables[i]] = std::move(sets[i]);
  }
  const db::Recordset& of(const RowChange& c) const {
    static const db::Recordset none;
    auto found = read_.find(c.table);
    return found == read_.end() ? none : found->second;
  }

  // The rows of one change: those whose key column holds its key.
  static db::Recordset rowsOf(const db::Recordset& rs, const RowChange& c) {
    db::Recordset one;
    one.fields = rs.fields;
    const int k = rs.fieldIndex(c.m.key);
    for (const auto& row : rs.rows)
      if (k >= 0 && !row[static_cast<std::size_t>(k)].isNull() && sameKey(row[static_cast<std::size_t>(k)], c.key))
        one.rows.push_back(row);
    return one;
  }

 private:
  static bool sameKey(const db::Value& v, const std::string& key) {
    if (v.toString() == key) return true;
    long long n = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), n);
    return ec == std::errc() && end == key.data() + key.size() && v.toInt() == n &&
           static_cast<double>(n) == v.toDouble();
  }
  std::map<std::string, db::Recordset> read_;
};

// Applies changes in one branch transaction. Returns how many of them are now in place: all of them,
// or none when one failed (the transaction is rolled back and the branch keeps its rows as they were).
// failedAt is the index of the change that failed, when one did (0 when the commit failed).
std::size_t applyChanges(SyncContext& ctx, const std::vector<RowChange>& changes, std::size_t& failedAt) {
  auto& local = ctx.local();
  std::size_t i = 0;
  CentralRows central;
  try {
    central.read(ctx, changes);
  } catch (const db::DbError& e) {
    // Nothing of the batch is applied: the mark stops before its first copied change.
    for (i = 0; i < changes.size() && !changes[i].copy; ++i) {
    }
    ctx.notice(e.description() + "CreateInsert Queries" + (i < changes.size() ? changes[i].table : std::string()));
    failedAt = i < changes.size() ? i : 0;
    return 0;
  }
  i = 0;
  try {
    db::Transaction t(local);
    for (; i < changes.size(); ++i) {
      const RowChange& c = changes[i];
      local.execute("Delete from " + c.table + " where " + c.m.key + "=" + c.key);
      if (c.copy) {
        const db::Recordset rows = CentralRows::rowsOf(central.of(c), c);
        if (!CopyRows(ctx, c.table, rows, local).ok()) {
          failedAt = i;
          return 0;
        }
      }
    }
    t.commit();
    return changes.size();
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "Masters uploading" + (i < changes.size() ? changes[i].table : std::string()));
    // A failed commit names no change of its own: the whole batch is undone, so none of it counts and
    // the mark stays before its first change.
    failedAt = i < changes.size() ? i : 0;
    return 0;
  }
}

// The changes of copied tables are applied this many to a branch transaction: a commit per change
// costs more than the change itself. A failed
// change rolls back its batch; the changes before it are applied again in a batch of their own, so
// the outcome is the one a transaction per change gives: everything before the failed change applied,
// the failed one's branch row as it was, the mark just before it.
constexpr std::size_t kBatch = 50;

// The mark goes to the settings file every this many changes and at the end of the run: each write is
// a safe replace on disk that costs more than a batch of changes, and a mark that lags after a crash
// only has the next pass apply the same changes again, which leaves the same branch rows.
constexpr int kMarkEvery = 500;

// What waited in the change log: its rows counted per table and day ("d/m/yyyy"), in the order first met.
std::vector<MasterDownloadOutcome::Waiting> waitingOf(const db::Recordset& log) {
  std::vector<MasterDownloadOutcome::Waiting> waiting;
  for (std::size_t r = 0; r < log.size(); ++r) {
    const auto date = log.at(r, "DateofAction").toDateTime();
    const std::string table = log.at(r, "TableName").toString();
    const std::string day =
        date ? std::to_string(date->day) + "/" + std::to_string(date->month) + "/" + std::to_string(date->year)
             : std::string();
    auto it =
        std::find_if(waiting.begin(), waiting.end(), [&](const auto& w) { return w.table == table && w.day == day; });
    if (it == waiting.end()) it = waiting.insert(waiting.end(), {table, day, 0, date});
    ++it->count;
  }
  return waiting;
}

// The master download's mark (MaxActivityID): it passes each change once that change is handled.
class MasterMark {
 public:
  MasterMark(SyncContext& ctx, MasterDownloadOutcome& out) : ctx_(ctx), out_(out) {}
  void advance(long long id) {
    last_ = id;
    ++out_.applied;
    if (last_ > 0 && ++unsaved_ >= kMarkEvery) {
      ctx_.writeLoopSetting("MaxActivityID", std::to_string(last_));
      unsaved_ = 0;
    }
    ctx_.status().status("Update Masters Over");
  }
  // The mark of the run to the settings file (when it moved since the last write) and to memory.
  void finish() {
    if (last_ <= 0) return;
    if (unsaved_ > 0) ctx_.writeLoopSetting("MaxActivityID", std::to_string(last_));
    ctx_.MaxActivityID = last_;
  }

 private:
  SyncContext& ctx_;
  MasterDownloadOutcome& out_;
  long long last_ = 0;
  int unsaved_ = 0;  // handled rows whose id is not yet in the settings file
};

// Applies the pending changes and passes the mark over the ones now in place; false when one failed
// (the mark then stops just before it). pending is empty afterwards.
bool applyPending(SyncContext& ctx, std::vector<RowChange>& pending, MasterMark& mark) {
  if (pending.empty()) return true;
  std::size_t failedAt = 0;
  const bool ok = applyChanges(ctx, pending, failedAt) == pending.size();
  if (!ok) {
    RowChange stop = pending[failedAt];
    pending.resize(failedAt);
    std::size_t again = 0;
    if (!pending.empty() && applyChanges(ctx, pending, again) != pending.size()) {
      stop = pending[again];
      pending.clear();
    }
    ctx.log("Masters uploading", "Stopped at change " + std::to_string(stop.id) + " of " + stop.table);
  }
  for (const RowChange& c : pending) mark.advance(c.id);
  pending.clear();
  return ok;
}

}  // namespace

MasterDownloadOutcome downloadMasters(SyncContext& ctx) {
  MasterDownloadOutcome out;
  out.firstMark = ctx.MaxActivityID;
  const std::string sql =
      " SELECT   ID, TableName, tblUniqueID, Action, Active, DateofAction From tblActivity where "
      "ISNULL(pARENTid,0)=0 AND id>" +
      std::to_string(ctx.MaxActivityID) + " ORDER BY ID ";
  db::Recordset log;
  try {
    log = ctx.web().query(sql);
  } catch (const db::DbError& e) {
    // Without the change log nothing can be applied; the mark stays where it is.
    ctx.log("masters uploading Qry Failed", e.description());
    out.completed = false;
    out.logUnread = e.description();
    out.linkLost = e.linkLost() || !db::isOpen(ctx.WebConnection);
    return out;
  }
  ctx.log("masters uploading Qry Opened", sql);
  out.waiting = waitingOf(log);

  MasterMark mark(ctx, out);
  std::vector<RowChange> pending;
  auto flush = [&] { return applyPending(ctx, pending, mark); };

  bool boardRatesLoaded = false;
  for (std::size_t r = 0; r < log.size(); ++r) {
    if (ctx.host.stopRequested()) {
      // The changes gathered so far are applied; the mark stops after them.
      ctx.log("Masters uploading", "Stopped: the program was asked to stop");
      flush();
      out.completed = false;
      break;
    }
    const long long id = log.at(r, "ID").toInt();
    const std::string table = log.at(r, "TableName").toString();
    const std::string action = log.at(r, "Action").toString();
    const MasterTable m = masterTable(table);
    if (m.kind == MasterTable::Skip) continue;
    std::string key;
    if (m.kind == MasterTable::Copy && (action == "Insert" || action == "Update" || action == "Deleted") &&
        keyLiteral(log.at(r, "tblUniqueID"), key)) {
      pending.push_back({id, table, m, key, action != "Deleted"});
      if (pending.size() < kBatch) continue;
      if (!flush()) {
        out.completed = false;
        break;
      }
      continue;
    }
    // Anything else is handled on its own, after the changes before it are in place.
    if (!flush()) {
      out.completed = false;
      break;
    }
    if (m.kind == MasterTable::BoardRate) {
      // One full reload brings every board-rate change up to now: later rows of this pass need none.
      if (!boardRatesLoaded && !stock::importBoardRates(ctx, "", "")) {
        ctx.log("Masters uploading", "Stopped at change " + std::to_string(id) + " of " + table);
        out.completed = false;
        break;
      }
      boardRatesLoaded = true;
    } else if (m.kind == MasterTable::Excluded) {
      ctx.host.messageBox(table + " Excluded From Synch", Buttons::OK);
    } else if (action == "Insert" || action == "Update" || action == "Deleted") {
      ctx.notice("Change " + std::to_string(id) + " of " + table + " names no valid key (" +
                 log.at(r, "tblUniqueID").toString() + "); skipped");
    }
    mark.advance(id);
  }
  if (out.completed && !flush()) out.completed = false;
  mark.finish();
  return out;
}

}  // namespace erpsync::sync
