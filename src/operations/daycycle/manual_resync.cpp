// Manual re-sync. Head office's copy of the day is replaced under the push lock, so no other branch
// uploads into the numbers being freed; the re-queue is one branch transaction, the deletes one central
// transaction sent as one batch, which takes the lock and gives it back: it is never held across a
// round trip.
#include "daycycle/manual_resync.h"

#include <algorithm>
#include <vector>

#include "daycycle/auto_sync_switch.h"
#include "db/connection.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "sync/server_lock.h"
#include "sync/voucher_kinds.h"

namespace erpsync::daycycle {

namespace {

// The day's vouchers of one kind at this cost centre, of the chosen voucher types.
std::string dayOf(const sync::VoucherKind& k, const std::string& ccid, const std::string& dateText,
                  const std::string& filter) {
  return " where ccid=" + ccid + " AND  " + k.dateColumn + "= '" + dateText + "' " + filter;
}

// The lines of the vouchers where selects.
std::string linesOf(const sync::VoucherKind& k, const std::string& where) {
  return " where " + k.key + " in (Select " + k.key + " from " + k.table + where + ")";
}

long long affected(long long n) {
  return std::max(0LL, n);
}

// What the replacement would touch, counted before the question (one call per side): head office's
// vouchers of the day and their lines, and the branch's vouchers of the day that go up again.
struct DayCounts {
  long long centralVouchers = 0, centralLines = 0, branchVouchers = 0;
};

DayCounts countDay(SyncContext& ctx, int cc, const std::string& dateText, const std::string& filter) {
  const std::string ccid = std::to_string(cc);
  std::string headers, lines;
  for (const auto& k : sync::voucherKinds()) {
    const std::string day = dayOf(k, ccid, dateText, filter);
    headers += std::string(headers.empty() ? "" : "+") + "(select count(*) from " + k.table + day + ")";
    if (!k.detail.empty())
      lines += std::string(lines.empty() ? "" : "+") + "(select count(*) from " + k.detail + linesOf(k, day) + ")";
  }
  DayCounts n;
  const db::Recordset central = ctx.web().query("select " + headers + " as V, " + lines + " as L");
  const db::Recordset branch = ctx.local().query("select " + headers + " as V");
  n.centralVouchers = central.at(0, "V").toInt();
  n.centralLines = central.at(0, "L").toInt();
  n.branchVouchers = branch.at(0, "V").toInt();
  return n;
}

std::string vouchers(long long n) {
  return std::to_string(n) + (n == 1 ? " voucher" : " vouchers");
}

}  // namespace

DayReplacement dayReplacementStatements(int cc, const std::string& dateText, const std::string& filter) {
  DayReplacement out;
  const std::string ccid = std::to_string(cc);
  out.central.push_back(
      {"delete from tblStockHistory where ccid=" + ccid + " AND Vchdate= '" + dateText + "' " + filter, false,
       "Delete Stock History Web"});
  for (const auto& k : sync::voucherKinds()) {
    const std::string day = dayOf(k, ccid, dateText, filter);
    // Only the lines of the vouchers that go: other branches' rows are never touched.
    if (!k.detail.empty())
      out.central.push_back({"delete from " + k.detail + linesOf(k, day), false, k.resyncDetailLabel});
    out.central.push_back({"delete from " + k.table + day, true, k.resyncHeaderLabel});
    out.branch.push_back({"Update " + k.table + "  set syncstat = 0" + day, true, k.resyncBranchLabel});
  }
  return out;
}

namespace {

// The branch's vouchers of the day that head office holds (SyncStat 1), by family: what the re-queue
// turns to 0, and what a replacement head office did not make is turned back to 1.
struct Requeued {
  const sync::VoucherKind* kind = nullptr;
  std::vector<long long> ids;
};

// Re-queues the day at the branch in one branch transaction and commits it; what it turned to 0 is
// returned for the way back (read in the same transaction, one read for every family).
std::vector<Requeued> requeueAtBranch(SyncContext& ctx, const DayReplacement& statements, int cc,
                                      const std::string& dateText, const std::string& filter, long long& requeued) {
  db::Connection& branch = ctx.local();
  const auto& kinds = sync::voucherKinds();
  std::vector<Requeued> out;
  std::string marked;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    out.push_back({&kinds[i], {}});
    marked += std::string(marked.empty() ? "" : " union all ") + "select " + std::to_string(i) + " as Kind, " +
              kinds[i].key + " as ID from " + kinds[i].table + dayOf(kinds[i], std::to_string(cc), dateText, filter) +
              " and SyncStat=1";
  }
  db::Transaction branchDay(branch);
  const db::Recordset rs = branch.query(marked);
  for (std::size_t r = 0; r < rs.size(); ++r)
    out.at(static_cast<std::size_t>(rs.at(r, 0).toInt())).ids.push_back(rs.at(r, 1).toInt());
  for (const auto& s : statements.branch) {
    requeued += affected(branch.execute(s.sql));
    ctx.log(s.label, s.sql);
    ctx.host.doEvents();
  }
  branchDay.commit();
  return out;
}

// Head office did not replace the day (another branch held the push lock, or it answered with an
// error, so nothing of the batch stayed): the vouchers that were marked are marked again, in one branch
// transaction, and the branch is as it was.
void requeueUndone(SyncContext& ctx, const std::vector<Requeued>& requeued) {
  constexpr std::size_t kIdsPerStatement = 500;
  db::Connection& branch = ctx.local();
  db::Transaction back(branch);
  for (const auto& r : requeued)
    for (std::size_t from = 0; from < r.ids.size(); from += kIdsPerStatement) {
      std::string ids;
      for (std::size_t i = from; i < std::min(r.ids.size(), from + kIdsPerStatement); ++i)
        ids += (ids.empty() ? "" : ",") + std::to_string(r.ids[i]);
      branch.execute("update " + r.kind->table + " set SyncStat=1 where " + r.kind->key + " in (" + ids +
                     ") and isnull(SyncStat,0)=0");
    }
  back.commit();
}

// Head office's copy of the day deleted in one batch and one central transaction, with the push lock
// taken and given back inside it. Returns what head office answered; deleted: its vouchers deleted.
sync::LockedReply deleteAtHeadOffice(SyncContext& ctx, const DayReplacement& statements, long long& deleted) {
  sync::LockedWork work;
  work.declarations = ", @deleted int";
  work.statements = "SET @deleted = 0\r\n";
  for (const auto& s : statements.central) {
    work.statements += s.sql + "\r\n";
    if (s.vouchers) work.statements += "SET @deleted = @deleted + @@ROWCOUNT\r\n";
  }
  work.answer = ", @deleted AS Deleted";
  sync::LockedReply reply = sync::runUnderPushLock(ctx, work);
  if (reply.held) {
    deleted = affected(reply.row.at(0, "Deleted").toInt());
    for (const auto& s : statements.central) ctx.log(s.label, s.sql);
  }
  return reply;
}

// Replaces head office's copy of the day: the branch re-queues first (committed), then head office
// deletes in one call. Whatever fails, every voucher is live at head office, queued at the branch, or
// both; when head office is known to have kept the day, the re-queue is undone. False: busy.
bool replaceDay(SyncContext& ctx, int cc, const std::string& dateText, const std::string& filter, ResyncOutcome& out) {
  const auto statements = dayReplacementStatements(cc, dateText, filter);
  long long requeued = 0, deleted = 0;
  const std::vector<Requeued> marked = requeueAtBranch(ctx, statements, cc, dateText, filter, requeued);
  sync::LockedReply reply;
  try {
    reply = deleteAtHeadOffice(ctx, statements, deleted);
  } catch (const db::DbError& e) {
    // Head office answered with an error (the batch was rolled back whole) or was not reached: it kept
    // the day, and so does the branch. A link lost on the way leaves it unknown whether head office
    // committed: the day stays queued, and the upload recognises the copies head office still holds.
    const bool unknown = e.linkLost() && e.sqlState() != "08003" && e.sqlState() != "08001";
    if (!unknown) requeueUndone(ctx, marked);
    throw;
  }
  if (!reply.held) {
    requeueUndone(ctx, marked);
    const std::string busy = "Server Busy with " +
                             (reply.holder.empty() ? std::string("another branch") : reply.holder) +
                             ". Nothing was changed; run Manual Synch again later.";
    ctx.status().status(busy);
    ctx.log("Manual Synch", busy);
    out.busy = true;
    return false;
  }
  ctx.host.doEvents();
  out.replaced = true;
  out.centralDeleted = deleted;
  out.requeued = requeued;
  return true;
}

}  // namespace

ResyncOutcome manualResync(SyncContext& ctx) {
  ResyncOutcome out;
  const WorkingDay day = ctx.day();
  // Auto-sync is held (the box hidden) while it runs and comes back as the operator left it.
  AutoSyncPause pause(ctx, true);
  try {
    // What is replaced is what the upload sends again: head office's other vouchers of the branch's day
    // (and the branch's opening stock journal, which never goes up) are left alone.
    const std::string filter = uploadedVoucherTypesFilter(ctx, "vchtypeID");
    const int cc = costCentreId(day);
    if (cc == 0) {
      ctx.host.messageBox("Cost Centre not defined Correctly.Exiting now", Buttons::OK, Icon::Critical);
      return out;
    }
    ctx.log("manual Sync", "");
    const std::string dateText = ddMMMyyyy(day.date);
    const DayCounts n = countDay(ctx, cc, dateText, filter);
    out.asked = true;
    const std::string question =
        "Do you want to delete the transactions of " + dateText + " of cost centre " + std::to_string(cc) +
        " from Head office?\r\nHead office: " + vouchers(n.centralVouchers) + " with " +
        std::to_string(n.centralLines) + (n.centralLines == 1 ? " line" : " lines") +
        " are deleted (other branches' vouchers stay).\r\nThis branch: " + vouchers(n.branchVouchers) +
        " of that date are sent up again; nothing is deleted here.";
    if (ctx.host.messageBox(question, Buttons::YesNo, Icon::Question, "Manual Synch", Answer::No) == Answer::Yes) {
      ctx.log("Manual Synch", "Manual Synching process");
      if (!replaceDay(ctx, cc, dateText, filter, out)) return out;
      out.upload = sync::uploadTransactions(ctx, true);
    }
    out.finished = true;
    ctx.status().status("updation Over");
  } catch (const db::DbError& e) {
    out.failed = true;
    ctx.notice(e.description() + "cmdManualSynch_click");
  } catch (const std::exception& e) {
    out.failed = true;
    ctx.notice(std::string(e.what()) + "cmdManualSynch_click");
  }
  return out;
}

}  // namespace erpsync::daycycle
