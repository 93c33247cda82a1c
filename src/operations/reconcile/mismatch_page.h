// The "Mismatch" page's work: which of the day's vouchers differ between the branch and head office,
// and the operator's way to send those again.
#pragma once

#include "reconcile/locate_mismatching_trans.h"
#include "reconcile/verify_day.h"

namespace erpsync {
struct SyncContext;
struct WorkingDay;
}  // namespace erpsync

namespace erpsync::reconcile {

struct MismatchCheck {
  MismatchOutcome located;  // the vouchers head office lacks or holds with other lines
  VerifyOutcome verified;   // the vouchers compared one by one (not run when the locator failed)
};

// The page's check: automatic passes held off while it runs, the five voucher kinds located (nothing
// is changed), then the day's vouchers verified one by one. "Checking Started" and "Checking Ended" are
// told as the status; the AutoSynch switch and the busy pointer are back as they were however it ends.
MismatchCheck CheckMismatches(SyncContext& ctx, const WorkingDay& day);

// Locates the mismatching vouchers of the day and, when there are any, asks whether to send them again;
// on Yes each is re-queued at the branch and its central copy retired (the next upload sends fresh
// copies). Returns what was listed, re-queued and retired.
MismatchOutcome ResyncMismatches(SyncContext& ctx, const WorkingDay& day);

}  // namespace erpsync::reconcile
