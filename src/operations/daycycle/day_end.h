// Day end: closes the branch's business day once head office holds every voucher the branch entered
// since the day was started, by locking the branch's vouchers up to the working date.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace erpsync {
struct SyncContext;
}

namespace erpsync::daycycle {

// The mismatch locator for one voucher family (header table, detail table or "", force re-sync).
using MismatchLocator = std::function<void(SyncContext& ctx, const std::string& MasterTable,
                                           const std::string& DetailTable, bool BlnForcetransResync)>;

enum class DayEndResult {
  Closed,               // in step: vouchers locked, both "DayEnd" rows written, auto-sync restored
  ClosedWithoutDayRow,  // vouchers locked, but a "DayEnd" row is missing (lblStatus says which)
  Declined,      // the operator answered No: nothing changed
  NoCostCentre,  // the window has no cost centre: nothing changed
  Differs,       // counts or vouchers differ: refused, differing vouchers forced back into the upload queue
  Waiting,       // vouchers still wait for their interval (nothing else differs): refused, nothing re-queued
  Unverified,    // a count or the comparison could not be taken: refused, nothing locked
  Failed,        // an error stopped it (shown as a notice); nothing locked
};

// One of the checks: its label and its statement (a single count, run on both sides).
struct DayEndCheck {
  std::string label;
  std::string query;
};

// The eight count checks of the vouchers dated from dayStartText on, confined to this branch's cost
// centre and to filter (" and vchtypeID in (...)" or "").
std::vector<DayEndCheck> dayEndChecks(const std::string& dayStartText, int costCentre, const std::string& filter);

// The "Day End" button. Compares the counts from the day-start date; when they agree, locks the
// branch's vouchers up to the working date in one branch transaction and, after it committed, writes
// the "DayEnd" day row. When they differ, runs the mismatch locator (locate when given, else
// reconcile::LocateMismatchingTrans) with force for each family and
// shows the Mismatch page. When the only differences are vouchers still waiting for the upload's
// interval, it says how many wait and when to try again, and re-queues nothing. A count that could not
// be taken refuses the day end too: nothing is locked unverified. The AutoSynch box comes back as the
// operator left it on every way out; after closing, the day labels are refreshed.
DayEndResult cmdDayEnd_Click(SyncContext& ctx, const MismatchLocator& locate = {});

}  // namespace erpsync::daycycle
