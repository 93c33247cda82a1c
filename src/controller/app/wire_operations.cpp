// Where the operations of the rest of the program are attached to the main window: one line per
// button, page or hook. An operation not wired here is simply not offered yet.
#include "app/auto_sync_pass.h"
#include "app/frm_synch.h"
#include "daycycle/day_activity.h"
#include "form/main_form.h"
#include "reconcile/fill_data_count.h"
#include "reconcile/fill_sales_comparison.h"
#include "reconcile/fill_trans_count.h"
#include "sync/server_lock.h"

namespace erpsync {

void wireOperations(FrmSynch& frm) {
  SyncContext& ctx = frm.ctx;
  ctx.hooks.setdatstartDet = [&frm](SyncContext& c) {
    if (frm.databasesPrepared) daycycle::setdatstartDet(c);
  };
  frm.wireButton(frm.form.cmdUpdateDataBase, "Update Database", [&frm] { frm.cmdUpdateDataBase_Click(); });
  frm.wireButton(frm.form.cmdFreeServer, "Free Server", [&ctx] { sync::cmdFreeServer_Click(ctx); });
  frm.hooks.SSTab1Pages[2] = [&frm] {
    std::string holder;
    if (frm.databasesPrepared) sync::CheckSetServerFreeStatus(frm.ctx, true, false, false, holder);
  };
  frm.hooks.timertrigger_Timer = [&frm] { frm.lastPass = timertrigger_Timer(frm.ctx); };
  frm.hooks.SSTab1Pages[3] = [&ctx] { FillDataCount(ctx); };
  frm.hooks.SSTab2Pages[0] = [&ctx] { FillTransCount(ctx); };
  frm.hooks.SSTab2Pages[3] = [&ctx] { FillSalesComparison(ctx); };
}

}  // namespace erpsync
