// Day end: closes the branch's business day once head office holds every voucher the branch entered
// since the day was started, by locking the branch's vouchers up to the working date.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "db/value.h"
#include "reconcile/locate_mismatching_trans.h"
#include "reconcile/verify_day.h"

namespace erpsync {
struct SyncContext;
}

namespace erpsync::daycycle {

// The mismatch locator for one voucher kind of the working day (header table, detail table or "", force
// re-sync): what it listed.
using MismatchLocator = std::function<reconcile::MismatchOutcome(
    SyncContext& ctx, const std::string& MasterTable, const std::string& DetailTable, bool BlnForcetransResync)>;

enum class DayEndResult {
  Closed,               // in step: vouchers locked, both "DayEnd" rows written, auto-sync restored
  ClosedWithoutDayRow,  // vouchers locked, but a "DayEnd" row is missing (the status says which)
  Declined,             // the operator answered No: nothing changed
  NoCostCentre,         // the working day has no cost centre: nothing changed
  Differs,              // counts or vouchers differ: refused, differing vouchers forced back into the upload queue
  Waiting,              // vouchers still wait for their interval (nothing else differs): refused, nothing re-queued
  Unverified,           // a count or the comparison could not be taken: refused, nothing locked
  Failed,               // an error stopped it (shown as a notice); nothing locked
};

// One of the checks: its label and its statement (a single count, run on both sides).
struct DayEndCheck {
  std::string label;
  std::string query;
};

// The eight count checks of the vouchers dated from dayStartText on, confined to this branch's cost
// centre and to filter (" and vchtypeID in (...)" or "").
std::vector<DayEndCheck> dayEndChecks(const std::string& dayStartText, int costCentre, const std::string& filter);

// The statements that lock the branch's vouchers dated up to workingDateText for the ERP.
std::vector<std::string> dayEndLocks(const std::string& workingDateText);

struct DayEndOutcome {
  DayEndResult result = DayEndResult::Failed;
  db::DateTime workingDate;  // the working date it ran for
  long long costCentre = 0;  // and the cost centre
  // The day's vouchers compared one by one, when the counts could all be taken.
  std::optional<reconcile::VerifyOutcome> verified;
  // A refusal for differences: the vouchers the locator listed and put back in the upload queue.
  reconcile::MismatchOutcome listed;
};

// What the "Day End" button runs, for the working day. Compares the counts from the day-start date; when
// they agree, locks the branch's vouchers up to the working date in one branch transaction and, after it
// committed, writes the "DayEnd" day row. When they differ, runs the mismatch locator (locate when given,
// else reconcile::LocateMismatchingTrans) with force for each family. When the only differences are
// vouchers still waiting for the upload's interval, it says how many wait and when to try again, and
// re-queues nothing. A count that could not be taken refuses the day end too: nothing is locked
// unverified. The AutoSynch box comes back as the operator left it on every way out.
DayEndOutcome dayEnd(SyncContext& ctx, const MismatchLocator& locate = {});

}  // namespace erpsync::daycycle
