#include "sync/upload_transactions.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>
#include <optional>
#include <string>

#include "db/connection.h"
#include "form/main_form.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/val.h"
#include "shared/voucher_type_filter.h"
#include "db/sql_quote.h"
#include "sync/server_lock.h"
#include "sync/upload_batch.h"
#include "sync/voucher_kinds.h"

namespace erpsync {

namespace {

const std::string kSelect =
    std::string(" select Id,tablename, tbluniqueid ,tblUniquerefID, Action,active,dateofaction,ActionTime from "
                "tblactivity O where ParentID in(") +
    kUploadedParentTypes + ") and ISNULL(pARENTid,0) <> 0 AND Action not in('Update') and DateofAction='";

std::string fallbackQuery(const std::string& workingDate) {
  const std::string id = "0";
  return "select * from (SELECT " + id +
         " as ID, 'tblSales' AS tablename, InvId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS "
         "active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat  FROM  tblSales WHERE  (SyncStat = 0)" +
         " Union Select " + id +
         " as ID, 'tblNotes' AS tablename, VchId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS "
         "active, vchDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM  tblNotes WHERE (SyncStat = 0) " +
         " Union Select " + id +
         " as ID, 'tblJobCard' AS tablename, Jobcardid AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS "
         "Action, "
         "1 AS active, JobcardDate AS dateofaction, JObcardTime,SyncStat AS ActionTime FROM  tblJobCard WHERE "
         "(SyncStat = 0) " +
         " Union Select " + id +
         " as ID, 'tblOrder' AS tablename, InvId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS Action, 1 AS "
         "active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM  tblOrder WHERE (SyncStat = 0) " +
         " Union Select " + id +
         " as ID, 'tblStockJournal' AS tablename, InvId AS tbluniqueid, ServInvID AS tblUniquerefID, 'Insert' AS "
         "Action, 1 AS active, InvDate AS dateofaction, BillTime AS ActionTime,SyncStat FROM  tblStockJournal WHERE "
         "(SyncStat = 0)) as M where m.dateofaction='" +
         workingDate + "' or SyncStat =0";
}

// A whole number from the change log, or nothing: only numbers reach the statements built from it.
bool wholeNumber(const db::Value& v, long long& out) {
  if (v.isNull()) return false;
  const double d = v.toDouble();
  if (d != static_cast<double>(static_cast<long long>(d))) return false;
  if (v.isText() && v.toString() != std::to_string(static_cast<long long>(d))) return false;
  out = static_cast<long long>(d);
  return true;
}

// The mark goes to the settings file after a batch once this many rows were handled since the last
// write, and at the end of the run: each write is a safe replace on disk, and a mark that lags is
// harmless (an uploaded voucher is marked at the branch and never selected again; the receipt check
// catches the rest).
constexpr int kMarkEvery = 500;

// One change-log row the run handles, in log order.
struct Change {
  long long id = 0;                  // its change-log id (0 for the rows of the waiting-voucher query)
  const VoucherKind* kind = nullptr;  // nullptr: not a voucher table, nothing to send
  bool insert = false;               // a voucher to copy (else, with a kind, a central copy to mark deleted)
  long long number = 0;              // the branch number (insert) or the central number (delete)
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
      local.execute("update " + v.kind->table + " set SyncStat=1, ServInvID=" +
                    std::to_string(reply.vouchers[i].centralNo) + " where " + v.kind->key + "=" +
                    std::to_string(v.branchNo));
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
      ctx.log("transaction insertion", v.kind->table + " " + std::to_string(v.branchNo) +
                                           " is at head office already as " + central);
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
  Uploader(SyncContext& ctx, UploadOutcome& out)
      : ctx_(ctx), out_(out), holder_(db::sqlQuote(ctx.form.lblCostcentre.caption())) {}

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
      ctx_.form.lblserverStat.setCaption("LOCK");
      ctx_.form.lblStatus.setCaption("Server Busy with " + reply.holder + ". waiting.");
      ctx_.log(" Auto synch Stopped  ", "The push lock is held by " + reply.holder);
      return Sent{false, false};
    }
    ctx_.form.lblserverStat.setCaption("FREE");
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
    ctx_.notice(description + (table.empty() ? std::string("upload transactions") : "CreateInsert trans Queries" + table));
    ctx_.form.lblStatus.setCaption(description);
    ctx_.log("Error Generated " + description,
             table.empty() ? (batch.deletes.empty() ? std::string() : batch.deletes.front())
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

}  // namespace

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
  auto& form = ctx.form;
  const std::string filter = CREateSelVchTypeIDQry(ctx);
  const std::string workingDate = ddMMMyyyy(form.dtpdate.value());
  db::Recordset log;
  db::DateTime branchNow;
  long long logEnd = 0;
  std::string sql;
  try {
    auto& local = ctx.local();
    if (!blnmanualDateWiseSynch) {
      // The newest change before this run reads the log: once the run has handled all it selected,
      // the mark may pass every row up to here, the ones it did not select included (edits, and the
      // rows its own marks write), so an idle pass does not read them again and again.
      logEnd = local.query("select max(ID) as LastID from tblactivity").at(0, 0).toInt();
      sql = kSelect + workingDate + "' and ID>" + std::to_string(ctx.MaxActivityIDTrans) + filter + "  Order by o.ID ";
      ctx.log(" Auto synch Checking vouchers  ", sql);
      log = local.query(sql);
      if (log.empty()) {
        sql = fallbackQuery(workingDate);
        log = local.query(sql);
      }
    } else {
      sql = kSelect + workingDate + "'" + filter +
            " and id = (select max(A.id) from tblactivity A where o.tblUniqueID=a.tblUniqueID and o.tablename = "
            "a.tablename and a.Action not in('Update')) Order by o.ID ";
      log = local.query(sql);
    }
    // Ages are measured on the branch server's clock, which wrote ActionTime.
    branchNow = local.query("Select getdate() as Now").at(0, 0).toDateTime().value_or(ctx.clock.now());
  } catch (const db::DbError& e) {
    // Without the change log there is nothing to step through: end the run, lock untouched (not taken).
    ctx.notice(e.description() + "upload transactions");
    out.stopped = true;
    return out;
  }
  ctx.log(" Auto synch Getting eligible vouchers  ", sql);
  form.lblStatus.setCaption("");

  // What this run handles, in log order: up to the first change still waiting for its interval (the
  // mark must not pass it), or every change of the date in the operator's re-sync.
  const long long interval = static_cast<long long>(Val(form.cbointerval.text()));
  std::vector<Change> changes;
  bool work = false;
  for (std::size_t r = 0; r < log.size(); ++r) {
    const std::string table = log.at(r, "tablename").toString();
    const std::string action = log.at(r, "Action").toString();
    const auto actionTime = log.at(r, "ActionTime").toDateTime();
    const long long ageMinutes = actionTime ? (branchNow.totalSeconds() - actionTime->totalSeconds()) / 60 : interval;
    if (ageMinutes < interval) {
      if (out.waiting == 0) out.firstGoesUpInMinutes = static_cast<int>(std::max(1LL, interval - ageMinutes));
      if (blnmanualDateWiseSynch) {
        ++out.waiting;
        continue;
      }
      // The mark must not pass a change that is still waiting: the run ends here, and the voucher
      // changes after it (younger still) wait with it.
      for (std::size_t w = r; w < log.size(); ++w) {
        const std::string a = log.at(w, "Action").toString();
        if (voucherKind(log.at(w, "tablename").toString()) && (a == "Insert" || a == "Deleted")) ++out.waiting;
      }
      if (out.waiting == 0) out.waiting = 1;
      break;
    }
    Change c;
    c.id = log.at(r, "Id").toInt();
    const VoucherKind* kind = voucherKind(table);
    long long n = 0;
    if (kind && action == "Insert" && wholeNumber(log.at(r, "tbluniqueid"), n)) {
      c = {c.id, kind, true, n};
      work = true;
    } else if (kind && action == "Deleted" && wholeNumber(log.at(r, "tblUniquerefID"), n)) {
      c = {c.id, kind, false, n};
      work = true;
    }
    if (kind) out.activity.push_back(action + "\t" + table + "\t" + log.at(r, "dateofaction").toString().substr(0, 10) +
                                     " #" + log.at(r, "tbluniqueid").toString());
    changes.push_back(c);
  }
  ctx.host.doEvents();

  long long lastId = 0, savedId = ctx.MaxActivityIDTrans;
  // A re-sync of an earlier day never moves the mark back.
  auto passed = [&](const Change& c) {
    if (c.id > 0 && c.id > ctx.MaxActivityIDTrans && c.id > lastId) lastId = c.id;
  };
  auto saveMark = [&](bool always) {
    if (lastId > savedId && (always || lastId - savedId >= kMarkEvery)) {
      ctx.writeLoopSetting("MaxActivityIDTrans", std::to_string(lastId));
      savedId = lastId;
    }
  };

  if (work) {
    // Head office is asked only when there is something to send: one call a batch, the push lock taken
    // and given back inside each.
    // The vouchers themselves, read from the branch set by set.
    std::map<const VoucherKind*, std::vector<long long>> wanted;
    for (const auto& c : changes)
      if (c.kind && c.insert) wanted[c.kind].push_back(c.number);
    std::map<std::pair<const VoucherKind*, long long>, sync::VoucherCopy> copies;
    try {
      for (auto& [kind, numbers] : wanted) {
        const std::string selection = blnmanualDateWiseSynch && kind->table == "tblSales"
                                          ? " invDate='" + workingDate + "'"
                                          : " isnull(SyncStat,0)=0";
        for (auto& v : sync::readVoucherCopies(ctx.local(), *kind, numbers, selection))
          copies.emplace(std::make_pair(kind, v.branchNo), std::move(v));
      }
    } catch (const db::DbError& e) {
      ctx.notice(e.description() + "upload transactions");
      out.stopped = true;
      return out;
    }

    const std::string cc = std::to_string(static_cast<long long>(Val(form.lblCostcentre.tag())));
    Uploader uploader(ctx, out);
    sync::UploadBatch batch;
    std::vector<const Change*> inBatch;  // the changes the batch carries, and the ones passed before them
    std::set<std::pair<const VoucherKind*, long long>> queued;
    auto flush = [&]() -> bool {
      if (batch.empty()) {
        // Only changes with nothing to send (edits, other tables, vouchers gone since).
        for (const Change* c : inBatch) passed(*c);
        inBatch.clear();
        return true;
      }
      form.lblStatusMain.setCaption(batch.vouchers.empty() ? std::string("Migrating")
                                                           : "Migrating " + batch.vouchers.front()->kind->table);
      const Sent sent = uploader.send(batch);
      if (sent.accounted) {
        for (const Change* c : inBatch) passed(*c);
        saveMark(false);
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
      const sync::VoucherCopy* copy = nullptr;
      std::string mark;
      if (c.kind && c.insert) {
        auto it = copies.find({c.kind, c.number});
        // A voucher deleted since, marked already, or queued by an earlier change of this run.
        if (it != copies.end() && queued.insert({c.kind, c.number}).second) {
          copy = &it->second;
          size = copy->bytes();
        }
      } else if (c.kind) {
        // Only this branch's copy: the central number alone may belong to another branch's voucher.
        mark = c.kind->deleteMark + std::to_string(c.number) + " and CCID=" + cc;
        size = mark.size();
      }
      if ((copy || !mark.empty()) && !batch.fits(size) && !flush()) {
        out.stopped = !out.busy;
        break;
      }
      if (copy) batch.vouchers.push_back(copy);
      if (!mark.empty()) batch.deletes.push_back(mark);
      batch.bytes += size;
      inBatch.push_back(&c);
    }
    if (!out.stopped && !out.busy && !flush()) out.stopped = !out.busy;
    form.lblStatusMain.setCaption("");
  } else {
    for (const auto& c : changes) passed(c);
  }

  if (!blnmanualDateWiseSynch && !out.stopped && !out.busy && out.waiting == 0 &&
      logEnd > std::max(lastId, ctx.MaxActivityIDTrans))
    lastId = logEnd;
  if (lastId > 0) {
    saveMark(true);
    ctx.MaxActivityIDTrans = std::max(ctx.MaxActivityIDTrans, lastId);
  }
  ctx.log(" End of upload ttransections  ", "");
  if (!out.stopped && !out.busy) form.lblStatus.setCaption(uploadSentence(out));
  return out;
}

}  // namespace erpsync
