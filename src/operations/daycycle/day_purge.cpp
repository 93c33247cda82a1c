// The day purge. Head office keeps every other branch's vouchers: its deletes name this cost centre.
#include "daycycle/day_purge.h"

#include "daycycle/auto_sync_switch.h"
#include "db/connection.h"
#include "form/main_form.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"

namespace erpsync::daycycle {

namespace {

const DayFamily kFamilies[] = {
    {"tblSales", "Invdate", "tblSalesItem", "InvID"},
    {"tblSTOCKJOURNAL", "Invdate", "tblSTOCKJOURNALDETAIL", "InvID"},
    {"tblJOBCARD", "jOBCARDdate", "tblJOBCARDDETAIL", "JOBCARDid"},
    {"tbloRDER", "Invdate", "tbloRDERitem", "InvID"},
    {"TBLNOTES", "VCHdate", "", "VchID"},
};

// Where clauses of the vouchers that go on each side.
std::string branchWhere(const std::string& filter) {
  return " where 1=1" + filter;
}
std::string centralWhere(const DayFamily& f, int cc, const std::string& dateText, const std::string& filter) {
  return std::string(" where ") + f.dateColumn + "= '" + dateText + "' and CCID=" + std::to_string(cc) + filter;
}

// Lines first (chosen through their vouchers), then the vouchers.
void addFamily(std::vector<std::string>& out, const DayFamily& f, const std::string& where) {
  if (*f.detail)
    out.push_back(std::string("delete from ") + f.detail + " where " + f.key + " in (Select " + f.key + " from " +
                  f.header + where + ")");
  out.push_back(std::string("delete from ") + f.header + where);
}

long long countVouchers(db::Connection& c, const std::string& from, const std::string& where) {
  auto rs = c.query("Select count(*) from " + from + where);
  return rs.empty() ? 0 : rs.at(0, 0).toInt();
}

}  // namespace

PurgeStatements purgeStatements(int cc, const std::string& dateText, const std::string& filter) {
  PurgeStatements out;
  out.branch.push_back("delete from tblStockHistory" + branchWhere(filter));
  out.central.push_back("delete from tblStockHistory where Vchdate= '" + dateText + "' and CCID=" + std::to_string(cc) +
                        filter);
  for (const auto& f : kFamilies) {
    addFamily(out.branch, f, branchWhere(filter));
    addFamily(out.central, f, centralWhere(f, cc, dateText, filter));
  }
  out.branch.push_back("delete from tblActivity ");
  out.central.push_back("delete from TBLVOUCHER where TRdate= '" + dateText + "' and CCID=" + std::to_string(cc) +
                        filter);
  return out;
}

PurgeOutcome Command1_Click(SyncContext& ctx) {
  PurgeOutcome out;
  if (ctx.host.messageBox("Do you want to delete sales", Buttons::YesNo) != Answer::Yes) return out;
  AutoSyncPause pause(ctx);
  try {
    const int cc = costCentreId(ctx);
    if (cc == 0) {
      ctx.host.messageBox("Cost Centre not defined Correctly.Exiting now", Buttons::OK, Icon::Critical);
      return out;
    }
    const std::string filter = CREateSelVchTypeIDQry(ctx);
    const std::string dateText = ddMMMyyyy(ctx.form.dtpdate.value());
    db::Connection& branch = ctx.local();
    db::Connection& central = ctx.web();
    for (const auto& f : kFamilies) {
      out.branchVouchers += countVouchers(branch, f.header, branchWhere(filter));
      out.centralVouchers += countVouchers(central, f.header, centralWhere(f, cc, dateText, filter));
    }
    const std::string question = "This deletes " + std::to_string(out.branchVouchers) +
                                 " vouchers of every date at this branch and " + std::to_string(out.centralVouchers) +
                                 " vouchers of " + dateText + " of cost centre " + std::to_string(cc) +
                                 " at head office, and empties the branch's change log. Delete them?";
    if (ctx.host.messageBox(question, Buttons::YesNo, Icon::Question) != Answer::Yes) return out;

    const auto statements = purgeStatements(cc, dateText, filter);
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
      // The branch first: should head office's commit fail, a second purge finds its copies again; the
      // other way round could leave uploaded branch vouchers whose head-office copies are gone.
      branchSide.commit();
      // The change log is empty and numbers its rows from 1 again: a mark left above would skip them.
      ctx.writeLoopSetting("MaxActivityIDTrans", "0");
      ctx.MaxActivityIDTrans = 0;
      centralSide.commit();
    }
    out.purged = true;
    ctx.host.messageBox("Deleted", Buttons::OK);
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
