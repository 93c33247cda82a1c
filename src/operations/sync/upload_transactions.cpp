// The transaction upload: the branch's change log recorded, then its waiting vouchers and deletions
// sent to head office in batches, a pass's share at a time.
#include "sync/upload_transactions.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "db/connection.h"
#include "db/sql_literal.h"
#include "db/sql_quote.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "sync/upload_batch.h"
#include "sync/upload_journal.h"
#include "sync/upload_marks.h"
#include "sync/upload_work.h"
#include "sync/voucher_kinds.h"
#include "util/text.h"

namespace erpsync::sync {

namespace {

// Every voucher change above the mark, of every date: a change of an earlier date (an edit or a
// deletion made after midnight, or while the window showed another day) goes up like today's.
std::string changeLogQuery(long long mark, long long end) {
  return std::string(
             " select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from "
             "tblactivity O where ParentID in(") +
         kUploadedParentTypes + ") and ISNULL(pARENTid,0) <> 0 and ID>" + std::to_string(mark) +
         " and ID<=" + std::to_string(end) + "  Order by o.ID ";
}

// The newest change-log id.
long long logEnd(db::Connection& local) {
  return local.query("select max(ID) as LastID from tblactivity").at(0, 0).toInt();
}

enum class Action { Insert, Update, Delete };

// One change-log row of a voucher table, in log order.
struct Change {
  long long id = 0;
  const VoucherKind* kind = nullptr;
  Action action = Action::Insert;
  long long branchNo = 0;
  long long centralNo = 0;  // the deleted voucher's ServInvID, when the log row has one
};

// The change log as the run reads it from the branch, and the branch server's time when it did.
struct ChangeLog {
  db::Recordset rows;
  db::DateTime branchNow;
  long long end = 0;  // the newest change-log id when the run read the log
};

// Reads the changes above the mark. False after an error (told as a notice).
bool readChangeLog(SyncContext& ctx, ChangeLog& log) {
  std::string sql;
  try {
    auto& local = ctx.local();
    ensureUploadJournal(local);
    log.end = logEnd(local);
    sql = changeLogQuery(ctx.MaxActivityIDTrans, log.end);
    ctx.log(" Auto synch Checking vouchers  ", sql);
    log.rows = local.query(sql);
    // Ages are measured on the branch server's clock, which wrote ActionTime.
    log.branchNow = local.query("Select getdate() as Now").at(0, 0).toDateTime().value_or(ctx.clock.now());
  } catch (const db::DbError& e) {
    // Without the change log there is nothing to step through: end the run, lock untouched (not taken).
    ctx.notice(e.description() + "upload transactions");
    return false;
  }
  ctx.log(" Auto synch Getting eligible vouchers  ", sql);
  return true;
}

// A change-log date as the window shows dates ("07/Dec/2026"); what is no date, as it stands.
std::string dayText(const db::Value& v) {
  const auto d = v.toDateTime();
  return d ? ddMMMyyyy(*d) : v.toString();
}

// What the change log asks of this run: the changes old enough to handle (up to the first one still
// waiting for its interval, which the mark must not pass), and the vouchers changed since, which wait
// with it.
struct LogScan {
  std::vector<Change> ready;
  std::set<VoucherRef> young;
  long long passTo = 0;  // the mark may pass every row up to here once the ready changes are recorded
};

LogScan scanChanges(const ChangeLog& log, long long interval, bool manual, UploadOutcome& out) {
  const db::Recordset& rows = log.rows;
  LogScan scan;
  scan.passTo = log.end;
  // What waits is counted in vouchers, as the operator counts them: a voucher entered and edited is one,
  // a voucher entered and deleted again before it went up is none.
  std::set<std::pair<std::string, std::string>> entered, deleted;
  long long cutoff = -1;  // the first change still waiting for its interval
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::string table = rows.at(r, "tablename").toString();
    const std::string action = rows.at(r, "Action").toString();
    const VoucherKind* kind = voucherKind(table);
    const auto number = db::wholeNumber(rows.at(r, "tbluniqueid"));
    const auto actionTime = rows.at(r, "ActionTime").toDateTime();
    const long long ageMinutes =
        actionTime ? (log.branchNow.totalSeconds() - actionTime->totalSeconds()) / 60 : interval;
    const bool edit = action != "Insert" && action != "Deleted";
    // An edit is recorded and goes up at once: the interval is the new voucher's, and the marks this
    // program writes log edits too, which must not hold the mark back.
    // The operator's re-sync steps over what is not old enough and goes on with the rest; the automatic
    // pass ends at it.
    if ((!edit && ageMinutes < interval) || (cutoff >= 0 && !manual)) {
      if (cutoff < 0) {
        cutoff = static_cast<long long>(r);
        out.firstGoesUpInMinutes = static_cast<int>(std::max(1LL, interval - ageMinutes));
        scan.passTo = rows.at(r, "Id").toInt() - 1;
      }
      if (kind && number) scan.young.insert({kind, *number});
      if (kind && (action == "Insert" || action == "Deleted"))
        (action == "Insert" ? entered : deleted).emplace(text::lower(table), rows.at(r, "tbluniqueid").toString());
      continue;
    }
    // Only whole numbers from the change log reach the statements built from it.
    if (!kind || !number) continue;
    Change c;
    c.id = rows.at(r, "Id").toInt();
    c.kind = kind;
    c.branchNo = *number;
    c.action = action == "Deleted" ? Action::Delete : action == "Insert" ? Action::Insert : Action::Update;
    if (auto ref = db::wholeNumber(rows.at(r, "tblUniquerefID"))) c.centralNo = *ref;
    if (c.action != Action::Update)
      out.activity.push_back(action + "\t" + table + "\t" + dayText(rows.at(r, "dateofaction")) + " #" +
                             rows.at(r, "tbluniqueid").toString());
    scan.ready.push_back(c);
  }
  if (cutoff >= 0) {
    int n = 0;
    for (const auto& v : entered) n += deleted.count(v) ? 0 : 1;
    for (const auto& v : deleted) n += entered.count(v) ? 0 : 1;
    // A change of another kind still holds the mark back: something waits.
    out.waiting = std::max(n, 1);
  }
  return scan;
}

// Ids of one kind, in the order first met.
std::map<const VoucherKind*, std::vector<long long>> idsByKind(const std::vector<VoucherRef>& refs) {
  std::map<const VoucherKind*, std::vector<long long>> out;
  for (const auto& [kind, no] : refs) out[kind].push_back(no);
  return out;
}

std::string idText(const std::vector<long long>& ids) {
  std::string s;
  for (long long id : ids) s += (s.empty() ? "" : ",") + std::to_string(id);
  return s;
}

// Records what the ready changes mean in the branch's own state, in one branch transaction, so the
// mark may pass them: a voucher deleted after it went up gets its claims marked Retiring; an uploaded
// voucher whose content is no longer what head office holds (an edit) waits again with SyncStat 0.
// An insert needs nothing: the new voucher waits with SyncStat 0 already.
void recordChanges(SyncContext& ctx, const WorkingDay& day, const std::vector<Change>& ready) {
  std::vector<VoucherRef> touched;
  std::set<VoucherRef> seen;
  std::map<VoucherRef, long long> loggedCentral;  // a deletion's ServInvID from the log
  for (const auto& c : ready) {
    if (seen.insert({c.kind, c.branchNo}).second) touched.push_back({c.kind, c.branchNo});
    if (c.action == Action::Delete && c.centralNo > 0) loggedCentral[{c.kind, c.branchNo}] = c.centralNo;
  }
  if (touched.empty()) return;
  auto& local = ctx.local();
  ClaimsOf claims;
  for (auto& [kind, ids] : idsByKind(touched)) readOpenClaims(local, *kind, ids, claims);
  // Only a voucher sent before (it has claims, or its deletion names a central number) has anything to
  // record: a new voucher waits as it is.
  std::vector<VoucherRef> sentBefore;
  for (const auto& ref : touched)
    if (claims.count(ref) || loggedCentral.count(ref)) sentBefore.push_back(ref);
  std::map<VoucherRef, VoucherCopy> now;
  for (auto& [kind, ids] : idsByKind(sentBefore))
    for (auto& v : readVoucherCopies(local, *kind, ids, "1=1")) now.emplace(VoucherRef{kind, v.branchNo}, std::move(v));
  std::vector<std::string> statements;
  for (const auto& ref : sentBefore) {
    const auto cl = claims.find(ref);
    const auto v = now.find(ref);
    const VoucherKind& k = *ref.first;
    if (v == now.end()) {
      std::vector<long long> open;
      if (cl != claims.end())
        for (const auto& c : cl->second)
          if (c.state != kClaimRetiring) open.push_back(c.id);
      if (!open.empty())
        statements.push_back("update tblUploadJournal set State=2 where ID in (" + idText(open) + ")");
      else if (cl == claims.end() && loggedCentral.count(ref))
        // Sent before the branch kept its journal: only the central number is known, and this branch's
        // copy under it is the one to mark.
        statements.push_back(
            "insert into tblUploadJournal (TableName, BranchID, CentralID, NaturalKey, Content, State, Written) "
            "values (" +
            db::sqlQuote(k.table) + ", " + std::to_string(ref.second) + ", " + std::to_string(loggedCentral[ref]) +
            ", " + db::sqlQuote(" and CCID=" + std::to_string(day.costCentreId)) + ", '', 2, getdate())");
      continue;
    }
    if (!v->second.marked || cl == claims.end()) continue;
    const bool current = std::any_of(cl->second.begin(), cl->second.end(), [&](const Claim& c) {
      return c.state != kClaimRetiring && c.sameAs(v->second);
    });
    if (!current)
      statements.push_back("update " + k.table + " set SyncStat=0 where " + k.key + "=" + std::to_string(ref.second));
  }
  if (statements.empty()) return;
  db::Transaction t(local);
  for (const auto& sql : statements) local.execute(sql);
  t.commit();
}

// The upload's mark (MaxActivityIDTrans): it passes the changes the run has recorded, and never moves
// back.
void passMark(SyncContext& ctx, long long to) {
  if (to <= ctx.MaxActivityIDTrans) return;
  ctx.writeLoopSetting("MaxActivityIDTrans", std::to_string(to));
  ctx.MaxActivityIDTrans = to;
}

// What the run tells the log about a batch that head office committed.
void logBatch(SyncContext& ctx, const UploadBatch& batch, const BatchReply& reply) {
  for (const auto& d : batch.deletes) ctx.log("transaction deletion", d);
  for (const auto& f : batch.found) {
    for (const auto& r : f.unit.retireFirst) ctx.log("transaction deletion", r);
    ctx.log("transaction insertion", f.unit.copy->kind->table + " " + std::to_string(f.unit.copy->branchNo) +
                                         " is at head office already as " + std::to_string(f.centralNo));
  }
  for (std::size_t i = 0; i < batch.vouchers.size(); ++i) {
    const SendUnit& u = batch.vouchers[i];
    const VoucherCopy& v = *u.copy;
    for (const auto& r : u.retireFirst) ctx.log("transaction deletion", r);
    const std::string central = std::to_string(reply.vouchers[i].centralNo);
    ctx.log("transaction insertion", v.headerStatement() + " -- @c = " + central);
    for (const auto& l : v.lineStatements()) ctx.log("transaction Detail insertion ", l);
  }
}

// A deadlock victim (1205) or a lock wait that timed out (1222): the batch was rolled back whole and
// is sent again as it is, a few times, before it is taken apart.
bool transient(const db::DbError& e) {
  return e.nativeError() == 1205 || e.nativeError() == 1222;
}
constexpr int kBatchTries = 3;

// Sends batches to head office under the push lock and marks what arrived at the branch.
class Uploader {
 public:
  // holder: this branch's name in the push lock row; readEnd: the newest change-log id when the
  // vouchers were read.
  Uploader(SyncContext& ctx, UploadOutcome& out, std::string holder, long long readEnd)
      : ctx_(ctx), out_(out), holder_(std::move(holder)), readEnd_(readEnd) {}

  // False: the run stops here (the link is lost, another branch holds the lock, or the answers could
  // not be recorded); what was not sent stays waiting.
  bool send(const UploadBatch& batch) {
    for (int attempt = 1;; ++attempt) {
      try {
        const BatchCall call = uploadBatchCall(batch, holder_);
        const db::Recordset rs = ctx_.web().queryWith(call.sql, call.params);
        return arrived(batch, readBatchReply(rs, batch.vouchers.size()));
      } catch (const db::DbError& e) {
        // On a lost link every later call fails too: the run stops and the next pass reconnects.
        if (e.linkLost()) return failed(batch, e.description(), false);
        restoreErrorHandling(ctx_.web());
        if (transient(e) && attempt < kBatchTries) {
          ctx_.log("Error Generated " + e.description(), "the batch is sent again");
          std::this_thread::sleep_for(std::chrono::milliseconds(100 * attempt));
          continue;
        }
        if (batch.units() <= 1) return failed(batch, e.description(), true);
        return oneByOne(batch);
      } catch (const std::runtime_error& e) {
        // An answer the run cannot read: what head office committed is not known; the claims written
        // before the send let the next pass find it.
        return failed(batch, e.what(), false);
      }
    }
  }

 private:
  // The batch was rolled back whole: one unit at a time finds the one that fails, the others go up. A
  // voucher whose natural key is that of a deletion that failed waits with it: head office's copy under
  // that key is still the deleted voucher's.
  bool oneByOne(const UploadBatch& batch) {
    for (std::size_t i = 0; i < batch.deletes.size(); ++i) {
      UploadBatch one;
      one.deletes.push_back(batch.deletes[i]);
      one.deleteTags.push_back(batch.deleteTags[i]);
      one.deleteKeys.push_back(batch.deleteKeys[i]);
      const int before = out_.failed;
      if (!send(one)) return false;
      if (out_.failed > before) heldBack_.insert(batch.deleteKeys[i]);
    }
    for (const auto& f : batch.found) {
      UploadBatch one;
      one.found.push_back(f);
      if (!send(one)) return false;
    }
    for (const auto& u : batch.vouchers) {
      if (heldBack_.count(u.copy->receiptWhere)) {
        ++out_.failed;
        continue;
      }
      UploadBatch one;
      one.vouchers.push_back(u);
      if (!send(one)) return false;
    }
    return true;
  }

  // The batch rolled back because head office holds some of its vouchers already (answers lost
  // earlier): those are only to be marked, and the batch goes again without copying them.
  bool again(const UploadBatch& batch, const BatchReply& reply) {
    UploadBatch next;
    next.deletes = batch.deletes;
    next.deleteTags = batch.deleteTags;
    next.deleteKeys = batch.deleteKeys;
    next.found = batch.found;
    next.bytes = batch.bytes;
    for (std::size_t i = 0; i < batch.vouchers.size(); ++i) {
      if (reply.vouchers[i].already)
        next.found.push_back({batch.vouchers[i], reply.vouchers[i].centralNo});
      else
        next.vouchers.push_back(batch.vouchers[i]);
    }
    return send(next);
  }

  bool arrived(const UploadBatch& batch, const BatchReply& reply) {
    if (!reply.lockHeld) {
      // Another branch holds the push lock: nothing of this batch was sent; the rest waits for the
      // next pass.
      out_.busy = true;
      out_.busyHolder = reply.holder;
      ctx_.status().pushLock("LOCK");
      ctx_.status().status(serverBusySentence(reply.holder));
      ctx_.log(" Auto synch Stopped  ", "The push lock is held by " + reply.holder);
      return false;
    }
    if (!reply.committed()) return again(batch, reply);
    ctx_.status().pushLock("FREE");
    logBatch(ctx_, batch, reply);
    out_.deletesMarked += static_cast<int>(batch.deletes.size());
    out_.alreadyCentral += static_cast<int>(batch.found.size());
    out_.uploaded += static_cast<int>(reply.vouchers.size());
    return markAtBranch(ctx_, batch, reply, readEnd_, ownRows_);
  }

  // A unit (or a whole batch on a lost link) that did not reach head office: it stays waiting.
  bool failed(const UploadBatch& batch, const std::string& description, bool goOn) {
    const VoucherCopy* first = !batch.vouchers.empty() ? batch.vouchers.front().copy
                               : !batch.found.empty()  ? batch.found.front().unit.copy
                                                       : nullptr;
    const std::string table = first ? first->kind->table : std::string();
    out_.failed += static_cast<int>(batch.units());
    ctx_.notice(description +
                (table.empty() ? std::string("upload transactions") : "CreateInsert trans Queries" + table));
    ctx_.status().status(description);
    ctx_.log("Error Generated " + description,
             first ? first->headerStatement() : (batch.deletes.empty() ? std::string() : batch.deletes.front()));
    return goOn;
  }

  SyncContext& ctx_;
  UploadOutcome& out_;
  std::string holder_;
  long long readEnd_;
  std::set<std::string> heldBack_;

 public:
  std::vector<long long> ownRows_;  // change-log rows the marks wrote
};

std::string count(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Sends the work in batches, one call each with the push lock taken and given back inside it.
// Returns the change-log rows the marks wrote.
std::vector<long long> sendWork(SyncContext& ctx, const WorkingDay& day, const Work& work, long long readEnd,
                                UploadOutcome& out) {
  Uploader uploader(ctx, out, day.costCentreName, readEnd);
  UploadBatch batch;
  auto flush = [&]() -> bool {
    if (batch.empty()) return true;
    ctx.status().stage(batch.vouchers.empty() ? std::string("Migrating")
                                              : "Migrating " + batch.vouchers.front().copy->kind->table);
    if (!writeClaims(ctx, batch)) return false;
    ctx.host.doEvents();
    const bool goOn = uploader.send(batch);
    batch = {};
    ctx.host.doEvents();
    return goOn;
  };
  auto stopAsked = [&] {
    if (!ctx.host.stopRequested()) return false;
    // Between batches: the one before is committed on both sides.
    ctx.log(" Auto synch Stopped  ", "The program was asked to stop");
    out.stopped = true;
    return true;
  };
  for (const auto& c : work.retiring) {
    if (stopAsked()) return uploader.ownRows_;
    const std::string sql = retireStatement(*c.kind, c.naturalWhere, c.centralNo);
    if (!batch.fits(sql.size()) && !flush()) {
      out.stopped = !out.busy;
      return uploader.ownRows_;
    }
    batch.deletes.push_back(sql);
    batch.deleteTags.push_back(c.id);
    batch.deleteKeys.push_back(c.naturalWhere);
    batch.bytes += sql.size();
  }
  for (const auto& v : work.copies) {
    if (stopAsked()) return uploader.ownRows_;
    SendUnit u;
    u.copy = &v;
    const auto cl = work.claims.find({v.kind, v.branchNo});
    u.receipt = cl == work.claims.end();
    std::size_t size = v.bytes();
    if (cl != work.claims.end())
      for (const auto& c : cl->second) {
        if (c.state != kClaimRetiring && c.sameAs(v)) {
          u.receipt = true;
          continue;
        }
        u.retireFirst.push_back(retireStatement(*v.kind, c.naturalWhere, c.centralNo));
        size += u.retireFirst.back().size();
      }
    if (!batch.fits(size) && !flush()) {
      out.stopped = !out.busy;
      return uploader.ownRows_;
    }
    batch.vouchers.push_back(std::move(u));
    batch.bytes += size;
  }
  if (!flush()) out.stopped = !out.busy;
  return uploader.ownRows_;
}

// After a pass whose marks wrote the only change-log rows above the mark, the mark passes them: they
// record nothing (the vouchers as sent, marked), and the next pass does not read them all again.
void passOwnRows(SyncContext& ctx, const std::vector<long long>& own) {
  if (own.empty()) return;
  const std::set<long long> mine(own.begin(), own.end());
  const db::Recordset rs =
      ctx.local().query("select ID from tblActivity where ID>" + std::to_string(ctx.MaxActivityIDTrans));
  long long last = 0;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    const long long id = rs.at(r, 0).toInt();
    if (!mine.count(id)) return;
    last = std::max(last, id);
  }
  passMark(ctx, last);
}

}  // namespace

std::string serverBusySentence(const std::string& holder) {
  return "Server Busy with " + holder + ". waiting.";
}

std::string uploadSentence(const UploadOutcome& out) {
  std::string s;
  const int sent = out.uploaded + out.alreadyCentral;
  if (sent > 0) s += count(sent, "voucher", "vouchers") + " sent to head office. ";
  if (out.deletesMarked > 0) s += count(out.deletesMarked, "deletion", "deletions") + " marked at head office. ";
  if (out.failed > 0) s += count(out.failed, "voucher", "vouchers") + " could not be sent and will be tried again. ";
  const int young = out.waiting - out.later;
  if (young > 0)
    s += count(young, "voucher waiting", "vouchers waiting") + "; the oldest goes up in " +
         count(out.firstGoesUpInMinutes, "minute.", "minutes. ");
  if (out.later > 0) s += count(out.later, "more goes", "more go") + " up in the next passes.";
  if (s.empty()) s = "Nothing waits to go up.";
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

UploadOutcome uploadTransactions(SyncContext& ctx, bool operatorResync, std::size_t passUnits) {
  UploadOutcome out;
  const WorkingDay day = ctx.day();
  ChangeLog log;
  if (!readChangeLog(ctx, log)) {
    out.stopped = true;
    return out;
  }
  ctx.status().status("");
  const LogScan scan = scanChanges(log, day.intervalMinutes, operatorResync, out);
  ctx.host.doEvents();

  if (ctx.host.stopRequested()) {
    // Asked to stop before anything was recorded: the changes are read again by the next run.
    ctx.log(" Auto synch Stopped  ", "The program was asked to stop");
    out.stopped = true;
    return out;
  }
  Work work;
  long long readEnd = 0;
  try {
    recordChanges(ctx, day, scan.ready);
    passMark(ctx, scan.passTo);
    readEnd = logEnd(ctx.local());
  } catch (const std::exception& e) {
    // Nothing recorded: the mark stays before the changes, which are read again.
    ctx.notice(std::string(e.what()) + "upload transactions");
    out.stopped = true;
    return out;
  }
  if (!readWork(ctx, day, scan.young, passUnits, work)) {
    out.stopped = true;
    return out;
  }
  // What this pass leaves for the next ones waits, of whatever date.
  out.later = work.later;
  out.waiting += work.later;
  // Head office is asked only when there is something to send.
  if (!work.retiring.empty() || !work.copies.empty()) {
    const std::vector<long long> own = sendWork(ctx, day, work, readEnd, out);
    try {
      if (!out.stopped && !out.busy) passOwnRows(ctx, own);
    } catch (const db::DbError& e) {
      ctx.notice(e.description() + "upload transactions");
    }
  }
  ctx.status().stage("");
  ctx.log(" End of upload ttransections  ", "");
  if (!out.stopped && !out.busy) ctx.status().status(uploadSentence(out));
  return out;
}

}  // namespace erpsync::sync
