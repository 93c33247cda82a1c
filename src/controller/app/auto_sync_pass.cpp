#include "app/auto_sync_pass.h"

#include "db/connection.h"
#include "db/connection_string.h"
#include "form/main_form.h"
#include "reconcile/fill_trans_count.h"
#include "shared/connections.h"
#include "shared/date_text.h"
#include "shared/network_state.h"
#include "shared/sync_context.h"
#include "stock/import_interim_transfers.h"
#include "util/text.h"

namespace erpsync {

namespace {

void showMarks(SyncContext& ctx) {
  ctx.form.lblMaxIDS.setCaption(" Max Server Activity ID " + std::to_string(ctx.MaxActivityID) + "\r\n" +
                                "Max client trans Activity ID " + std::to_string(ctx.MaxActivityIDTrans) + "\r\n" +
                                "Double click to know actual IDS of Server and client");
}

// The central change-log rows the master download read, per table and day, into msgActivity.
int showWaitingChanges(SyncContext& ctx, const MasterDownloadOutcome& masters) {
  auto& grid = ctx.form.msgActivity;
  grid.clear();
  grid.setRows(1);
  grid.setFormatString("Updations | TableName | Date ");
  ctx.log("Query Opened", "the central change log above " + std::to_string(masters.firstMark) + ", read by the master download");
  int waiting = 0;
  for (const auto& w : masters.waiting) {
    const std::string line = std::to_string(w.count) + "\t" + w.table + "\t" + w.day;
    grid.addItem(line);
    ctx.log("Looping query ", line);
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
  try {
    f.txtTime.setText(timeAmPm(now));
    showMarks(ctx);
    ctx.log("Timer Activated. checking Web connectivity", "");
    if (text::trim(f.lblStatus.caption(), text::kWhitespace).empty())
      f.lblStatus.setCaption("Timer Activated " + generalDateTime(now));
    // An embedded central server lives on this computer: no network is needed to reach it.
    const bool local = db::isEmbeddedDataSource(ctx.SyncServerName);
    if (!local && !ctx.host.isConnectedToInternet()) {
      f.timertrigger.setEnabled(f.ChkAutoSynch.value() == 1);
      out.offline = true;
      return out;
    }
    // Head office is a round trip away: the connections stay open between passes, and are opened again
    // only after a pass that met a failure (a link that broke is noticed only when it is used).
    if (ctx.reopenCompanyConnections || !db::isOpen(ctx.LocalConnection) || !db::isOpen(ctx.WebConnection))
      OpenCompanyConnections(ctx);
    const int noticesBefore = ctx.noticesShown;
    setPassButtons(ctx, true);
    ctx.log("Masters uploading starting", "");
    out.masters = uploadMasters(ctx);
    out.waitingChanges = showWaitingChanges(ctx, out.masters);
    ctx.log("Masters uploading End transaction uploading end", "");
    // A stop asked for during the masters ends the pass before the push lock is taken.
    if (!ctx.host.stopRequested()) out.upload = uploadTransactions(ctx, false);
    // The voucher counts scan head office's voucher tables: only when this pass sent something.
    if (out.upload.uploaded + out.upload.alreadyCentral + out.upload.deletesMarked > 0) FillTransCount(ctx);
    if (ctx.noticesShown != noticesBefore || !out.masters.completed || out.upload.stopped)
      ctx.reopenCompanyConnections = true;
    if (f.chkAutoSynchInterimStockTransfer.value() == 1 && !ctx.host.stopRequested()) {
      out.transfersRan = true;
      out.transfers = AutoSynchInterimStockTransfer(ctx);
    }
    setPassButtons(ctx, false);
  } catch (const std::exception& e) {
    const auto* db = dynamic_cast<const db::DbError*>(&e);
    out.error = db ? db->description() : e.what();
    ctx.reopenCompanyConnections = true;
    f.cmdManualSynch.setEnabled(true);
    ctx.log("Auto Synch", out.error);
    ctx.host.messageBox(out.error, Buttons::OK);
    f.timertrigger.setEnabled(f.ChkAutoSynch.value() == 1);
  }
  return out;
}

}  // namespace erpsync
