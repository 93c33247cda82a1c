// The SQL filter of the voucher types this branch uploads, verifies at day end and re-synchronises,
// built from the selection of lstVchtypes.
#pragma once

#include <string>

namespace erpsync {

struct SyncContext;

// The item data of the selected entries of lstVchtypes, in list order, joined by "," ("7,12"); "" for none.
std::string selectedVoucherTypeIds(SyncContext& ctx);

// " and vchtypeID in (7,12)" for the selected types; "" (and the status "NO vouchers selected to
// import") when none is selected.
std::string CREateSelVchTypeIDQry(SyncContext& ctx);

}  // namespace erpsync
