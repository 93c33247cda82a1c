// Change capture: takes the change-log triggers of one table off the database that holds them, so the
// upgrade can put the current trigger texts in their place.
#include "capture/drop_trigger.h"

#include "app/sync_context.h"

namespace erpsync::capture {

bool Droptrigger(SyncContext& ctx, const std::string& StrTiggerName, db::Connection* mycn) {
  try {
    if (!mycn || !mycn->isOpen()) throw db::DbError("Operation is not allowed when the object is closed.");
    mycn->execute("Drop trigger Trig_" + StrTiggerName + "Insert");
    mycn->execute("Drop trigger Trig_" + StrTiggerName + "update");
    mycn->execute("Drop trigger Trig_" + StrTiggerName + "Delete");
    return true;
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return false;
}

}  // namespace erpsync::capture
