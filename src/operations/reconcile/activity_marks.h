// The two high-water marks against the change logs they point into: MaxActivityID (head office's
// tblActivity, masters) and MaxActivityIDTrans (the branch's tblActivity, vouchers). A log emptied or
// re-created leaves a mark above every id in it, and nothing would be picked up again; these tools
// show that and put the marks back.
#pragma once

namespace erpsync {
struct SyncContext;
struct WorkingDay;
}  // namespace erpsync

namespace erpsync::reconcile {

struct ActivityLogTops {
  long long server = 0;  // highest id of head office's change log (0 when empty)
  long long branch = 0;  // newest non-update voucher change of the working date at the branch (0: none)
  // Whether either log is behind its mark.
  bool behind(const SyncContext& ctx) const;
};

// Reads both values, the branch's for the working date; throws db::DbError when a log cannot be read.
ActivityLogTops ReadActivityLogTops(SyncContext& ctx, const WorkingDay& day);

// Compares the marks with the logs; when a log is behind its mark, offers to bring the mark above its
// log down to the log's value (Yes writes AppsettingsLoop.ini and the context's values; a mark within
// its log stays, so no change still waiting above it is skipped), otherwise only tells the values.
// Errors are shown in a message box. True when the marks were changed.
bool ResetActivityMarks(SyncContext& ctx, const WorkingDay& day);

// After a Yes, moves MaxActivityID to head office's newest change, so the master changes pending now
// are skipped (nothing is deleted). True when it was moved.
bool ClearMasterActivity(SyncContext& ctx);

}  // namespace erpsync::reconcile
