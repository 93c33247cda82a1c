#include "sync/upload_transactions.h"

#include <algorithm>
#include <optional>
#include <string>

#include "db/connection.h"
#include "form/main_form.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/val.h"
#include "shared/voucher_type_filter.h"
#include "sync/create_insert_queries_for_trans.h"
#include "sync/server_lock.h"
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

// The mark goes to the settings file every this many rows and at the end of the run, not after every
// row: each write is a safe replace on disk, and a mark that lags is harmless (an uploaded voucher is
// marked at the branch and never selected again; the receipt check catches the rest).
constexpr int kMarkEvery = 500;

// The branch marks (SyncStat, ServInvID) of this many copied vouchers share one branch transaction.
// Each voucher's central copy has committed before its mark is written; marks lost with a batch (a
// crash, a failed branch commit) leave their vouchers waiting with SyncStat 0, where the next run
// finds them and its receipt check marks them with the central copy's number instead of copying
// again. Divides kMarkEvery, and the batch always commits before the high-water mark is written, so
// the mark never passes a voucher whose branch mark is not committed.
constexpr int kMarksPerCommit = 50;
static_assert(kMarkEvery % kMarksPerCommit == 0);

// Branch marks written since the last commit, in one branch transaction.
class MarkBatch {
 public:
  explicit MarkBatch(SyncContext& ctx) : ctx_(ctx) {}
  MarkBatch(const MarkBatch&) = delete;
  MarkBatch& operator=(const MarkBatch&) = delete;
  ~MarkBatch() { commit(); }
  void open() {
    if (!tx_) tx_.emplace(ctx_.local());
  }
  bool lost() const { return lost_; }
  bool added() { return ++count_ < kMarksPerCommit || commit(); }
  // False when the marks were lost: the central copies stand, and their vouchers wait with SyncStat
  // 0 for the next run's receipt check, so the high-water mark must not pass them.
  bool commit() {
    if (!tx_) return true;
    bool kept = true;
    try {
      tx_->commit();
    } catch (const db::DbError& e) {
      ctx_.notice(e.description() + "upload transactions");
      kept = false;
      lost_ = true;
    }
    tx_.reset();
    count_ = 0;
    return kept;
  }

 private:
  SyncContext& ctx_;
  std::optional<db::Transaction> tx_;
  int count_ = 0;
  bool lost_ = false;
};

}  // namespace

UploadOutcome uploadTransactions(SyncContext& ctx, bool blnmanualDateWiseSynch) {
  UploadOutcome out;
  auto& form = ctx.form;
  std::string holder;
  if (!sync::checkServerFree(ctx, holder)) {
    form.lblStatus.setCaption("Server Busy with " + holder + ". waiting.");
    ctx.host.doEvents();
    out.busy = true;
    return out;
  }
  const std::string filter = CREateSelVchTypeIDQry(ctx);
  if (!sync::checkServerFree(ctx, holder)) {
    form.lblStatus.setCaption("Server Busy with " + holder + ". waiting");
    ctx.host.doEvents();
    out.busy = true;
    return out;
  }

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
  form.msgActivity.clear();

  if (!sync::takeServerLock(ctx)) {
    ctx.form.lblStatus.setCaption("Server Busy. waiting.");
    out.busy = true;
    return out;
  }

  const long long interval = static_cast<long long>(Val(form.cbointerval.text()));
  long long lastId = 0, savedId = 0;
  int unsaved = 0;  // handled rows whose id is not yet in the settings file
  MarkBatch marks(ctx);
  sync::LockLease lease;
  for (std::size_t r = 0; r < log.size(); ++r) {
    if (ctx.host.stopRequested()) {
      // Between vouchers: the one before is committed on both sides, its mark follows below.
      ctx.log(" Auto synch Stopped  ", "The program was asked to stop");
      out.stopped = true;
      break;
    }
    const std::string table = log.at(r, "tablename").toString();
    const std::string action = log.at(r, "Action").toString();
    const auto actionTime = log.at(r, "ActionTime").toDateTime();
    const long long ageMinutes = actionTime ? (branchNow.totalSeconds() - actionTime->totalSeconds()) / 60 : interval;
    form.lblStatus.setCaption(form.lblStatus.caption() + "\r\n" + table + "  " + action + " Waiting. Action Time : " +
                              log.at(r, "ActionTime").toString() + " / Our Time = " + branchNow.iso() +
                              " Wait Time : " + std::to_string(interval - ageMinutes));
    if (ageMinutes < interval) {
      ++out.waiting;
      ctx.host.doEvents();
      if (!blnmanualDateWiseSynch) break;  // the mark must not pass a change that is still waiting
      continue;
    }
    if (!lease.keep(ctx)) {
      // Another branch holds the lock now: central numbering is not ours to use any more.
      ctx.log(" Auto synch Stopped  ", "The push lock is held by another branch");
      out.stopped = true;
      break;
    }
    long long branchNo = 0;
    const bool numbered = wholeNumber(log.at(r, "tbluniqueid"), branchNo);
    form.msgActivity.addItem(table + "\t" + action + log.at(r, "tbluniqueid").toString());
    ctx.log(" Entered to Insert Area  ", "");
    const VoucherKind* kind = voucherKind(table);
    try {
      if (kind && numbered && action == "Insert") {
        std::string condition = kind->autoFilter + std::to_string(branchNo);
        if (blnmanualDateWiseSynch && kind->table == "tblSales")
          condition = " invDate='" + workingDate + "' and INvID=" + std::to_string(branchNo);
        marks.open();
        auto copy = CreateInsertQueriesForTrans(ctx, kind->table, condition, "", ctx.web(), ctx.local(), kind->detail,
                                                kind->key, 0, kind->identity, blnmanualDateWiseSynch ? nullptr : kind);
        out.uploaded += copy.uploaded;
        out.alreadyCentral += copy.alreadyCentral;
        out.failed += copy.failed;
        if (copy.failed) lease.forget();  // a failed copy released the lock
        if (!marks.added()) {
          out.stopped = true;
          break;
        }
      } else if (kind && action == "Deleted") {
        long long centralNo = 0;
        if (wholeNumber(log.at(r, "tblUniquerefID"), centralNo)) {
          ctx.web().execute(kind->deleteMark + std::to_string(centralNo));
          ++out.deletesMarked;
        }
      }
    } catch (const db::DbError& e) {
      ctx.notice(e.description() + "upload transactions");
      sync::releaseServerLock(ctx);
      lease.forget();
      ++out.failed;
    }
    form.lblStatusMain.setCaption("");
    const long long id = log.at(r, "Id").toInt();
    // A re-sync of an earlier day never moves the mark back.
    if (id > 0 && id > ctx.MaxActivityIDTrans && id > lastId) {
      lastId = id;
      if (++unsaved >= kMarkEvery) {
        if (!marks.commit()) {
          out.stopped = true;
          break;
        }
        ctx.writeLoopSetting("MaxActivityIDTrans", std::to_string(lastId));
        savedId = lastId;
        unsaved = 0;
      }
    }
    ctx.log(" End of upload ttransections  ", "");
    ctx.host.doEvents();
  }
  if (!marks.commit()) out.stopped = true;
  if (marks.lost()) {
    // The run's branch marks since the last saved mark did not commit: the mark stays there.
    lastId = savedId;
    unsaved = 0;
  }
  if (!blnmanualDateWiseSynch && !out.stopped && out.waiting == 0 &&
      logEnd > std::max(lastId, ctx.MaxActivityIDTrans)) {
    lastId = logEnd;
    ++unsaved;
  }
  if (lastId > 0) {
    if (unsaved > 0) ctx.writeLoopSetting("MaxActivityIDTrans", std::to_string(lastId));
    ctx.MaxActivityIDTrans = lastId;
  }
  sync::releaseServerLock(ctx);
  return out;
}

}  // namespace erpsync
