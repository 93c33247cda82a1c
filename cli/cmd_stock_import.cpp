// erpsync-cli verbs of the imports from head office: import-board-rates, batch-status, migrate,
// settings-sync, import-transfers.
#include "cmd_stock_import.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cmd_app.h"
#include "db/connection.h"
#include "session/session.h"
#include "shared/sync_context.h"
#include "stock/import_transfer_asked.h"
#include "stock/interim_transfer_list.h"
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

void importTransfers(Verb& v, std::ostream& out, bool list, bool all, long long voucher, long long type) {
  SyncContext& ctx = v.ctx;
  const stock::DayStartShown since = session::dayStartShown(v.session.connection().dayRow);
  if (all) {
    const auto o = stock::importWaitingTransfers(ctx, since);
    v.failedIf(o.failed > 0);
    out << "Transfers imported: " << o.imported << "\nFailed: " << o.failed << std::endl;
    return;
  }
  const WorkingDay day = ctx.day();
  try {
    const db::Recordset types = ctx.web().query(stock::interimTransferTypesQuery(day));
    for (std::size_t t = 0; t < types.size(); ++t) {
      const long long typeId = types.at(t, 0).toInt();
      const std::string typeName = types.at(t, 1).toString();
      if (type != 0 && typeId != type) continue;
      const int parent = stock::interimParentType(ctx, typeId);
      const auto entries = stock::listInterimTransfers(ctx, day, since, parent, typeId);
      if (list) {
        out << typeId << " " << typeName << "\n";
        for (const auto& e : entries) out << "  " << e.invId << "  " << e.text << "\n";
        continue;
      }
      for (const auto& e : entries) {
        if (e.invId != voucher) continue;
        const stock::TransferImportRequest request{typeId, e.invId, typeName == "BoardRateUpdator", e.text};
        const auto o = stock::importTransferAsked(ctx, day, request, false);
        v.failedIf(o.failed || o.busy);
        if (o.busy)
          out << ctx.status().currentStatus() << "\n";
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
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "cbointerimtransfervchtype_change");
    v.failed();
    return;
  }
  if (!list) {
    out << "No voucher " << voucher << " is listed for this branch (see --list)" << std::endl;
    v.failed();
  }
  out.flush();
}

}  // namespace

void addStockImportCommands(CLI::App& app, int& exitCode) {
  addButtonVerb(app, exitCode, "import-board-rates", "load head office's latest board rates into the branch",
                [](Verb& v, std::ostream& out) {
                  const bool done = stock::importBoardRates(v.ctx, "", "");
                  v.failedIf(!done);
                  out << (done ? "Board rates loaded" : "Board rates not loaded") << std::endl;
                });
  addButtonVerb(app, exitCode, "batch-status", "copy head office's batch active flags to the branch",
                [](Verb& v, std::ostream& out) {
                  const bool done = stock::copyBatchActiveStatus(v.ctx);
                  v.failedIf(!done);
                  out << (done ? "Batch status copied" : "Batch status not copied") << std::endl;
                });
  addButtonVerb(app, exitCode, "settings-sync", "replace the branch's settings and voucher types by head office's",
                [](Verb& v, std::ostream& out) {
                  const bool done = sync::synchroniseSettings(v.ctx);
                  v.failedIf(!done);
                  out << (done ? "Settings synchronised" : "Settings not synchronised") << std::endl;
                });

  auto tables = std::make_shared<std::vector<std::string>>();
  auto bulk = std::make_shared<bool>(false);
  CLI::App* migrate =
      addButtonVerb(app, exitCode, "migrate", "replace branch master tables by head office's (all, or --tables)",
                    [tables, bulk](Verb& v, std::ostream& out) {
                      const auto o =
                          sync::fullMasterMigration(v.ctx, printedMigration(chosenMasters(*tables), *bulk, out));
                      v.failedIf(o.stopped || !o.failed.empty());
                      printMigration(o, out);
                    });
  migrate->add_option("--tables", *tables, "masters by caption or table name (e.g. Ledger,tblArea)")->delimiter(',');
  migrate->add_flag("--bulk", *bulk, "copy with one insert-select per table through the linked server");

  // The Data Status page's button: the page's counts are taken first, as opening the page does.
  auto mismatchedBulk = std::make_shared<bool>(false);
  CLI::App* mismatched = addButtonVerb(
      app, exitCode, "migrate-mismatched-items",
      "migrate again the masters whose branch and central counts differ (the rows counts marks as differing), copy "
      "the batch status and move the master download's mark over what the migration covered",
      [mismatchedBulk](Verb& v, std::ostream& out) {
        const auto counts = reconcile::CompareMasterCounts(v.ctx);
        v.failedIf(counts.failed);
        if (counts.failed) return;
        const auto tables = sync::mismatchedMasterTables(differingMasters(counts));
        const auto o = sync::migrateMismatchedItems(v.ctx, printedMigration(tables, *mismatchedBulk, out));
        printMigration(o.migration, out);
        v.failedIf(o.failed || o.migration.stopped || !o.migration.failed.empty());
        if (o.failed) return;
        const auto after = reconcile::CompareMasterCounts(v.ctx);
        v.failedIf(after.failed);
        if (after.failed) return;
        out << "Counts still differing:";
        for (const auto& label : differingMasters(after)) out << " " << label;
        out << "\nMaxActivityID: " << v.ctx.MaxActivityID << std::endl;
      });
  mismatched->add_flag("--bulk", *mismatchedBulk, "copy with one insert-select per table through the linked server");

  auto list = std::make_shared<bool>(false);
  auto all = std::make_shared<bool>(false);
  auto voucher = std::make_shared<long long>(0);
  auto type = std::make_shared<long long>(0);
  CLI::App* transfers =
      addButtonVerb(app, exitCode, "import-transfers", "list or import head office's stock transfers to this branch",
                    [list, all, voucher, type](Verb& v, std::ostream& out) {
                      importTransfers(v, out, *list, *all, *voucher, *type);
                    });
  transfers->add_flag("--list", *list, "list the vouchers of every transfer type");
  transfers->add_flag("--all", *all, "import every voucher not yet downloaded, as the timer pass does");
  transfers->add_option("voucher", *voucher, "the central InvID of the voucher to import");
  transfers->add_option("--type", *type, "the central voucher type (default: every transfer type)");
}

}  // namespace erpsync::cli
