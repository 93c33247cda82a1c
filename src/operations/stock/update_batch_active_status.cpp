// The batches' active flags copied from head office.
#include "stock/update_batch_active_status.h"

#include "db/connection.h"
#include "shared/sync_context.h"

namespace erpsync::stock {

bool copyBatchActiveStatus(SyncContext& ctx) {
  try {
    auto& local = ctx.local();
    db::Transaction t(local);
    local.execute(" Update TBLSTOCK SET  Active = (SELECT  Active FROM " + ctx.centralTable("TBLSTOCK") +
                  " AS st WHERE (TBLSTOCK.CCID = CCID) AND (TBLSTOCK.BatchUnique = BatchUnique) AND "
                  "(TBLSTOCK.ItemID = ItemID))  ");
    local.execute(" Update TBLSTOCK SET  Active = 1 WHERE  Active IS NULL ");
    t.commit();
    return true;
  } catch (const db::DbError& e) {
    ctx.log("Batch Active Status", e.description());
    ctx.host.messageBox(e.description(), Buttons::OK, Icon::Exclamation);
    return false;
  }
}

}  // namespace erpsync::stock
