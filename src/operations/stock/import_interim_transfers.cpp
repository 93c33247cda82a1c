// The import half of the "Stock Transfer" page: one central voucher becomes one branch opening stock
// journal with its stock postings, in one branch transaction, then the central voucher is marked.
#include "stock/import_interim_transfers.h"

#include <fmt/format.h>

#include "daycycle/auto_sync_switch.h"
#include "db/connection.h"
#include "shared/connections.h"
#include "shared/sync_context.h"
#include "stock/import_board_rate_updator.h"
#include "stock/opening_journal.h"
#include "stock/post_stock.h"
#include "sync/server_lock.h"

namespace erpsync::stock {

namespace {

constexpr const char* kImported = "DOWNLAODED";
// Attempts of one voucher in the unattended run before the run ends.
constexpr int kAutoAttempts = 2;

// The central stock rows of the voucher, one per batch, with its incoming quantity summed.
std::string centralStockQuery(const ErpSettings& s, const std::string& C, const std::string& T, const std::string& R) {
  const bool expiry = s.BLNEXPIRY;
  const std::string F1 =
      std::string(
          "SELECT     tblItemMaster.BlnExpiryItem, tblStock.SupplierID, tblStock.GodownID, tblStock.CCID, "
          "tblItemMaster.AlterUnitConversion, ") +
      (expiry ? "tblstock.expiry AS Expiry" : "'12-Jan-2020' AS Expiry") +
      ",tblItemMaster.ItemID, tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, "
      "tblItemMaster.CategoryID, tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, "
      "tblItemMaster.AlterUnit2, tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, "
      "tblCategories.Category, tblItemMaster.ProductType, tblStock.Prate AS ValuationRate, tblStock.Prate, "
      "tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique, tblStock.BatchCode, tblStock.PRateAU, "
      "tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, tblStock.SrateAU2, tblStock.CRateAU2, "
      "tblStock.MRPAU2, SUM(tblStockHistory_1.QtyIN) AS Qty  FROM         tblCategories INNER JOIN ";
  const std::string F2 =
      " tblItemMaster INNER JOIN tblStock ON tblItemMaster.ItemID = tblStock.ItemID ON tblCategories.CategoryID = "
      "tblItemMaster.CategoryID INNER JOIN tblStockHistory AS tblStockHistory_1 ON tblStock.ItemID = "
      "tblStockHistory_1.ItemID ";
  const std::string F3 =
      "  AND tblStock.CCID = tblStockHistory_1.CCID GROUP BY tblItemMaster.BlnExpiryItem, tblStock.SupplierID, "
      "tblStock.GodownID, tblStock.CCID, tblItemMaster.AlterUnitConversion, tblItemMaster.ItemID, "
      "tblItemMaster.ProductTypeID, tblItemMaster.ItemCode, tblItemMaster.ItemName, tblItemMaster.CategoryID, "
      "tblItemMaster.Description, tblItemMaster.Unit, tblItemMaster.AlterUnit, tblItemMaster.AlterUnit2, "
      "tblItemMaster.TaxClassID, tblItemMaster.Rack, tblItemMaster.Manufacturer, tblCategories.Category, "
      "tblItemMaster.ProductType, tblStock.Prate, tblStock.Crate, tblStock.SRate, tblStock.Mrp, tblStock.BatchUnique, "
      " ";
  const std::string F4 =
      std::string(expiry ? " tblStock.expiry," : " ") +
      "tblStock.BatchCode, tblStock.PRateAU, tblStock.SrateAU, tblStock.CRateAU, tblStock.MRPAU, tblStock.PrateAU2, "
      "tblStock.SrateAU2, tblStock.CRateAU2, tblStock.MRPAU2,tblStock.MRPAU2, tblStockHistory_1.RefId, "
      "tblStockHistory_1.VchTypeID  Having tblStock.CCID = ";
  return F1 + F2 + (s.BLNBATCHCODE ? " AND tblStock.BatchUnique = tblStockHistory_1.BatchUnique " : "") + F3 + F4 + C +
         " And vchtypeID = " + T + " And refID = " + R;
}

// Removes every branch journal an earlier import made of the voucher (type T, central InvID R): header,
// lines, and its stock history, serial and rate rows. Batch rows in tblStock stay. Returns the number
// of journals removed. Runs in the caller's branch transaction.
int removeEarlierImport(SyncContext& ctx, const WorkingDay& day, const std::string& T, const std::string& R) {
  auto& local = ctx.local();
  auto earlier = local.query("Select * from tblStockJournal where ProfileID=" + T + " and RefNo='" + R + "'");
  for (std::size_t r = 0; r < earlier.size(); ++r) {
    const long long inv = earlier.at(r, "InvID").toInt();
    const std::string I = std::to_string(inv);
    local.execute(" delete from tblStockJournal where INvID=" + I);
    local.execute(" delete from tblStockJournalDetail where INvID=" + I);
    StockLine none;
    const StockPosting removal{static_cast<int>(earlier.at(r, "VchTypeID").toInt()),
                               kDeleteMovements,
                               static_cast<long>(inv),
                               "",
                               day.date,
                               false,
                               false,
                               Txn::Callers};
    if (!PostStock(ctx, removal, none))
      throw db::DbError("The stock of the earlier import " + I + " of the transfer could not be removed");
  }
  return static_cast<int>(earlier.size());
}

// The bill time "h:n AM/PM" (hour and minute without leading zeros) from head office's "hh:mm:ss AM".
std::string billTimeNow(SyncContext& ctx) {
  const std::string tt = GetServerDateTime(ctx).timeText;
  return tt.size() >= 11
             ? fmt::format("{}:{} {}", std::stoi(tt.substr(0, 2)), std::stoi(tt.substr(3, 2)), tt.substr(tt.size() - 2))
             : tt;
}

struct Posted {
  int lines = 0;
  int replaced = 0;  // journals of an earlier import removed
};

// Writes the journal and its postings of one voucher (its central stock rows rs, possibly none) in one
// branch transaction, replacing what an earlier import of it left: afterwards the branch holds exactly
// the voucher as head office has it now, or, after any failure, exactly what it held before.
Posted postVoucher(SyncContext& ctx, const WorkingDay& day, const db::Recordset& rs, long long type, long long invId) {
  auto& local = ctx.local();
  db::Transaction t(local);
  Posted out;
  out.replaced = removeEarlierImport(ctx, day, std::to_string(type), std::to_string(invId));
  if (rs.empty()) {
    t.commit();
    return out;
  }
  const auto next = NextId(ctx, "tblStockJournal", "invid");
  if (!next) throw db::DbError("No journal number could be taken for the transfer");
  local.execute(openingJournalHeader({*next, day.date, rs.at(0, "CCID").toInt(), "Opening(FromTransfer)",
                                      JournalSource{type, invId, billTimeNow(ctx)}}));
  // The lock is renewed as a lease (every ten seconds), not at every line: a call to head office each.
  sync::LockLease lease;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    if (!lease.keep(ctx)) throw db::DbError("The push lock was lost to another branch");
    // Items without expiry carry the ERP's fixed date.
    StockLine l = stockLineFromRow(rs, r, db::DateTime{2020, 1, 12});
    const bool in = rs.at(r, "Qty").toDouble() > 0;
    local.execute(openingJournalLine(*next, l, in ? l.Qty : 0, in ? 0 : l.Qty));
    const StockPosting posting{
        kOpeningStockVchType, in ? kStockIn : kStockOut, static_cast<long>(*next), "", day.date, true, true,
        Txn::Callers};
    if (!PostStock(ctx, posting, l))
      throw db::DbError("The stock of item " + rs.at(r, "ItemID").toString() + " could not be posted");
    ++out.lines;
    ctx.host.doEvents();
    ctx.status().status(std::to_string(l.ItemID) + ", BatchUnique = " + l.BatchUnique +
                        " Updating.. Please wait. Do not attempt to make transactions till the day start is over..");
  }
  t.commit();
  return out;
}

void markCentral(SyncContext& ctx, int parent, const std::string& R) {
  if (parent == 2)
    ctx.web().execute("update  tblPurchase set Customfield1='DOWNLAODED' where INvID=" + R);
  else if (isJournalParent(parent))
    ctx.web().execute("update  tblsTOCKjOURNAL set Customfield1='DOWNLAODED' where INvID=" + R);
}

// The voucher's stock brought in and the central voucher marked, under the push lock.
void importVoucher(SyncContext& ctx, const WorkingDay& day, long long type, long long invId,
                   TransferImportOutcome& out) {
  const std::string T = std::to_string(type);
  const std::string R = std::to_string(invId);
  const int parent = interimParentType(ctx, type);
  auto rs = ctx.web().query(centralStockQuery(ctx.erpSettings, std::to_string(day.costCentreId), T, R));
  const Posted posted = postVoucher(ctx, day, rs, type, invId);
  out.lines = posted.lines;
  out.imported = !rs.empty();
  out.replaced = posted.replaced > 0;
  if (posted.replaced > 0)
    ctx.log("Interim Stock Transfer",
            "Voucher " + R + " of type " + T + " was at the branch already; its earlier import was replaced");
  if (rs.empty()) ctx.host.messageBox("No data fetched from data source", Buttons::OK, Icon::Exclamation);
  // The mark follows the branch commit; a failure here is repaired by the next try, which replaces
  // the journal at the branch by the same one and marks.
  markCentral(ctx, parent, R);
  out.marked = parent == 2 || isJournalParent(parent);
}

}  // namespace

TransferVoucher describeInterimTransfer(SyncContext& ctx, long long type, long long invId) {
  const int parent = interimParentType(ctx, type);
  const std::string R = std::to_string(invId);
  std::string sql;
  if (parent == 2)
    sql = "select InvNo, InvDate, Party AS Sender, Customfield1 from tblPurchase where InvID=" + R;
  else if (parent == 16)
    sql =
        "select j.InvNo, j.InvDate, c.CCName AS Sender, j.Customfield1 from tblStockJournal j left join "
        "tblCostCentre c on c.CCID = j.CCID where j.InvID=" +
        R;
  else if (isJournalParent(parent))
    sql = "select InvNo, InvDate, Party AS Sender, Customfield1 from tblStockJournal where InvID=" + R;
  else
    throw db::DbError("Voucher type " + std::to_string(type) + " lists no transfers");
  auto rs = ctx.web().query(sql);
  if (rs.empty()) throw db::DbError("Head office holds no voucher " + R + " of type " + std::to_string(type));
  TransferVoucher v;
  v.invNo = rs.at(0, "InvNo").toString();
  v.date = rs.at(0, "InvDate").toDateTime().value_or(DateTime{}).dateOnly();
  v.sender = rs.at(0, "Sender").toString();
  v.imported = rs.at(0, "Customfield1").toString() == kImported ||
               !ctx.local()
                    .query("Select top 1 InvID from tblStockJournal where ProfileID=" + std::to_string(type) +
                           " and RefNo='" + R + "'")
                    .empty();
  return v;
}

TransferImportOutcome importInterimTransfer(SyncContext& ctx, const WorkingDay& day,
                                            const TransferImportRequest& request) {
  TransferImportOutcome out;
  // Taken in one call and given back on every way out.
  sync::PushLockScope lock(ctx);
  if (!lock.held()) {
    if (!lock.failed()) ctx.status().status("Server Busy with " + lock.holder() + ". waiting.");
    ctx.host.doEvents();
    out.busy = !lock.failed();
    out.failed = lock.failed();
    return out;
  }
  daycycle::AutoSyncPause pause(ctx);
  try {
    if (request.boardRates)
      out.failed = !importBoardRateUpdator(ctx, request.entry, "");
    else
      importVoucher(ctx, day, request.vchTypeId, request.invId, out);
  } catch (const db::DbError& e) {
    out.failed = true;
    ctx.log("Interim Stock Transfer", e.description());
    ctx.notice(e.description() + "cmdImportInterimtransfers_click");
  }
  return out;
}

TransferImportOutcome importInterimTransfer(SyncContext& ctx, long long vchTypeId, long long invId) {
  return importInterimTransfer(ctx, ctx.day(), TransferImportRequest{vchTypeId, invId, false, {}});
}

namespace {

// The unattended import of the waiting vouchers of one type; false when the run ends there.
bool importWaitingOfType(SyncContext& ctx, const WorkingDay& day, const DayStartShown& since, long long type,
                         AutoTransferOutcome& out) {
  const int parent = interimParentType(ctx, type);
  // Opening-stock journals (1005) are what a day start and an import write at a branch, and what
  // the upload brings to head office: imported again they would count the same stock twice, and
  // each import would come back with the next upload. The unattended run takes transfers only.
  if (parent == 1005 || parent <= 0) return true;
  const std::string sql = interimTransferListQuery(day, since, parent, type, false);
  if (sql.empty()) return true;
  auto list = ctx.web().query(sql);
  for (std::size_t r = 0; r < list.size(); ++r) {
    if (list.at(r, "Customfield1").toString() == kImported) continue;
    const long long invId = list.at(r, "InvID").toInt();
    out.taken.push_back({interimListEntry(list, r), invId, false});
    TransferImportOutcome one;
    for (int attempt = 0; attempt < kAutoAttempts; ++attempt) {
      one = importInterimTransfer(ctx, day, TransferImportRequest{type, invId, false, {}});
      if (!one.failed) break;
    }
    if (one.busy) return false;  // another branch pushes: the next pass tries again
    if (one.failed) {
      ++out.failed;
      ctx.log("Interim Stock Transfer", "Unattended import ended at voucher " + list.at(r, "InvID").toString());
      return false;
    }
    ++out.imported;
  }
  return true;
}

}  // namespace

AutoTransferOutcome AutoSynchInterimStockTransfer(SyncContext& ctx, const DayStartShown& since) {
  AutoTransferOutcome out;
  const WorkingDay day = ctx.day();
  try {
    auto types = ctx.web().query(
        " SELECT  Distinct tblStockHistory.VchTypeID, tblVchType.VchType, tblStockHistory.CCID FROM     "
        "tblStockHistory "
        "INNER JOIN  tblVchType ON tblStockHistory.VchTypeID = tblVchType.VchTypeID Where ParentID in(6,5,16,2,1005) "
        "and CCID =" +
        std::to_string(day.costCentreId) + " and (tblStockHistory.qtyIN > 0) ");
    for (std::size_t t = 0; t < types.size(); ++t)
      if (!importWaitingOfType(ctx, day, since, types.at(t, "VchTypeID").toInt(), out)) return out;
  } catch (const db::DbError& e) {
    ctx.log("Interim Stock Transfer", e.description());
    ctx.host.messageBox(e.description(), Buttons::OK, Icon::Exclamation);
    ++out.failed;
    return out;
  }
  out.completed = true;
  return out;
}

}  // namespace erpsync::stock
