#include "daycycle/auto_sync_switch.h"

#include <cmath>

#include "db/value.h"
#include "form/main_form.h"
#include "shared/sync_context.h"

namespace erpsync::daycycle {

int costCentreId(SyncContext& ctx) {
  const double cc = db::leadingNumber(ctx.form.lblCostcentre.tag());
  // Out-of-range and fractional texts are no cost centre a statement could name.
  if (!(cc >= 1 && cc <= 2147483647.0)) return 0;
  return static_cast<int>(std::llround(cc));
}

void stopAutoSync(SyncContext& ctx) {
  ctx.form.timertrigger.setEnabled(false);
  ctx.form.ChkAutoSynch.setValue(0);
}

void restoreAutoSync(SyncContext& ctx) {
  ctx.form.ChkAutoSynch.setValue(ctx.AutoSyncOn ? 1 : 0);
  ctx.form.timertrigger.setEnabled(ctx.form.ChkAutoSynch.value() == 1);
}

AutoSyncPause::AutoSyncPause(SyncContext& ctx)
    : ctx_(ctx), boxValue_(ctx.form.ChkAutoSynch.value()), timerEnabled_(ctx.form.timertrigger.enabled()) {
  stopAutoSync(ctx);
}

AutoSyncPause::~AutoSyncPause() {
  ctx_.form.ChkAutoSynch.setValue(boxValue_);
  ctx_.form.timertrigger.setEnabled(timerEnabled_);
}

}  // namespace erpsync::daycycle
