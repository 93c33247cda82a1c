#include "shared/voucher_type_filter.h"

#include "form/main_form.h"
#include "shared/sync_context.h"

namespace erpsync {

std::string selectedVoucherTypeIds(SyncContext& ctx) {
  std::string ids;
  for (const auto& item : ctx.form.lstVchtypes.items())
    if (item.selected) ids += (ids.empty() ? "" : ",") + std::to_string(item.itemData);
  return ids;
}

std::string CREateSelVchTypeIDQry(SyncContext& ctx) {
  try {
    const std::string ids = selectedVoucherTypeIds(ctx);
    if (!ids.empty()) return " and vchtypeID in (" + ids + ")";
    ctx.form.lblStatus.setCaption("NO vouchers selected to import");
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return {};
}

std::string uploadedVoucherTypesFilter(SyncContext& ctx, const std::string& column) {
  const std::string ids = selectedVoucherTypeIds(ctx);
  if (!ids.empty()) return " and " + column + " in (" + ids + ")";
  return " and " + column + " in (select VchTypeID from tblVchType where ParentID in (" + kUploadedParentTypes + "))";
}

}  // namespace erpsync
