// What the day tools share: the branch's cost centre, and stopping / restoring automatic synchronisation
// around an operation that must not interleave with an upload.
#include "daycycle/auto_sync_switch.h"

#include <cmath>

#include "db/connection.h"
#include "db/value.h"
#include "shared/sync_context.h"
#include "shared/voucher_type_filter.h"
#include "sync/voucher_kinds.h"

namespace erpsync::daycycle {

int costCentreId(const WorkingDay& day) {
  const double cc = static_cast<double>(day.costCentreId);
  // Out-of-range and fractional texts are no cost centre a statement could name.
  if (!(cc >= 1 && cc <= 2147483647.0)) return 0;
  return static_cast<int>(std::llround(cc));
}

int costCentreId(SyncContext& ctx) {
  return costCentreId(ctx.day());
}

long long waitingVoucherCount(SyncContext& ctx) {
  if (!db::isOpen(ctx.LocalConnection)) return -1;
  try {
    const int cc = costCentreId(ctx);
    const std::string types = uploadedVoucherTypesFilter(ctx, "VchTypeID");
    long long n = 0;
    for (const auto& k : sync::voucherKinds()) {
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
  PassSwitch& passes = ctx.passes();
  if (passes.on()) {
    passes.tellState("");
    return;
  }
  const long long waiting = waitingVoucherCount(ctx);
  if (waiting <= 0) {
    passes.tellState(waiting == 0 ? "AutoSynch is off: nothing is sent to head office." : "");
    return;
  }
  passes.tellState("AutoSynch is off: " + std::to_string(waiting) + (waiting == 1 ? " voucher is" : " vouchers are") +
                   " waiting and nothing is sent to head office. Tick AutoSynch to send them.");
}

AutoSyncPause::AutoSyncPause(SyncContext& ctx, bool hideBox) : ctx_(ctx), wasOn_(ctx.passes().on()), hideBox_(hideBox) {
  ctx.passes().set(false);
  if (hideBox_) ctx.passes().setHidden(true);
}

AutoSyncPause::~AutoSyncPause() {
  // As the operator left it: "Keep AutoSynch Always On" ticks the box at connect, and an operator who
  // unticked it since is not overruled by an operation.
  ctx_.passes().set(wasOn_);
  if (hideBox_) ctx_.passes().setHidden(false);
  tellAutoSyncState(ctx_);
}

}  // namespace erpsync::daycycle
