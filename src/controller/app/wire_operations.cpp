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
  frm.wireButton(frm.form.cmdUpdateDataBase, "Update Database", [&frm] { frm.updateDatabase(); });
  frm.wireButton(frm.form.cmdFreeServer, "Free Server", [&ctx] { sync::freeServer(ctx); });
  frm.wireButton(frm.form.cmdDayStart, "Day Start", [&ctx] { onDayStart(ctx); });
  frm.hooks.SSTab1Pages[2] = [&frm] {
    // While head office is known to be out of reach its lock cannot be looked at (and was told once).
    if (frm.ctx.headOfficeState < 0 && !db::isOpen(frm.ctx.WebConnection)) {
      frm.form.lblserverStat.setCaption("UNKNOWN");
      return;
    }
    std::string holder;
    if (frm.databasesPrepared()) sync::checkServerFree(frm.ctx, holder);
  };
  frm.hooks.pass = [&frm] {
    showPassStarting(frm.ctx);
    const session::PassOutcome& out = frm.session.pass(passOptionsOf(frm.form));
    showPass(frm.ctx, out);
    // A pass run while the box is off (the support option, a pass already started) may have sent the
    // vouchers the AutoSynch line counts: it is counted again, so it never names vouchers that went.
    const auto& up = out.upload;
    if (!frm.form.lblAutoSynchState.caption().empty() || up.uploaded + up.alreadyCentral > 0)
      daycycle::tellAutoSyncState(frm.ctx);
  };
  frm.hooks.SSTab1Pages[3] = [&ctx] { reconcile::showMasterCounts(ctx); };
  frm.hooks.SSTab2Pages[0] = [&ctx] { reconcile::showVoucherCounts(ctx); };
  frm.hooks.SSTab2Pages[3] = [&ctx] { reconcile::showSalesComparison(ctx); };
  frm.wireButton(frm.form.cmdDayEnd, "Day End", [&ctx] { onDayEnd(ctx); });
  frm.wireButton(frm.form.cmdManualSynch, "Manual Synch", [&ctx] { onManualSynch(ctx); });
  frm.wireButton(frm.form.Command1, "Day Purge", [&ctx] { onDayPurge(ctx); });
  frm.wireButton(frm.form.cmdMasterSynchDetail, "Master List", [&ctx] { onMasterList(ctx); });
  frm.wireButton(frm.form.cmdFullSync, "Master Synchronisation", [&ctx] { onMasterSynchronisation(ctx); });
  frm.wireButton(frm.form.cmdSettingsSynch, "Settings Synchronisation", [&ctx] { onSettingsSynchronisation(ctx); });
  frm.wireButton(frm.form.cmdMIgrateMismatchedItemsonly, "Migrate Mismatch (red) Items",
                 [&ctx] { onMigrateMismatchedMasters(ctx); });
  frm.hooks.SSTab2Pages[2] = [&frm] {
    frm.runOperation("Mismatch check", [&frm] { reconcile::checkMismatchPage(frm.ctx); });
  };
  frm.form.onActivityMarksClicked = [&frm] {
    frm.runOperation("Activity marks", [&frm] { reconcile::onActivityMarksClicked(frm.ctx); });
  };
  frm.hooks.SSTab1Pages[5] = [&frm] {
    frm.runOperation("Stock Transfer", [&frm] { fillInterimTransferTypes(frm.ctx); });
  };
  frm.form.cboInterimTransferVchtype.onChange = [&ctx] { onTransferTypeChosen(ctx); };
  frm.form.lstTransfer.onClick = [&ctx] { onTransferChosen(ctx); };
  frm.wireButton(frm.form.cmdImportInterimtransfers, "Import", [&ctx] { onImportTransfer(ctx); });
  frm.wireButton(frm.form.cmdClearActivity, "Clear Activity", [&ctx] { reconcile::onClearActivity(ctx); });
}

}  // namespace erpsync
