// "Settings Synchronisation": the branch takes head office's application settings and voucher types.
#include "sync/settings_synch.h"

#include <utility>

#include "daycycle/auto_sync_switch.h"
#include "db/connection.h"
#include "shared/sync_context.h"
#include "sync/create_insert_queries.h"

namespace erpsync::sync {

bool synchroniseSettings(SyncContext& ctx) {
  ctx.host.setBusy(true);
  daycycle::AutoSyncPause pause(ctx);
  const std::pair<const char*, const char*> tables[] = {
      {"tblAppSettings", "SELECT KeyName,ValueName  FROM tblAppSettings "},
      {"tblVchType", "Select * from tblvchtype where    (ParentID IN (1, 3, 7, 8, 9, 10, 18, 5, 42, 43, 14, 44, 45)) "},
  };
  try {
    auto& local = ctx.local();
    for (const auto& [table, query] : tables) {
      db::Transaction t(local);
      local.execute(std::string("Delete from ") + table);
      if (!CreateInsertQueries(ctx, table, "", query, local, ctx.web()).ok())
        throw db::DbError(std::string("Not every row of ") + table + " could be copied; the branch keeps its own. ");
      t.commit();
    }
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "cmdSettingsSynch_click");
    ctx.host.setBusy(false);
    return false;
  }
  ctx.status().status("Done");
  ctx.status().stage("");
  ctx.host.setBusy(false);
  return true;
}

}  // namespace erpsync::sync
