// What the day tools share: the branch's cost centre, the voucher families of a day, and stopping /
// restoring automatic synchronisation around an operation that must not interleave with an upload.
#pragma once

namespace erpsync {
struct SyncContext;
}

namespace erpsync::daycycle {

// One family of vouchers as a day tool deletes or re-queues it: header table, its date column, the
// line table ("" for none) and the key that joins them.
struct DayFamily {
  const char* header;
  const char* dateColumn;
  const char* detail;
  const char* key;
};

// The cost-centre id the window shows (numeric value of lblCostcentre's tag, as a whole number);
// 0 when it is not defined.
int costCentreId(SyncContext& ctx);

// Unticks ChkAutoSynch and stops the auto-sync timer.
void stopAutoSync(SyncContext& ctx);
// Ticks ChkAutoSynch when AutoSyncOn is set (else unticks it) and runs the timer as the box says.
void restoreAutoSync(SyncContext& ctx);

// Stops automatic synchronisation for its lifetime and puts the box and the timer back as they were,
// on every way out.
class AutoSyncPause {
 public:
  explicit AutoSyncPause(SyncContext& ctx);
  ~AutoSyncPause();
  AutoSyncPause(const AutoSyncPause&) = delete;
  AutoSyncPause& operator=(const AutoSyncPause&) = delete;

 private:
  SyncContext& ctx_;
  int boxValue_;
  bool timerEnabled_;
};

}  // namespace erpsync::daycycle
