// The import half of the "Stock Transfer" page: one central voucher becomes one branch opening stock
// journal with its stock postings, in one branch transaction, then the central voucher is marked.
#include "stock/import_interim_transfers.h"

#include <fmt/format.h>

#include <chrono>
#include <functional>
#include <optional>

#include "daycycle/auto_sync_switch.h"
#include "db/connection.h"
#include "db/sql_quote.h"
#include "shared/connections.h"
#include "shared/sync_context.h"
#include "stock/import_board_rate_updator.h"
#include "stock/opening_journal.h"
#include "stock/post_stock.h"
#include "stock/stock_book.h"
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

// The bill time "h:n AM/PM" (hour and minute without leading zeros) of a time on head office's clock.
std::string billTimeOf(const db::DateTime& t) {
  return fmt::format("{}:{} {}", t.hour % 12 == 0 ? 12 : t.hour % 12, t.minute, t.hour < 12 ? "AM" : "PM");
}

struct Posted {
  int lines = 0;
  int replaced = 0;  // journals of an earlier import removed
};

// Writes the journal and its postings of one voucher (its central stock rows rs, possibly none) in one
// branch transaction, replacing what an earlier import of it left: afterwards the branch holds exactly
// the voucher as head office has it now, or, after any failure, exactly what it held before. Nothing is
// asked of head office meanwhile.
Posted postVoucher(SyncContext& ctx, const WorkingDay& day, const db::Recordset& rs, long long type, long long invId,
                   const std::string& billTime) {
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
  local.execute(openingJournalHeader(
      {*next, day.date, rs.at(0, "CCID").toInt(), "Opening(FromTransfer)", JournalSource{type, invId, billTime}}));
  // The branch's batch rows read once: a line finds its row and its numbers here, not by a scan.
  StockBook book(local);
  for (std::size_t r = 0; r < rs.size(); ++r) {
    // Items without expiry carry the ERP's fixed date.
    StockLine l = stockLineFromRow(rs, r, db::DateTime{2020, 1, 12});
    const bool in = rs.at(r, "Qty").toDouble() > 0;
    local.execute(openingJournalLine(*next, l, in ? l.Qty : 0, in ? 0 : l.Qty));
    const StockPosting posting{kOpeningStockVchType,
                               in ? kStockIn : kStockOut,
                               static_cast<long>(*next),
                               "",
                               day.date,
                               true,
                               true,
                               Txn::Callers,
                               &book};
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

// The mark of the central voucher, for the parent types that have one ("" for the others).
std::string markStatement(int parent, const std::string& R) {
  if (parent == 2) return "update  tblPurchase set Customfield1='DOWNLAODED' where INvID=" + R;
  if (isJournalParent(parent)) return "update  tblsTOCKjOURNAL set Customfield1='DOWNLAODED' where INvID=" + R;
  return {};
}

// Head office's clock, as columns of a read: its own time and its UTC time (from tblSettings, as
// GetServerDateTime reads them: NULL when that table holds no row).
constexpr const char* kClockColumns =
    ", (Select top 1 Getdate() from tblSettings) AS ServDate, (Select top 1 getutcdate() from tblSettings) AS "
    "ServUtc";

// Head office's clock as a read with kClockColumns told it, carried on by this computer's steady clock
// since, so a later voucher of the run has its bill time without another call.
class HeadOfficeClock {
 public:
  void read(SyncContext& ctx, const db::Recordset& rs) {
    readAt_ = std::chrono::steady_clock::now();
    time_.reset();
    if (rs.empty()) return;
    // TIMEZONE.ini's offset applies to head office's UTC time, as GetServerDateTime applies it.
    int offset = 0;
    try {
      offset = timezoneOffsetMinutes(ctx);
    } catch (const std::exception& e) {
      ctx.host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
    }
    const auto t = rs.at(0, offset != 0 ? "ServUtc" : "ServDate").toDateTime();
    if (t) time_ = db::DateTime::fromTotalSeconds(t->totalSeconds() + 60LL * offset);
  }
  // Head office's time now; this computer's when head office did not tell it.
  db::DateTime now(SyncContext& ctx) const {
    if (!time_) return ctx.clock.now();
    const auto since = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - readAt_);
    return db::DateTime::fromTotalSeconds(time_->totalSeconds() + since.count());
  }

 private:
  std::optional<db::DateTime> time_;
  std::chrono::steady_clock::time_point readAt_{};
};

// One central voucher to import, with its type's parent type.
struct WaitingVoucher {
  long long type = 0;
  int parent = 0;
  long long invId = 0;
};

// The voucher's stock brought in, then the central voucher marked. Head office is read once and the
// branch's work is done with no lock held there; the mark takes the push lock and gives it back within
// its one call, after the branch's commit. When another branch holds the lock then, the voucher stays
// unmarked (busy): the next import replaces the journal by the same one and marks.
void importVoucher(SyncContext& ctx, const WorkingDay& day, const WaitingVoucher& v, const HeadOfficeClock& clock,
                   TransferImportOutcome& out) {
  const std::string T = std::to_string(v.type);
  const std::string R = std::to_string(v.invId);
  auto rs = ctx.web().query(centralStockQuery(ctx.erpSettings, std::to_string(day.costCentreId), T, R));
  const Posted posted = postVoucher(ctx, day, rs, v.type, v.invId, billTimeOf(clock.now(ctx)));
  out.lines = posted.lines;
  out.imported = !rs.empty();
  out.replaced = posted.replaced > 0;
  if (posted.replaced > 0)
    ctx.log("Interim Stock Transfer",
            "Voucher " + R + " of type " + T + " was at the branch already; its earlier import was replaced");
  if (rs.empty()) ctx.host.messageBox("No data fetched from data source", Buttons::OK, Icon::Exclamation);
  const std::string mark = markStatement(v.parent, R);
  if (mark.empty()) return;
  // A failure here leaves the voucher unmarked: the next try replaces the journal by the same one.
  const sync::LockedReply reply = sync::runUnderPushLock(ctx, {"", mark + "\r\n", ""});
  if (!reply.held) {
    out.busy = true;
    ctx.status().status("Server Busy with " + reply.holder + ". waiting.");
    ctx.log("Interim Stock Transfer",
            "Voucher " + R + " of type " + T + " imported; its mark waits: the push lock is held by " + reply.holder);
    return;
  }
  out.marked = true;
}

// An import under way: the auto-sync switch off, failures told and recorded in the outcome.
void runImport(SyncContext& ctx, const std::function<void()>& work, TransferImportOutcome& out) {
  daycycle::AutoSyncPause pause(ctx);
  try {
    work();
  } catch (const std::exception& e) {
    const auto* d = dynamic_cast<const db::DbError*>(&e);
    const std::string what = d ? d->description() : std::string(e.what());
    out.failed = true;
    ctx.log("Interim Stock Transfer", what);
    ctx.notice(what + "cmdImportInterimtransfers_click");
  }
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
  // One read first: the type's parent, whether another branch pushes, head office's clock.
  HeadOfficeClock clock;
  WaitingVoucher v{request.vchTypeId, 0, request.invId};
  db::Value holder;
  try {
    const db::Recordset rs = ctx.web().query(
        "select (select top 1 ParentID from tblVchtype where VchTypeID=" + std::to_string(request.vchTypeId) +
        ") as ParentID, " + sync::otherHolderColumn(db::sqlQuote(day.costCentreName)) + " as Holder" + kClockColumns);
    v.parent = static_cast<int>(rs.at(0, "ParentID").toInt());
    holder = rs.at(0, "Holder");
    clock.read(ctx, rs);
  } catch (const db::DbError& e) {
    out.failed = true;
    ctx.notice(e.description() + "cmdImportInterimtransfers_click");
    return out;
  }
  if (!holder.isNull()) {
    ctx.status().pushLock("LOCK");
    ctx.status().status("Server Busy with " + holder.toString() + ". waiting.");
    ctx.host.doEvents();
    out.busy = true;
    return out;
  }
  runImport(
      ctx,
      [&] {
        if (request.boardRates)
          out.failed = !importBoardRates(ctx, request.entry, "");
        else
          importVoucher(ctx, day, v, clock, out);
      },
      out);
  return out;
}

TransferImportOutcome importInterimTransfer(SyncContext& ctx, long long vchTypeId, long long invId) {
  return importInterimTransfer(ctx, ctx.day(), TransferImportRequest{vchTypeId, invId, false, {}});
}

AutoTransferOutcome importWaitingTransfers(SyncContext& ctx, const DayStartShown& since) {
  AutoTransferOutcome out;
  const WorkingDay day = ctx.day();
  HeadOfficeClock clock;
  db::Recordset list;
  try {
    // Every waiting voucher of every type in one read, with whether another branch pushes and head
    // office's clock: an idle run is this one call.
    list = ctx.web().query(waitingTransfersQuery(
        day, since, ", " + sync::otherHolderColumn(db::sqlQuote(day.costCentreName)) + " AS Holder" + kClockColumns));
  } catch (const db::DbError& e) {
    ctx.log("Interim Stock Transfer", e.description());
    ctx.host.messageBox(e.description(), Buttons::OK, Icon::Exclamation);
    ++out.failed;
    return out;
  }
  clock.read(ctx, list);
  if (!list.empty() && !list.at(0, "Holder").isNull()) {
    // Another branch pushes: the next pass tries again.
    ctx.status().pushLock("LOCK");
    ctx.status().status("Server Busy with " + list.at(0, "Holder").toString() + ". waiting.");
    return out;
  }
  for (std::size_t r = 0; r < list.size(); ++r) {
    if (list.at(r, "Customfield1").toString() == kImported) continue;
    const WaitingVoucher v{list.at(r, "VchTypeID").toInt(), static_cast<int>(list.at(r, "ParentID").toInt()),
                           list.at(r, "InvID").toInt()};
    out.taken.push_back({interimListEntry(list, r), v.invId, false});
    TransferImportOutcome one;
    // A voucher that fails is tried once more before the run ends.
    for (int attempt = 0; attempt < kAutoAttempts; ++attempt) {
      one = TransferImportOutcome{};
      runImport(
          ctx, [&] { importVoucher(ctx, day, v, clock, one); }, one);
      if (!one.failed) break;
    }
    if (one.busy) return out;  // another branch pushes: the next pass marks it
    if (one.failed) {
      ++out.failed;
      ctx.log("Interim Stock Transfer", "Unattended import ended at voucher " + std::to_string(v.invId));
      return out;
    }
    ++out.imported;
  }
  out.completed = true;
  return out;
}

}  // namespace erpsync::stock
