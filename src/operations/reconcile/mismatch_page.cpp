#include "reconcile/mismatch_page.h"

#include "daycycle/auto_sync_switch.h"
#include "form/main_form.h"
#include "reconcile/locate_mismatching_trans.h"
#include "reconcile/verify_day.h"
#include "shared/sync_context.h"

namespace erpsync::reconcile {

namespace {

// Holds auto-sync off and the page set disabled for the check, and puts back what the operator had,
// however the check ends: a window left with its page set disabled could not even start the check again.
class HoldAutoSync {
 public:
  explicit HoldAutoSync(SyncContext& ctx) : ctx_(ctx), pause_(ctx, true) {
    ctx.form.SSTab2.setEnabled(false);
    ctx.host.setBusy(true);
  }
  ~HoldAutoSync() {
    ctx_.form.SSTab2.setEnabled(true);
    ctx_.host.setBusy(false);
  }
  HoldAutoSync(const HoldAutoSync&) = delete;
  HoldAutoSync& operator=(const HoldAutoSync&) = delete;

 private:
  SyncContext& ctx_;
  daycycle::AutoSyncPause pause_;  // the box hidden meanwhile, back as the operator left it
};

}  // namespace

void MismatchPageCheck(SyncContext& ctx) {
  auto& f = ctx.form;
  HoldAutoSync hold(ctx);
  f.lblStatus.setCaption("Checking Started");
  const MismatchOutcome found = LocateAllMismatches(ctx, false);
  if (!found.failed) VerifyDay(ctx);
  f.lblStatus.setCaption("Checking Ended");
}

MismatchOutcome ResyncMismatches(SyncContext& ctx) {
  HoldAutoSync hold(ctx);
  MismatchOutcome found = LocateAllMismatches(ctx, false);
  if (found.failed || found.vouchers.empty()) return found;
  const Answer a =
      ctx.host.messageBox(std::to_string(found.vouchers.size()) +
                              " voucher(s) of the day differ from head office. Send them again? Their "
                              "head office copies are marked deleted and the next upload sends fresh ones.",
                          Buttons::YesNo, Icon::Question, {}, Answer::No);
  if (a != Answer::Yes) return found;
  MismatchOutcome forced = LocateAllMismatches(ctx, true);
  ctx.log("Mismatch re-sync", std::to_string(forced.vouchers.size()) + " voucher(s) queued for upload again");
  return forced;
}

}  // namespace erpsync::reconcile
