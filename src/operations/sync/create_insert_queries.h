// Copies rows from a source query into a target table as literal INSERT statements, one per row.
// Master download, full migration and settings synchronisation use it (central to branch).
#pragma once

#include <string>

namespace erpsync {

struct SyncContext;
namespace db {
class Connection;
class Recordset;
}  // namespace db
}  // namespace erpsync

namespace erpsync::sync {

// What became of the rows of one call.
struct CopyOutcome {
  int inserted = 0;      // statements that reported a row
  int failed = 0;        // rows not copied (a duplicate key, no row reported, or the error that stopped it)
  bool stopped = false;  // an error other than a duplicate key ended the copy early
  bool ok() const { return failed == 0 && !stopped; }
};

// Inserts into tableName on target every row of myQuery (or of "Select * from " + tableName when it is
// empty) read from source. Condition is accepted and not used. Progress goes to the status sink (the
// stage and a sentence per row), each statement and its outcome to the daily log. A duplicate key
// costs that row and the copy goes on; any other error stops it after one notice.
CopyOutcome CreateInsertQueries(SyncContext& ctx, const std::string& tableName, const std::string& Condition,
                                const std::string& myQuery, db::Connection& target, db::Connection& source);

// The same copy for rows already read (the master download reads one table's changed rows at once).
CopyOutcome CopyRows(SyncContext& ctx, const std::string& tableName, const db::Recordset& rs, db::Connection& target);

}  // namespace erpsync::sync
