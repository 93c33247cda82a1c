#include "stock/import_board_rate_updator.h"

#include "shared/sync_context.h"

namespace erpsync {

void importBoardRateUpdator(SyncContext& ctx, const std::string& /*fromDate*/, const std::string& /*toDate*/) {
  ctx.log("Board Rate Import", "Board rates are not imported by this version; the change is left for a later import");
}

}  // namespace erpsync
