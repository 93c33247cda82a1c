// "Free Server": the operator removes a push lock left behind, whoever holds it.
#include "sync/free_server.h"

#include "shared/sync_context.h"

namespace erpsync::sync {

bool freeServer(SyncContext& ctx) {
  try {
    ctx.web().execute(" Delete from [tblDayActivity] where Activity= 'BLOCKFASTPUSH' ");
    ctx.status().pushLock("FREE");
    return true;
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return false;
}

}  // namespace erpsync::sync
