// The full master migration of the "Download From Server" page: whole master tables copied from the
// central database into the branch, row by row through the copy builder or in one insert-select
// through the linked server.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace erpsync {
struct SyncContext;
}  // namespace erpsync

namespace erpsync::sync {

// The masters the operator may choose from, in the master list's order: its caption and its table.
struct MasterListEntry {
  const char* caption;
  const char* table;
};
const std::vector<MasterListEntry>& masterListEntries();
// An entry as the master list shows it: caption, 120 blanks, "_" and the table name.
std::string masterListText(const MasterListEntry& entry);
// The table named by a master list text: what follows its first "_".
std::string masterListTable(const std::string& text);

// Where a migration shows how far it is (the progress window); an empty one is skipped.
struct MigrationProgress {
  std::function<void(int tables)> begin;                  // the tables to migrate, before the first (none: not called)
  std::function<void(const std::string& caption)> table;  // as each table starts ("Migrating ledger (1 of 3)")
  std::function<void(int done)> step;                     // after each table
  std::function<void()> end;                              // the migration is over, however it ended
};

// Which masters to migrate, and how.
struct MigrationRequest {
  // The chosen masters, as the master list names their tables ("tblLedger"). A migration runs for every
  // master whose table name occurs in the chosen names, compared ignoring case.
  std::vector<std::string> tables;
  bool bulk = false;  // the bulk copy, where a table has one (the "Bulk Insert" box)
  MigrationProgress progress;
};

// What one migration did.
struct MigrationOutcome {
  std::vector<std::string> migrated;  // branch tables replaced by the central ones, in order
  std::vector<std::string> failed;    // tables left as they were (their copy failed)
  bool stopped = false;               // an error ended the migration early
};

// "Master Synchronisation": replaces every chosen branch master table by the central one. Each table's
// delete and copy commit together in one branch transaction: a copy that fails part-way (row by row,
// or the bulk statement) leaves that table exactly as it was. With bulk, the tables that have a bulk
// form use it; ledger, area, category, tax class and HSN codes fall back to the row-by-row copy when it
// fails. Godowns keep head office's ids by either copy (stock rows name them by id). The board-rate
// entry runs the board-rate import. The auto-sync switch is off while it runs and back as the operator
// left it however it ends. Progress: one step per table.
MigrationOutcome fullMasterMigration(SyncContext& ctx, const MigrationRequest& request);

}  // namespace erpsync::sync
