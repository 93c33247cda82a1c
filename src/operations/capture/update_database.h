// The "Update Database" button: brings the branch and the central company database up to the schema
// the synchroniser needs (sync columns, day-activity table, change log, change-log triggers).
#pragma once

namespace erpsync {
struct SyncContext;
}

namespace erpsync::capture {

// Runs the upgrade on LocalConnection (branch) and WebConnection (central), then shows
// "Database Updated.". Safe to run again at any time: a change already in place makes its statement
// fail, and such failures are skipped. Day rows and the push lock are kept.
void updateDatabase(SyncContext& ctx);

}  // namespace erpsync::capture
