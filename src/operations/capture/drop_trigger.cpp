// Change capture: takes the change-log triggers of one table off the database that holds them, so the
// upgrade can put the current trigger texts in their place.
#include "capture/drop_trigger.h"

#include "shared/sync_context.h"

namespace erpsync::capture {

bool dropChangeLogTriggers(SyncContext& ctx, const std::string& StrTiggerName, db::Connection* mycn) {
  try {
    if (!mycn || !mycn->isOpen()) throw db::DbError("Operation is not allowed when the object is closed.");
    for (const char* suffix : {"Insert", "update", "Delete"}) {
      try {
        mycn->execute("Drop trigger Trig_" + StrTiggerName + suffix);
      } catch (const db::DbError& e) {
        // A trigger that is not there (3701) is already what the drop wants: on a first upgrade none
        // exist, and telling the operator so for every table would only bury real failures. A
        // backend that gives no number is judged by SQL Server's wording.
        const bool absent = e.nativeError() != 0 ? e.nativeError() == 3701
                                                 : e.description().find("because it does not exist") != std::string::npos;
        if (!absent) throw;
      }
    }
    return true;
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return false;
}

}  // namespace erpsync::capture
