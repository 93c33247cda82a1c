// The end of every automatic pass (see pass_report.h).
#include "app/pass_report.h"

#include "app/auto_sync_pass.h"
#include "app/reconcile_view.h"
#include "form/main_form.h"
#include "reconcile/branch_status.h"
#include "shared/date_text.h"
#include "shared/head_office_link.h"
#include "shared/sync_context.h"

namespace erpsync {

namespace {

// Head office's counts and lock are asked for after a pass that moved something or met a change of
// the link, and otherwise once a minute: an idle pass stays one call to head office.
constexpr long long kStatusAskSeconds = 60;

void showActivity(SyncContext& ctx, const PassOutcome& out) {
  if (out.masters.waiting.empty() && out.upload.activity.empty()) return;  // the last pass's rows stay
  // The master summary and the voucher changes mean different things by their columns: each section
  // has its own heading row.
  reconcile::ActivitySection masters{"Master changes\tMaster table\tDate", {}};
  for (const auto& w : out.masters.waiting)
    masters.rows.push_back(std::to_string(w.count) + "\t" + w.table + "\t" + (w.date ? ddMMMyyyy(*w.date) : w.day));
  reconcile::showActivity(ctx.form.msgActivity,
                          {masters, {"Voucher change\tVoucher table\tDate and voucher id", out.upload.activity}});
}

std::string idleLine(const PassOutcome& out) {
  if (out.offline) return "No network connection; vouchers wait here.";
  if (!out.headOfficeAway.empty()) return "Head office cannot be reached; vouchers wait here.";
  std::string line = "Idle: nothing to bring down or send";
  if (out.upload.waiting > 0)
    line += "; " + std::to_string(out.upload.waiting) + (out.upload.waiting == 1 ? " voucher waits" : " vouchers wait") +
            " for its interval";
  return line + ".";
}

}  // namespace

void showBranchStatus(SyncContext& ctx, bool askHeadOffice) {
  const reconcile::BranchStatus s = reconcile::readBranchStatus(ctx, askHeadOffice);
  if (s.headOfficeAsked && s.lockKnown) ctx.form.lblserverStat.setCaption(s.lockHolder.empty() ? "FREE" : "LOCK");
  ctx.form.lblBranchStatus.setCaption(reconcile::branchStatusLine(s));
}

void finishPass(SyncContext& ctx, PassOutcome& out, int noticesAtStart) {
  auto& f = ctx.form;
  bool linkChanged = false;
  if (out.offline) {
    linkChanged = noteHeadOfficeUnreachable(ctx, "no network connection");
  } else if (!out.headOfficeAway.empty()) {
    linkChanged = noteHeadOfficeUnreachable(ctx, out.headOfficeAway);
  } else if (out.masters.logUnread.empty() && db::isOpen(ctx.WebConnection)) {
    linkChanged = noteHeadOfficeReachable(ctx);
  }
  // The stage ("Migrating tblItemMaster") was the pass's step in hand; once it is over, it would read
  // as work still going on.
  f.lblStatusMain.setCaption("");
  const bool away = out.offline || !out.headOfficeAway.empty();
  if (away) {
    // What was shown about head office no longer holds: the lock is unknown, and the status box says
    // why nothing moves.
    f.lblserverStat.setCaption("UNKNOWN");
    f.lblStatus.setCaption(headOfficeLostText(out.offline ? std::string("no network connection") : out.headOfficeAway));
  } else if (linkChanged) {
    f.lblStatus.setCaption(headOfficeBackText() + " " + f.lblStatus.caption());
  }

  // An error other than the link: told once (a notice, never a box), again only when it changes.
  if (!out.error.empty() && out.headOfficeAway.empty() && out.error != ctx.lastPassError) ctx.notice(out.error);
  ctx.lastPassError = out.headOfficeAway.empty() ? out.error : std::string();

  const bool good = !away && out.error.empty() && out.masters.completed && !out.upload.stopped && out.upload.failed == 0;
  if (good) noteGoodPass(ctx);

  const bool moved = out.masters.applied > 0 || out.upload.uploaded + out.upload.alreadyCentral +
                                                       out.upload.deletesMarked + out.upload.failed >
                                                   0 ||
                     out.transfers.imported > 0;
  showActivity(ctx, out);

  const bool idle = !moved && !linkChanged && out.error.empty() && !out.upload.busy && out.masters.completed &&
                    !out.upload.stopped && ctx.noticesShown == noticesAtStart;
  const bool unreachableIdle = away && !linkChanged && ctx.noticesShown == noticesAtStart;
  if (idle || unreachableIdle) {
    ctx.releaseLog(false);
    ctx.log("Auto Synch", idleLine(out));
  } else {
    ctx.releaseLog(true);
  }

  const long long now = ctx.clock.now().totalSeconds();
  const auto& facts = ctx.headOfficeFacts;
  const bool ask = !away && (moved || linkChanged || !facts.known || now - facts.askedAt >= kStatusAskSeconds);
  showBranchStatus(ctx, ask);
}

}  // namespace erpsync
