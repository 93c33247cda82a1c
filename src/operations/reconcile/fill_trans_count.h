// The voucher comparison of the "UpdateStatus" page: one count per voucher table for the working date
// and the chosen voucher types, on both sides.
#pragma once

#include <string>

#include "reconcile/count_grid.h"

namespace erpsync {
struct SyncContext;
struct WorkingDay;
}  // namespace erpsync

namespace erpsync::reconcile {

// The voucher counting query for a working date ("dd/MMM/yyyy") and a voucher-type filter: the headers
// and the lines of every voucher kind, labelled as the UpdateStatus page names them.
std::string voucherCountQuery(const std::string& workingDate, const std::string& filter);

// The counts of the day's vouchers of the chosen types; a difference that the branch's vouchers not yet
// uploaded account for is Waiting. failed when no voucher type is chosen (told in a box) or the counts
// could not be taken (a notice).
CountComparison CompareVoucherCounts(SyncContext& ctx, const WorkingDay& day);

}  // namespace erpsync::reconcile
