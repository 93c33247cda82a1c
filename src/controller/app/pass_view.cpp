// The window's side of the automatic pass (see pass_view.h).
#include "app/pass_view.h"

#include "app/reconcile_view.h"
#include "app/stock_view.h"
#include "app/window_context.h"
#include "form/main_form.h"
#include "reconcile/branch_status.h"
#include "shared/date_text.h"
#include "shared/head_office_link.h"
#include "util/text.h"

namespace erpsync {

namespace {

void showActivity(WindowContext& ctx, const session::PassOutcome& out) {
  if (out.masters.waiting.empty() && out.upload.activity.empty()) return;  // the last pass's rows stay
  // The master summary and the voucher changes mean different things by their columns: each section
  // has its own heading row.
  reconcile::ActivitySection masters{"Master changes\tMaster table\tDate", {}};
  for (const auto& w : out.masters.waiting)
    masters.rows.push_back(std::to_string(w.count) + "\t" + w.table + "\t" + (w.date ? ddMMMyyyy(*w.date) : w.day));
  reconcile::showActivity(ctx.form.msgActivity,
                          {masters, {"Voucher change\tVoucher table\tDate and voucher id", out.upload.activity}});
}

void showStatus(MainForm& f, const reconcile::BranchStatus& s) {
  if (s.headOfficeAsked && s.lockKnown) f.lblserverStat.setCaption(s.lockHolder.empty() ? "FREE" : "LOCK");
  f.lblBranchStatus.setCaption(reconcile::branchStatusLine(s));
}

void setPassButtons(MainForm& f, bool passRunning) {
  f.cmdManualSynch.setEnabled(!passRunning);
  f.cmdDayStart.setEnabled(true);
  f.cmdDayEnd.setEnabled(true);
  // Passes run exactly while the box is ticked: an operator who unticked it during the pass stops them.
  f.timertrigger.setEnabled(!passRunning && f.ChkAutoSynch.value() == 1);
  if (!passRunning) {
    f.cmdSettingsSynch.setEnabled(true);
    f.cmdFullSync.setEnabled(true);
    f.cmdImportInterimtransfers.setEnabled(true);
  }
}

}  // namespace

session::PassOptions passOptionsOf(const MainForm& f) {
  session::PassOptions o;
  o.importTransfers = f.chkAutoSynchInterimStockTransfer.value() == 1;
  o.dayStart = {f.lblDaystart.caption(), f.lblDaystartTime.caption()};
  return o;
}

void showPassStarting(WindowContext& ctx) {
  auto& f = ctx.form;
  const db::DateTime now = ctx.clock.now();
  f.lblTimerStatus.setCaption(timeAmPm(now));
  f.txtTime.setText(timeAmPm(now));
  reconcile::showActivityMarks(ctx);
  if (text::trim(f.lblStatus.caption(), text::kWhitespace).empty())
    f.lblStatus.setCaption("Timer Activated " + generalDateTime(now));
  setPassButtons(f, true);
}

void showPass(WindowContext& ctx, const session::PassOutcome& out) {
  auto& f = ctx.form;
  setPassButtons(f, false);
  if (out.unprepared) {
    f.lblBranchStatus.setCaption(
        "The databases are not yet prepared for synchronisation: nothing is sent or received until Update "
        "Database has prepared them (press Insert for the maintenance page).");
    return;
  }
  // The stage ("Migrating tblItemMaster") was the pass's step in hand; once it is over, it would read
  // as work still going on.
  f.lblStatusMain.setCaption("");
  if (out.offline || !out.headOfficeAway.empty()) {
    // What was shown about head office no longer holds: the lock is unknown, and the status box says
    // why nothing moves.
    f.lblserverStat.setCaption("UNKNOWN");
    f.lblStatus.setCaption(headOfficeLostText(out.offline ? std::string("no network connection") : out.headOfficeAway));
  } else if (out.linkChanged) {
    f.lblStatus.setCaption(headOfficeBackText() + " " + f.lblStatus.caption());
  }
  if (!out.error.empty()) f.cmdManualSynch.setEnabled(true);
  showActivity(ctx, out);
  if (out.voucherCounts)
    reconcile::showCounts(f.msgTransGrid, reconcile::kTransCountHeader, *out.voucherCounts, true);
  if (out.transfersRan) showTransfersTaken(ctx, out.transfers);
  showStatus(f, out.status);
}

session::PassOutcome runWindowPass(WindowContext& ctx) {
  showPassStarting(ctx);
  const session::PassOutcome out = session::runPass(ctx, ctx.day(), passOptionsOf(ctx.form));
  showPass(ctx, out);
  return out;
}

void showBranchStatus(WindowContext& ctx, bool askHeadOffice) {
  showStatus(ctx.form, reconcile::readBranchStatus(ctx, askHeadOffice));
}

}  // namespace erpsync
