#include "app/auto_sync_pass.h"

#include "app/pass_report.h"
#include "app/reconcile_view.h"
#include "db/connection.h"
#include "db/connection_string.h"
#include "form/main_form.h"
#include "shared/connections.h"
#include "shared/date_text.h"
#include "shared/network_state.h"
#include "shared/sync_context.h"
#include "app/stock_view.h"
#include "util/text.h"

namespace erpsync {

namespace {

// The central change-log rows the master download read, per table and day (the grid shows them with
// the voucher changes at the end of the pass).
int showWaitingChanges(SyncContext& ctx, const sync::MasterDownloadOutcome& masters) {
  ctx.log("Query Opened", "the central change log above " + std::to_string(masters.firstMark) + ", read by the master download");
  int waiting = 0;
  for (const auto& w : masters.waiting) {
    ctx.log("Looping query ", std::to_string(w.count) + "\t" + w.table + "\t" + w.day);
    waiting += w.count;
  }
  return waiting;
}

void setPassButtons(SyncContext& ctx, bool passRunning) {
  auto& f = ctx.form;
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

PassOutcome timertrigger_Timer(SyncContext& ctx) {
  PassOutcome out;
  auto& f = ctx.form;
  const db::DateTime now = ctx.clock.now();
  f.lblTimerStatus.setCaption(timeAmPm(now));
  // The pass's entries wait until it is known whether it did anything: an idle pass logs one line.
  ctx.holdLog();
  const int noticesAtStart = ctx.noticesShown;
  try {
    f.txtTime.setText(timeAmPm(now));
    reconcile::ShowActivityMarks(ctx);
    ctx.log("Timer Activated. checking Web connectivity", "");
    if (text::trim(f.lblStatus.caption(), text::kWhitespace).empty())
      f.lblStatus.setCaption("Timer Activated " + generalDateTime(now));
    // An embedded central server lives on this computer: no network is needed to reach it.
    const bool local = db::isEmbeddedDataSource(ctx.SyncServerName);
    if (!local && !ctx.host.isConnectedToInternet()) {
      f.timertrigger.setEnabled(f.ChkAutoSynch.value() == 1);
      out.offline = true;
      finishPass(ctx, out, noticesAtStart);
      return out;
    }
    // Head office is a round trip away: the connections stay open between passes, and are opened again
    // only after a pass that met a failure (a link that broke is noticed only when it is used).
    if (ctx.reopenCompanyConnections || !db::isOpen(ctx.LocalConnection) || !db::isOpen(ctx.WebConnection))
      OpenCompanyConnections(ctx);
    if (!db::isOpen(ctx.WebConnection)) {
      // Head office could not be opened (the open told why, once): nothing comes down or goes up, and
      // no call is made that could only fail again.
      out.headOfficeAway = ctx.WebOpenFailure.empty() ? std::string("not connected") : ctx.WebOpenFailure;
      out.masters.completed = false;
      out.upload.stopped = true;
      f.timertrigger.setEnabled(f.ChkAutoSynch.value() == 1);
      finishPass(ctx, out, noticesAtStart);
      return out;
    }
    const int noticesBefore = ctx.noticesShown;
    setPassButtons(ctx, true);
    ctx.log("Masters uploading starting", "");
    out.masters = sync::uploadMasters(ctx);
    out.waitingChanges = showWaitingChanges(ctx, out.masters);
    ctx.log("Masters uploading End transaction uploading end", "");
    if (out.masters.linkLost) {
      // The link went since the last pass: the vouchers wait, and the next pass opens it again.
      out.headOfficeAway = out.masters.logUnread;
      out.upload.stopped = true;
    } else if (!ctx.host.stopRequested()) {
      // A stop asked for during the masters ends the pass before the push lock is taken.
      out.upload = sync::uploadTransactions(ctx, false);
    }
    // The voucher counts scan head office's voucher tables: only when this pass sent something.
    if (out.upload.uploaded + out.upload.alreadyCentral + out.upload.deletesMarked > 0)
      reconcile::FillTransCount(ctx);
    if (ctx.noticesShown != noticesBefore || !out.masters.completed || out.upload.stopped)
      ctx.reopenCompanyConnections = true;
    if (f.chkAutoSynchInterimStockTransfer.value() == 1 && !ctx.host.stopRequested()) {
      out.transfersRan = true;
      out.transfers = runInterimTransfersUnattended(ctx);
    }
    setPassButtons(ctx, false);
  } catch (const std::exception& e) {
    const auto* db = dynamic_cast<const db::DbError*>(&e);
    out.error = db ? db->description() : e.what();
    ctx.reopenCompanyConnections = true;
    f.cmdManualSynch.setEnabled(true);
    ctx.log("Auto Synch", out.error);
    // Nothing modal: a box would hold the passes until someone clicks it. A lost link is head office
    // away (told when it goes and when it is back); another error is told once, not at every tick.
    if (db && db->linkLost()) out.headOfficeAway = out.error;
    f.timertrigger.setEnabled(f.ChkAutoSynch.value() == 1);
  }
  finishPass(ctx, out, noticesAtStart);
  return out;
}

}  // namespace erpsync
