// The import half of the "Stock Transfer" page: one central voucher becomes one branch opening stock
// journal with its stock postings, in one branch transaction, then the central voucher is marked.
#include "stock/import_interim_transfers.h"

#include <fmt/format.h>

#include <cmath>

#include "daycycle/auto_sync_switch.h"
#include "db/connection.h"
#include "form/main_form.h"
#include "shared/connections.h"
#include "shared/sync_context.h"
#include "shared/val.h"
#include "stock/import_board_rate_updator.h"
#include "stock/post_stock.h"
#include "sync/field_literal.h"
#include "sync/server_lock.h"

namespace erpsync {

namespace {

constexpr const char* kImported = "DOWNLAODED";
// Attempts of one voucher in the unattended run before the run ends.
constexpr int kAutoAttempts = 2;

std::string num(double v) {
  return FieldLiteral(db::Value(v), db::adDouble);
}

bool isJournalParent(int p) {
  return p == 5 || p == 6 || p == 16 || p == 41 || p == 1005;
}

// The central stock rows of the voucher, one per batch, with its incoming quantity summed.
std::string centralStockQuery(SyncContext& ctx, const std::string& C, const std::string& T, const std::string& R) {
  const bool expiry = ctx.erpSettings.BLNEXPIRY;
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
  return F1 + F2 + (ctx.erpSettings.BLNBATCHCODE ? " AND tblStock.BatchUnique = tblStockHistory_1.BatchUnique " : "") +
         F3 + F4 + C + " And vchtypeID = " + T + " And refID = " + R;
}

std::string headerInsert(const std::string& N, const std::string& R, const std::string& T, const std::string& date,
                         const std::string& ccid, const std::string& billTime) {
  return " insert into "
         "tblStockJournal(VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId,Party,Discount,"
         "TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,UsConversion,UsAmount,"
         "OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CCID,currencyid,OrderIds,"
         "VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,PlaceofReceiptbyPC,FlightNo,"
         "PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestination,GrossWeight,"
         "OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer,CardLedgerID,CustomField1,"
         "CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,AgentID ,Accounts,CashDiscount, "
         "SaleAmount "
         " ,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,DestCCID,NetAmount,ProfileID,RegNo,"
         "BlnWaitForAuthorisation,BillTime,ServInvID) values (" +
         N + "," + N + ",'" + N + "','" + R + "',0," + N + "," + date +
         ",'Opening(FromTransfer)','Cash',100,'',0,'<None>',0,0,0,0,0,'synch',0,0,1,0,'','',0,'',1,0," + ccid +
         ",1,'0',1005,0,0,0,'','','','','','','','','','','0','0',0,0,'0','QMR',0,0,0,'','',0,0,'',480 "
         ",1,0,0,0,0,3,'',0,0,0,0," +
         T + ",'',0," + db::sqlQuote(billTime) + "," + R + ")";
}

std::string lineInsert(const std::string& N, const stock::StockLine& l, double in, double out,
                       const std::string& expiry) {
  const std::string batch = db::sqlQuote(l.BatchCode);
  return " insert into tblStockJournalDetail "
         "(slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,TaxPer,TaxAmount,AstAmount,Amount,"
         "Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,"
         "BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,iCustomField2,iCustomField3,iCustomField4,iCessPer,"
         "WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,"
         "AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,"
         "MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) "
         "values  (1," +
         N + "," + std::to_string(l.ItemID) + "," + num(in) + "," + num(out) + "," + num(l.PRate) + "," + num(l.CRate) +
         "," + num(l.SRate) + "," + num(l.MRP) + ",0," + batch + ",0,0,0,0,1,0,'','','0'," + batch + ",0,0,0,0,0,0," +
         expiry + ",1,'','',0,0,0,0,0,0,0,0,0,0,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,'','',''," +
         std::to_string(l.GodownID) + "," + db::sqlQuote(l.BatchUnique) + ")";
}

// Removes every branch journal an earlier import made of the voucher (type T, central InvID R): header,
// lines, and its stock history, serial and rate rows. Batch rows in tblStock stay. Returns the number
// of journals removed. Runs in the caller's branch transaction.
int removeEarlierImport(SyncContext& ctx, const std::string& T, const std::string& R) {
  auto& local = ctx.local();
  auto earlier = local.query("Select * from tblStockJournal where ProfileID=" + T + " and RefNo='" + R + "'");
  for (std::size_t r = 0; r < earlier.size(); ++r) {
    const long long inv = earlier.at(r, "InvID").toInt();
    const std::string I = std::to_string(inv);
    local.execute(" delete from tblStockJournal where INvID=" + I);
    local.execute(" delete from tblStockJournalDetail where INvID=" + I);
    stock::StockLine none;
    if (!stock::PostStock(ctx, static_cast<int>(earlier.at(r, "VchTypeID").toInt()), stock::kDeleteMovements,
                          static_cast<long>(inv), "", none, ctx.form.dtpdate.value(), 0, false, "opening",
                          stock::kOpeningStockVchType, false, false, stock::Txn::Callers))
      throw db::DbError("The stock of the earlier import " + I + " of the transfer could not be removed");
  }
  return static_cast<int>(earlier.size());
}

struct Posted {
  int lines = 0;
  int replaced = 0;  // journals of an earlier import removed
};

// Writes the journal and its postings of one voucher (its central stock rows rs, possibly none) in one
// branch transaction, replacing what an earlier import of it left: afterwards the branch holds exactly
// the voucher as head office has it now, or, after any failure, exactly what it held before.
Posted postVoucher(SyncContext& ctx, const db::Recordset& rs, const std::string& T, const std::string& R) {
  auto& local = ctx.local();
  db::Transaction t(local);
  Posted out;
  out.replaced = removeEarlierImport(ctx, T, R);
  if (rs.empty()) {
    t.commit();
    return out;
  }
  const auto next = stock::NextId(ctx, "tblStockJournal", "invid");
  if (!next) throw db::DbError("No journal number could be taken for the transfer");
  const std::string N = std::to_string(*next);
  const ServerDateTime server = GetServerDateTime(ctx);
  // The bill time "h:n AM/PM" (hour and minute without leading zeros) from "hh:mm:ss AM".
  const std::string& tt = server.timeText;
  const std::string bill = tt.size() >= 11 ? fmt::format("{}:{} {}", std::stoi(tt.substr(0, 2)),
                                                         std::stoi(tt.substr(3, 2)), tt.substr(tt.size() - 2))
                                           : tt;
  const std::string date = FieldLiteral(db::Value(ctx.form.dtpdate.value()), db::adDBTimeStamp);
  local.execute(headerInsert(N, R, T, date, std::to_string(rs.at(0, "CCID").toInt()), bill));
  // The lock is renewed as a lease (every ten seconds), not at every line: a call to head office each.
  sync::LockLease lease;
  for (std::size_t r = 0; r < rs.size(); ++r) {
    if (!lease.keep(ctx)) throw db::DbError("The push lock was lost to another branch");
    // Items without expiry carry the ERP's fixed date.
    stock::StockLine l = stock::stockLineFromRow(rs, r, db::DateTime{2020, 1, 12});
    const bool in = rs.at(r, "Qty").toDouble() > 0;
    local.execute(
        lineInsert(N, l, in ? l.Qty : 0, in ? 0 : l.Qty, FieldLiteral(db::Value(l.Expiry), db::adDBTimeStamp)));
    if (!stock::PostStock(ctx, stock::kOpeningStockVchType, in ? stock::kStockIn : stock::kStockOut,
                          static_cast<long>(*next), "", l, ctx.form.dtpdate.value(), 0, false, "OpeningStock",
                          stock::kOpeningStockVchType, true, true, stock::Txn::Callers))
      throw db::DbError("The stock of item " + rs.at(r, "ItemID").toString() + " could not be posted");
    ++out.lines;
    ctx.host.doEvents();
    ctx.form.lblStatus.setCaption(std::to_string(l.ItemID) + ", BatchUnique = " + l.BatchUnique +
                                  " Updating.. Please wait. Do not attempt to make transactions till the day start "
                                  "is over..");
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

// The import after the question and the selection checks: lock, post, mark.
TransferImportOutcome importSelected(SyncContext& ctx, long long type, long long invId, bool boardRates,
                                     const std::string& entry) {
  TransferImportOutcome out;
  auto& f = ctx.form;
  f.cmdImportInterimtransfers.setEnabled(false);
  // Taken in one call and given back on every way out.
  sync::PushLockScope lock(ctx);
  if (!lock.held()) {
    if (!lock.failed()) f.lblStatus.setCaption("Server Busy with " + lock.holder() + ". waiting.");
    ctx.host.doEvents();
    f.cmdImportInterimtransfers.setEnabled(true);
    out.busy = !lock.failed();
    out.failed = lock.failed();
    return out;
  }
  daycycle::AutoSyncPause pause(ctx);
  const std::string C = std::to_string(static_cast<long long>(Val(f.lblCostcentre.tag())));
  const std::string T = std::to_string(type);
  const std::string R = std::to_string(invId);
  try {
    if (boardRates) {
      out.failed = !importBoardRateUpdator(ctx, entry, "");
    } else {
      const int parent = interimParentType(ctx, type);
      auto rs = ctx.web().query(centralStockQuery(ctx, C, T, R));
      const Posted posted = postVoucher(ctx, rs, T, R);
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
  } catch (const db::DbError& e) {
    out.failed = true;
    ctx.log("Interim Stock Transfer", e.description());
    ctx.notice(e.description() + "cmdImportInterimtransfers_click");
    f.cmdImportInterimtransfers.setEnabled(true);
    return out;
  }
  f.cmdImportInterimtransfers.setEnabled(true);
  return out;
}

}  // namespace

TransferImportOutcome importInterimTransfer(SyncContext& ctx, long long vchTypeId, long long invId) {
  return importSelected(ctx, vchTypeId, invId, false, {});
}

TransferImportOutcome cmdImportInterimtransfers_Click(SyncContext& ctx) {
  auto& f = ctx.form;
  const bool automatic = f.chkAutoSynchInterimStockTransfer.value() == 1;
  if (!automatic && ctx.host.messageBox("Do you want to import this voucher to local database", Buttons::YesNo,
                                        Icon::Question) == Answer::No)
    return {};
  const int i = f.lstTransfer.listIndex();
  if (i < 0 || i >= f.lstTransfer.listCount()) {
    ctx.host.messageBox("PLease choose a voucher to transfer", Buttons::OK, Icon::Critical);
    return {};
  }
  const auto& cbo = f.cboInterimTransferVchtype;
  const long long type = cbo.listIndex() >= 0 ? cbo.itemData(cbo.listIndex()) : 0;
  const auto& entry = f.lstTransfer.items()[static_cast<std::size_t>(i)];
  auto out = importSelected(ctx, type, entry.itemData, cbo.text() == "BoardRateUpdator", entry.text);
  if (!out.busy && !out.failed && !automatic) {
    f.lblStatus.setCaption("Done");
    cboInterimTransferVchtype_Change(ctx);
  }
  return out;
}

AutoTransferOutcome AutoSynchInterimStockTransfer(SyncContext& ctx) {
  AutoTransferOutcome out;
  auto& f = ctx.form;
  const std::string C = std::to_string(static_cast<long long>(Val(f.lblCostcentre.tag())));
  try {
    auto types = ctx.web().query(
        " SELECT  Distinct tblStockHistory.VchTypeID, tblVchType.VchType, tblStockHistory.CCID FROM     "
        "tblStockHistory "
        "INNER JOIN  tblVchType ON tblStockHistory.VchTypeID = tblVchType.VchTypeID Where ParentID in(6,5,16,2,1005) "
        "and CCID =" +
        C + " and (tblStockHistory.qtyIN > 0) ");
    for (std::size_t t = 0; t < types.size(); ++t) {
      const long long type = types.at(t, "VchTypeID").toInt();
      const int parent = interimParentType(ctx, type);
      // Opening-stock journals (1005) are what a day start and an import write at a branch, and what
      // the upload brings to head office: imported again they would count the same stock twice, and
      // each import would come back with the next upload. The unattended run takes transfers only.
      if (parent == 1005) continue;
      const std::string sql = parent > 0 ? interimTransferListQuery(ctx, parent, type, false) : std::string();
      if (sql.empty()) continue;
      auto list = ctx.web().query(sql);
      for (std::size_t r = 0; r < list.size(); ++r) {
        if (list.at(r, "Customfield1").toString() == kImported) continue;
        f.lstTransfer.addItem(interimListEntry(list, r), list.at(r, "InvID").toInt());
        TransferImportOutcome one;
        for (int attempt = 0; attempt < kAutoAttempts; ++attempt) {
          one = importInterimTransfer(ctx, type, list.at(r, "InvID").toInt());
          if (!one.failed) break;
        }
        if (one.busy) return out;  // another branch pushes: the next pass tries again
        if (one.failed) {
          ++out.failed;
          ctx.log("Interim Stock Transfer", "Unattended import ended at voucher " + list.at(r, "InvID").toString());
          return out;
        }
        ++out.imported;
      }
    }
  } catch (const db::DbError& e) {
    ctx.log("Interim Stock Transfer", e.description());
    ctx.host.messageBox(e.description(), Buttons::OK, Icon::Exclamation);
    ++out.failed;
    return out;
  }
  if (f.cboInterimTransferVchtype.listIndex() >= 0) cboInterimTransferVchtype_Change(ctx);
  return out;
}

}  // namespace erpsync
