// The voucher comparison of the "UpdateStatus" page: one count per voucher table for the working date
// and the chosen voucher types, on both sides.
#pragma once

#include <string>

namespace erpsync {

struct SyncContext;

// The voucher counting query for a working date ("dd/MMM/yyyy") and a voucher-type filter.
std::string voucherCountQuery(const std::string& workingDate, const std::string& filter);

// Fills msgTransGrid with a "Yes"/"No"/"Waiting" mismatch column (red for a mismatch, amber for vouchers
// that only wait to go up). Returns the number of rows that differ beyond what waits; -1 when no
// voucher type is chosen (told in a box, grid untouched) or the counts could not be taken (a notice).
int FillTransCount(SyncContext& ctx);

}  // namespace erpsync
