// Failures as data: made from what an operation caught, told where they are shown.
#include "shared/failure.h"

#include "db/connection.h"
#include "shared/sync_context.h"

namespace erpsync {

Failure failureOf(const std::string& step, const std::exception& e) {
  Failure f;
  f.step = step;
  if (const auto* db = dynamic_cast<const db::DbError*>(&e)) {
    f.number = static_cast<int>(db->nativeError());
    f.text = db->description();
  } else {
    f.text = e.what();
  }
  return f;
}

void tellFailures(SyncContext& ctx, const std::vector<Failure>& failures) {
  for (const auto& f : failures) ctx.notice(f.text);
}

}  // namespace erpsync
