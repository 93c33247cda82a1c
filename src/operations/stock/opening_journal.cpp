// The statements of the branch's opening stock journal.
#include "stock/opening_journal.h"

#include "db/sql_quote.h"
#include "db/value.h"
#include "stock/post_stock.h"
#include "stock/stock_text.h"

namespace erpsync::stock {

std::string openingJournalHeader(const OpeningJournal& j) {
  const std::string N = std::to_string(j.invId);
  const JournalSource* src = j.source ? &*j.source : nullptr;
  const std::string refNo = src ? std::to_string(src->invId) : std::string();
  std::string sql =
      " insert into tblStockJournal(VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId,Party,"
      "Discount,TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,UsConversion,"
      "UsAmount,OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CCID,currencyid,"
      "OrderIds,VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,PlaceofReceiptbyPC,FlightNo,"
      "PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestination,GrossWeight,"
      "OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer,CardLedgerID,"
      "CustomField1,CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,AgentID ,Accounts,"
      "CashDiscount, SaleAmount  ,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,DestCCID,NetAmount,"
      "ProfileID,RegNo,BlnWaitForAuthorisation";
  if (src) sql += ",BillTime,ServInvID";
  sql += ") values (" + N + "," + N + ",'" + N + "','" + refNo + "',0," + N + "," + dateLit(j.date) + "," +
         db::sqlQuote(j.vchType) + ",'Cash',100,'',0,'<None>',0,0,0,0,0,'synch',0,0,1,0,'','',0,'',1,0," +
         std::to_string(j.ccid) +
         ",1,'0',1005,0,0,0,'','','','','','','','','','','0','0',0,0,'0','QMR',0,0,0,'','',0,0,'',480 ,1,0,0,0,0,3,"
         "'',0,0,0,0," +
         (src ? std::to_string(src->vchTypeId) : "0") + ",'',0";
  if (src) sql += "," + db::sqlQuote(src->billTime) + "," + refNo;
  return sql + ")";
}

std::string openingJournalLine(long long invId, const StockLine& l, double qtyIn, double qtyOut) {
  const std::string b = db::sqlQuote(l.BatchCode);
  return " insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batch,"
         "TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode,"
         "ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1,"
         "iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerAU2,"
         "MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,PrateAU,"
         "SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierID,"
         "HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values  (1," +
         std::to_string(invId) + "," + std::to_string(l.ItemID) + "," + num(qtyIn) + "," + num(qtyOut) + "," +
         num(l.PRate) + "," + num(l.CRate) + "," + num(l.SRate) + "," + num(l.MRP) + ",0," + b +
         ",0,0,0,0,1,0,'','','0'," + b + ",0,0,0,0,0,0," + dateLit(l.Expiry) +
         ",1,'','',0,0,0,0,0,0,0,0,0,0,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,'','',''," + std::to_string(l.GodownID) +
         "," + db::sqlQuote(l.BatchUnique) + ")";
}

}  // namespace erpsync::stock
