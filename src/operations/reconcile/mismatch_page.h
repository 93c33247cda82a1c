// The "Mismatch" page: which of the day's vouchers differ between the branch and head office, and the
// operator's way to send those again.
#pragma once

namespace erpsync {
struct SyncContext;
}

namespace erpsync::reconcile {

struct MismatchOutcome;

// The page's check: auto-sync held off while it runs, the five voucher families listed in
// msgMisMatch (nothing is changed), then the day's vouchers verified one by one into msgVerify. The
// page set, the auto-sync switch and its timer are back as they were however the check ends.
void MismatchPageCheck(SyncContext& ctx);

// Lists the mismatching vouchers of the day (msgMisMatch) and, when there are any, asks whether to send
// them again; on Yes each is re-queued at the branch and its central copy retired (the next upload sends
// fresh copies). Returns what was listed, re-queued and retired.
MismatchOutcome ResyncMismatches(SyncContext& ctx);

}  // namespace erpsync::reconcile
