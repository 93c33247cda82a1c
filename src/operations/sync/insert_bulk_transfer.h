// The bulk form of the master migration: a whole central table copied into the branch in one
// insert-select through the linked server.
#pragma once

#include <string>

namespace erpsync {
struct SyncContext;
namespace db {
class Connection;
}
}  // namespace erpsync

namespace erpsync::sync {

// "Delete from" + the insert-select of the central table (all columns, or fieldList), in one
// transaction on mycn, with no command time-out (the time-out stays lifted for later statements on
// that connection). Errors: a notice with the description, false, and the table as it was.
bool InsertBulkTransfer(SyncContext& ctx, const std::string& tableName, db::Connection& mycn,
                        const std::string& fieldList);

}  // namespace erpsync::sync
