// The window's side of the "Download From Server" page: the master list, the buttons Master Synchronisation,
// Settings Synchronisation and Migrate Mismatch (red) Items.
#include "app/sync_view.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/reconcile_view.h"
#include "form/main_form.h"
#include "app/window_context.h"
#include "sync/migrate_mismatched_items.h"
#include "sync/settings_synch.h"

namespace erpsync {

namespace {

// The migration's progress in the progress window frmInitialize.
sync::MigrationProgress progressWindow(form::ProgressForm& window) {
  sync::MigrationProgress p;
  p.begin = [&window](int tables) {
    window.prg.setMin(0);
    window.prg.setMax(tables);
    window.prg.setValue(0);
    window.show();
  };
  p.table = [&window](const std::string& caption) { window.lblCAption.setCaption(caption); };
  p.step = [&window](int done) { window.prg.setValue(done); };
  p.end = [&window] { window.unload(); };
  return p;
}

// What the page asks for: the masters selected in the list, the bulk box, the progress window.
sync::MigrationRequest migrationRequest(MainForm& f) {
  sync::MigrationRequest request;
  for (const auto& item : f.lstMasterSettings.items())
    if (item.selected) request.tables.push_back(sync::masterListTable(item.text));
  request.bulk = f.chkBulkInsert.value() == 1;
  request.progress = progressWindow(f.frmInitialize);
  return request;
}

}  // namespace

void onMasterList(WindowContext& ctx) {
  auto& list = ctx.form.lstMasterSettings;
  list.clear();
  for (const auto& e : sync::masterListEntries()) list.addItem(sync::masterListText(e));
  list.setVisible(!list.visible());
  for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, true);
}

sync::MigrationOutcome onMasterSynchronisation(WindowContext& ctx) {
  auto& f = ctx.form;
  f.cmdFullSync.setEnabled(false);
  const sync::MigrationOutcome out = sync::fullMasterMigration(ctx, migrationRequest(f));
  f.cmdFullSync.setEnabled(true);
  return out;
}

bool onSettingsSynchronisation(WindowContext& ctx) {
  ctx.form.cmdSettingsSynch.setEnabled(false);
  const bool done = sync::synchroniseSettings(ctx);
  if (done) ctx.form.cmdSettingsSynch.setEnabled(true);
  return done;
}

sync::MigrationOutcome onMigrateMismatchedMasters(WindowContext& ctx) {
  auto& f = ctx.form;
  std::vector<std::string> differing;
  const auto& grid = f.msgDataCount;
  for (int r = 1; r < grid.rows(); ++r)
    if (grid.cellColor(r, 0) == reconcile::kMismatchColor) differing.push_back(grid.text(r, 0));
  const std::vector<std::string> tables = sync::mismatchedMasterTables(differing);

  onMasterList(ctx);
  auto& list = f.lstMasterSettings;
  for (int i = 0; i < list.listCount(); ++i) {
    const std::string table = sync::masterListTable(list.items()[static_cast<std::size_t>(i)].text);
    list.setSelected(i, std::find(tables.begin(), tables.end(), table) != tables.end());
  }
  list.setVisible(true);

  f.cmdFullSync.setEnabled(false);
  const sync::MismatchMigrationOutcome out = sync::migrateMismatchedItems(ctx, migrationRequest(f));
  f.cmdFullSync.setEnabled(true);
  if (!out.failed) reconcile::showMasterCounts(ctx);
  return out.migration;
}

}  // namespace erpsync
