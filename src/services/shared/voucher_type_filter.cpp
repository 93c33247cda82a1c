// The SQL filter of the voucher types this branch uploads, verifies at day end and re-synchronises, built
// from the selection of lstVchtypes.
#include "shared/voucher_type_filter.h"

#include "shared/sync_context.h"

namespace erpsync {

std::string selectedVoucherTypeIds(SyncContext& ctx) {
  return ctx.day().selectedVoucherTypeIds;
}

std::string voucherTypeFilter(SyncContext& ctx) {
  try {
    const std::string ids = selectedVoucherTypeIds(ctx);
    if (!ids.empty()) return " and vchtypeID in (" + ids + ")";
    ctx.status().status("NO vouchers selected to import");
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return {};
}

std::string uploadedVoucherTypesFilter(SyncContext& ctx, const std::string& column) {
  return uploadedVoucherTypesFilter(ctx.day(), column);
}

std::string uploadedVoucherTypesFilter(const WorkingDay& day, const std::string& column) {
  const std::string& ids = day.selectedVoucherTypeIds;
  if (!ids.empty()) return " and " + column + " in (" + ids + ")";
  return " and " + column + " in (select VchTypeID from tblVchType where ParentID in (" + kUploadedParentTypes + "))";
}

}  // namespace erpsync
