// "Migrate Mismatch (red) Items" of the Data Status page: the masters whose counts differ between the
// branch and head office are migrated again with the full master migration.
#pragma once

#include <string>
#include <vector>

#include "sync/full_master_migration.h"

namespace erpsync {
struct SyncContext;
}  // namespace erpsync

namespace erpsync::sync {

// The master list's tables to migrate for the count rows that differ, given by their labels ("LEDGER",
// "ITEMMASTER": the table without "tbl"), in the list's order. A master whose name occurs in a
// differing label is chosen with it (a differing CURRENCYDETAIL brings the currencies too).
std::vector<std::string> mismatchedMasterTables(const std::vector<std::string>& differingLabels);

struct MismatchMigrationOutcome {
  MigrationOutcome migration;
  // Head office's change log could not be read or the mark not moved (told as a notice).
  bool failed = false;
};

// Migrates the requested masters, copies the batch active flags, and moves the master download's mark
// over the central changes the migration covered. The mark never passes a change of a table that was
// not migrated (nor one made after the migration began): those are still downloaded.
MismatchMigrationOutcome migrateMismatchedItems(SyncContext& ctx, const MigrationRequest& request);

}  // namespace erpsync::sync
