// The SQL filter of the voucher types this branch uploads, verifies at day end and re-synchronises,
// built from the selection of lstVchtypes.
#pragma once

#include <string>

namespace erpsync {

struct SyncContext;
struct WorkingDay;

// The item data of the selected entries of lstVchtypes, in list order, joined by "," ("7,12"); "" for none.
std::string selectedVoucherTypeIds(SyncContext& ctx);

// " and vchtypeID in (7,12)" for the selected types; "" (and the status "NO vouchers selected to
// import") when none is selected.
std::string voucherTypeFilter(SyncContext& ctx);

// The parent voucher types whose changes the automatic upload sends (the ParentID list of its
// change-log select). Vouchers of other types (the opening stock journal a day start writes, type
// 1005) stay at the branch.
inline constexpr const char* kUploadedParentTypes = "1,3,5,7,8,9,10,14,18,41,42,43,44,45";

// The vouchers that go up, to compare like with like on both sides: " and <column> in (<selected>)"
// when types are selected, else " and <column> in (select VchTypeID from tblVchType where ParentID in
// (<kUploadedParentTypes>))". No status is set.
std::string uploadedVoucherTypesFilter(SyncContext& ctx, const std::string& column = "VchTypeID");
// The same for a working day read once where an operation starts.
std::string uploadedVoucherTypesFilter(const WorkingDay& day, const std::string& column = "VchTypeID");

}  // namespace erpsync
