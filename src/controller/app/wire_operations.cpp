// Where the operations of the rest of the program are attached to the main window: one line per
// button, page or hook. An operation not wired here is simply not offered yet.
#include "app/frm_synch.h"
#include "app/pass_view.h"
#include "app/reconcile_view.h"
#include "app/sync_view.h"
#include "app/daycycle_view.h"
#include "daycycle/auto_sync_switch.h"
#include "db/connection.h"
#include "form/main_form.h"
#include "app/stock_view.h"
#include "sync/free_server.h"
#include "sync/server_lock.h"

namespace erpsync {

void wireOperations(FrmSynch& frm) {
  WindowContext& ctx = frm.ctx;
  watchWorkingDate(frm.form, [&frm] { frm.showDayRows(); });
  frm.wireButton(frm.form.cmdUpdateDataBase, "Update Database", [&frm] { frm.cmdUpdateDataBase_Click(); });
  frm.wireButton(frm.form.cmdFreeServer, "Free Server", [&ctx] { sync::cmdFreeServer_Click(ctx); });
  frm.wireButton(frm.form.cmdDayStart, "Day Start", [&ctx] { cmdDayStart_Click(ctx); });
  frm.hooks.SSTab1Pages[2] = [&frm] {
    // While head office is known to be out of reach its lock cannot be looked at (and was told once).
    if (frm.ctx.headOfficeState < 0 && !db::isOpen(frm.ctx.WebConnection)) {
      frm.form.lblserverStat.setCaption("UNKNOWN");
      return;
    }
    std::string holder;
    if (frm.databasesPrepared()) sync::CheckSetServerFreeStatus(frm.ctx, true, false, false, holder);
  };
  frm.hooks.timertrigger_Timer = [&frm] {
    showPassStarting(frm.ctx);
    const session::PassOutcome& out = frm.session.pass(passOptionsOf(frm.form));
    showPass(frm.ctx, out);
    // A pass run while the box is off (the support option, a pass already started) may have sent the
    // vouchers the AutoSynch line counts: it is counted again, so it never names vouchers that went.
    const auto& up = out.upload;
    if (!frm.form.lblAutoSynchState.caption().empty() || up.uploaded + up.alreadyCentral > 0)
      daycycle::tellAutoSyncState(frm.ctx);
  };
  frm.hooks.SSTab1Pages[3] = [&ctx] { reconcile::FillDataCount(ctx); };
  frm.hooks.SSTab2Pages[0] = [&ctx] { reconcile::FillTransCount(ctx); };
  frm.hooks.SSTab2Pages[3] = [&ctx] { reconcile::FillSalesComparison(ctx); };
  frm.wireButton(frm.form.cmdDayEnd, "Day End", [&ctx] { cmdDayEnd_Click(ctx); });
  frm.wireButton(frm.form.cmdManualSynch, "Manual Synch", [&ctx] { cmdManualSynch_Click(ctx); });
  frm.wireButton(frm.form.Command1, "Day Purge", [&ctx] { Command1_Click(ctx); });
  frm.wireButton(frm.form.cmdMasterSynchDetail, "Master List", [&ctx] { cmdMasterSynchDetail_Click(ctx); });
  frm.wireButton(frm.form.cmdFullSync, "Master Synchronisation", [&ctx] { cmdFullSync_Click(ctx); });
  frm.wireButton(frm.form.cmdSettingsSynch, "Settings Synchronisation", [&ctx] { cmdSettingsSynch_Click(ctx); });
  frm.wireButton(frm.form.cmdMIgrateMismatchedItemsonly, "Migrate Mismatch (red) Items",
                 [&ctx] { cmdMIgrateMismatchedItemsonly_Click(ctx); });
  frm.hooks.SSTab2Pages[2] = [&frm] {
    frm.runOperation("Mismatch check", [&frm] { reconcile::MismatchPageCheck(frm.ctx); });
  };
  frm.form.lblMaxIDS_Click = [&frm] {
    frm.runOperation("Activity marks", [&frm] { reconcile::lblMaxIDS_Click(frm.ctx); });
  };
  frm.hooks.SSTab1Pages[5] = [&frm] {
    frm.runOperation("Stock Transfer", [&frm] { fillInterimTransferTypes(frm.ctx); });
  };
  frm.form.cboInterimTransferVchtype.onChange = [&ctx] { cboInterimTransferVchtype_Change(ctx); };
  frm.form.lstTransfer.onClick = [&ctx] { lstTransfer_Click(ctx); };
  frm.wireButton(frm.form.cmdImportInterimtransfers, "Import", [&ctx] { cmdImportInterimtransfers_Click(ctx); });
  frm.wireButton(frm.form.cmdClearActivity, "Clear Activity", [&ctx] { reconcile::cmdClearActivity_Click(ctx); });
}

}  // namespace erpsync
