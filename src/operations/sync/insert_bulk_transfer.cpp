// The bulk form of the master migration: one insert-select through the linked server.
#include "db/connection.h"
#include "form/main_form.h"
#include "shared/sync_context.h"
#include "sync/full_master_migration.h"
#include "util/text.h"

namespace erpsync {

bool InsertBulkTransfer(SyncContext& ctx, const std::string& tableName, db::Connection& mycn,
                        const std::string& fieldList) {
  ctx.form.lblStatusMain.setCaption("Migrating " + tableName);
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

}  // namespace erpsync
