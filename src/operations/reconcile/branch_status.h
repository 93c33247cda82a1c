// The branch's state at a glance, for the window's status line and `erpsync-cli status`: the last good
// pass, what waits to go up and how old the oldest is, what went up and came down today, whether head
// office can be reached (since when) and who holds the push lock. Read from the databases and the
// settings files, never from a grid; head office is asked in one round trip, or not at all.
#pragma once

#include <optional>
#include <string>

#include "shared/head_office_link.h"
#include "util/date_time.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::reconcile {

struct BranchStatus {
  std::optional<DateTime> lastGoodPass;  // to the minute
  DateTime workingDate;
  // The branch (empty branchError: read).
  std::string branchError;
  int vouchersWaiting = 0;                        // vouchers not yet at head office (SyncStat 0)
  std::optional<long long> oldestWaitingMinutes;  // age of the oldest voucher change not yet sent
  int uploadedToday = 0;                          // the working date's vouchers already at head office
  // Head office (headOfficeAsked false: not asked; the counts and the lock are then unknown).
  bool headOfficeAsked = false;
  std::optional<int> mastersReceivedToday;  // head office's master changes of today this branch has
  std::optional<int> mastersWaiting;        // head office's master changes not yet brought down
  bool lockKnown = false;
  std::string lockHolder;  // "" while the lock is free
  HeadOfficeLink link;
  // Head office answered, but with an error (a table Update Database has not made yet): reachable all
  // the same, and its facts unknown.
  std::string headOfficeError;
};

// Reads the status. askHeadOffice: one call to head office for the master counts and the lock holder
// (when WebConnection is open); a call that fails makes head office unreachable in the status (the
// lock unknown), without telling anyone: the passes do the telling.
BranchStatus readBranchStatus(SyncContext& ctx, bool askHeadOffice);

// One line for the window.
std::string branchStatusLine(const BranchStatus& s);
// One fact a line, for people at a console.
std::string branchStatusText(const BranchStatus& s);
// One JSON object, for support scripts and monitoring (unknown values are null).
std::string branchStatusJson(const BranchStatus& s);

}  // namespace erpsync::reconcile
