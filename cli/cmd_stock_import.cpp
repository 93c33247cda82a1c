#include "cmd_stock_import.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "app/frm_synch.h"
#include "app/stock_view.h"
#include "cmd_app.h"
#include "form/main_form.h"
#include "app/reconcile_view.h"
#include "reconcile/fill_data_count.h"
#include "stock/import_board_rate_updator.h"
#include "stock/update_batch_active_status.h"
#include "sync/full_master_migration.h"
#include "sync/migrate_mismatched_items.h"
#include "sync/settings_synch.h"
#include "util/text.h"

namespace erpsync::cli {

namespace {

// The master tables named (caption or table, any case), in the master list's order; every one when none
// is named.
std::vector<std::string> chosenMasters(const std::vector<std::string>& names) {
  std::vector<std::string> tables;
  for (const auto& e : sync::masterListEntries()) {
    bool want = names.empty();
    for (const auto& n : names) want |= text::iequals(n, e.caption) || text::iequals(n, e.table);
    if (want) tables.push_back(e.table);
  }
  return tables;
}

// A migration that prints each table's progress caption as it starts.
sync::MigrationRequest printedMigration(std::vector<std::string> tables, bool bulk, std::ostream& out) {
  sync::MigrationRequest request;
  request.tables = std::move(tables);
  request.bulk = bulk;
  request.progress.table = [&out](const std::string& caption) { out << caption << std::endl; };
  return request;
}

// The labels of the master counts that differ.
std::vector<std::string> differingMasters(const reconcile::CountComparison& counts) {
  std::vector<std::string> labels;
  for (const auto& row : counts.rows)
    if (row.state == reconcile::CountState::Differs) labels.push_back(row.label);
  return labels;
}

void printMigration(const sync::MigrationOutcome& o, std::ostream& out) {
  out << "Migrated:";
  for (const auto& t : o.migrated) out << " " << t;
  out << "\nLeft as they were:";
  for (const auto& t : o.failed) out << " " << t;
  out << (o.stopped ? "\nStopped by an error" : "") << std::endl;
}

void printList(MainForm& f, std::ostream& out) {
  for (const auto& item : f.lstTransfer.items()) out << "  " << item.itemData << "  " << item.text << "\n";
}

void importTransfers(FrmSynch& frm, std::ostream& out, bool list, bool all, long long voucher, long long type) {
  MainForm& f = frm.form;
  if (all) {
    const auto o = runInterimTransfersUnattended(frm.ctx);
    out << "Transfers imported: " << o.imported << "\nFailed: " << o.failed << std::endl;
    return;
  }
  fillInterimTransferTypes(frm.ctx);
  auto& cbo = f.cboInterimTransferVchtype;
  for (int t = 0; t < cbo.listCount(); ++t) {
    if (type != 0 && cbo.itemData(t) != type) continue;
    cbo.setListIndex(t);
    if (list) {
      out << cbo.itemData(t) << " " << cbo.text() << "\n";
      printList(f, out);
      continue;
    }
    for (int i = 0; i < f.lstTransfer.listCount(); ++i) {
      if (f.lstTransfer.items()[static_cast<std::size_t>(i)].itemData != voucher) continue;
      f.lstTransfer.setSelected(i, true);
      const auto o = cmdImportInterimtransfers_Click(frm.ctx);
      if (o.busy)
        out << f.lblStatus.caption() << "\n";
      else if (o.alreadyImported)
        out << "Voucher " << voucher << " was imported already: left as it was\n";
      else if (o.imported)
        out << "Voucher " << voucher << " imported: " << o.lines << " stock lines"
            << (o.replaced ? " (in place of its earlier import)" : "") << "\n";
      else if (o.replaced && !o.failed)
        out << "Voucher " << voucher << " holds no stock at head office now: its earlier import was removed\n";
      else if (!o.failed)
        out << "Voucher " << voucher << " not imported\n";
      out.flush();
      return;
    }
  }
  if (!list) out << "No voucher " << voucher << " is listed for this branch (see --list)" << std::endl;
  out.flush();
}

}  // namespace

void addStockImportCommands(CLI::App& app, int& exitCode) {
  addButtonVerb(app, exitCode, "import-board-rates", "load head office's latest board rates into the branch",
                [](FrmSynch& frm, std::ostream& out) {
                  out << (stock::importBoardRateUpdator(frm.ctx, "", "") ? "Board rates loaded" : "Board rates not loaded")
                      << std::endl;
                });
  addButtonVerb(app, exitCode, "batch-status", "copy head office's batch active flags to the branch",
                [](FrmSynch& frm, std::ostream& out) {
                  out << (stock::updatebatchActivestatus(frm.ctx) ? "Batch status copied" : "Batch status not copied")
                      << std::endl;
                });
  addButtonVerb(app, exitCode, "settings-sync", "replace the branch's settings and voucher types by head office's",
                [](FrmSynch& frm, std::ostream& out) {
                  out << (sync::synchroniseSettings(frm.ctx) ? "Settings synchronised" : "Settings not synchronised")
                      << std::endl;
                });

  auto tables = std::make_shared<std::vector<std::string>>();
  auto bulk = std::make_shared<bool>(false);
  CLI::App* migrate =
      addButtonVerb(app, exitCode, "migrate", "replace branch master tables by head office's (all, or --tables)",
                    [tables, bulk](FrmSynch& frm, std::ostream& out) {
                      printMigration(
                          sync::fullMasterMigration(frm.ctx, printedMigration(chosenMasters(*tables), *bulk, out)), out);
                    });
  migrate->add_option("--tables", *tables, "masters by caption or table name (e.g. Ledger,tblArea)")->delimiter(',');
  migrate->add_flag("--bulk", *bulk, "copy with one insert-select per table through the linked server");

  // The Data Status page's button: the page's counts are taken first, as opening the page does.
  auto mismatchedBulk = std::make_shared<bool>(false);
  CLI::App* mismatched = addButtonVerb(
      app, exitCode, "migrate-mismatched-items",
      "migrate again the masters whose branch and central counts differ (the rows counts marks as differing), copy "
      "the batch status and move the master download's mark over what the migration covered",
      [mismatchedBulk](FrmSynch& frm, std::ostream& out) {
        const auto counts = reconcile::CompareMasterCounts(frm.ctx);
        if (counts.failed) return;
        const auto tables = sync::mismatchedMasterTables(differingMasters(counts));
        const auto o = sync::migrateMismatchedItems(frm.ctx, printedMigration(tables, *mismatchedBulk, out));
        printMigration(o.migration, out);
        if (o.failed) return;
        const auto after = reconcile::CompareMasterCounts(frm.ctx);
        if (after.failed) return;
        out << "Counts still differing:";
        for (const auto& label : differingMasters(after)) out << " " << label;
        out << "\nMaxActivityID: " << frm.ctx.MaxActivityID << std::endl;
      });
  mismatched->add_flag("--bulk", *mismatchedBulk, "copy with one insert-select per table through the linked server");

  auto list = std::make_shared<bool>(false);
  auto all = std::make_shared<bool>(false);
  auto voucher = std::make_shared<long long>(0);
  auto type = std::make_shared<long long>(0);
  CLI::App* transfers =
      addButtonVerb(app, exitCode, "import-transfers", "list or import head office's stock transfers to this branch",
                    [list, all, voucher, type](FrmSynch& frm, std::ostream& out) {
                      importTransfers(frm, out, *list, *all, *voucher, *type);
                    });
  transfers->add_flag("--list", *list, "list the vouchers of every transfer type");
  transfers->add_flag("--all", *all, "import every voucher not yet downloaded, as the timer pass does");
  transfers->add_option("voucher", *voucher, "the central InvID of the voucher to import");
  transfers->add_option("--type", *type, "the central voucher type (default: every transfer type)");
}

}  // namespace erpsync::cli
