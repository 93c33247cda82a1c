// The window's side of the "Download From Server" page: the master list, the buttons Master
// Synchronisation, Settings Synchronisation and Migrate Mismatch (red) Items. They read the operator's
// choices off the page, run the sync operations with them, and show the progress window meanwhile.
#pragma once

#include "sync/full_master_migration.h"

namespace erpsync {

struct WindowContext;

// "::" : refills lstMasterSettings with every master, toggles its visibility and selects every entry.
void onMasterList(WindowContext& ctx);

// "Master Synchronisation": migrates the masters selected in lstMasterSettings, by the bulk copy when
// chkBulkInsert is ticked, with the progress window (one step per table). The button is disabled while
// it runs.
sync::MigrationOutcome onMasterSynchronisation(WindowContext& ctx);

// "Settings Synchronisation": the button is disabled while it runs and stays so after an error.
bool onSettingsSynchronisation(WindowContext& ctx);

// "Migrate Mismatch (red) Items": selects in lstMasterSettings (shown) the masters whose counts the Data
// Status grid marks red, migrates them as Master Synchronisation does, and fills the grid again.
// Returns what the migration did (nothing migrated when no row is red).
sync::MigrationOutcome onMigrateMismatchedMasters(WindowContext& ctx);

}  // namespace erpsync
