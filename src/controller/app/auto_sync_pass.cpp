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

// The central change-log rows waiting for this branch, per table and day, into msgActivity.
int summariseWaitingChanges(SyncContext& ctx) {
  const std::string sql =
      " SELECT  COUNT(tblUniqueID) AS Updations, TableName, DAY(DateofAction) AS day, MONTH(DateofAction) AS Month, "
      "YEAR(DateofAction) AS year From tblActivity where ID>" +
      std::to_string(ctx.MaxActivityID) +
      " GROUP BY TableName, DAY(DateofAction), MONTH(DateofAction), YEAR(DateofAction) ";
  auto rs = ctx.web().query(sql);
  auto& grid = ctx.form.msgActivity;
  grid.clear();
  grid.setRows(1);
  grid.setFormatString("Updations | TableName | Date ");
  ctx.log("Query Opened", sql);
  int waiting = 0;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    const std::string line = rs.at(r, "Updations").toString() + "\t" + rs.at(r, "TableName").toString() + "\t" +
                             rs.at(r, "day").toString() + "/" + rs.at(r, "Month").toString() + "/" +
                             rs.at(r, "year").toString();
    grid.addItem(line);
    ctx.log("Looping query ", line);
    waiting += static_cast<int>(rs.at(r, "Updations").toInt());
  }
  return waiting;
}

void setPassButtons(SyncContext& ctx, bool passRunning) {
  auto& f = ctx.form;
  f.cmdManualSynch.setEnabled(!passRunning);
  f.cmdDayStart.setEnabled(true);
  f.cmdDayEnd.setEnabled(true);
  f.timertrigger.setEnabled(!passRunning);
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
      f.timertrigger.setEnabled(true);
      out.offline = true;
      return out;
    }
    OpenCompanyConnections(ctx);
    out.waitingChanges = summariseWaitingChanges(ctx);
    setPassButtons(ctx, true);
    ctx.log("Masters uploading starting", "");
    out.masters = uploadMasters(ctx);
    FillTransCount(ctx);
    ctx.log("Masters uploading End transaction uploading end", "");
    // A stop asked for during the masters ends the pass before the push lock is taken.
    if (!ctx.host.stopRequested()) out.upload = uploadTransactions(ctx, false);
    if (f.chkAutoSynchInterimStockTransfer.value() == 1 && !ctx.host.stopRequested()) {
      out.transfersRan = true;
      out.transfers = AutoSynchInterimStockTransfer(ctx);
    }
    setPassButtons(ctx, false);
  } catch (const std::exception& e) {
    const auto* db = dynamic_cast<const db::DbError*>(&e);
    out.error = db ? db->description() : e.what();
    f.cmdManualSynch.setEnabled(true);
    ctx.log("Auto Synch", out.error);
    ctx.host.messageBox(out.error, Buttons::OK);
    f.timertrigger.setEnabled(true);
  }
  return out;
}

}  // namespace erpsync
