// Change capture: puts the change-log triggers on one table, so every insert, update and delete
// statement on it leaves one row in tblActivity for the synchroniser to pick up.
#include "capture/create_trigger.h"

#include "shared/sync_context.h"
#include "capture/trigger_texts.h"

namespace erpsync::capture {

bool Createtrigger(SyncContext& ctx, const std::string& StrTiggerName, const std::string& StrTableName,
                   const std::string& StrField, db::Connection* mycn, bool blnMaster) {
  try {
    if (!mycn || !mycn->isOpen()) throw db::DbError("Operation is not allowed when the object is closed.");
    mycn->execute(insertTriggerText(StrTiggerName, StrTableName, StrField, blnMaster));
    mycn->execute(updateTriggerText(StrTiggerName, StrTableName, StrField, blnMaster));
    mycn->execute(deleteTriggerText(StrTiggerName, StrTableName, StrField, blnMaster));
    return true;
  } catch (const db::DbError& e) {
    ctx.notice(e.description());
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
  return false;
}

}  // namespace erpsync::capture
