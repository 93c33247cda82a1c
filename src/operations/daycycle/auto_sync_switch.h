// What the day tools share: the branch's cost centre, and stopping /
// restoring automatic synchronisation around an operation that must not interleave with an upload.
#pragma once

namespace erpsync {
struct SyncContext;
struct WorkingDay;
}  // namespace erpsync

namespace erpsync::daycycle {

// The branch's cost-centre id of the working day; 0 when it is not defined (or no id a statement could
// name).
int costCentreId(const WorkingDay& day);
int costCentreId(SyncContext& ctx);

// The branch's vouchers that have not gone up yet (of the types the upload sends, this cost centre);
// -1 when they cannot be counted.
long long waitingVoucherCount(SyncContext& ctx);

// The line beside the AutoSynch box: empty while passes run; with the box unticked and vouchers waiting, a
// sentence that says nothing is sent and how to send them.
void tellAutoSyncState(SyncContext& ctx);

// Stops automatic synchronisation for its lifetime. On every way out the box comes back as the
// operator left it (whatever "Keep AutoSynch Always On" says), the timer runs exactly when the
// box is ticked, and lblAutoSynchState says when passes are off while vouchers wait. With hideBox the
// box is hidden meanwhile, so it cannot be ticked in the middle.
class AutoSyncPause {
 public:
  explicit AutoSyncPause(SyncContext& ctx, bool hideBox = false);
  ~AutoSyncPause();
  AutoSyncPause(const AutoSyncPause&) = delete;
  AutoSyncPause& operator=(const AutoSyncPause&) = delete;

 private:
  SyncContext& ctx_;
  bool wasOn_;
  bool hideBox_;
};

}  // namespace erpsync::daycycle
