// The bulk form of the master migration: one insert-select through the linked server.
#include "sync/insert_bulk_transfer.h"

#include "db/connection.h"
#include "shared/sync_context.h"
#include "util/text.h"

namespace erpsync::sync {

bool InsertBulkTransfer(SyncContext& ctx, const std::string& tableName, db::Connection& mycn,
                        const std::string& fieldList) {
  ctx.status().stage("Migrating " + tableName);
  ctx.host.doEvents();
  try {
    db::Transaction t(mycn);
    mycn.execute("Delete from " + tableName);
    mycn.setCommandTimeout(0);
    const std::string source = ctx.centralTable(tableName);
    if (!text::trim(fieldList, text::kWhitespace).empty())
      mycn.execute("Insert into " + tableName + "(" + fieldList + ") select " + fieldList + " from " + source);
    else
      mycn.execute("Insert into " + tableName + " select * from " + source);
    t.commit();
    return true;
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
    return false;
  }
}

}  // namespace erpsync::sync
