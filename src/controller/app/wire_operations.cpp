// Where the operations of the rest of the program are attached to the main window: one line per
// button, page or hook. An operation not wired here is simply not offered yet.
#include "app/frm_synch.h"
#include "form/main_form.h"
#include "capture/update_database.h"
#include "daycycle/day_activity.h"
#include "sync/server_lock.h"

namespace erpsync {

void wireOperations(FrmSynch& frm) {
  SyncContext& ctx = frm.ctx;
  ctx.hooks.setdatstartDet = daycycle::setdatstartDet;
  frm.form.cmdUpdateDataBase.onClick = [&ctx] { capture::cmdUpdateDataBase_Click(ctx); };
  frm.form.cmdFreeServer.onClick = [&ctx] { sync::cmdFreeServer_Click(ctx); };
  frm.hooks.SSTab1Pages[2] = [&ctx] {
    std::string holder;
    sync::CheckSetServerFreeStatus(ctx, true, false, false, holder);
  };
}

}  // namespace erpsync
