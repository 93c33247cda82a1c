// The day purge. Head office keeps every other branch's vouchers: its deletes name this cost centre.
#include "daycycle/day_purge.h"

#include "daycycle/auto_sync_switch.h"
#include "daycycle/working_date.h"
#include "db/connection.h"
#include "db/sql_quote.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "sync/upload_journal.h"
#include "sync/voucher_kinds.h"

namespace erpsync::daycycle {

namespace {

// Where clauses of the vouchers that go on each side.
std::string branchWhere(const std::string& filter) {
  return " where 1=1" + filter;
}
std::string centralWhere(const sync::VoucherKind& f, int cc, const std::string& dateText, const std::string& filter) {
  return " where " + f.dateColumn + "= '" + dateText + "' and CCID=" + std::to_string(cc) + filter;
}

// The lines of the vouchers where selects.
std::string linesOf(const sync::VoucherKind& f, const std::string& where) {
  return " where " + f.key + " in (Select " + f.key + " from " + f.table + where + ")";
}

// Lines first (chosen through their vouchers), then the vouchers.
void addFamily(std::vector<std::string>& out, const sync::VoucherKind& f, const std::string& where) {
  if (!f.detail.empty()) out.push_back("delete from " + f.detail + linesOf(f, where));
  out.push_back("delete from " + f.table + where);
}

long long countVouchers(db::Connection& c, const std::string& from, const std::string& where) {
  auto rs = c.query("Select count(*) from " + from + where);
  return rs.empty() ? 0 : rs.at(0, 0).toInt();
}

std::string counted(long long n, const std::string& what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

PurgeStatements purgeStatements(int cc, const std::string& dateText, const std::string& filter) {
  PurgeStatements out;
  out.branch.push_back("delete from tblStockHistory" + branchWhere(filter));
  out.central.push_back("delete from tblStockHistory where Vchdate= '" + dateText + "' and CCID=" + std::to_string(cc) +
                        filter);
  for (const auto& f : sync::voucherKinds()) {
    addFamily(out.branch, f, branchWhere(filter));
    addFamily(out.central, f, centralWhere(f, cc, dateText, filter));
  }
  out.branch.push_back("delete from tblActivity ");
  out.central.push_back("delete from TBLVOUCHER where TRdate= '" + dateText + "' and CCID=" + std::to_string(cc) +
                        filter);
  return out;
}

PurgeOutcome dayPurge(SyncContext& ctx) {
  PurgeOutcome out;
  const WorkingDay day = ctx.day();
  AutoSyncPause pause(ctx);
  try {
    const int cc = costCentreId(day);
    if (cc == 0) {
      ctx.host.messageBox("Cost Centre not defined Correctly.Exiting now", Buttons::OK, Icon::Critical);
      return out;
    }
    if (!confirmWorkingDate(ctx, day.date, "TEmporary Sales Deleter")) return out;
    const std::string filter = voucherTypeFilter(ctx);
    const std::string dateText = ddMMMyyyy(day.date);
    db::Connection& branch = ctx.local();
    db::Connection& central = ctx.web();
    // Counted before the question, so it names what goes on each side.
    long long branchLines = 0, centralLines = 0;
    for (const auto& f : sync::voucherKinds()) {
      out.branchVouchers += countVouchers(branch, f.table, branchWhere(filter));
      out.centralVouchers += countVouchers(central, f.table, centralWhere(f, cc, dateText, filter));
      if (f.detail.empty()) continue;
      branchLines += countVouchers(branch, f.detail, linesOf(f, branchWhere(filter)));
      centralLines += countVouchers(central, f.detail, linesOf(f, centralWhere(f, cc, dateText, filter)));
    }
    const long long changeLog = countVouchers(branch, "tblActivity", "");
    const std::string question =
        "Do you want to delete sales?\r\nThis branch: " + counted(out.branchVouchers, "voucher") + " with " +
        counted(branchLines, "line") + " of EVERY date, and the change log (" + counted(changeLog, "row") +
        "), are deleted.\r\nHead office: " + counted(out.centralVouchers, "voucher") + " with " +
        counted(centralLines, "line") + " of " + dateText + " of cost centre " + std::to_string(cc) +
        " are deleted.\r\nThis cannot be undone.";
    if (ctx.host.messageBox(question, Buttons::YesNo, Icon::Question, "TEmporary Sales Deleter", Answer::No) !=
        Answer::Yes)
      return out;

    const auto statements = purgeStatements(cc, dateText, filter);
    sync::ensureUploadJournal(branch);
    {
      db::Transaction centralSide(central);
      db::Transaction branchSide(branch);
      for (const auto& sql : statements.central) {
        central.execute(sql);
        ctx.log("Day purge Web", sql);
      }
      for (const auto& sql : statements.branch) {
        branch.execute(sql);
        ctx.log("Day purge", sql);
      }
      // What the branch recorded of the purged vouchers' sends goes with them: head office keeps its
      // copies of other dates, and a new voucher under a purged id is no edit of the old one.
      for (const auto& k : sync::voucherKinds())
        branch.execute("delete from tblUploadJournal where TableName=" + db::sqlQuote(k.table) + " and BranchID not in (select " +
                       k.key + " from " + k.table + ")");
      // The branch first: should head office's commit fail, a second purge finds its copies again; the
      // other way round could leave uploaded branch vouchers whose head-office copies are gone.
      branchSide.commit();
      // The change log is empty and numbers its rows from 1 again: a mark left above would skip them.
      ctx.writeLoopSetting("MaxActivityIDTrans", "0");
      ctx.MaxActivityIDTrans = 0;
      centralSide.commit();
    }
    out.purged = true;
    ctx.host.messageBox("Deleted: " + counted(out.branchVouchers, "voucher") + " at this branch and " +
                            counted(out.centralVouchers, "voucher") + " of " + dateText + " at head office.",
                        Buttons::OK);
  } catch (const db::DbError& e) {
    out.failed = true;
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    out.failed = true;
    ctx.notice(e.what());
  }
  return out;
}

}  // namespace erpsync::daycycle
