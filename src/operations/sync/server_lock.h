// The server push lock: the 'BLOCKFASTPUSH' row of the central tblDayActivity that keeps two branches
// from pushing vouchers into the central database at the same time.
#pragma once

#include <string>

#include "db/recordset.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::sync {

// A lock row whose Timeof is this many seconds or more away from the central server's clock was left
// behind by a holder that stopped; any branch may remove it.
inline constexpr int kLockStaleSeconds = 50;

// What is done with the push lock (the BLOCKFASTPUSH row in head office's tblDayActivity):
//  - Refresh: renews the time of this branch's lock row; takes the lock again when the row has gone.
//    Returns true when this branch holds the lock afterwards.
//  - Check: removes abandoned lock rows and reports whether the server is free (true). When a live row
//    is found, holder receives its holder's name.
//  - Take: takes the lock unless another branch holds a live one, in one transaction. Returns true when
//    this branch holds the lock afterwards.
//  - Release: removes this branch's lock row; returns false.
// The holder name is the working day's cost-centre name. Tells the lock as "FREE" or "LOCK" to the
// status sink. Errors are shown as a notice and give false (true for a check that had already found the
// server free).
enum class PushLockAction { Check, Take, Refresh, Release };
bool pushLock(SyncContext& ctx, PushLockAction action, std::string& holder);

// Convenience forms of the calls above.
inline bool checkServerFree(SyncContext& ctx, std::string& holder) {
  return pushLock(ctx, PushLockAction::Check, holder);
}
inline bool takeServerLock(SyncContext& ctx) {
  std::string none;
  return pushLock(ctx, PushLockAction::Take, none);
}
inline bool refreshServerLock(SyncContext& ctx) {
  std::string none;
  return pushLock(ctx, PushLockAction::Refresh, none);
}
inline void releaseServerLock(SyncContext& ctx) {
  std::string none;
  pushLock(ctx, PushLockAction::Release, none);
}

// The statements that take the lock for `me` (a quoted holder name) inside a transaction: this
// branch's old row, rows that read as free and abandoned rows make way, and this branch's row is added
// unless another branch holds a live one (read under UPDLOCK, HOLDLOCK, so two takers queue).
std::string lockTakeStatements(const std::string& me);
// The statement that removes this branch's lock row.
std::string lockReleaseStatement(const std::string& me);
// A condition on tblDayActivity rows: a live lock row (renewed less than 50 seconds ago).
std::string liveLockCondition();

// Work at head office under the push lock that never holds the lock across a round trip: one batch
// and one central transaction take the lock (unless another branch holds a live one), run the work, give
// the lock back and commit. Other branches read the lock row as they always did (a branch that takes
// it meanwhile waits for this commit); a link that breaks or a program that stops cannot leave it
// behind, since the transaction that wrote it never commits then.
struct LockedWork {
  std::string declarations;  // the work's own variables, ", @n int, @m int" ("" for none)
  std::string statements;    // run only when the lock is this branch's, each line ending in CR LF
  std::string answer;        // the reply's further columns, ", @n AS N" ("" for none)
};

// What head office answered: LockHeld, Holder, then the columns the work asked for.
struct LockedReply {
  bool held = false;   // the lock was this branch's: the work ran and committed
  std::string holder;  // the branch that held the lock when it was not this one's
  db::Recordset row;
};

// Sends the work (a deadlock victim is sent again whole, three tries at most) and tells the lock to
// the status sink ("LOCK" when another branch holds it, else "FREE": it is given back by now). Throws
// db::DbError when the batch failed: head office answered with an error (nothing of the batch stayed;
// the session has its usual error handling back) or the link was lost (whether it committed is not
// known). Throws std::runtime_error when the answer cannot be read (not known either).
LockedReply runUnderPushLock(SyncContext& ctx, const LockedWork& work);

// A column for a read at head office: the name of the branch that holds a live push lock, other than
// this branch (`me`, a quoted name), '' when the row names none; NULL when no other branch holds it.
// A read can so tell "busy" without taking the lock.
std::string otherHolderColumn(const std::string& me);

}  // namespace erpsync::sync
