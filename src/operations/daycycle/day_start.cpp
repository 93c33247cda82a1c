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
#include "form/main_form.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "shared/val.h"
#include "stock/post_stock.h"
#include "stock/post_voucher.h"
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

// The opening stock journal's header: voucher type 1005, number j, dated the working day.
std::string journalHeader(long long j, const DateTime& wd, long long ccid) {
  const std::string J = std::to_string(j);
  return " insert into tblStockJournal(VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId,Party,"
         "Discount,TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,UsConversion,"
         "UsAmount,OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CCID,currencyid,"
         "OrderIds,VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,PlaceofReceiptbyPC,FlightNo,"
         "PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestination,GrossWeight,"
         "OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer,CardLedgerID,"
         "CustomField1,CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,AgentID ,Accounts,"
         "CashDiscount, SaleAmount  ,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,DestCCID,NetAmount,"
         "ProfileID,RegNo,BlnWaitForAuthorisation) values (" +
         J + "," + J + ",'" + J + "','',0," + J + "," + dateLit(wd) + ",'Opening','Cash',100,'',0,'<None>',0,0,0,0,0," +
         "'synch',0,0,1,0,'','',0,'',1,0," + std::to_string(ccid) +
         ",1,'0',1005,0,0,0,'','','','','','','','','','','0','0',0,0,'0','QMR',0,0,0,'','',0,0,'',480 ,1,0,0,0,0,3,"
         "'',0,0,0,0,0,'',0)";
}

// One detail line of the journal. The alternate-unit rates and the supplier go to the posting only.
std::string journalLine(long long j, const stock::StockLine& l, double qtyIn, double qtyOut) {
  const std::string b = db::sqlQuote(l.BatchCode);
  return " insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,"
         "TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,"
         "ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,"
         "iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,"
         "MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,"
         "SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,"
         "HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values  (1," +
         std::to_string(j) + "," + std::to_string(l.ItemID) + "," + num(qtyIn) + "," + num(qtyOut) + "," +
         num(l.PRate) + "," + num(l.CRate) + "," + num(l.SRate) + "," + num(l.MRP) + ",0," + b +
         ",0,0,0,0,1,0,'','','0'," + b + ",0,0,0,0,0,0," + dateLit(l.Expiry) +
         ",1,'','',0,0,0,0,0,0,0,0,0,0,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,'','',''," + std::to_string(l.GodownID) +
         "," + db::sqlQuote(l.BatchUnique) + ")";
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

}  // namespace

DayStartOutcome cmdDayStart_Click(SyncContext& ctx) {
  DayStartOutcome out;
  auto& form = ctx.form;
  auto& host = ctx.host;
  if (!confirmWorkingDate(ctx, "Day Start")) return out;
  if (host.messageBox("Are you sure you want to DAY START now", Buttons::YesNo, Icon::Question, {}, Answer::No) !=
      Answer::Yes)
    return out;
  out.started = true;
  // Automatic synchronisation stays off while the branch's stock is rebuilt, and comes back as the
  // operator left it however the day start ends.
  AutoSyncPause pause(ctx);
  host.setBusy(true);
  const DateTime wd = form.dtpdate.value().dateOnly();
  const long cc = static_cast<long>(Val(form.lblCostcentre.tag()));

  auto& progress = form.frmInitialize;
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
      host.setBusy(false);
      out.refused = true;
      return out;
    }
    WriteDayActivity(ctx, "DayStart", "Day Start started", static_cast<int>(cc), true);
    rowWritten = true;
    local.execute("update tblSales set  LockMode=1 where iNVdate <=" + dateLit(wd) + " ");

    // Head office is only read, and read before the branch transaction begins, so no question or
    // network wait holds the branch's tables locked longer than the rebuild needs.
    const db::Recordset q = ctx.web().query(openingStockQuery(ctx.erpSettings, cc));
    const db::Recordset ledgers = ctx.web().query(
        "SELECT     tblLedger.LID, SUM(tblVoucher.AmountD - tblVoucher.AmountC) AS Amount, tblLedger.LName FROM     "
        "    tblVoucher INNER JOIN tblLedger ON tblVoucher.DrLID = tblLedger.LID Where (tblVoucher.CCID = " +
        std::to_string(cc) + ") and tblLedger.LID >0  GROUP BY tblLedger.LID, tblLedger.LName");
    if (q.empty()) host.messageBox("There is no stock available to import", Buttons::OK, Icon::Critical);

    {
      // The rebuild: all of it commits, or the branch keeps the stock and ledger it had.
      db::Transaction rebuild(local);
      local.execute("Delete from tblStock ");
      local.execute("Delete from tblVoucher ");
      local.execute("Delete from tblStockHistory ");
      ctx.log("Day start", "Day start started");

      long long j = 0;
      if (!q.empty()) {
        auto next = stock::NextId(ctx, "tblStockJournal", "invid");
        if (!next) throw Abort("The opening stock journal could not be numbered.");
        j = *next;
        local.execute(journalHeader(j, wd, q.at(0, "CCID").toInt()));
        progress.show();
        progress.prg.setMin(0);
        progress.prg.setMax(static_cast<int>(q.size()));
        progress.prg.setValue(0);
      }
      for (std::size_t r = 0; r < q.size(); ++r) {
        stock::StockLine line = lineFromRow(q, r, ctx.erpSettings);
        const bool in = q.at(r, "Qty").toDouble() > 0;
        const std::string item = std::to_string(line.ItemID);
        const std::string batchUnique = line.BatchUnique;
        local.execute(journalLine(j, line, in ? line.Qty : 0, in ? 0 : line.Qty));
        if (!stock::PostStock(ctx, stock::kOpeningStockVchType, in ? stock::kStockIn : stock::kStockOut,
                              static_cast<long>(j), "", line, wd, 0, false, "OpeningStock", stock::kOpeningStockVchType,
                              true, true, stock::Txn::Callers))
          throw Abort("The stock of item " + item + ", batch " + batchUnique + " could not be posted.");
        host.doEvents();
        const std::string status = item + ", BatchUnique = " + batchUnique + kLineStatus;
        form.lblStatus.setCaption(status);
        progress.prg.setValue(static_cast<int>(r + 1));
        ctx.log("Day start", status);
        ++out.stockLines;
      }

      for (std::size_t r = 0; r < ledgers.size(); ++r) {
        const long lid = static_cast<long>(ledgers.at(r, "LID").toInt());
        const double balance = ledgers.at(r, "Amount").toDouble();
        double amount = std::fabs(balance);
        long salesman = 0, currency = 0;
        double conversion = 0;
        const std::string id = std::to_string(lid);
        const long mainId = stock::PostVoucher(ctx, stock::kOpeningStockVchType, wd, balance > 0 ? lid : 0,
                                               balance > 0 ? 0 : lid, id, id, amount, "OPENING SYNCH", salesman, 0, cc,
                                               currency, conversion, std::nullopt, stock::Txn::Callers);
        // A ledger without its balance would leave the branch's accounts wrong: the whole rebuild goes.
        if (mainId == 0) throw Abort("The balance of ledger " + id + " could not be posted.");
        if (mainId > 0) ++out.ledgers;
      }
      rebuild.commit();
    }
    progress.unload();
  } catch (const std::exception& e) {
    // The rebuild's transaction is rolled back by now: the branch holds what it held before.
    progress.unload();
    out.aborted = true;
    ctx.notice(describe(e));
    host.setBusy(false);
    form.lblStatus.setCaption(
        "Day start aborted with error. The branch's stock and accounts are as they were before; "
        "start the day again.");
    ctx.log("Day start", "Day start aborted, nothing changed: " + describe(e));
    // The day did not start: its "started" row would keep data entry blocked and move the day end's
    // count to this date, so it is taken back instead of being followed by another row.
    if (rowWritten) RemoveDayActivity(ctx, "DayStart", "Day Start started", static_cast<int>(cc));
    return out;
  }

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
  setdatstartDet(ctx);
  form.lblStatus.setCaption("Day start over. waiting for next action from user..");
  form.lblStatusMain.setCaption("Day start over");
  host.messageBox("Day started successfully. Now you can start entering transactions", Buttons::OK, Icon::Information);
  host.setBusy(false);
  out.completed = true;
  return out;
}

}  // namespace erpsync::daycycle
