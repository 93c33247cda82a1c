#include "sync/upload_transactions.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/sql_literal.h"
#include "db/sql_quote.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "sync/upload_batch.h"
#include "sync/voucher_kinds.h"
#include "util/text.h"

namespace erpsync::sync {

namespace {

const std::string kSelect =
    std::string(
        " select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from "
        "tblactivity O where ParentID in(") +
    kUploadedParentTypes + ") and ISNULL(pARENTid,0) <> 0 AND Action not in('Update') and DateofAction='";

// Every voucher still waiting at the branch (SyncStat 0), in the shape of the change log's rows, for a
// pass whose log has nothing for the working date.
std::string fallbackQuery(const std::string& workingDate) {
  std::string kinds;
  for (const auto& k : voucherKinds())
    kinds += std::string(kinds.empty() ? "SELECT " : " Union Select ") + "0 as ID, '" + k.table + "' AS tablename, " +
             k.key +
             " AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS "
             "active, " +
             k.dateColumn + " AS dateofaction, " + k.timeColumn + " AS ActionTime,SyncStat FROM " + k.table +
             " WHERE (SyncStat = 0)";
  return "select * from (" + kinds + ") as M where m.dateofaction='" + workingDate + "' or SyncStat =0";
}

// The mark goes to the settings file after a batch once this many rows were handled since the last
// write, and at the end of the run: each write is a safe replace on disk, and a mark that lags is
// harmless (an uploaded voucher is marked at the branch and never selected again; the receipt check
// catches the rest).
constexpr int kMarkEvery = 500;

// One change-log row the run handles, in log order.
struct Change {
  long long id = 0;                   // its change-log id (0 for the rows of the waiting-voucher query)
  const VoucherKind* kind = nullptr;  // nullptr: not a voucher table, nothing to send
  bool insert = false;                // a voucher to copy (else, with a kind, a central copy to mark deleted)
  long long number = 0;               // the branch number (insert) or the central number (delete)
};

// The branch marks of one batch's vouchers share one branch transaction, written after head office
// committed the batch. Marks lost with it (a crash, a failed branch commit) leave their vouchers
// waiting with SyncStat 0, where the next run finds them and its receipt check marks them with the
// central copy's number instead of copying again.
bool markAtBranch(SyncContext& ctx, const sync::UploadBatch& batch, const sync::BatchReply& reply) {
  try {
    auto& local = ctx.local();
    db::Transaction marks(local);
    for (std::size_t i = 0; i < batch.vouchers.size(); ++i) {
      const sync::VoucherCopy& v = *batch.vouchers[i];
      local.execute("update " + v.kind->table +
                    " set SyncStat=1, ServInvID=" + std::to_string(reply.vouchers[i].centralNo) + " where " +
                    v.kind->key + "=" + std::to_string(v.branchNo));
    }
    marks.commit();
    return true;
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "upload transactions");
  }
  return false;
}

// What the run tells the log about a batch that head office committed.
void logBatch(SyncContext& ctx, const sync::UploadBatch& batch, const sync::BatchReply& reply) {
  for (const auto& d : batch.deletes) ctx.log("transaction deletion", d);
  for (std::size_t i = 0; i < batch.vouchers.size(); ++i) {
    const sync::VoucherCopy& v = *batch.vouchers[i];
    const std::string central = std::to_string(reply.vouchers[i].centralNo);
    if (reply.vouchers[i].already) {
      ctx.log("transaction insertion",
              v.kind->table + " " + std::to_string(v.branchNo) + " is at head office already as " + central);
      continue;
    }
    ctx.log("transaction insertion", v.header + " -- @c = " + central);
    for (const auto& l : v.lines) ctx.log("transaction Detail insertion ", l);
  }
}

// How a batch went. goOn: the run may send the next batch. accounted: every unit of the batch either
// reached head office with its branch mark committed, or failed on its own and stays waiting with
// SyncStat 0 (found again by the waiting-voucher query), so the mark may pass the batch's changes.
struct Sent {
  bool goOn = true;
  bool accounted = true;
};

// Sends batches to head office under the push lock and marks what arrived at the branch.
class Uploader {
 public:
  // holder: this branch's name in the push lock row.
  Uploader(SyncContext& ctx, UploadOutcome& out, const std::string& holder)
      : ctx_(ctx), out_(out), holder_(db::sqlQuote(holder)) {}

  Sent send(const sync::UploadBatch& batch) {
    try {
      const db::Recordset rs = ctx_.web().query(sync::uploadBatchText(batch, holder_));
      return arrived(batch, sync::readBatchReply(rs, batch.vouchers.size()));
    } catch (const db::DbError& e) {
      // On a lost link every later call fails too: the run stops and the next pass reconnects; the
      // mark stays before the batch, whose vouchers wait with SyncStat 0.
      if (e.linkLost()) return failed(batch, e.description(), Sent{false, false});
      sync::restoreErrorHandling(ctx_.web());
      if (batch.vouchers.size() + batch.deletes.size() <= 1) return failed(batch, e.description(), Sent{});
      // The batch was rolled back whole: one unit at a time finds the one that fails, the others go up.
      for (const auto& d : batch.deletes) {
        sync::UploadBatch one;
        one.deletes.push_back(d);
        if (Sent s = send(one); !s.goOn) return s;
      }
      for (const auto* v : batch.vouchers) {
        sync::UploadBatch one;
        one.vouchers.push_back(v);
        if (Sent s = send(one); !s.goOn) return s;
      }
      return Sent{};
    } catch (const std::runtime_error& e) {
      // An answer the run cannot read: what head office committed is not known, the receipt check of
      // the next pass finds it.
      return failed(batch, e.what(), Sent{false, false});
    }
  }

 private:
  Sent arrived(const sync::UploadBatch& batch, const sync::BatchReply& reply) {
    if (!reply.lockHeld) {
      // Another branch holds the push lock: nothing of this batch was sent; the rest waits for the
      // next pass.
      out_.busy = true;
      out_.busyHolder = reply.holder;
      ctx_.status().pushLock("LOCK");
      ctx_.status().status(serverBusySentence(reply.holder));
      ctx_.log(" Auto synch Stopped  ", "The push lock is held by " + reply.holder);
      return Sent{false, false};
    }
    ctx_.status().pushLock("FREE");
    logBatch(ctx_, batch, reply);
    out_.deletesMarked += static_cast<int>(batch.deletes.size());
    for (const auto& v : reply.vouchers) ++(v.already ? out_.alreadyCentral : out_.uploaded);
    // Marks lost with their branch transaction: the vouchers wait and the mark must not pass them.
    if (!batch.vouchers.empty() && !markAtBranch(ctx_, batch, reply)) return Sent{false, false};
    return Sent{};
  }

  // A unit (or a whole batch on a lost link) that did not reach head office: it stays waiting.
  Sent failed(const sync::UploadBatch& batch, const std::string& description, Sent how) {
    const std::string table = batch.vouchers.empty() ? std::string() : batch.vouchers.front()->kind->table;
    out_.failed += static_cast<int>(batch.vouchers.size() + batch.deletes.size());
    ctx_.notice(description +
                (table.empty() ? std::string("upload transactions") : "CreateInsert trans Queries" + table));
    ctx_.status().status(description);
    ctx_.log("Error Generated " + description, table.empty()
                                                   ? (batch.deletes.empty() ? std::string() : batch.deletes.front())
                                                   : batch.vouchers.front()->header);
    return how;
  }

  SyncContext& ctx_;
  UploadOutcome& out_;
  std::string holder_;
};

std::string count(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The change log as the run reads it from the branch, and the branch server's time when it did.
struct ChangeLog {
  db::Recordset rows;
  db::DateTime branchNow;
  long long end = 0;  // the newest change-log id before the run (automatic pass only)
};

// Reads the changes the run steps through: the automatic pass's log above the mark (or every voucher
// still waiting when the log has nothing for the date), or every change of the date in the operator's
// re-sync. False after an error (told as a notice).
bool readChangeLog(SyncContext& ctx, const std::string& workingDate, bool manual, ChangeLog& log) {
  const std::string filter = CREateSelVchTypeIDQry(ctx);
  std::string sql;
  try {
    auto& local = ctx.local();
    if (!manual) {
      // The newest change before this run reads the log: once the run has handled all it selected,
      // the mark may pass every row up to here, the ones it did not select included (edits, and the
      // rows its own marks write), so an idle pass does not read them again and again.
      log.end = local.query("select max(ID) as LastID from tblactivity").at(0, 0).toInt();
      sql = kSelect + workingDate + "' and ID>" + std::to_string(ctx.MaxActivityIDTrans) + filter + "  Order by o.ID ";
      ctx.log(" Auto synch Checking vouchers  ", sql);
      log.rows = local.query(sql);
      if (log.rows.empty()) {
        sql = fallbackQuery(workingDate);
        log.rows = local.query(sql);
      }
    } else {
      sql = kSelect + workingDate + "'" + filter +
            " and id = (select max(A.id) from tblactivity A where o.tblUniqueID=a.tblUniqueID and o.tablename = "
            "a.tablename and a.Action not in('Update')) Order by o.ID ";
      log.rows = local.query(sql);
    }
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

// What this run handles, in log order: up to the first change still waiting for its interval (the
// mark must not pass it), or every change of the date in the operator's re-sync. Counts what waits
// and lists the voucher changes in out.
std::vector<Change> selectChanges(const ChangeLog& log, long long interval, bool manual, UploadOutcome& out) {
  const db::Recordset& rows = log.rows;
  std::vector<Change> changes;
  // What waits is counted in vouchers, as the operator counts them: a voucher entered and edited is one,
  // a voucher entered and deleted again before it went up is none.
  std::set<std::pair<std::string, std::string>> entered, deleted;
  auto waits = [&](std::size_t w) {
    const std::string a = rows.at(w, "Action").toString();
    const std::string table = rows.at(w, "tablename").toString();
    if (!voucherKind(table) || (a != "Insert" && a != "Deleted")) return;
    (a == "Insert" ? entered : deleted).emplace(text::lower(table), rows.at(w, "tbluniqueid").toString());
  };
  auto countWaiting = [&] {
    int n = 0;
    for (const auto& v : entered) n += deleted.count(v) ? 0 : 1;
    for (const auto& v : deleted) n += entered.count(v) ? 0 : 1;
    // A change of another kind still holds the mark back: something waits.
    out.waiting = std::max(n, 1);
  };
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const std::string table = rows.at(r, "tablename").toString();
    const std::string action = rows.at(r, "Action").toString();
    const auto actionTime = rows.at(r, "ActionTime").toDateTime();
    const long long ageMinutes =
        actionTime ? (log.branchNow.totalSeconds() - actionTime->totalSeconds()) / 60 : interval;
    if (ageMinutes < interval) {
      if (out.waiting == 0) out.firstGoesUpInMinutes = static_cast<int>(std::max(1LL, interval - ageMinutes));
      if (manual) {
        waits(r);
        countWaiting();
        continue;
      }
      // The mark must not pass a change that is still waiting: the run ends here, and the voucher
      // changes after it (younger still) wait with it.
      for (std::size_t w = r; w < rows.size(); ++w) waits(w);
      countWaiting();
      break;
    }
    Change c;
    c.id = rows.at(r, "Id").toInt();
    const VoucherKind* kind = voucherKind(table);
    // Only whole numbers from the change log reach the statements built from it.
    if (kind && action == "Insert") {
      if (auto n = db::wholeNumber(rows.at(r, "tbluniqueid"))) c = {c.id, kind, true, *n};
    } else if (kind && action == "Deleted") {
      if (auto n = db::wholeNumber(rows.at(r, "tblUniquerefID"))) c = {c.id, kind, false, *n};
    }
    if (kind)
      out.activity.push_back(action + "\t" + table + "\t" + dayText(rows.at(r, "dateofaction")) + " #" +
                             rows.at(r, "tbluniqueid").toString());
    changes.push_back(c);
  }
  return changes;
}

// The upload's mark (MaxActivityIDTrans): it passes the changes the run has accounted for, and a
// re-sync of an earlier day never moves it back.
class TransMark {
 public:
  explicit TransMark(SyncContext& ctx) : ctx_(ctx), saved_(ctx.MaxActivityIDTrans) {}
  void pass(const Change& c) {
    if (c.id > 0 && c.id > ctx_.MaxActivityIDTrans && c.id > last_) last_ = c.id;
  }
  // Past every change up to id (the run handled all it selected).
  void passTo(long long id) {
    if (id > std::max(last_, ctx_.MaxActivityIDTrans)) last_ = id;
  }
  // Writes the mark to the settings file (always, or once kMarkEvery rows were passed since the last write).
  void save(bool always) {
    if (last_ > saved_ && (always || last_ - saved_ >= kMarkEvery)) {
      ctx_.writeLoopSetting("MaxActivityIDTrans", std::to_string(last_));
      saved_ = last_;
    }
  }
  void finish() {
    if (last_ <= 0) return;
    save(true);
    ctx_.MaxActivityIDTrans = std::max(ctx_.MaxActivityIDTrans, last_);
  }

 private:
  SyncContext& ctx_;
  long long last_ = 0;
  long long saved_;
};

using Copies = std::map<std::pair<const VoucherKind*, long long>, VoucherCopy>;

// The vouchers the changes copy, read from the branch set by set. False after an error (told).
bool readCopies(SyncContext& ctx, const std::vector<Change>& changes, bool manual, const std::string& workingDate,
                Copies& copies) {
  std::map<const VoucherKind*, std::vector<long long>> wanted;
  for (const auto& c : changes)
    if (c.kind && c.insert) wanted[c.kind].push_back(c.number);
  try {
    for (auto& [kind, numbers] : wanted) {
      const std::string selection =
          manual && kind->table == "tblSales" ? " invDate='" + workingDate + "'" : " isnull(SyncStat,0)=0";
      for (auto& v : readVoucherCopies(ctx.local(), *kind, numbers, selection))
        copies.emplace(std::make_pair(kind, v.branchNo), std::move(v));
    }
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "upload transactions");
    return false;
  }
  return true;
}

// Sends what the changes carry in batches, one call each with the push lock taken and given back
// inside it, and moves the mark past every batch that was accounted for. False when the vouchers could
// not be read from the branch: nothing was sent.
bool sendChanges(SyncContext& ctx, const WorkingDay& day, const std::vector<Change>& changes, bool manual,
                 TransMark& mark, UploadOutcome& out) {
  Copies copies;
  if (!readCopies(ctx, changes, manual, ddMMMyyyy(day.date), copies)) {
    out.stopped = true;
    return false;
  }
  const std::string cc = std::to_string(day.costCentreId);
  Uploader uploader(ctx, out, day.costCentreName);
  UploadBatch batch;
  std::vector<const Change*> inBatch;  // the changes the batch carries, and the ones passed before them
  std::set<std::pair<const VoucherKind*, long long>> queued;
  auto flush = [&]() -> bool {
    if (batch.empty()) {
      // Only changes with nothing to send (edits, other tables, vouchers gone since).
      for (const Change* c : inBatch) mark.pass(*c);
      inBatch.clear();
      return true;
    }
    ctx.status().stage(batch.vouchers.empty() ? std::string("Migrating")
                                              : "Migrating " + batch.vouchers.front()->kind->table);
    const Sent sent = uploader.send(batch);
    if (sent.accounted) {
      for (const Change* c : inBatch) mark.pass(*c);
      mark.save(false);
    }
    batch = {};
    inBatch.clear();
    ctx.host.doEvents();
    return sent.goOn;
  };
  for (const auto& c : changes) {
    if (ctx.host.stopRequested()) {
      // Between batches: the one before is committed on both sides.
      ctx.log(" Auto synch Stopped  ", "The program was asked to stop");
      out.stopped = true;
      break;
    }
    std::size_t size = 0;
    const VoucherCopy* copy = nullptr;
    std::string deleteMark;
    if (c.kind && c.insert) {
      auto it = copies.find({c.kind, c.number});
      // A voucher deleted since, marked already, or queued by an earlier change of this run.
      if (it != copies.end() && queued.insert({c.kind, c.number}).second) {
        copy = &it->second;
        size = copy->bytes();
      }
    } else if (c.kind) {
      // Only this branch's copy: the central number alone may belong to another branch's voucher.
      deleteMark = c.kind->deleteMark + std::to_string(c.number) + " and CCID=" + cc;
      size = deleteMark.size();
    }
    if ((copy || !deleteMark.empty()) && !batch.fits(size) && !flush()) {
      out.stopped = !out.busy;
      break;
    }
    if (copy) batch.vouchers.push_back(copy);
    if (!deleteMark.empty()) batch.deletes.push_back(deleteMark);
    batch.bytes += size;
    inBatch.push_back(&c);
  }
  if (!out.stopped && !out.busy && !flush()) out.stopped = !out.busy;
  ctx.status().stage("");
  return true;
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
  if (out.waiting > 0)
    s += count(out.waiting, "voucher waiting", "vouchers waiting") + "; the oldest goes up in " +
         count(out.firstGoesUpInMinutes, "minute.", "minutes.");
  if (s.empty()) s = "Nothing waits to go up.";
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

UploadOutcome uploadTransactions(SyncContext& ctx, bool blnmanualDateWiseSynch) {
  UploadOutcome out;
  const WorkingDay day = ctx.day();
  ChangeLog log;
  if (!readChangeLog(ctx, ddMMMyyyy(day.date), blnmanualDateWiseSynch, log)) {
    out.stopped = true;
    return out;
  }
  ctx.status().status("");
  const std::vector<Change> changes = selectChanges(log, day.intervalMinutes, blnmanualDateWiseSynch, out);
  ctx.host.doEvents();

  TransMark mark(ctx);
  // Head office is asked only when there is something to send.
  const bool work = std::any_of(changes.begin(), changes.end(), [](const Change& c) { return c.kind != nullptr; });
  if (work) {
    // The vouchers could not be read: the mark stays where it is.
    if (!sendChanges(ctx, day, changes, blnmanualDateWiseSynch, mark, out)) return out;
  } else {
    for (const auto& c : changes) mark.pass(c);
  }

  if (!blnmanualDateWiseSynch && !out.stopped && !out.busy && out.waiting == 0) mark.passTo(log.end);
  mark.finish();
  ctx.log(" End of upload ttransections  ", "");
  if (!out.stopped && !out.busy) ctx.status().status(uploadSentence(out));
  return out;
}

}  // namespace erpsync::sync
