// The mismatch locator: finds the working date's vouchers of this branch that head office lacks or
// holds with a different number of lines, and on request puts each back in the upload queue and
// retires its central copy, so that the next upload sends a fresh one.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace erpsync {
struct SyncContext;
struct WorkingDay;
}  // namespace erpsync

namespace erpsync::reconcile {

// One voucher the locator listed.
struct MismatchedVoucher {
  std::string table;                   // the voucher table as the caller named it
  long long id = 0;                    // the branch voucher's id
  std::string number;                  // its printed number
  std::string date;                    // "dd/MMM/yyyy"
  long long type = 0;                  // its voucher type id
  std::string typeName;                // the type's name at the branch ("" when unknown)
  std::optional<long long> servInvID;  // the central copy it was uploaded as
  bool linesDiffer = false;            // false: head office has no live copy of it
  long long branchLines = 0, centralLines = 0;
  bool requeued = false;  // waiting for upload again (forced runs)
  bool retired = false;   // its central copy was marked deleted from the branch (forced runs)
};

struct MismatchOutcome {
  std::vector<MismatchedVoucher> vouchers;
  bool failed = false;  // an error ended the run (told as a notice); what was done before it stays
};

// Examines one voucher family for the working date, confined to this branch's cost centre and the
// chosen voucher types when any are chosen. Returns every voucher the branch counts as uploaded but
// head office holds no live copy of, and every voucher whose line count differs between the two sides.
// With BlnForcetransResync each is re-queued at the branch, and a voucher whose lines differ has its
// live central copy (the one that agrees on number, date, type and cost centre) retired, both or
// neither. MasterTable picks the voucher kind by name (letter case aside); any other name does nothing.
// Errors end the run with a notice. The voucher being compared is told as the status.
MismatchOutcome LocateMismatchingTrans(SyncContext& ctx, const WorkingDay& day, const std::string& MasterTable,
                                       const std::string& DetailTable, bool BlnForcetransResync);
// The same for the run's working day (SyncContext::day()).
MismatchOutcome LocateMismatchingTrans(SyncContext& ctx, const std::string& MasterTable, const std::string& DetailTable,
                                       bool BlnForcetransResync);

// The locator over every voucher kind in turn, vouchers accumulating; stops at the first kind that
// fails. What day end runs when its counts differ (with force).
MismatchOutcome LocateAllMismatches(SyncContext& ctx, const WorkingDay& day, bool BlnForcetransResync);
MismatchOutcome LocateAllMismatches(SyncContext& ctx, bool BlnForcetransResync);

}  // namespace erpsync::reconcile
