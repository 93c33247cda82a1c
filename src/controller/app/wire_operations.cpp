// Where the operations of the rest of the program are attached to the main window: one line per
// button, page or hook. An operation not wired here is simply not offered yet.
#include "app/frm_synch.h"
#include "daycycle/day_activity.h"
#include "form/main_form.h"
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
}

}  // namespace erpsync
