// Day end. The checks run with auto-sync stopped, so no upload changes the counts between the two
// sides; the locks commit together in one branch transaction before the day row is written, so a
// failure leaves either a closed day or an open one, never a half-locked day without its row.
#include "daycycle/day_end.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "daycycle/auto_sync_switch.h"
#include "daycycle/day_activity.h"
#include "daycycle/working_date.h"
#include "db/connection.h"
#include "form/main_form.h"
#include "reconcile/check_online_rows_tables.h"
#include "reconcile/locate_mismatching_trans.h"
#include "reconcile/verify_day.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/val.h"
#include "shared/voucher_type_filter.h"

namespace erpsync::daycycle {

namespace {

// Label, header table (carries the cost centre) and the statement up to the date.
struct CheckText {
  const char* label;
  const char* header;
  const char* first;
};

const CheckText kChecks[] = {
    {"Sales", "tblSales", "Select count(InvID) from tblSales where InvDate>='"},
    {"SalesItem", "tblSales",
     "Select count(tblSalesItem.invID) from tblSales,tblSalesItem where tblSales.InvID=tblSalesItem.InvID and "
     "InvDate>='"},
    {"StockJournal", "tblStockJournal", "Select count(InvID) from tblStockJournal where InvDate>='"},
    {"StockJournalItem", "tblStockJournal",
     "Select count(tblStockJournalDetail.invID) from tblStockJournalDetail,tblStockJournal where "
     "tblStockJournalDetail.InvID=tblStockJournal.InvID and InvDate>='"},
    {"Order", "tblOrder", "Select count(InvID) from tblOrder where InvDate>='"},
    {"OrderItem", "tblOrder",
     "Select count(tblOrder.invID) from tblOrderItem,tblOrder where tblOrderItem.InvID=tblOrder.InvID and InvDate>='"},
    {"Notes", "tblNotes", "Select count(vchID) from tblNotes where VchDate>='"},
    {"Jobcard", "tblJobcard", "Select count(JobCardID) from tblJobcard where JobCardDate>='"},
};

// The branch's vouchers up to the working date become read-only for the ERP.
const char* const kLocks[] = {
    "update tblSales set  LockMode=1 where iNVdate <='",
    "update tblNotes set  LockMode=1 where Vchdate <='",
    "update tblStockJournal set  LockMode=1 where iNVdate <='",
    "update tblJobcard set  LockMode=1 where JobCarddate <='",
    "update tblOrder set  LockMode=1 where iNVdate <='",
};

// The families the mismatch locator examines, in its order.
const std::pair<const char*, const char*> kFamilies[] = {
    {"TBLsALES", "TBLSALESITEM"},
    {"tblStockJournal", "tblStockJournalDetail"},
    {"tblJobCard", "tblJobCardDetail"},
    {"tblOrder", "tblOrderItem"},
    {"tblNOTES", ""},
};

// Brings the Mismatch page to the front without running the page's own check, which would list the
// vouchers again without force and restart the timer.
void showMismatchPage(MainForm& form) {
  auto handler = std::move(form.SSTab2.onClick);
  form.SSTab2.onClick = nullptr;
  form.SSTab2.setTab(2);
  form.SSTab2.onClick = std::move(handler);
}

// Minutes until the newest change not yet uploaded is old enough for the upload's interval (at least 1).
long long minutesUntilUploaded(SyncContext& ctx) {
  const long long interval = std::max(1LL, static_cast<long long>(Val(ctx.form.cbointerval.text())));
  try {
    const db::Recordset rs = ctx.local().query(
        "select max(ActionTime) as Newest, getdate() as Now from tblActivity where ID>" +
        std::to_string(ctx.MaxActivityIDTrans));
    const auto newest = rs.empty() ? std::nullopt : rs.at(0, "Newest").toDateTime();
    const auto now = rs.empty() ? std::nullopt : rs.at(0, "Now").toDateTime();
    if (!newest || !now) return interval;
    const long long left = interval * 60 - (now->totalSeconds() - newest->totalSeconds());
    return std::clamp((left + 59) / 60, 1LL, interval);
  } catch (const std::exception&) {
    return interval;
  }
}

// Vouchers still waiting for their interval are no difference: nothing is re-queued, the operator is
// told how many wait and when to try again, and the Mismatch page lists them.
DayEndResult refuseWaiting(SyncContext& ctx, long long waiting) {
  auto& form = ctx.form;
  const long long minutes = minutesUntilUploaded(ctx);
  const std::string text =
      std::to_string(waiting) + (waiting == 1 ? " voucher is" : " vouchers are") +
      " still waiting to go up; keep AutoSynch on and try Day End again in " + std::to_string(minutes) +
      (minutes == 1 ? " minute" : " minutes") + ". Nothing was locked.";
  form.lblStatusMain.setCaption("Day end waiting for uploads");
  // The count checks listed each table as differing; what they found is vouchers waiting.
  form.lblStatus.setCaption(text);
  showMismatchPage(form);
  ctx.log("Day End", "Day End refused: " + text);
  ctx.host.messageBox(text, Buttons::OK, Icon::Information, "Day End");
  return DayEndResult::Waiting;
}

DayEndResult refuse(SyncContext& ctx, const MismatchLocator& locate, const std::string& why) {
  auto& form = ctx.form;
  ctx.host.messageBox(
      "Day End stopped: the branch and head office differ for this day (the Mismatch page lists the vouchers). "
      "Nothing was locked; the differing vouchers are queued to go up again.\r\nKeep AutoSynch on and try Day End "
      "again after the next pass; if they still differ, run Manual Synch to replace head office's copy of the day.",
      Buttons::OK, Icon::Critical);
  form.lblStatusMain.setCaption("Day end Aborted");
  form.msgMisMatch.setRows(1);
  form.msgMisMatch.setRows(2);
  for (const auto& [master, detail] : kFamilies) {
    if (locate)
      locate(ctx, master, detail, true);
    else
      reconcile::LocateMismatchingTrans(ctx, master, detail, true);
  }
  showMismatchPage(form);
  ctx.log("Day End", "Day End refused: " + why);
  return DayEndResult::Differs;
}

}  // namespace

std::vector<DayEndCheck> dayEndChecks(const std::string& dayStartText, int costCentre, const std::string& filter) {
  std::vector<DayEndCheck> out;
  for (const auto& c : kChecks)
    out.push_back({c.label, std::string(c.first) + dayStartText + "' and " + c.header +
                                ".CCID=" + std::to_string(costCentre) + filter});
  return out;
}

DayEndResult cmdDayEnd_Click(SyncContext& ctx, const MismatchLocator& locate) {
  auto& form = ctx.form;
  const int cc = costCentreId(ctx);
  if (cc == 0) {
    // Without a cost centre the checks could not be confined to this branch's vouchers.
    ctx.host.messageBox("Cost Centre not defined Correctly.Exiting now", Buttons::OK, Icon::Critical);
    return DayEndResult::NoCostCentre;
  }
  const db::DateTime dayStart = GetdayStartDate(ctx);
  if (!confirmWorkingDate(ctx, "Day End")) return DayEndResult::Declined;
  if (ctx.host.messageBox("Are you sure you want to DAY END now", Buttons::YesNo, Icon::Question) != Answer::Yes)
    return DayEndResult::Declined;
  // No upload changes the counts between the two sides meanwhile; the box comes back as the operator
  // left it on every way out.
  AutoSyncPause pause(ctx);
  try {
    ctx.log("Day End", "Day End Started");
    // Like with like: only the vouchers that go up are counted on either side.
    const std::string filter = uploadedVoucherTypesFilter(ctx, "vchtypeID");
    long long total = 0;
    for (const auto& check : dayEndChecks(ddMMMyyyy(dayStart), cc, filter)) {
      const auto difference = CheckOnlineRowsTables(ctx, check.query, check.label);
      if (!difference) {
        // Not compared is not equal: nothing is locked that head office may not hold. Nothing needs
        // repairing either, so automatic synchronisation goes on.
        ctx.host.messageBox("Day End stopped: the " + check.label +
                                " vouchers could not be compared with head office. Nothing was locked.",
                            Buttons::OK, Icon::Critical);
        form.lblStatusMain.setCaption("Day end Aborted");
        ctx.log("Day End", "Day End refused: " + check.label + " could not be compared");
        return DayEndResult::Unverified;
      }
      total += *difference;
    }
    // The day's vouchers are compared one by one too: counts can agree by accident (a voucher missing at
    // head office and another there twice), and counts that differ may only mean vouchers still waiting
    // for their interval. Any voucher missing, twice or different at head office keeps the day open; the
    // differences stay listed on the Verify page.
    const reconcile::VerifyOutcome verified = reconcile::VerifyDay(ctx);
    if (verified.failed) {
      ctx.host.messageBox("Day End stopped: the vouchers could not be compared with head office. Nothing was locked.",
                          Buttons::OK, Icon::Critical);
      form.lblStatusMain.setCaption("Day end Aborted");
      ctx.log("Day End", "Day End refused: the vouchers could not be compared one by one");
      return DayEndResult::Unverified;
    }
    long long waiting = 0;
    for (const auto& d : verified.differences)
      if (d.finding == reconcile::Finding::Waiting) ++waiting;
    const auto differing = static_cast<long long>(verified.differences.size()) - waiting;
    if (waiting > 0 && differing == 0) return refuseWaiting(ctx, waiting);
    if (total != 0) return refuse(ctx, locate, "the counts of the branch and head office differ");
    if (differing > 0)
      return refuse(ctx, locate, std::to_string(differing) + " vouchers differ between the branch and head office");
    if (waiting > 0) return refuseWaiting(ctx, waiting);

    const std::string workingDate = ddMMMyyyy(form.dtpdate.value());
    {
      db::Connection& branch = ctx.local();
      db::Transaction locks(branch);
      for (const char* lock : kLocks) branch.execute(lock + workingDate + "' ");
      locks.commit();
    }
    const DayRowsWritten rows = WriteDayActivity(ctx, "DayEnd", "Day End Completed", cc, true);
    form.lblStatusMain.setCaption("Day end Finished");
    ctx.log("Day End", rows.both() ? std::string("Day End completed") : "Day End completed; " + rows.missing());
    form.lblStatus.setCaption(rows.missing());
    setdatstartDet(ctx);
    return rows.both() ? DayEndResult::Closed : DayEndResult::ClosedWithoutDayRow;
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return DayEndResult::Failed;
}

}  // namespace erpsync::daycycle
