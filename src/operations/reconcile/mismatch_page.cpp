// The "Mismatch" page's work: which of the day's vouchers differ between the branch and head office, and the
// operator's way to send those again.
#include "reconcile/mismatch_page.h"

#include "daycycle/auto_sync_switch.h"
#include "shared/sync_context.h"

namespace erpsync::reconcile {

namespace {

// Holds automatic passes off and shows the busy pointer for the check, and puts back what the operator
// had, however the check ends.
class HoldAutoSync {
 public:
  explicit HoldAutoSync(SyncContext& ctx) : ctx_(ctx), pause_(ctx, true) { ctx.host.setBusy(true); }
  ~HoldAutoSync() { ctx_.host.setBusy(false); }
  HoldAutoSync(const HoldAutoSync&) = delete;
  HoldAutoSync& operator=(const HoldAutoSync&) = delete;

 private:
  SyncContext& ctx_;
  daycycle::AutoSyncPause pause_;  // the box hidden meanwhile, back as the operator left it
};

}  // namespace

MismatchCheck CheckMismatches(SyncContext& ctx, const WorkingDay& day) {
  HoldAutoSync hold(ctx);
  ctx.status().status("Checking Started");
  MismatchCheck out;
  out.located = LocateAllMismatches(ctx, day, false);
  if (!out.located.failed) out.verified = VerifyDay(ctx, day);
  ctx.status().status("Checking Ended");
  return out;
}

MismatchOutcome ResyncMismatches(SyncContext& ctx, const WorkingDay& day) {
  HoldAutoSync hold(ctx);
  MismatchOutcome found = LocateAllMismatches(ctx, day, false);
  if (found.failed || found.vouchers.empty()) return found;
  const Answer a =
      ctx.host.messageBox(std::to_string(found.vouchers.size()) +
                              " voucher(s) of the day differ from head office. Send them again? Their "
                              "head office copies are marked deleted and the next upload sends fresh ones.",
                          Buttons::YesNo, Icon::Question, {}, Answer::No);
  if (a != Answer::Yes) return found;
  MismatchOutcome forced = LocateAllMismatches(ctx, day, true);
  ctx.log("Mismatch re-sync", std::to_string(forced.vouchers.size()) + " voucher(s) queued for upload again");
  return forced;
}

}  // namespace erpsync::reconcile
