#include "sync/upload_masters.h"

#include <string>

#include "db/connection.h"
#include "form/main_form.h"
#include "shared/sync_context.h"
#include "stock/import_board_rate_updator.h"
#include "sync/create_insert_queries.h"

namespace erpsync {

namespace {

constexpr const char* kPriceListColumns =
    "PLID,PriceList,blnPercentage,ItemID,SRate,MRP,SrPercent,MRPPercent,PLSrate,PLMRP,CatchAll,ActiveStatus,"
    "Description,SrPercentAU,PLSrateAU,SrPercentAU2,PLSrateAU2,CalculationType,BlnShowAsDiscount,UNIQUEID";

// How a change of a central table is applied at the branch. Table names match exactly, as the
// triggers write them.
struct MasterTable {
  enum Kind { Copy, Skip, BoardRate, Excluded } kind = Excluded;
  std::string key;
  std::string columns;  // empty: every column
};

MasterTable masterTable(const std::string& name) {
  static const std::pair<const char*, const char*> keys[] = {
      {"tblCategories", "categoryID"},
      {"tblCostCentre", "CCID"},
      {"tblEmployee", "EMPID"},
      {"tblItemMaster", "ItemID"},
      {"tblLedger", "LID"},
      {"tblTaxClass", "TaxClassID"},
      {"tblUserMaster", "UserID"},
      {"tblUserGroupMaster", "ID"},
      {"tblHSNCODE", "HSNID"},
      {"tblVchType", "VchTypeID"},
      {"tblCustomerProfile", "ProfileID"},
      {"tblArea", "AreaID"},
  };
  if (name == "tblGodown") return {MasterTable::Skip, {}, {}};
  if (name == "tblBoardRateMaster") return {MasterTable::BoardRate, {}, {}};
  if (name == "tblpriceList" || name == "tblpricelist") return {MasterTable::Copy, "UNIQUEID", kPriceListColumns};
  for (const auto& [table, key] : keys)
    if (name == table) return {MasterTable::Copy, key, {}};
  return {};
}

// The key value as it may appear in SQL: a whole number, written back as one. Anything else in the
// change log is not a key this program wrote and never reaches a statement.
bool keyLiteral(const db::Value& v, std::string& out) {
  const std::string t = v.toString();
  std::size_t i = (!t.empty() && t[0] == '-') ? 1 : 0;
  if (i == t.size() || t.size() > 19) return false;
  for (std::size_t j = i; j < t.size(); ++j)
    if (t[j] < '0' || t[j] > '9') return false;
  out = t;
  return true;
}

// Deletes the branch row and copies the central one, in one branch transaction. False when anything
// failed: the branch keeps its row as it was.
bool applyChange(SyncContext& ctx, const std::string& table, const MasterTable& m, const std::string& key, bool copy) {
  auto& local = ctx.local();
  const std::string where = m.key + "=" + key;
  try {
    db::Transaction t(local);
    local.execute("Delete from " + table + " where " + where);
    if (copy) {
      const std::string query =
          "SELECT  " + (m.columns.empty() ? std::string("*") : m.columns) + " from " + table + " where  " + where;
      if (!CreateInsertQueries(ctx, table, "", query, local, ctx.web()).ok()) return false;
    }
    t.commit();
    return true;
  } catch (const db::DbError& e) {
    ctx.notice(e.description() + "Masters uploading" + table);
    return false;
  }
}

// The mark goes to the settings file every this many rows and at the end of the run: each write is a
// safe replace on disk, and a change applied twice after a crash leaves the same branch row.
constexpr int kMarkEvery = 50;

}  // namespace

MasterDownloadOutcome uploadMasters(SyncContext& ctx) {
  MasterDownloadOutcome out;
  const std::string sql =
      " SELECT   ID, TableName, tblUniqueID, Action, Active, DateofAction From tblActivity where "
      "ISNULL(pARENTid,0)=0 AND id>" +
      std::to_string(ctx.MaxActivityID) + " ORDER BY ID ";
  db::Recordset log;
  try {
    log = ctx.web().query(sql);
  } catch (const db::DbError& e) {
    // Without the change log nothing can be applied; the mark stays where it is.
    ctx.log("masters uploading Qry Failed", e.description());
    out.completed = false;
    return out;
  }
  ctx.log("masters uploading Qry Opened", sql);

  long long lastId = 0;
  int unsaved = 0;  // applied rows whose id is not yet in the settings file
  for (std::size_t r = 0; r < log.size(); ++r) {
    const long long id = log.at(r, "ID").toInt();
    const std::string table = log.at(r, "TableName").toString();
    const std::string action = log.at(r, "Action").toString();
    const MasterTable m = masterTable(table);
    if (m.kind == MasterTable::Skip) continue;
    if (m.kind == MasterTable::BoardRate) {
      importBoardRateUpdator(ctx, "", "");
    } else if (m.kind == MasterTable::Excluded) {
      ctx.host.messageBox(table + " Excluded From Synch", Buttons::OK);
    } else if (action == "Insert" || action == "Update" || action == "Deleted") {
      std::string key;
      if (!keyLiteral(log.at(r, "tblUniqueID"), key)) {
        ctx.notice("Change " + std::to_string(id) + " of " + table + " names no valid key (" +
                   log.at(r, "tblUniqueID").toString() + "); skipped");
      } else if (!applyChange(ctx, table, m, key, action != "Deleted")) {
        // The branch row is as it was; the mark stops before this change so the next pass retries it.
        ctx.log("Masters uploading", "Stopped at change " + std::to_string(id) + " of " + table);
        out.completed = false;
        break;
      }
    }
    lastId = id;
    ++out.applied;
    if (lastId > 0 && ++unsaved >= kMarkEvery) {
      ctx.writeLoopSetting("MaxActivityID", std::to_string(lastId));
      unsaved = 0;
    }
    ctx.form.lblStatus.setCaption("Update Masters Over");
  }
  if (lastId > 0) {
    if (unsaved > 0) ctx.writeLoopSetting("MaxActivityID", std::to_string(lastId));
    ctx.MaxActivityID = lastId;
  }
  return out;
}

}  // namespace erpsync
