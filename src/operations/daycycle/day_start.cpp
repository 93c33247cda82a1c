// Day start: the branch's stock tables and ledger are rebuilt from head office's figures for its cost
// centre, as one opening stock journal posted line by line and one opening entry per ledger.
#include "daycycle/day_start.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "daycycle/auto_sync_switch.h"
#include "daycycle/day_activity.h"
#include "daycycle/working_date.h"
#include "db/connection.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "stock/opening_journal.h"
#include "stock/post_stock.h"
#include "stock/post_voucher.h"
#include "stock/stock_book.h"
#include "stock/stock_text.h"

namespace erpsync::daycycle {

namespace {

using stock::dateLit;
using stock::num;

const char* const kLineStatus =
    " Updating.. Please wait. Do not attempt to make transactions till the day start is over..";

// A failure of the rebuild that is not a database error (a line the posting refused).
struct Abort : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Head office's stock of the cost centre, one row per batch, with the quantity its history holds (per
// batch when items are held in batches, else per item).
std::string openingStockQuery(const ErpSettings& s, long cc) {
  const std::string expiry = s.BLNEXPIRY ? "tblstock.expiry as  Expiry" : "'12-May-2020' AS Expiry";
  std::string q =
      "SELECT     dbo.tblItemMaster.BlnExpiryItem, dbo.tblStock.SupplierID, dbo.tblStock.GodownID, dbo.tblStock.CCID, "
      "dbo.tblItemMaster.AlterUnitConversion, " +
      expiry +
      ", dbo.tblItemMaster.ItemID, dbo.tblItemMaster.ProductTypeID, dbo.tblItemMaster.ItemCode, "
      "dbo.tblItemMaster.ItemName, dbo.tblItemMaster.CategoryID, dbo.tblItemMaster.Description, "
      "dbo.tblItemMaster.Unit, dbo.tblItemMaster.AlterUnit, dbo.tblItemMaster.AlterUnit2, "
      "dbo.tblItemMaster.TaxClassID, dbo.tblItemMaster.Rack, dbo.tblItemMaster.Manufacturer, "
      "dbo.tblCategories.Category, dbo.tblItemMaster.ProductType, dbo.tblStock.Prate AS ValuationRate, "
      "dbo.tblStock.Prate, dbo.tblStock.Crate, dbo.tblStock.SRate, dbo.tblStock.Mrp, "
      "dbo.tblStock.BatchUnique,dbo.tblStock.BatchCode, dbo.tblStock.PRateAU, dbo.tblStock.SrateAU, "
      "dbo.tblStock.CRateAU, dbo.tblStock.MRPAU, dbo.tblStock.PrateAU2, dbo.tblStock.SrateAU2, "
      "dbo.tblStock.CRateAU2, dbo.tblStock.MRPAU2, (SELECT     SUM(QtyIN - QtyOut) AS Expr1 From "
      "dbo.tblStockHistory ";
  q += s.BLNEXPIRY ? " WHERE      (ItemID = dbo.tblStock.ItemID) AND (dbo.tblStock.CCID = CCID) "
                   : " WHERE      (ItemID = dbo.tblStock.ItemID) AND (dbo.tblStock.CCID = CCID)  ";
  if (s.BLNBATCHCODE) q += " AND (dbo.tblStock.BatchUnique = BatchUnique)";
  q += ") Qty  FROM         dbo.tblCategories INNER JOIN                       dbo.tblItemMaster INNER JOIN       "
       "                dbo.tblStock ON dbo.tblItemMaster.ItemID = dbo.tblStock.ItemID ON "
       "dbo.tblCategories.CategoryID = dbo.tblItemMaster.CategoryID   where ccId=" +
       std::to_string(cc);
  return q;
}

// The stock line of one row of head office's stock: the quantity as the ERP formats it (fifteen
// decimals); without expiry tracking every batch carries the fixed date, with it the batch's own.
stock::StockLine lineFromRow(const db::Recordset& q, std::size_t r, const ErpSettings& s) {
  stock::StockLine l = stock::stockLineFromRow(q, r, DateTime{});
  l.Qty = stock::roundTo(l.Qty, 15);
  l.Expiry = s.BLNEXPIRY ? l.Expiry.dateOnly() : DateTime{2020, 5, 12};
  return l;
}

// The stock total of the cost centre on one side, as shown with two decimals.
double stockTotal(db::Connection& c, long cc) {
  auto rs = c.query(
      " SELECT     isnull(SUM(QTYIN-QtyOut),0) AS Qty From tblstockhistory Where (CCID = " + std::to_string(cc) + ")");
  return stock::roundTo(rs.empty() ? 0 : rs.at(0, "Qty").toDouble(), 2);
}

std::string describe(const std::exception& e) {
  if (const auto* d = dynamic_cast<const db::DbError*>(&e)) return d->description();
  return e.what();
}

// The busy pointer while the day start works, back to normal on every way out.
class BusyPointer {
 public:
  explicit BusyPointer(Host& host) : host_(host) { host_.setBusy(true); }
  ~BusyPointer() { host_.setBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Host& host_;
};

// The progress of the rebuild from its first line to its end, however it ends.
class ProgressShown {
 public:
  explicit ProgressShown(const DayStartProgress& p) : p_(p) {}
  ~ProgressShown() {
    if (p_.end) p_.end();
  }
  ProgressShown(const ProgressShown&) = delete;
  ProgressShown& operator=(const ProgressShown&) = delete;
  void begin(int lines) const {
    if (p_.begin) p_.begin(lines);
  }
  void step(int done) const {
    if (p_.step) p_.step(done);
  }

 private:
  const DayStartProgress& p_;
};

// Empties the branch's stock, vouchers and stock history and brings in head office's stock of cost
// centre cc (one opening journal, each line posted) and every ledger balance, in ONE branch transaction:
// all of it commits, or the branch keeps the stock and ledger it had.
void rebuildFromHeadOffice(SyncContext& ctx, const DateTime& wd, long cc, const DayStartProgress& shown,
                           DayStartOutcome& out) {
  auto& host = ctx.host;
  auto& local = ctx.local();
  // Head office is only read, and read before the branch transaction begins, so no question or
  // network wait holds the branch's tables locked longer than the rebuild needs.
  const db::Recordset q = ctx.web().query(openingStockQuery(ctx.erpSettings, cc));
  const db::Recordset ledgers = ctx.web().query(
      "SELECT     tblLedger.LID, SUM(tblVoucher.AmountD - tblVoucher.AmountC) AS Amount, tblLedger.LName FROM     "
      "    tblVoucher INNER JOIN tblLedger ON tblVoucher.DrLID = tblLedger.LID Where (tblVoucher.CCID = " +
      std::to_string(cc) + ") and tblLedger.LID >0  GROUP BY tblLedger.LID, tblLedger.LName");
  if (q.empty()) host.messageBox("There is no stock available to import", Buttons::OK, Icon::Critical);

  const ProgressShown progress(shown);
  db::Transaction rebuild(local);
  // The earlier sales are locked with the rebuild: a day start that fails leaves them as they were.
  local.execute("update tblSales set  LockMode=1 where iNVdate <=" + dateLit(wd) + " ");
  local.execute("Delete from tblStock ");
  local.execute("Delete from tblVoucher ");
  local.execute("Delete from tblStockHistory ");
  ctx.log("Day start", "Day start started");

  // The batch rows are read once (none are left): each line finds its row and its numbers here
  // instead of scanning tblStock, which would make the rebuild grow with the square of its lines.
  stock::StockBook book(local);
  long long j = 0;
  if (!q.empty()) {
    auto next = stock::NextId(ctx, "tblStockJournal", "invid");
    if (!next) throw Abort("The opening stock journal could not be numbered.");
    j = *next;
    local.execute(stock::openingJournalHeader({j, wd, q.at(0, "CCID").toInt(), "Opening", std::nullopt}));
    progress.begin(static_cast<int>(q.size()));
  }
  for (std::size_t r = 0; r < q.size(); ++r) {
    stock::StockLine line = lineFromRow(q, r, ctx.erpSettings);
    const bool in = q.at(r, "Qty").toDouble() > 0;
    const std::string item = std::to_string(line.ItemID);
    const std::string batchUnique = line.BatchUnique;
    local.execute(stock::openingJournalLine(j, line, in ? line.Qty : 0, in ? 0 : line.Qty));
    const stock::StockPosting posting{stock::kOpeningStockVchType,
                                      in ? stock::kStockIn : stock::kStockOut,
                                      static_cast<long>(j),
                                      "",
                                      wd,
                                      true,
                                      true,
                                      stock::Txn::Callers,
                                      &book};
    if (!stock::PostStock(ctx, posting, line))
      throw Abort("The stock of item " + item + ", batch " + batchUnique + " could not be posted.");
    host.doEvents();
    const std::string status = item + ", BatchUnique = " + batchUnique + kLineStatus;
    ctx.status().status(status);
    progress.step(static_cast<int>(r + 1));
    ctx.log("Day start", status);
    ++out.stockLines;
  }

  for (std::size_t r = 0; r < ledgers.size(); ++r) {
    const long lid = static_cast<long>(ledgers.at(r, "LID").toInt());
    const double balance = ledgers.at(r, "Amount").toDouble();
    const std::string id = std::to_string(lid);
    stock::VoucherEntry entry;
    entry.vchType = stock::kOpeningStockVchType;
    entry.date = wd;
    entry.drLedger = balance > 0 ? lid : 0;
    entry.crLedger = balance > 0 ? 0 : lid;
    entry.particulars = entry.narration = id;
    entry.amount = std::fabs(balance);
    entry.userNarration = "OPENING SYNCH";
    entry.ccid = cc;
    entry.txn = stock::Txn::Callers;
    const long mainId = stock::PostVoucher(ctx, entry);
    // A ledger without its balance would leave the branch's accounts wrong: the whole rebuild goes.
    if (mainId == 0) throw Abort("The balance of ledger " + id + " could not be posted.");
    if (mainId > 0) ++out.ledgers;
  }
  rebuild.commit();
}

// After the rebuild committed: tells what came in, compares the stock totals and writes the "Day Start
// Finished" rows.
void finishDayStart(SyncContext& ctx, const DateTime& wd, long cc, DayStartOutcome& out) {
  auto& host = ctx.host;
  host.messageBox("Opening stock brought from head office: " + std::to_string(out.stockLines) +
                      (out.stockLines == 1 ? " stock line" : " stock lines") + " and " + std::to_string(out.ledgers) +
                      (out.ledgers == 1 ? " ledger balance" : " ledger balances") + " for " + ddMMMyyyy(wd) + ".",
                  Buttons::OK, Icon::Information);
  try {
    const double central = stockTotal(ctx.web(), cc);
    const double branch = stockTotal(ctx.local(), cc);
    if (stock::roundTo(std::fabs(central - branch), 2) > 1) {
      out.disparity = true;
      host.messageBox("Please re start the process. Some disparities noted", Buttons::OK, Icon::Critical);
    }
  } catch (const std::exception& e) {
    // The day is started; a check that cannot be read is told, not a reason to undo it.
    ctx.notice(describe(e));
  }
  out.dayRowMissing = WriteDayActivity(ctx, "DayStart", "Day Start Finished", static_cast<int>(cc), false).missing();
  if (!out.dayRowMissing.empty()) ctx.log("Day start", out.dayRowMissing);
  ctx.log("Day start", "Day start Ended");
  ctx.status().status("Day start over. waiting for next action from user..");
  ctx.status().stage("Day start over");
  host.messageBox("Day started successfully. Now you can start entering transactions", Buttons::OK, Icon::Information);
  out.completed = true;
}

}  // namespace

DayStartOutcome dayStart(SyncContext& ctx, const DayStartProgress& progress) {
  DayStartOutcome out;
  const WorkingDay day = ctx.day();
  out.workingDate = day.date;
  out.costCentre = day.costCentreId;
  auto& host = ctx.host;
  if (!confirmWorkingDate(ctx, day.date, "Day Start")) return out;
  if (host.messageBox("Are you sure you want to DAY START now", Buttons::YesNo, Icon::Question, {}, Answer::No) !=
      Answer::Yes)
    return out;
  out.started = true;
  // Automatic synchronisation stays off while the branch's stock is rebuilt, and comes back as the
  // operator left it however the day start ends.
  AutoSyncPause pause(ctx);
  const BusyPointer busy(host);
  const DateTime wd = day.date;
  const long cc = static_cast<long>(day.costCentreId);

  // Set once the "Day Start started" row is written; a day start that then fails takes it back.
  bool rowWritten = false;
  try {
    auto& local = ctx.local();
    // A day that already has vouchers is refused before anything is written: no day row that would
    // block data entry, no voucher locked.
    if (!local.query("Select top 1 InvID from tblSales where iNVdate =" + dateLit(wd) + " ").empty()) {
      host.messageBox("Transactions are already entered on " + ddMMMyyyy(wd) +
                          ", so that day cannot be started: Day Start would rebuild the stock under them. Nothing "
                          "was changed.\r\nCarry on with this day and close it with Day End; run Day Start on the "
                          "next working date before its first transaction.",
                      Buttons::OK, Icon::Critical);
      out.refused = true;
      return out;
    }
    WriteDayActivity(ctx, "DayStart", "Day Start started", static_cast<int>(cc), true);
    rowWritten = true;
    rebuildFromHeadOffice(ctx, wd, cc, progress, out);
  } catch (const std::exception& e) {
    // The rebuild's transaction is rolled back by now: the branch holds what it held before.
    out.aborted = true;
    ctx.notice(describe(e));
    ctx.status().status(
        "Day start aborted with error. The branch's stock and accounts are as they were before; "
        "start the day again.");
    ctx.log("Day start", "Day start aborted, nothing changed: " + describe(e));
    // The day did not start: its "started" row would keep data entry blocked and move the day end's
    // count to this date, so it is taken back instead of being followed by another row.
    if (rowWritten) RemoveDayActivity(ctx, "DayStart", "Day Start started", static_cast<int>(cc));
    return out;
  }
  finishDayStart(ctx, wd, cc, out);
  return out;
}

}  // namespace erpsync::daycycle
