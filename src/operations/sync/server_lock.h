// The server push lock: the 'BLOCKFASTPUSH' row of the central tblDayActivity that keeps two branches
// from pushing vouchers into the central database at the same time.
#pragma once

#include <chrono>
#include <string>

namespace erpsync {
struct SyncContext;
}

namespace erpsync::sync {

// A lock row whose Timeof is this many seconds or more away from the central server's clock was left
// behind by a holder that stopped; any branch may remove it.
inline constexpr int kLockStaleSeconds = 50;

// One call runs one lock operation on WebConnection, chosen by the first true flag in this order:
//  - blnUpdateTimeOnly (refresh): renews the time of this branch's lock row; takes the lock again when
//    the row has gone. Returns true when this branch holds the lock afterwards.
//  - blnCheckFree (check): removes abandoned lock rows and reports whether the server is free (true).
//    When a live row is found, StrWhoOccupiedServer receives its holder's name.
//  - blnSetLock (take): takes the lock unless another branch holds a live one, in one transaction.
//    Returns true when this branch holds the lock afterwards.
//  - none (release): removes this branch's lock row; returns false.
// The holder name is the working day's cost-centre name. Tells the lock as "FREE" or "LOCK" to the
// status sink. Errors are
// shown as a notice and give false (true for a check that had already found the server free).
bool CheckSetServerFreeStatus(SyncContext& ctx, bool blnCheckFree, bool blnSetLock, bool blnUpdateTimeOnly,
                              std::string& StrWhoOccupiedServer);

// Convenience forms of the calls above.
inline bool checkServerFree(SyncContext& ctx, std::string& holder) {
  return CheckSetServerFreeStatus(ctx, true, false, false, holder);
}
inline bool takeServerLock(SyncContext& ctx) {
  std::string none;
  return CheckSetServerFreeStatus(ctx, false, true, false, none);
}
inline bool refreshServerLock(SyncContext& ctx) {
  std::string none;
  return CheckSetServerFreeStatus(ctx, false, true, true, none);
}
// Renews the lock while work goes on under it, as a lease: at the first unit, then whenever
// kRenewSeconds have passed since the last renewal (a fifth of the time after which other branches
// may clear the row). Renewing at every unit costs a central write each; renewing on this schedule
// keeps the row as live, and a holder that was held up (a long statement, a suspended machine) renews
// at its very next unit, where it learns that another branch took the lock over. Central numbering
// does not depend on it: it is read under UPDLOCK, HOLDLOCK in the copy's own transaction.
class LockLease {
 public:
  static constexpr int kRenewSeconds = kLockStaleSeconds / 5;
  // True when this branch holds the lock: renewed now, or renewed recently enough.
  bool keep(SyncContext& ctx) {
    const auto now = std::chrono::steady_clock::now();
    if (held_ && now - renewed_ < std::chrono::seconds(kRenewSeconds)) return true;
    held_ = refreshServerLock(ctx);
    renewed_ = now;
    return held_;
  }
  // The lock was released (a failed unit lets it go): the next unit takes it again.
  void forget() { held_ = false; }

 private:
  bool held_ = false;
  std::chrono::steady_clock::time_point renewed_{};
};

inline void releaseServerLock(SyncContext& ctx) {
  std::string none;
  CheckSetServerFreeStatus(ctx, false, false, false, none);
}

// The statements that take the lock for `me` (a quoted holder name) inside a transaction: this
// branch's old row, rows that read as free and abandoned rows make way, and this branch's row is added
// unless another branch holds a live one (read under UPDLOCK, HOLDLOCK, so two takers queue).
std::string lockTakeStatements(const std::string& me);
// The statement that removes this branch's lock row.
std::string lockReleaseStatement(const std::string& me);
// A condition on tblDayActivity rows: a live lock row (renewed less than 50 seconds ago).
std::string liveLockCondition();

// The push lock held for a scope, taken in one round trip: the batch that clears abandoned rows, adds
// this branch's row when no other branch holds a live one, and answers with the holder. Released (one
// more round trip) when the scope ends, on every way out. Errors are told as a notice.
class PushLockScope {
 public:
  explicit PushLockScope(SyncContext& ctx);
  ~PushLockScope();
  PushLockScope(const PushLockScope&) = delete;
  PushLockScope& operator=(const PushLockScope&) = delete;

  bool held() const { return held_; }
  // The branch that holds the lock when this one could not take it ("" when head office could not be
  // asked: failed() is then true).
  const std::string& holder() const { return holder_; }
  bool failed() const { return failed_; }
  // Gives the lock up now (once); the scope's end then does nothing.
  void release();
  // The lock is no longer this branch's (another branch took it over): nothing to release.
  void lost() { held_ = false; }

 private:
  SyncContext& ctx_;
  bool held_ = false;
  bool failed_ = false;
  std::string holder_;
};

}  // namespace erpsync::sync
