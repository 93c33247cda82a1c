// The opening stock journal both writers of the branch's opening stock send: the day start's rebuild
// and the import of a transfer from head office. The statement texts are pinned as the branch receives
// them ({DAY} stands for the working day, {BILL} for head office's time of the import), so a change to
// the shared writer that alters what either one sends shows here.
#include <gtest/gtest.h>

#include <regex>

#include "app/daycycle_view.h"
#include "day_start_fixture.h"
#include "daycycle/day_start.h"
#include "recording_connection.h"
#include "stock/import_interim_transfers.h"
#include "stock/stock_text.h"
#include "sync/server_lock.h"

namespace erpsync::test {
namespace {

const char* const kDayStartHeader =
    " insert into tblStockJournal(VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId"
    ",Party,Discount,TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,"
    "UsConversion,UsAmount,OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CC"
    "ID,currencyid,OrderIds,VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,Placeo"
    "fReceiptbyPC,FlightNo,PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestin"
    "ation,GrossWeight,OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer"
    ",CardLedgerID,CustomField1,CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,Agent"
    "ID ,Accounts,CashDiscount, SaleAmount  ,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,"
    "DestCCID,NetAmount,ProfileID,RegNo,BlnWaitForAuthorisation) values (1,1,'1','',0,1,{DAY},'Opening','"
    "Cash',100,'',0,'<None>',0,0,0,0,0,'synch',0,0,1,0,'','',0,'',1,0,2,1,'0',1005,0,0,0,'','','','','','"
    "','','','','','0','0',0,0,'0','QMR',0,0,0,'','',0,0,'',480 ,1,0,0,0,0,3,'',0,0,0,0,0,'',0)";

const char* const kDayStartLine =
    " insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batc"
    "h,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode"
    ",ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1"
    ",iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerA"
    "U2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,Prat"
    "eAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierI"
    "D,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values  (1,1,1,27,0,380,380,420,450,0,'B"
    "00001',0,0,0,0,1,0,'','','0','B00001',0,0,0,0,0,0,'2020-05-12T00:00:00.000',1,'','',0,0,0,0,0,0,0,0,"
    "0,0,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,'','','',1,'B00001')";

const char* const kTransferHeader =
    " insert into tblStockJournal(VchID,InvId,InvNo,RefNO,AutoNum,SortNumber,InvDate,VchType,MOP,LedgerId"
    ",Party,Discount,TaxType,TaxAmt,Astamt,GrossAmt,BillAmt,OtherExpense,ComputerName,Taxable,NonTaxable,"
    "UsConversion,UsAmount,OrderInfo,DespatchInfo,ItemDiscountTotal,UserNarration,SalesManID,Cancelled,CC"
    "ID,currencyid,OrderIds,VchTypeid,RoundOff,RoundOffMode,RoundOffBlock,BuyersName,PreCarriageBy,Placeo"
    "fReceiptbyPC,FlightNo,PortOfLoading,TermsofDelivery,FinalDestination,Countryoforigin,CountryOfDestin"
    "ation,GrossWeight,OutStandingAmt,ReceiptAmt,ReceiptID,CessOntax,NoteIDs,UserName,DiscPer,CustDiscPer"
    ",CardLedgerID,CustomField1,CustomField2,CustomField3,CustomField4,PartyAddress,MRPValue,UserID,Agent"
    "ID ,Accounts,CashDiscount, SaleAmount  ,DPerType_ManualCalc_Customer,deliveryNoteNo,ICF3Tot,ICF4Tot,"
    "DestCCID,NetAmount,ProfileID,RegNo,BlnWaitForAuthorisation,BillTime,ServInvID) values (2,2,'2','3',0"
    ",2,{DAY},'Opening(FromTransfer)','Cash',100,'',0,'<None>',0,0,0,0,0,'synch',0,0,1,0,'','',0,'',1,0,2"
    ",1,'0',1005,0,0,0,'','','','','','','','','','','0','0',0,0,'0','QMR',0,0,0,'','',0,0,'',480 ,1,0,0,"
    "0,0,3,'',0,0,0,0,16,'',0,{BILL},3)";

const char* const kTransferLine =
    " insert into tblStockJournalDetail (slno,InvID,ItemId,QtyIn,QtyOut,PRate,Crate,Srate,MRP,UnitId,Batc"
    "h,TaxPer,TaxAmount,AstAmount,Amount,Conversion,Discount,HSerialNos,SerialNos,RateInclusive,BatchCode"
    ",ItemDiscount,ItemDiscountPer,FreeIn,FreeOut,BlnCessOnTax,iCessOnTax,Expiry,blnMnfCode,iCustomField1"
    ",iCustomField2,iCustomField3,iCustomField4,iCessPer,WeightIn,WeightOut,SratePer,SratePerAU,SratePerA"
    "U2,MRPPer,MRPPerAU,MRPPerAU2,AlterUnitConversion,AlterUnitConversion2,PrateP,SrateP,CRateP,MRPP,Prat"
    "eAU,SrateAU,CRateAU,MRPAU,PrateAU2,SrateAU2,CRateAU2,MRPAU2,CCID,ITaxableAmount,INetAmount,SupplierI"
    "D,HSerialNos1,HSerialNos2,HSerialNos3,GodownID,BatchUnique) values  (1,2,1,10,0,380,380,420,450,0,'B"
    "00001',0,0,0,0,1,0,'','','0','B00001',0,0,0,0,0,0,'2020-01-12T00:00:00.000',1,'','',0,0,0,0,0,0,0,0,"
    "0,0,0,1,1,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,'','','',1,'B00001')";

class OpeningJournalStatements : public DayStartFixture {
 protected:
  OpeningJournalStatements() {
    auto r = std::make_unique<RecordingConnection>(std::move(ctx.LocalConnection));
    recorder = r.get();
    ctx.LocalConnection = std::move(r);
    day.date = db::DateTime{2026, 12, 7};
    ctx.workingDaySource = [this] { return day; };
  }

  // The journal statements sent since the last call, with the working day and the bill time as names.
  std::vector<std::string> journalStatements() {
    std::vector<std::string> out;
    for (auto s : recorder->startingWith(" insert into tblStockJournal")) {
      const std::string d = stock::dateLit(day.date);
      for (auto at = s.find(d); at != std::string::npos; at = s.find(d)) s.replace(at, d.size(), "{DAY}");
      out.push_back(std::regex_replace(s, std::regex(",'[0-9]{1,2}:[0-9]{1,2} [AP]M',"), ",{BILL},"));
    }
    recorder->executed.clear();
    return out;
  }

  WorkingDay day = ctx.day();
  RecordingConnection* recorder = nullptr;
};

TEST_F(OpeningJournalStatements, DayStartAndTransferImportSendTheirJournalsUnchanged) {
  host.expectBox(Answer::Yes, "DAY START");
  host.expectBox(Answer::OK, "Opening stock brought from head office: ");
  host.expectBox(Answer::OK, "Day started successfully");
  ASSERT_FALSE(onDayStart(ctx).aborted);
  const auto dayStart = journalStatements();
  ASSERT_EQ(dayStart.size(), 9u);  // the header and a line per batch
  EXPECT_EQ(dayStart[0], kDayStartHeader);
  EXPECT_EQ(dayStart[1], kDayStartLine);

  ConfigureLinkedServer(ctx, ctx.SyncServerName);
  ASSERT_TRUE(stock::importInterimTransfer(ctx, 16, 3).imported);
  const auto transfer = journalStatements();
  ASSERT_EQ(transfer.size(), 4u);
  EXPECT_EQ(transfer[0], kTransferHeader);
  EXPECT_EQ(transfer[1], kTransferLine);
}

}  // namespace
}  // namespace erpsync::test
