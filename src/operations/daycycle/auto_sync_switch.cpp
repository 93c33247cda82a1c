#include "daycycle/auto_sync_switch.h"

#include <cmath>
#include <functional>
#include <utility>

#include "db/connection.h"
#include "db/value.h"
#include "form/main_form.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "sync/voucher_kinds.h"

namespace erpsync::daycycle {

namespace {

// Sets the box without raising its click handler: the pause itself is no operator's click.
void setBoxQuietly(MainForm& form, int value) {
  auto handler = std::exchange(form.ChkAutoSynch.onClick, nullptr);
  form.ChkAutoSynch.setValue(value);
  form.ChkAutoSynch.onClick = std::move(handler);
}

}  // namespace

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

long long waitingVoucherCount(SyncContext& ctx) {
  if (!db::isOpen(ctx.LocalConnection)) return -1;
  try {
    const int cc = costCentreId(ctx);
    const std::string types = uploadedVoucherTypesFilter(ctx, "VchTypeID");
    long long n = 0;
    for (const auto& k : voucherKinds()) {
      const auto rs = ctx.local().query("select count(*) from " + k.table + " where isnull(SyncStat,0)<>1" +
                                        (cc ? " and CCID=" + std::to_string(cc) : std::string()) + types);
      if (!rs.empty()) n += rs.at(0, 0).toInt();
    }
    return n;
  } catch (const std::exception&) {
    return -1;
  }
}

void tellAutoSyncState(SyncContext& ctx) {
  auto& label = ctx.form.lblAutoSynchState;
  if (ctx.form.ChkAutoSynch.value() == 1) {
    label.setCaption("");
    return;
  }
  const long long waiting = waitingVoucherCount(ctx);
  if (waiting <= 0) {
    label.setCaption(waiting == 0 ? "AutoSynch is off: nothing is sent to head office." : "");
    return;
  }
  label.setCaption("AutoSynch is off: " + std::to_string(waiting) + (waiting == 1 ? " voucher is" : " vouchers are") +
                   " waiting and nothing is sent to head office. Tick AutoSynch to send them.");
}

AutoSyncPause::AutoSyncPause(SyncContext& ctx, bool hideBox)
    : ctx_(ctx), boxValue_(ctx.form.ChkAutoSynch.value()), hideBox_(hideBox) {
  ctx.form.timertrigger.setEnabled(false);
  setBoxQuietly(ctx.form, 0);
  if (hideBox_) ctx.form.ChkAutoSynch.setVisible(false);
}

AutoSyncPause::~AutoSyncPause() {
  auto& form = ctx_.form;
  // As the operator left it: "Keep AutoSynch Always On" ticks the box at connect, and an operator who
  // unticked it since is not overruled by an operation.
  const int box = boxValue_ == 1 ? 1 : 0;
  setBoxQuietly(form, box);
  form.timertrigger.setEnabled(box == 1);
  if (hideBox_) form.ChkAutoSynch.setVisible(true);
  tellAutoSyncState(ctx_);
}

}  // namespace erpsync::daycycle
