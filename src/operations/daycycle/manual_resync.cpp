// Manual re-sync. Head office's copy of the day is replaced under the push lock, so no other branch
// uploads into the numbers being freed; the deletes and the re-queue are one transaction per side.
#include "daycycle/manual_resync.h"

#include <algorithm>
#include <optional>

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

ResyncOutcome manualResync(SyncContext& ctx) {
  ResyncOutcome out;
  const WorkingDay day = ctx.day();
  // Auto-sync is held (the box hidden) while it runs and comes back as the operator left it.
  AutoSyncPause pause(ctx, true);
  std::optional<sync::PushLockScope> lock;  // taken after the question, given back on every way out
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
      lock.emplace(ctx);
      if (!lock->held()) {
        const std::string holder = lock->holder();
        const std::string busy = "Server Busy with " + (holder.empty() ? std::string("another branch") : holder) +
                                 ". Nothing was changed; run Manual Synch again later.";
        ctx.status().status(busy);
        ctx.log("Manual Synch", busy);
        out.busy = true;
        return out;
      }
      const auto statements = dayReplacementStatements(cc, dateText, filter);
      db::Connection& central = ctx.web();
      db::Connection& branch = ctx.local();
      long long deleted = 0, requeued = 0;
      {
        db::Transaction centralDay(central);
        for (const auto& s : statements.central) {
          const long long n = affected(central.execute(s.sql));
          if (s.vouchers) deleted += n;
          ctx.log(s.label, s.sql);
          ctx.host.doEvents();
        }
        db::Transaction branchDay(branch);
        for (const auto& s : statements.branch) {
          requeued += affected(branch.execute(s.sql));
          ctx.log(s.label, s.sql);
          ctx.host.doEvents();
        }
        // The branch first: should head office's commit fail, its copies stay live and the queued
        // vouchers are recognised there by the next automatic upload.
        branchDay.commit();
        centralDay.commit();
      }
      out.replaced = true;
      out.centralDeleted = deleted;
      out.requeued = requeued;
      // The upload takes the lock itself.
      lock->release();
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
