// The end of every automatic pass: what the operator and support staff are told about it.
#pragma once

namespace erpsync {

struct SyncContext;
struct PassOutcome;

// Head office reachable or not (told once per change), the last good pass, the Activity grid (the
// rows of the last pass that had any, under its header), the status box and the status line, and the
// daily log: the pass's held entries when it did something, one line when it was idle.
// noticesAtStart: SyncContext::noticesShown when the pass began.
void finishPass(SyncContext& ctx, PassOutcome& out, int noticesAtStart);

// The window's status line (lblBranchStatus) read afresh; askHeadOffice adds the one call to head
// office for the master counts and the push lock.
void showBranchStatus(SyncContext& ctx, bool askHeadOffice);

}  // namespace erpsync
