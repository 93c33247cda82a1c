// The full master migration of the "Download From Server" page: whole master tables copied from the
// central database into the branch, row by row through the copy builder or in one insert-select
// through the linked server.
#pragma once

#include <string>
#include <vector>

namespace erpsync {

struct SyncContext;
namespace db {
class Connection;
}

// The master list: caption, 120 blanks, "_" and the table name, one entry per master, in this order.
struct MasterListEntry {
  const char* caption;
  const char* table;
};
const std::vector<MasterListEntry>& masterListEntries();

// "::" : refills lstMasterSettings with every master, toggles its visibility and selects every entry.
void cmdMasterSynchDetail_Click(SyncContext& ctx);

// What one migration did.
struct MigrationOutcome {
  std::vector<std::string> migrated;  // branch tables replaced by the central ones, in order
  std::vector<std::string> failed;    // tables left as they were (their copy failed)
  bool stopped = false;               // an error ended the migration early
};

// "Master Synchronisation": replaces every selected branch master table by the central one. Each
// table's delete and copy commit together in one branch transaction: a copy that fails part-way (row
// by row, or the bulk statement) leaves that table exactly as it was. With chkBulkInsert ticked the
// tables that have a bulk form use it; ledger, area, category, tax class and HSN codes fall back to
// the row-by-row copy when it fails. Godowns keep head office's ids by either copy (stock rows name
// them by id). The board-rate entry runs the board-rate import. The auto-sync
// switch is off while it runs and back as the operator left it however it ends. Progress: the progress window's bar and caption, one step per table.
MigrationOutcome cmdFullSync_Click(SyncContext& ctx);

// The bulk copy of one table through the linked server: "Delete from" + the insert-select of the
// central table (all columns, or fieldList), in one transaction on mycn, with no command time-out
// (the time-out stays lifted for later statements on that connection). Errors: a notice with the
// description, false, and the table as it was.
bool InsertBulkTransfer(SyncContext& ctx, const std::string& tableName, db::Connection& mycn,
                        const std::string& fieldList);

// "Migrate Mismatch (red) Items": selects the masters whose counts the Data Status grid marks red,
// migrates them, copies the batch active flags, moves the master download's mark over the central
// changes the migration covered, and refreshes the grid. The mark never passes a change of a table
// that was not migrated (nor one made after the migration began): those are still downloaded.
// Returns what the migration did (nothing migrated when no row is red).
MigrationOutcome cmdMIgrateMismatchedItemsonly_Click(SyncContext& ctx);

}  // namespace erpsync
