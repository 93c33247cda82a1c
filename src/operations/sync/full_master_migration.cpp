// The full master migration of the "Download From Server" page: whole master tables copied from the central
// database into the branch, row by row through the copy builder or in one insert-select through the linked
// server.
#include "sync/full_master_migration.h"

#include <algorithm>

#include "daycycle/auto_sync_switch.h"
#include "db/connection.h"
#include "shared/sync_context.h"
#include "stock/import_board_rate_updator.h"
#include "sync/create_insert_queries.h"
#include "sync/insert_bulk_transfer.h"
#include "util/text.h"

namespace erpsync::sync {

namespace {

constexpr const char* kPriceListColumns =
    "  PLID, PriceList, blnPercentage,ItemID, SRate, MRP, SrPercent, MRPPercent, PLSrate, PLMRP, CatchAll, "
    "ActiveStatus, Description, SrPercentAU, PLSrateAU , SrPercentAU2, PLSrateAU2, CalculationType, "
    "BlnShowAsDiscount,UNIQUEID";
constexpr const char* kTaxClassColumns =
    "TaxClassID,TaxName,GSTPER,CSTPER,RateInclusive,PSTPer,RateInclusivePurchase,blnCessOnTax,PCSTPER,ExciseDutyPer,"
    "EDCessPer,EDCessPer2,PExciseDutyPer,PEDCessPer,PEDCessPer2,CompCessQty,ActiveStatus,GSTCESSPur,GSTCESSSALE,"
    "CGSTTaxPer,SGSTTaxPer,IGSTTaxPer,CessPer";
constexpr const char* kHsnColumns =
    "HSNID, HSNCODE, HSNDECRIPTION, CGSTTaxPer, SGSTTaxPer, IGSTTaxPer, TaxClassID, TaxClassID1, TaxClassID2, "
    "TaxClassID3, TaxClassID4,blnSlabSystem , slabtaxString, HSNCODEUnique";

enum class Copy { Rows, Bulk, BoardRate };

// One line of the migration: which selection runs it, and how the table is copied with the bulk box
// unticked and ticked.
struct Migration {
  const char* test;     // runs when this name occurs in the selected tables (upper case)
  const char* caption;  // the stage the status shows
  const char* table;    // the branch table emptied and refilled
  Copy unticked;
  Copy ticked;
  const char* bulkColumns = "";  // empty: every column
  const char* rowQuery = "";     // empty: every column of the table
  bool rowFallback = false;      // a failed bulk copy is followed by the row-by-row copy
  bool bulkByName = false;       // the bulk copy names every central column (the branch has them in another order)
};

const std::vector<Migration>& migrations() {
  static const std::vector<Migration> m = {
      {"tblLedger", "Migrating ledger ", "tblLedger", Copy::Rows, Copy::Bulk, "", "", true},
      {"tblArea", "Migrating Area ", "tblArea", Copy::Rows, Copy::Bulk, "", "", true},
      {"tblCategory", "Migrating category ", "tblCategories", Copy::Rows, Copy::Bulk, "", "", true},
      {"tblItemMaster", "Migrating ItemMaster ", "tblItemMaster", Copy::Rows, Copy::Bulk},
      {"tblPricelist", "Migrating Pricelist ", "tblPricelist", Copy::Bulk, Copy::Bulk, kPriceListColumns},
      {"tblTaxClass", "Migrating TaxClass ", "tblTaxClass", Copy::Rows, Copy::Bulk, kTaxClassColumns, "", true},
      {"tblHSNCode", "Migrating HSNCODE ", "tblHsnCode", Copy::Rows, Copy::Bulk, kHsnColumns, "", true},
      {"tblUserMaster", "Migrating userMaster ", "tblUserMaster", Copy::Rows, Copy::Bulk},
      {"tblUserGroupMaster", "Migrating tblUserGroupMaster ", "tblUserGroupMaster", Copy::Rows, Copy::Rows},
      {"tblEmployee", "Migrating Employee ", "tblEmployee", Copy::Rows, Copy::Bulk},
      {"tblCostcentre", "Migrating Costcentre ", "tblCostcentre", Copy::Rows, Copy::Bulk},
      // Stock rows name their godown by id, so the ids come along. Update Database rebuilds the branch's
      // GodownID as the last column, so the bulk copy goes by column names, not positions.
      {"tblGodown", "Migrating Godown ", "tblGodown", Copy::Rows, Copy::Bulk, "", "", false, true},
      {"tblAccountGroup", "Migrating AccountGroup ", "tblAccountGroup", Copy::Rows, Copy::Bulk},
      {"tblCustomerProfile", "Migrating Customer Profile ", "tblCustomerProfile", Copy::Rows, Copy::Bulk},
      {"tblBoardRateMaster", "Migrating BoardRateMaster ", "tblBoardRateMaster", Copy::BoardRate, Copy::BoardRate},
      {"tblCustomerCard", "Migrating customer card ", "tblCustomerCard", Copy::Rows, Copy::Bulk},
      {"tblCurrency", "Migrating Currency ", "tblCurrency", Copy::Rows, Copy::Bulk},
      {"tblCurrencyDetail", "Migrating currency detail ", "tblCurrencyDetail", Copy::Rows, Copy::Bulk},
  };
  return m;
}

// Ends the migration with the error report; the auto-sync switch stays off.
struct Stop {
  std::string description;
};

// The errors the migration passes over: SQL Server's refusals of a SET on a table (8104 to 8107, "...
// Cannot perform SET operation"). A backend that gives no number is judged by that wording.
bool ignorable(const db::DbError& e) {
  if (e.nativeError() != 0) return e.nativeError() >= 8104 && e.nativeError() <= 8107;
  return e.description().find("Cannot perform SET") != std::string::npos;
}

// Every column of the central table, by name, in its order.
std::string centralColumns(SyncContext& ctx, const std::string& table) {
  const auto rs = ctx.web().query("SELECT * FROM " + table + " WHERE 1 = 0");
  std::string cols;
  for (const auto& f : rs.fields) cols += (cols.empty() ? "" : ",") + f.name;
  return cols;
}

// Empties the branch table and copies the central rows row by row, in one branch transaction.
// False (the table as it was) when the copy did not take every row; the copy has told why.
bool copyRows(SyncContext& ctx, const Migration& m) {
  auto& local = ctx.local();
  try {
    db::Transaction t(local);
    local.execute(std::string("Delete from ") + m.table);
    if (!CreateInsertQueries(ctx, m.table, "", m.rowQuery, local, ctx.web()).ok()) return false;
    t.commit();
    return true;
  } catch (const db::DbError& e) {
    if (ignorable(e)) return false;
    throw Stop{e.description()};
  }
}

bool migrateOne(SyncContext& ctx, const Migration& m, bool ticked) {
  if (std::string(m.test) == "tblUserGroupMaster") {
    // The access levels need the wider column on both sides before the copy.
    for (db::Connection* c : {&ctx.local(), &ctx.web()}) {
      try {
        c->execute("alter table tblUserGroupMaster alter column Accesslevel  VarChar (6000)");
      } catch (const db::DbError& e) {
        if (!ignorable(e)) throw Stop{e.description()};
      }
    }
  }
  ctx.status().stage(m.caption);
  ctx.host.doEvents();
  switch (ticked ? m.ticked : m.unticked) {
    case Copy::BoardRate:
      return stock::importBoardRates(ctx, "", "");
    case Copy::Bulk: {
      std::string columns = m.bulkColumns;
      if (m.bulkByName) {
        try {
          columns = centralColumns(ctx, m.table);
        } catch (const db::DbError& e) {
          ctx.notice(e.description());
          return m.rowFallback && copyRows(ctx, m);
        }
      }
      if (InsertBulkTransfer(ctx, m.table, ctx.local(), columns)) return true;
      return m.rowFallback && copyRows(ctx, m);
    }
    case Copy::Rows:
      break;
  }
  return copyRows(ctx, m);
}

}  // namespace

const std::vector<MasterListEntry>& masterListEntries() {
  static const std::vector<MasterListEntry> e = {
      {"Ledger", "tblLedger"},
      {"Area", "tblArea"},
      {"Category", "tblCategory"},
      {"ItemMaster", "tblItemMaster"},
      {"TaxClass", "tblTaxClass"},
      {"HSNCODE", "tblHSNCode"},
      {"User", "tblUserMaster"},
      {"UserGroup", "tblUserGroupMaster"},
      {"Employee", "tblEmployee"},
      {"Costcentre", "tblCostcentre"},
      {"Godown", "tblGodown"},
      {"AccountGroup", "tblAccountGroup"},
      {"CustomerProfile", "tblCustomerProfile"},
      {"Attendance", "tblAttendance"},
      {"CustomerCard/POINT", "tblCustomerCard"},
      {"Currency", "tblCurrency"},
      {"CurrencyConversion", "tblCurrencyDetail"},
      {"Price List", "tblpricelist"},
      {"BoardRate", "tblBoardRateMaster"},
  };
  return e;
}

std::string masterListText(const MasterListEntry& entry) {
  return std::string(entry.caption) + std::string(120, ' ') + "_" + entry.table;
}

std::string masterListTable(const std::string& text) {
  return text.substr(std::min(text.size(), text.find('_') + 1));
}

MigrationOutcome fullMasterMigration(SyncContext& ctx, const MigrationRequest& request) {
  MigrationOutcome out;
  ctx.host.setBusy(true);
  // Auto-sync waits meanwhile and comes back as the operator left it, also when the migration stops.
  daycycle::AutoSyncPause pause(ctx);

  std::string chosen;
  for (const auto& t : request.tables) chosen += t + ";";
  chosen = text::upper(chosen);
  std::vector<const Migration*> todo;
  for (const auto& m : migrations())
    if (chosen.find(text::upper(m.test)) != std::string::npos) todo.push_back(&m);

  const MigrationProgress& progress = request.progress;
  if (!todo.empty() && progress.begin) progress.begin(static_cast<int>(todo.size()));
  try {
    for (std::size_t i = 0; i < todo.size(); ++i) {
      const Migration& m = *todo[i];
      if (progress.table)
        progress.table(std::string(m.caption) + "(" + std::to_string(i + 1) + " of " + std::to_string(todo.size()) +
                       ")");
      if (migrateOne(ctx, m, request.bulk)) {
        out.migrated.push_back(m.table);
      } else {
        out.failed.push_back(m.table);
        ctx.log("Master Synchronisation", std::string(m.table) + " left as it was");
      }
      if (progress.step) progress.step(static_cast<int>(i + 1));
    }
  } catch (const Stop& s) {
    out.stopped = true;
    if (progress.end) progress.end();
    ctx.notice(s.description + "FullSynch_Click");
    ctx.host.setBusy(false);
    return out;
  }
  if (progress.end) progress.end();
  ctx.status().stage("Upoading Over");
  ctx.status().status(".....");
  ctx.host.setBusy(false);
  return out;
}

}  // namespace erpsync::sync
